// The sample clock: music and video ticks, level decay, the two rings, mute
// and failures inside a render call.
#include <gtest/gtest.h>

#include "fixture.hpp"
#include "reference_player.hpp"

namespace korvale::test {
namespace {

void renderFrames(Player& p, std::uint64_t frames) {
    std::vector<StereoFrame> block(1024);
    while (frames > 0) {
        const auto count = static_cast<std::int32_t>(std::min<std::uint64_t>(frames, block.size()));
        p.render(block.data(), count);
        frames -= static_cast<std::uint64_t>(count);
    }
}

TEST(Render, FirstBlockOfAFreshPlayer) {
    Fixture f;
    f.setPattern(0, stream({noteOn(0, 40, 5, 0, 0), noteOn(1, 40, 1, 0, 0), wait(1)}));
    const auto p = f.player();
    p->channelLevels[3] = 0;
    std::vector<std::uint64_t> musicTicks;
    std::uint64_t firstVideoTick = 0;
    StereoFrame frame;
    for (std::uint64_t k = 0; k < 1024; ++k) {
        const double before = p->nextMusicTick;
        p->render(&frame, 1);
        if (p->nextMusicTick != before) musicTicks.push_back(k);
        if (firstVideoTick == 0 && p->latestVideoTick.load() == 1) firstVideoTick = k;
    }
    EXPECT_EQ(musicTicks, (std::vector<std::uint64_t>{0, 954}));
    EXPECT_EQ(p->nextMusicTick, 48000 / 50.34920818916488 + 48000 / 50.34920818916488);
    EXPECT_EQ(firstVideoTick, 685u);
    EXPECT_EQ(p->videoTickCount, 1u);
    EXPECT_EQ(p->latestVideoTick.load(), 1u);
    // The tick publishes the levels as they stood, then they decay; 0 stays 0.
    EXPECT_EQ(p->tickRing[1].load(), makeSnapshot(1, {5, 1, 15, 0}));
    EXPECT_EQ(p->channelLevels, (ChannelLevels{4, 0, 14, 0}));
    EXPECT_EQ(p->levelRing[0].load(), makeSnapshot(1, {5, 1, 15, 0}));
    EXPECT_EQ(p->levelRing[1].load(), makeSnapshot(2, {5, 1, 15, 0}));
    EXPECT_EQ(p->levelRing[2].load(), makeSnapshot(3, {4, 0, 14, 0}));
    EXPECT_EQ(p->levelRing[3].load(), 0u);
    EXPECT_EQ(p->tickRing[0].load(), 0u);
    EXPECT_EQ(p->tickRing[2].load(), 0u);

    // The same block in one call leaves the same state.
    const auto whole = f.player();
    whole->channelLevels[3] = 0;
    std::vector<StereoFrame> block(1024);
    whole->render(block.data(), 1024);
    expectSameState(*p, *whole);
}

// Video tick 136 falls on frame 185600, which also starts level block 464:
// the block sees the levels after that tick's decay.
TEST(Render, VideoTickAndLevelBlockOnTheSameFrame) {
    const Fixture f;
    const auto p = f.player();
    renderFrames(*p, 185600);
    EXPECT_EQ(p->videoTickCount, 135u);
    p->channelLevels = {9, 1, 0, 4};
    renderFrames(*p, 1);
    EXPECT_EQ(p->latestVideoTick.load(), 136u);
    EXPECT_EQ(p->tickRing[136].load(), makeSnapshot(136, {9, 1, 0, 4}));
    EXPECT_EQ(p->levelRing[464].load(), makeSnapshot(465, {8, 0, 0, 3}));
}

TEST(Render, TickRingIndexIsReusedAfter4096Ticks) {
    const Fixture f;
    const auto p = f.player();
    StereoFrame frame;
    while (p->latestVideoTick.load() < 4096) renderFrames(*p, 1024);
    while (p->latestVideoTick.load() < 4096) p->render(&frame, 1);
    EXPECT_EQ(snapshotSequence(p->tickRing[0].load()), 4096u);
    EXPECT_EQ(snapshotSequence(p->tickRing[1].load()), 1u);
    while (p->latestVideoTick.load() < 4097) p->render(&frame, 1);
    EXPECT_EQ(snapshotSequence(p->tickRing[1].load()), 4097u);
    EXPECT_EQ(snapshotSequence(p->tickRing[2].load()), 2u);
}

TEST(Render, MuteSilencesWhileEverythingElseAdvances) {
    const Fixture f = songFixture();
    const auto playing = f.player();
    const auto muted = f.player();
    muted->muted = true;
    std::vector<StereoFrame> heard(1024);
    std::vector<StereoFrame> silent(1024);
    bool anySound = false;
    for (int block = 0; block < 200; ++block) {
        playing->render(heard.data(), 1024);
        muted->render(silent.data(), 1024);
        for (std::size_t k = 0; k < 1024; ++k) {
            anySound = anySound || heard[k].left != 0 || heard[k].right != 0;
            ASSERT_EQ(silent[k].left, 0) << "block " << block << " frame " << k;
            ASSERT_EQ(silent[k].right, 0) << "block " << block << " frame " << k;
        }
    }
    EXPECT_TRUE(anySound);
    expectSameState(*playing, *muted);

    // Unmuting takes effect with the next call, from where the music stands.
    muted->muted = false;
    playing->render(heard.data(), 1024);
    muted->render(silent.data(), 1024);
    for (std::size_t k = 0; k < 1024; ++k) {
        ASSERT_EQ(silent[k].left, heard[k].left) << k;
        ASSERT_EQ(silent[k].right, heard[k].right) << k;
    }
}

TEST(Render, EmptyCountChangesNothing) {
    const Fixture f = songFixture();
    const auto p = f.player();
    const auto fresh = f.player();
    StereoFrame frame{5, 6};
    p->render(&frame, 0);
    p->render(&frame, -1024);
    EXPECT_EQ(frame.left, 5);
    EXPECT_EQ(frame.right, 6);
    expectSameState(*fresh, *p);
}

// The music tick at frame 954 fails: the frames before it are rendered, that
// frame is not counted, and the rings stand where they were.
TEST(Render, FailingFrameIsNotCounted) {
    Fixture f;
    f.setPattern(0, stream({speed(1), noteOn(0, 40, 5, 0, 0), wait(1), {0x03}}));
    const auto failing = f.player();
    const auto healthy = f.player();
    std::vector<StereoFrame> frames(1024);
    std::vector<StereoFrame> expected(954);
    try {
        failing->render(frames.data(), 1024);
        FAIL() << "no failure";
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message(), "Unknown music command");
    }
    healthy->render(expected.data(), 954);
    for (std::size_t k = 0; k < expected.size(); ++k) {
        ASSERT_EQ(frames[k].left, expected[k].left) << k;
        ASSERT_EQ(frames[k].right, expected[k].right) << k;
    }
    EXPECT_EQ(failing->sampleCount, 954u);
    EXPECT_EQ(failing->latestVideoTick.load(), 1u);
    EXPECT_EQ(snapshotSequence(failing->levelRing[2].load()), 3u);
    EXPECT_EQ(failing->levelRing[3].load(), 0u);
    EXPECT_EQ(failing->nextMusicTick, healthy->nextMusicTick) << "the failed tick set no new deadline";
}

// A change in the mixing or clock arithmetic shows here as a different hash
// of the first three seconds of the fixture song.
TEST(Render, FixtureSongRegressionHash) {
    const Fixture f = songFixture();
    const auto p = f.player();
    std::vector<StereoFrame> frames(3 * outputRate);
    for (std::size_t k = 0; k < frames.size(); k += 1024) {
        p->render(frames.data() + k, static_cast<std::int32_t>(std::min<std::size_t>(1024, frames.size() - k)));
    }
    EXPECT_EQ(fnv1a(frames), 0x1f54e4c4df437d48ull);
}

}  // namespace
}  // namespace korvale::test

#include "capture.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "capture_fixtures.hpp"
#include "common/fatal_error.hpp"
#include "host/frame_scheduler.hpp"

namespace korvale::capture {
namespace {

using testing::RecordingSink;
using testing::runToEnd;

bool sameSound(const std::vector<StereoFrame>& a, const std::vector<StereoFrame>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const StereoFrame& x, const StereoFrame& y) {
               return x.left == y.left && x.right == y.right;
           });
}

TEST(CaptureLength, PresentationsCoverTheSound) {
    const struct {
        std::uint64_t audioFrames;
        std::uint64_t presentations;
    } cases[] = {{1, 1}, {800, 1}, {801, 2}, {48000, 60}, {72000, 90}, {48480, 61}};
    for (const auto& c : cases) {
        EXPECT_EQ(presentationCount(c.audioFrames), c.presentations) << c.audioFrames;
    }
}

// Two captures of the same length give the same bytes, and the sound is
// exactly the player's output, cut at the requested length, however the
// player is called.
TEST(Capture, IsRepeatableAndCarriesThePlayersSound) {
    const std::uint64_t audioFrames = 2 * outputRate + 123;  // not a whole presentation
    auto first = std::make_unique<RecordingSink>();
    auto second = std::make_unique<RecordingSink>();
    for (RecordingSink* sink : {first.get(), second.get()}) {
        Capture capture(AssetImage::embedded(), audioFrames);
        runToEnd(capture, *sink);
        EXPECT_EQ(capture.presented(), 121u);
    }
    ASSERT_EQ(first->sound.size(), audioFrames);
    EXPECT_TRUE(sameSound(first->sound, second->sound));
    ASSERT_EQ(first->frames.size(), 121u);
    ASSERT_EQ(second->frames.size(), 121u);
    for (std::size_t k = 0; k < first->frames.size(); ++k) {
        EXPECT_EQ(first->indices[k], k);
        ASSERT_EQ(*first->frames[k], *second->frames[k]) << "frame " << k;
    }

    auto player = std::make_unique<Player>(AssetImage::embedded());
    std::vector<StereoFrame> direct(audioFrames);
    for (std::size_t done = 0; done < direct.size(); done += 333) {
        player->render(direct.data() + done,
                       static_cast<std::int32_t>(std::min<std::size_t>(333, direct.size() - done)));
    }
    EXPECT_TRUE(sameSound(first->sound, direct));
}

// Frame k shows the scene after exactly the ticks due once 800k frames were
// played, each run with the levels the music published for it, and lights
// from the level block of the last played frame. Built here from the scene
// and the player directly, rendering in a different block size.
TEST(Capture, FramesMatchTheSceneRunDirectly) {
    const std::uint64_t presentations = 150;
    auto sink = std::make_unique<RecordingSink>();
    Capture capture(AssetImage::embedded(), presentations * framesPerPresentation);
    runToEnd(capture, *sink);
    ASSERT_EQ(sink->frames.size(), presentations);

    auto player = std::make_unique<Player>(AssetImage::embedded());
    auto vga = std::make_unique<VgaState>(AssetImage::embedded());
    vga->drawTitlePicture();
    std::vector<StereoFrame> scratch(700);
    ChannelLevels lights = initialChannelLevels;
    std::uint64_t ticksRun = 0;
    for (std::uint64_t k = 0; k < presentations; ++k) {
        const std::uint64_t played = k * framesPerPresentation;
        while (player->sampleCount < played + 2 * framesPerPresentation) {
            player->render(scratch.data(), static_cast<std::int32_t>(scratch.size()));
        }
        const std::uint64_t due = FrameScheduler::dueTick(played);
        for (; ticksRun < due; ++ticksRun) {
            const std::uint64_t n = ticksRun + 1;
            const LevelSnapshot word = player->tickRing[n % ringSize].load();
            ASSERT_EQ(snapshotSequence(word), n);
            vga->runSceneTick(snapshotLevels(word));
        }
        if (played != 0) {
            const std::uint64_t q = (played - 1) / levelBlockFrames;
            const LevelSnapshot word = player->levelRing[q % ringSize].load();
            ASSERT_EQ(snapshotSequence(word), q + 1);
            lights = snapshotLevels(word);
        }
        vga->updateLights(lights);
        vga->convertFrame();
        ASSERT_TRUE(vga->frame == *sink->frames[k]) << "frame " << k;
    }
    EXPECT_EQ(ticksRun, capture.vga().scene.tickCount);
    EXPECT_GT(ticksRun, 80u);
    EXPECT_FALSE(*sink->frames.front() == *sink->frames.back()) << "the scene never moved";
}

// A failing scene stops the capture with the content's message; the sound
// rendered until then has already reached the sink.
TEST(Capture, ContentFailureStopsWithTheSoundRenderedSoFar) {
    const auto image = testing::imageWithInvalidGlyph();
    auto sink = std::make_unique<RecordingSink>();
    Capture capture(image->image(), 10 * outputRate);
    try {
        runToEnd(capture, *sink);
        FAIL() << "the invalid glyph was not noticed";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Invalid glyph");
    }
    EXPECT_FALSE(capture.done());
    EXPECT_EQ(sink->frames.size(), capture.presented());
    EXPECT_EQ(sink->sound.size(), capture.player().sampleCount);
    EXPECT_GE(sink->sound.size(), capture.presented() * framesPerPresentation + queuedFrames);
}

TEST(FirstPass, EndsWhereTheOrderWrapsToTheLoopStart) {
    const std::optional<std::uint64_t> frames = firstPassFrames(AssetImage::embedded(), 30ull * 60 * outputRate);
    ASSERT_TRUE(frames.has_value());
    auto player = std::make_unique<Player>(AssetImage::embedded());
    std::vector<StereoFrame> sound(static_cast<std::size_t>(*frames));
    for (std::size_t done = 0; done < sound.size(); done += 4096) {
        player->render(sound.data() + done,
                       static_cast<std::int32_t>(std::min<std::size_t>(4096, sound.size() - done)));
    }
    EXPECT_EQ(player->orderIndex, region::orderLength - 1);
    StereoFrame next{};
    player->render(&next, 1);
    EXPECT_EQ(player->orderIndex, region::orderLoopStart);
}

TEST(FirstPass, NothingWhenTheSongDoesNotWrapInTime) {
    EXPECT_FALSE(firstPassFrames(AssetImage::embedded(), outputRate).has_value());
}

}  // namespace
}  // namespace korvale::capture

// Building the instrument table and the initial state of the Player.
#include <gtest/gtest.h>

#include "fixture.hpp"

namespace korvale::test {
namespace {

std::string constructionError(const Fixture& f) {
    try {
        Player player(f.image());
        return "";
    } catch (const FatalError& e) {
        return e.message();
    }
}

TEST(PlayerConstruction, InstrumentTableFollowsTheContent) {
    Fixture f;
    f.buffer->put32(region::sampleDataDistance, 7000);
    f.setInstrument(0, {.length = 100, .flags = 2, .baseRate = 1, .loopStart = 10, .end = 90});
    // A length that does not match the data is not noticed: the next sound
    // simply starts where this length says.
    f.setInstrument(1, {.length = 12345, .flags = 0, .baseRate = 1, .loopStart = 0, .end = 12345});
    f.setInstrument(18, {.length = 5, .flags = 3, .baseRate = 1, .loopStart = 4, .end = 5});
    const auto p = f.player();

    const std::uint32_t first = region::moduleHeader.first + 7000;
    EXPECT_EQ(p->instruments[0].sampleStart, first);
    EXPECT_EQ(p->instruments[0].length, 100u);
    EXPECT_EQ(p->instruments[0].loopStart, 10u);
    EXPECT_EQ(p->instruments[0].end, 90u);
    EXPECT_TRUE(p->instruments[0].looped);
    EXPECT_EQ(p->instruments[1].sampleStart, first + 100);
    EXPECT_EQ(p->instruments[2].sampleStart, first + 100 + 12345);
    EXPECT_FALSE(p->instruments[1].looped);
    EXPECT_EQ(p->instruments[18].sampleStart, first + 100 + 12345 + 16 * 16);
    EXPECT_TRUE(p->instruments[18].looped);
}

TEST(PlayerConstruction, LoopedIsBitOneOfTheFlags) {
    for (const auto& [flags, looped] : {std::pair{0, false}, {1, false}, {2, true}, {3, true}, {0xFD, false}}) {
        Fixture f;
        f.setInstrument(7, {.flags = static_cast<std::uint8_t>(flags)});
        EXPECT_EQ(f.player()->instruments[7].looped, looped) << "flags " << flags;
    }
}

TEST(PlayerConstruction, SampleBounds) {
    struct Case {
        InstrumentFields fields;
        bool accepted;
    };
    const Case cases[] = {
        {{.length = 16, .flags = 0, .loopStart = 0, .end = 16}, true},    // end == length
        {{.length = 16, .flags = 2, .loopStart = 15, .end = 16}, true},   // one-point loop
        {{.length = 16, .flags = 0, .loopStart = 0, .end = 17}, false},   // end past length
        {{.length = 16, .flags = 0, .loopStart = 8, .end = 8}, false},    // loopStart == end, one-shot
        {{.length = 16, .flags = 2, .loopStart = 8, .end = 8}, false},    // loopStart == end, looped
        {{.length = 16, .flags = 0, .loopStart = 12, .end = 8}, false},   // loopStart past end
        {{.length = 0, .flags = 0, .loopStart = 0, .end = 0}, false},     // empty sound
        {{.length = 16, .flags = 0, .loopStart = 0xFFFFFFFF, .end = 16}, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.setInstrument(11, c.fields);
        EXPECT_EQ(constructionError(f), c.accepted ? "" : "Invalid sample bounds")
            << "length " << c.fields.length << " loopStart " << c.fields.loopStart << " end " << c.fields.end;
    }
}

TEST(PlayerConstruction, InitialState) {
    const Fixture f;
    const auto p = f.player();
    for (const Voice& v : p->voices) {
        EXPECT_FALSE(v.active);
        EXPECT_EQ(v.instrument, 0u);
        EXPECT_EQ(v.volume, 0);
        EXPECT_EQ(v.pan, 8);
        EXPECT_EQ(v.position, 0.0);
        EXPECT_EQ(v.step, 0.0);
    }
    EXPECT_EQ(p->channelLevels, (ChannelLevels{15, 15, 15, 15}));
    EXPECT_EQ(p->commandPointer, 0u);
    EXPECT_EQ(p->orderIndex, -1);
    EXPECT_EQ(p->rowWait, 1u);
    EXPECT_EQ(p->tickCountdown, 1u);
    EXPECT_EQ(p->speed, 102u);
    EXPECT_EQ(p->nextMusicTick, 0.0);
    EXPECT_EQ(p->nextVideoTick, 1369.7398212512412 / 2);
    EXPECT_EQ(p->sampleCount, 0u);
    EXPECT_EQ(p->videoTickCount, 0u);
    EXPECT_EQ(p->tickRate.load(), 50.34920818916488);
    EXPECT_EQ(p->latestVideoTick.load(), 0u);
    EXPECT_FALSE(p->muted.load());
    for (std::size_t i = 0; i < ringSize; ++i) {
        ASSERT_EQ(p->tickRing[i].load(), 0u) << i;
        ASSERT_EQ(p->levelRing[i].load(), 0u) << i;
    }
}

}  // namespace
}  // namespace korvale::test

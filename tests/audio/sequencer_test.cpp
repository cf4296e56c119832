// The music command stream: rows, commands, the order list and failures.
#include <gtest/gtest.h>

#include <functional>

#include "fixture.hpp"

namespace korvale::test {
namespace {

std::string tickError(Player& p) {
    try {
        p.runMusicTick();
        return "";
    } catch (const FatalError& e) {
        return e.message();
    }
}

TEST(Sequencer, FirstTickPlaysRowZeroThenRowsLastSpeedTicks) {
    Fixture f;
    f.setOrder({2, 5});
    f.setPattern(2, stream({speed(3), noteOn(0, 52, 9, 4, 0), wait(2), noteOn(1, 52, 5, 6, 0), wait(1)}));
    const auto p = f.player();
    p->runMusicTick();
    EXPECT_EQ(p->orderIndex, 0);
    EXPECT_TRUE(p->voices[0].active);
    EXPECT_EQ(p->rowWait, 2u);
    EXPECT_EQ(p->tickCountdown, 3u);
    const std::uint32_t afterRow0 = p->commandPointer;
    for (int tick = 1; tick < 6; ++tick) {
        p->runMusicTick();
        EXPECT_FALSE(p->voices[1].active) << "tick " << tick;
        EXPECT_EQ(p->commandPointer, afterRow0);
    }
    p->runMusicTick();  // tick 6: two rows of three ticks have passed
    EXPECT_TRUE(p->voices[1].active);
    EXPECT_EQ(p->rowWait, 1u);
}

// Each row is one music tick; the state is checked after every row.
TEST(Sequencer, NoteOnVolumeAndPanCommands) {
    Fixture f;
    f.setInstrument(3, {.baseRate = 8448});
    f.setPattern(0, stream({speed(1), noteOn(0, 52, 9, 4, 3), noteOn(5, 10, 7, 2, 1), wait(1),  // row 0
                            noteOn(0, 60, 0, 7, 1), wait(1),                                    // row 1
                            volume(0, 6), volume(5, 3), wait(1),                                // row 2
                            noteOn(0, 52, 2, 1, 3), wait(1),                                    // row 3
                            noteOn(0, 52, 2, 1, 3), volume(0, 0), pan(1, 255), pan(2, 16), wait(1)}));
    const auto p = f.player();
    Voice& v0 = p->voices[0];
    Voice& v5 = p->voices[5];

    p->runMusicTick();
    EXPECT_TRUE(v0.active);
    EXPECT_EQ(v0.volume, 9);
    EXPECT_EQ(v0.instrument, 3u);
    EXPECT_EQ(v0.pan, 4);
    EXPECT_EQ(v0.position, 0.0);
    EXPECT_EQ(v0.step, 0.43603423196089913);
    EXPECT_TRUE(v5.active);
    EXPECT_EQ(v5.volume, 7);
    EXPECT_EQ(p->channelLevels, (ChannelLevels{9, 15, 15, 15})) << "channel 5 has no level";

    // A volume nibble of 0 stops the voice and changes nothing else.
    p->runMusicTick();
    EXPECT_FALSE(v0.active);
    EXPECT_EQ(v0.volume, 9);
    EXPECT_EQ(v0.instrument, 3u);
    EXPECT_EQ(v0.pan, 4);
    EXPECT_EQ(p->channelLevels, (ChannelLevels{9, 15, 15, 15}));

    // A volume command does not restart a stopped voice but sets the level.
    p->runMusicTick();
    EXPECT_FALSE(v0.active);
    EXPECT_EQ(v0.volume, 6);
    EXPECT_EQ(v5.volume, 3);
    EXPECT_TRUE(v5.active);
    EXPECT_EQ(p->channelLevels, (ChannelLevels{6, 15, 15, 15}));

    // A note on a playing voice restarts it from the beginning.
    p->runMusicTick();
    EXPECT_TRUE(v0.active);
    v0.position = 123.5;
    p->channelLevels[0] = 1;
    p->runMusicTick();
    EXPECT_EQ(v0.position, 0.0);
    // ... and a volume of 0 stops it, the level staying where the note put it.
    EXPECT_FALSE(v0.active);
    EXPECT_EQ(v0.volume, 0);
    EXPECT_EQ(p->channelLevels, (ChannelLevels{2, 15, 15, 15}));
    EXPECT_EQ(p->voices[1].pan, 255);
    EXPECT_EQ(p->voices[2].pan, 16);
}

TEST(Sequencer, PatternEndContinuesWithTheNextPatternInTheSameTick) {
    Fixture f;
    f.setOrder({4, 7});
    f.setPattern(4, stream({noteOn(0, 40, 3, 0, 0), patternEnd()}));
    f.setPattern(7, stream({noteOn(1, 40, 4, 0, 0), wait(1)}));
    const auto p = f.player();
    p->runMusicTick();
    EXPECT_EQ(p->orderIndex, 1);
    EXPECT_TRUE(p->voices[0].active);
    EXPECT_TRUE(p->voices[1].active);
    EXPECT_EQ(p->channelLevels, (ChannelLevels{3, 4, 15, 15}));
}

TEST(Sequencer, OrderListRunsToPositionFourteenThenRepeatsFromThree) {
    Fixture f;
    std::vector<std::uint8_t> order;
    for (int k = 0; k < region::orderLength; ++k) order.push_back(static_cast<std::uint8_t>((k * 5) % 12));
    f.setOrder(order);
    // One row per order position; the pan of voice 4 names the pattern.
    for (int pattern = 0; pattern < region::patternCount; ++pattern) {
        f.setPattern(pattern, stream({speed(1), pan(4, static_cast<std::uint8_t>(pattern)), wait(1), patternEnd()}));
    }
    const auto p = f.player();
    std::vector<int> positions;
    for (int tick = 0; tick < 30; ++tick) {
        p->runMusicTick();
        positions.push_back(p->orderIndex);
        EXPECT_EQ(p->voices[4].pan, order[static_cast<std::size_t>(p->orderIndex)]) << "tick " << tick;
    }
    const std::vector<int> expected = {0, 1, 2, 3, 4,  5, 6, 7, 8, 9, 10, 11, 12, 13, 14,
                                       3, 4, 5, 6, 7,  8, 9, 10, 11, 12, 13, 14, 3, 4, 5};
    EXPECT_EQ(positions, expected);
}

TEST(Sequencer, WaitAndSpeedOfZeroWrapToFourBillion) {
    Fixture f;
    f.setPattern(0, stream({speed(1), wait(0), noteOn(0, 40, 3, 0, 0)}));
    f.setPattern(1, stream({speed(0), wait(1), noteOn(0, 40, 3, 0, 0)}));
    auto p = f.player();
    p->runMusicTick();
    EXPECT_EQ(p->rowWait, 0u);
    const std::uint32_t pointer = p->commandPointer;
    p->runMusicTick();
    EXPECT_EQ(p->rowWait, 4294967295u);
    p->runMusicTick();
    EXPECT_EQ(p->rowWait, 4294967294u);
    EXPECT_EQ(p->commandPointer, pointer);
    EXPECT_FALSE(p->voices[0].active);

    f.setOrder({1});
    p = f.player();
    p->runMusicTick();
    EXPECT_EQ(p->tickCountdown, 0u);
    p->runMusicTick();
    EXPECT_EQ(p->tickCountdown, 4294967295u);
    EXPECT_EQ(p->rowWait, 1u);
    EXPECT_FALSE(p->voices[0].active);
}

TEST(Sequencer, Failures) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> commands;
        const char* message;
        std::function<void(const Player&, std::uint32_t start)> check;
    };
    std::vector<std::uint8_t> loop;
    for (int i = 0; i < 4095; ++i) loop.insert(loop.end(), {0xC0, 1});
    loop.insert(loop.end(), {0xC1, 7, 0xC2, 9});
    const std::vector<Case> cases = {
        {"command 0x03", {0x03}, "Unknown music command", {}},
        {"command 0x3F", {0x3F}, "Unknown music command", {}},
        {"note-on channel 16", {0x50, 1, 1, 1}, "Invalid music channel",
         [](const Player& p, std::uint32_t start) { EXPECT_EQ(p.commandPointer, start + 1) << "no operand read"; }},
        {"pan channel 63", {0xFF, 1}, "Invalid music channel", {}},
        {"note 84", noteOn(0, 84, 5, 0, 0), "Invalid music note",
         [](const Player& p, std::uint32_t start) { EXPECT_EQ(p.commandPointer, start + 4); }},
        {"instrument 19 at volume 0", noteOn(0, 0, 0, 0, 19), "Invalid music note", {}},
        {"volume 16", stream({noteOn(2, 5, 5, 0, 0), volume(2, 16)}), "Invalid volume",
         [](const Player& p, std::uint32_t) {
             EXPECT_EQ(p.voices[2].volume, 16) << "the stored volume stays";
             EXPECT_TRUE(p.voices[2].active);
             EXPECT_EQ(p.channelLevels[2], 5);
         }},
        // The 4096th command runs before the error; the 4097th does not.
        {"4096 commands", loop, "Music command loop",
         [](const Player& p, std::uint32_t) {
             EXPECT_EQ(p.voices[1].pan, 7);
             EXPECT_EQ(p.voices[2].pan, 8);
         }},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.setPattern(0, c.commands);
        const auto p = f.player();
        EXPECT_EQ(tickError(*p), c.message) << c.name;
        if (c.check) c.check(*p, region::patternData.first + 24);
    }
}

TEST(Sequencer, EndlessPatternEndsAreACommandLoop) {
    Fixture f;
    for (int pattern = 0; pattern < region::patternCount; ++pattern) f.setPattern(pattern, patternEnd());
    const auto p = f.player();
    EXPECT_EQ(tickError(*p), "Music command loop");
}

TEST(Sequencer, CommandStreamRunningOutOfTheImage) {
    Fixture f;
    // A volume command whose operand would lie past the last byte.
    f.setPatternAt(0, region::imageLast - region::patternData.first, {0x80});
    const auto p = f.player();
    EXPECT_EQ(tickError(*p), "Asset address out of range");
    EXPECT_EQ(p->commandPointer, region::imageLast + 1);
}

TEST(Sequencer, PitchStep) {
    struct Case {
        std::uint16_t rate;
        std::uint32_t note;
        std::uint32_t f;
    };
    const Case cases[] = {
        {8448, 52, 574},    // 8448 * 82406 / 2420022 = 287, octave 4 doubles it
        {8448, 83, 3448},   // octave 6: three octaves up
        {8448, 0, 28},      // octave 0: three octaves down
        {8448, 36, 228},    // octave 3: as it is
        {65535, 11, 196},   // 65535 * 123470 wraps modulo 2^32 before the division
        {0, 40, 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.setInstrument(9, {.baseRate = c.rate});
        const double expected = c.f * 38587.5 * 0.0009765625 * 0.9676164547221004 / 48000;
        EXPECT_EQ(f.player()->pitchStep(c.note, 9), expected) << "rate " << c.rate << " note " << c.note;
    }
    Fixture f;
    f.setInstrument(2, {.baseRate = 8448});
    EXPECT_EQ(f.player()->pitchStep(52, 2), 0.43603423196089913);
    EXPECT_NEAR(f.player()->pitchStep(83, 2), 2.619, 0.001);
}

}  // namespace
}  // namespace korvale::test

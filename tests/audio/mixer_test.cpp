// One output frame from the voices: sample lookup, interpolation, the volume
// curve, panning, looping, one-shot ends and clamping.
#include <gtest/gtest.h>

#include "audio/mix_arithmetic.hpp"
#include "fixture.hpp"

namespace korvale::test {
namespace {

constexpr double minusFullScale = -10260.039138943248;  // volume 15, both points -128

// Instrument 0: a one-shot sound of 100 points of value -128.
// Instrument 1: a one-shot ramp, point i = 3i, end 10.
// Instrument 2: the same ramp looped from 4 to 10.
// Instrument 3: the same ramp looped from 0 to 10.
class MixerTest : public ::testing::Test {
protected:
    MixerTest() {
        f.setInstrument(0, {.length = 100, .end = 100});
        f.setInstrument(1, {.length = 12, .flags = 0, .loopStart = 0, .end = 10});
        f.setInstrument(2, {.length = 12, .flags = 2, .loopStart = 4, .end = 10});
        f.setInstrument(3, {.length = 12, .flags = 2, .loopStart = 0, .end = 10});
        f.setSamples(0, std::vector<std::uint8_t>(100, 0));
        std::vector<std::uint8_t> ramp;
        for (int i = 0; i < 12; ++i) ramp.push_back(static_cast<std::uint8_t>(128 + 3 * i));
        for (int i = 1; i <= 3; ++i) f.setSamples(i, ramp);
        p = f.player();
    }

    Voice& play(int index, std::uint32_t instrument, std::int32_t volume, std::int32_t pan, double position) {
        Voice& v = p->voices[static_cast<std::size_t>(index)];
        v = Voice{.instrument = instrument, .volume = volume, .pan = pan, .position = position, .step = 0.25,
                  .active = true};
        return v;
    }

    StereoFrame mix() {
        StereoFrame frame{99, 99};
        p->mixFrame(frame);
        return frame;
    }

    Fixture f;
    std::unique_ptr<Player> p;
};

TEST_F(MixerTest, NoActiveVoiceIsSilence) {
    p->voices[3].position = 50;  // inactive voices are skipped entirely
    const StereoFrame frame = mix();
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.right, 0);
    EXPECT_EQ(p->voices[3].position, 50.0);
}

TEST_F(MixerTest, VolumeCurve) {
    const double curve[16] = {3, 3.5, 4, 5, 6, 7, 8, 10, 12, 14, 16, 20, 24, 28, 32, 40};
    for (int volume = 0; volume < 16; ++volume) {
        EXPECT_EQ(mixGain(volume), curve[volume] / 511 * 256 * 4) << "volume " << volume;
    }
    EXPECT_EQ(mixGain(15) * -128, minusFullScale);
}

TEST_F(MixerTest, PanPositions) {
    struct Case {
        std::int32_t pan;
        std::int16_t left;
        std::int16_t right;
    };
    // A pan above 15 comes only from the pan command; the formula takes it as it is.
    const Case cases[] = {{0, -10260, 0}, {8, -4788, -5472}, {15, 0, -10260}, {30, 10260, -20520}};
    for (const Case& c : cases) {
        Voice& v = play(0, 0, 15, c.pan, 10.0);
        const StereoFrame frame = mix();
        EXPECT_EQ(frame.left, c.left) << "pan " << c.pan;
        EXPECT_EQ(frame.right, c.right) << "pan " << c.pan;
        EXPECT_EQ(v.position, 10.25);
    }
}

TEST_F(MixerTest, SamplePoints) {
    struct Case {
        std::uint32_t instrument;
        std::uint32_t index;
        std::int32_t value;
    };
    const Case cases[] = {
        {1, 0, 0}, {1, 1, 0}, {1, 2, 6}, {1, 7, 21},
        {1, 8, 0}, {1, 9, 0}, {1, 10, 0}, {1, 4294967295u, 0},        // one-shot: silent last two and past the end
        {2, 0, 0}, {2, 2, 6}, {2, 9, 27}, {2, 10, 12}, {2, 11, 15},   // looped: past the end wraps to loopStart
        {2, 16, 12}, {2, 4294967295u, 27},
        {3, 10, 0}, {3, 12, 6},                                       // a loop from 0 wraps into the silent head
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p->sampleAt(p->instruments[c.instrument], c.index), c.value)
            << "instrument " << c.instrument << " index " << c.index;
    }
}

TEST_F(MixerTest, InterpolatesBetweenNeighbours) {
    play(0, 1, 15, 0, 4.75);  // points 12 and 15
    EXPECT_EQ(mix().left, static_cast<std::int16_t>(mixGain(15) * (0.25 * 12 + 15 * 0.75)));
}

TEST_F(MixerTest, OneShotSoundStopsAtItsEndAndAddsNothing) {
    play(1, 0, 15, 0, 10.0);
    Voice& ending = play(0, 1, 15, 0, 10.0);
    StereoFrame frame = mix();
    EXPECT_FALSE(ending.active);
    EXPECT_EQ(ending.position, 10.0);
    EXPECT_EQ(frame.left, -10260) << "only the other voice sounds";

    Voice& last = play(0, 1, 15, 0, 9.5);  // still before the end: plays its silent tail
    frame = mix();
    EXPECT_TRUE(last.active);
    EXPECT_EQ(last.position, 9.75);
    EXPECT_EQ(frame.left, -10260);
}

TEST_F(MixerTest, LoopedSoundWrapsByTheDistanceItOverran) {
    Voice& v = play(0, 2, 15, 0, 10.0 + 13.25);
    mix();
    EXPECT_EQ(v.position, 4 + 1.25 + 0.25);
    EXPECT_TRUE(v.active);

    // At end - 1 the right neighbour is the point at loopStart.
    play(0, 2, 15, 0, 9.5);
    EXPECT_EQ(mix().left, static_cast<std::int16_t>(mixGain(15) * (0.5 * 27 + 12 * 0.5)));
}

TEST_F(MixerTest, Clamping) {
    struct Case {
        double sum;
        std::int16_t value;
    };
    const Case cases[] = {{40000, 32767}, {-40000, -32768}, {32767.9, 32767}, {-32768.9, -32768},
                          {1.9, 1},       {-1.9, -1},       {-0.4, 0},        {0.0, 0}};
    for (const Case& c : cases) EXPECT_EQ(toOutputSample(c.sum), c.value) << c.sum;

    for (int v = 0; v < voiceCount; ++v) play(v, 0, 15, 0, 20.0);
    EXPECT_EQ(mix().left, -32768);
}

}  // namespace
}  // namespace korvale::test

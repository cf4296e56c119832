// The shipped music: instruments in tune and looping cleanly, the song's
// shape and the mix's levels, and the composition helper's checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "assets/asset_image.hpp"
#include "audio/player.hpp"
#include "common/fatal_error.hpp"
#include "music_tuning.hpp"
#include "song_builder.hpp"

namespace korvale::gen::music {
namespace {

using namespace korvale::region;

constexpr double musicTickSeconds = 1.0 / initialTickRate;

struct NoteOn {
    int channel;
    int note;
    int volume;
    int instrument;
};

// One pattern's command stream as the sequencer reads it: the note-ons and
// level-setting commands of channels 0-3, the rows, the speed.
struct PatternWalk {
    std::vector<NoteOn> notes;
    int levelSets[4] = {0, 0, 0, 0};
    double seconds = 0.0;
    std::vector<int> speeds;
};

PatternWalk walk(const AssetImage& image, int pattern, int& speed) {
    PatternWalk w;
    std::uint32_t a = patternData.first + image.read32(patternOffsets.first + 4 * static_cast<std::uint32_t>(pattern));
    for (;;) {
        const std::uint8_t b = image.read8(a++);
        const int c = b & 63;
        switch (b >> 6) {
            case 0:
                if (b == 0x02) return w;
                if (b == 0x00) {
                    w.seconds += image.read8(a++) * speed * musicTickSeconds;
                } else {
                    speed = image.read8(a++);
                    w.speeds.push_back(speed);
                }
                break;
            case 1: {
                const NoteOn n{c, image.read8(a), image.read8(a + 1) & 15, image.read8(a + 2)};
                a += 3;
                w.notes.push_back(n);
                if (c < 4 && n.volume > 0) ++w.levelSets[c];
                break;
            }
            case 2:
                if (c < 4 && image.read8(a) > 0) ++w.levelSets[c];
                ++a;
                break;
            default:
                ++a;
                break;
        }
    }
}

std::vector<int> orderOf(const AssetImage& image) {
    std::vector<int> order;
    for (std::uint32_t k = 0; k < orderList.size(); ++k) order.push_back(image.read8(orderList.first + k));
    return order;
}

double centsOff(double hz, int note) {
    const double wanted = 440.0 * std::pow(2.0, (note - 57) / 12.0);
    return 1200.0 * std::log2(hz / wanted);
}

TEST(MusicTest, EveryPitchedNoteOfTheSongIsInTune) {
    const AssetImage image = AssetImage::embedded();
    const auto player = std::make_unique<Player>(image);
    double worst = 0.0;
    int checked = 0;
    int speed = 102;
    for (int p = 0; p < patternCount; ++p) {
        for (const NoteOn& n : walk(image, p, speed).notes) {
            const Tuning& t = tunings[static_cast<std::size_t>(n.instrument)];
            if (!t.pitched()) continue;  // drums and noise: their notes pick a playback speed, not a pitch
            const double hz = player->pitchStep(static_cast<std::uint32_t>(n.note), static_cast<std::uint32_t>(n.instrument)) *
                              outputRate / t.samplesPerCycle();
            const double cents = centsOff(hz, n.note);
            EXPECT_LE(std::fabs(cents), 10.0) << "pattern " << p << " channel " << n.channel << " note " << n.note
                                              << " instrument " << n.instrument << ": " << hz << " Hz";
            worst = std::max(worst, std::fabs(cents));
            ++checked;
        }
    }
    EXPECT_GT(checked, 500);
    RecordProperty("worstCents", std::to_string(worst));
}

// The rates are searched for each instrument's whole range, so any note the
// song may come to use stays in tune, not just today's.
TEST(MusicTest, EveryInstrumentIsInTuneOverItsRange) {
    const AssetImage image = AssetImage::embedded();
    const auto player = std::make_unique<Player>(image);
    for (std::uint32_t i = 0; i < tunings.size(); ++i) {
        const Tuning& t = tunings[i];
        EXPECT_EQ(image.read16(instrumentRecords.first + instrumentRecordSize * i + instrumentBaseRateOffset), t.baseRate);
        if (!t.pitched()) continue;
        for (int n = t.lowNote; n <= t.highNote; ++n) {
            const double hz = player->pitchStep(static_cast<std::uint32_t>(n), i) * outputRate / t.samplesPerCycle();
            EXPECT_LE(std::fabs(centsOff(hz, n)), 3.0) << "instrument " << i << " note " << n;
        }
    }
}

std::int32_t point(const AssetImage& image, const Instrument& ins, std::uint32_t i) {
    return static_cast<std::int32_t>(image.read8(ins.sampleStart + i)) - 128;
}

// A loop holds whole cycles, and the step from its last point back to its
// first is no bigger than steps inside the loop: no click at the seam.
TEST(MusicTest, LoopsHoldWholeCyclesAndJoinWithoutAStep) {
    const AssetImage image = AssetImage::embedded();
    const auto player = std::make_unique<Player>(image);
    int looped = 0;
    for (std::uint32_t i = 0; i < tunings.size(); ++i) {
        const Instrument& ins = player->instruments[i];
        if (!ins.looped) continue;
        ++looped;
        EXPECT_GE(ins.loopStart, 2u) << "instrument " << i << ": the first two points are never heard";
        if (tunings[i].pitched()) {
            EXPECT_EQ(ins.end - ins.loopStart, tunings[i].cycleSamples) << "instrument " << i;
        }
        std::int32_t largestInside = 0;
        for (std::uint32_t k = ins.loopStart; k + 1 < ins.end; ++k) {
            largestInside = std::max(largestInside, std::abs(point(image, ins, k + 1) - point(image, ins, k)));
        }
        const std::int32_t seam = std::abs(point(image, ins, ins.loopStart) - point(image, ins, ins.end - 1));
        EXPECT_LE(seam, largestInside) << "instrument " << i;
    }
    EXPECT_GE(looped, 5);
}

// Eight bits are few: every instrument uses nearly the whole range, and the
// song's volumes do the balancing.
TEST(MusicTest, InstrumentsAreNormalisedNearFullScale) {
    const AssetImage image = AssetImage::embedded();
    const auto player = std::make_unique<Player>(image);
    for (std::uint32_t i = 0; i < tunings.size(); ++i) {
        const Instrument& ins = player->instruments[i];
        std::int32_t peak = 0;
        for (std::uint32_t k = 0; k < ins.end; ++k) peak = std::max(peak, std::abs(point(image, ins, k)));
        EXPECT_GE(peak, 120) << "instrument " << i;
    }
}

// The lights follow channels 0-3: across the loop each of them sets its
// level at least every two seconds on average; the first pass is long enough
// and the tempo never changes, so the loop joins at the same tempo.
TEST(MusicTest, SongShapeAndRhythmChannels) {
    const AssetImage image = AssetImage::embedded();
    const std::vector<int> order = orderOf(image);
    int speed = 102;
    double firstPass = 0.0;
    double loop = 0.0;
    int loopLevelSets[4] = {0, 0, 0, 0};
    for (int k = 0; k < orderLength; ++k) {
        const PatternWalk w = walk(image, order[static_cast<std::size_t>(k)], speed);
        ASSERT_FALSE(w.speeds.empty()) << "position " << k << " does not set its tempo";
        for (const int s : w.speeds) EXPECT_EQ(s, 6) << "position " << k;
        firstPass += w.seconds;
        if (k >= orderLoopStart) {
            loop += w.seconds;
            for (int c = 0; c < 4; ++c) loopLevelSets[c] += w.levelSets[c];
        }
    }
    EXPECT_GE(firstPass, 100.0);
    for (int c = 0; c < 4; ++c) {
        EXPECT_LE(loop / loopLevelSets[c], 2.0) << "channel " << c << " sets its level too rarely";
    }
    RecordProperty("firstPassSeconds", std::to_string(firstPass));
}

struct Capture {
    std::vector<StereoFrame> frames;
    std::uint64_t loopJoinFrame = 0;  // where position 3 starts for the second time
};

Capture renderFirstPassAndOneLoop() {
    const auto player = std::make_unique<Player>(AssetImage::embedded());
    Capture capture;
    constexpr int block = 1024;
    int entriesOfLoopStart = 0;
    int lastOrder = -1;
    StereoFrame buffer[block];
    // the music ticks at frame 0 and every 953.34 frames; a block boundary
    // never hides a position change for long enough to matter here
    while (entriesOfLoopStart < 3) {
        player->render(buffer, block);
        capture.frames.insert(capture.frames.end(), buffer, buffer + block);
        if (player->orderIndex != lastOrder) {
            lastOrder = player->orderIndex;
            if (lastOrder == orderLoopStart && ++entriesOfLoopStart == 2) {
                capture.loopJoinFrame = capture.frames.size();
            }
        }
    }
    return capture;
}

// The whole first pass and one more loop: never clipped, at most -1 dBFS,
// loud enough, and no gap where the loop joins.
TEST(MusicTest, MixStaysCleanAndLoud) {
    const Capture capture = renderFirstPassAndOneLoop();
    double sum = 0.0;
    int peak = 0;
    int clipped = 0;
    for (const StereoFrame& f : capture.frames) {
        for (const int s : {static_cast<int>(f.left), static_cast<int>(f.right)}) {
            peak = std::max(peak, std::abs(s));
            if (s == 32767 || s == -32768) ++clipped;
            sum += static_cast<double>(s) * s;
        }
    }
    const double rms = std::sqrt(sum / (2.0 * static_cast<double>(capture.frames.size())));
    const double peakDb = 20.0 * std::log10(peak / 32768.0);
    const double rmsDb = 20.0 * std::log10(rms / 32768.0);
    EXPECT_EQ(clipped, 0);
    EXPECT_LE(peakDb, -1.0);
    EXPECT_GE(rmsDb, -20.0);
    EXPECT_LE(rmsDb, -12.0);
    RecordProperty("peakDb", std::to_string(peakDb));
    RecordProperty("rmsDb", std::to_string(rmsDb));

    // No gap at the join: every 50 ms around it has sound in it.
    ASSERT_GT(capture.loopJoinFrame, 48000u);
    for (std::uint64_t start = capture.loopJoinFrame - 24000; start < capture.loopJoinFrame + 24000; start += 2400) {
        double s = 0.0;
        for (std::uint64_t k = start; k < start + 2400; ++k) s += std::abs(capture.frames[k].left) + std::abs(capture.frames[k].right);
        EXPECT_GT(s / 4800.0, 100.0) << "quiet at frame " << start;
    }
}

TEST(SongBuilderTest, CompilesRowsToCommandsWaitsAndEnd) {
    Pattern p(8);
    p.speed(0, 6);
    p.note(0, 2, 45, pad, 9, 3);
    p.volume(3, 2, 4);
    p.pan(3, 15, 12);
    const std::vector<std::uint8_t> expected = {0x01, 6, 0x42, 45, 0x39, pad, 0x00, 3, 0x82, 4, 0xCF, 12, 0x00, 5, 0x02};
    EXPECT_EQ(p.compile(), expected);
}

TEST(SongBuilderTest, LinesHoldNotesAndStopBeforeRests) {
    Pattern p(16);
    p.line(0, {1, lead, 10, 4}, "A4:2 C5:6 r:4 E5:4");
    const std::vector<std::uint8_t> expected = {0x41, 57, 0x4A, lead, 0x00, 2, 0x41, 60, 0x4A, lead, 0x00, 6,
                                                0x81, 0,  0x00, 4, 0x41, 64, 0x4A, lead, 0x00, 4, 0x02};
    EXPECT_EQ(p.compile(), expected);
}

TEST(SongBuilderTest, RefusesWhatTheEngineCannotPlay) {
    struct Case {
        const char* what;
        void (*apply)(Pattern&);
    };
    const Case cases[] = {
        {"row past the end", [](Pattern& p) { p.note(16, 0, 48, kick, 9, 8); }},
        {"channel 16", [](Pattern& p) { p.note(0, 16, 48, kick, 9, 8); }},
        {"note above the instrument's range", [](Pattern& p) { p.note(0, 0, 72, bass, 9, 8); }},
        {"volume 16", [](Pattern& p) { p.volume(0, 0, 16); }},
        {"line longer than the pattern", [](Pattern& p) { p.line(0, {0, lead, 9, 8}, "A4:12 B4:8"); }},
        {"bar line inside a bar", [](Pattern& p) { p.line(0, {0, lead, 9, 8}, "A4:12 | B4:4"); }},
        {"bad note name", [](Pattern& p) { p.line(0, {0, lead, 9, 8}, "H4:4"); }},
    };
    for (const Case& c : cases) {
        Pattern p(16);
        EXPECT_THROW(c.apply(p), FatalError) << c.what;
    }
}

TEST(SongBuilderTest, OverflowNamesThePatternDataRegion) {
    // two patterns of 256 rows with a note on every channel: about 33 000 bytes
    std::vector<Pattern> patterns(patternCount, Pattern(256));
    for (int p = 0; p < 2; ++p) {
        for (int row = 0; row < 256; ++row) {
            for (int c = 0; c < 16; ++c) patterns[static_cast<std::size_t>(p)].note(row, c, 48, kick, 9, 8);
        }
    }
    AssetImageBuffer image;
    try {
        writeSong(image, patterns, std::vector<int>(orderLength, 0));
        FAIL() << "an oversized song was accepted";
    } catch (const FatalError& e) {
        EXPECT_NE(e.message().find("pattern data"), std::string::npos) << e.message();
        EXPECT_NE(e.message().find("17004"), std::string::npos) << e.message();
    }
}

}  // namespace
}  // namespace korvale::gen::music

// The pictures and display tables of the committed image: what the title
// picture must offer the scene, and the joins of every cycle the scene runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <set>
#include <string>

#include "assets/asset_image.hpp"
#include "common/fatal_error.hpp"
#include "scroll_text.hpp"

namespace korvale::gen {
namespace {

using namespace korvale::region;

// The scroller's band covers lines 65-143 at one time or another.
constexpr int bandFirstLine = 65;
constexpr int bandLastLine = 143;

const AssetImage& image() {
    static const AssetImage embedded = AssetImage::embedded();
    return embedded;
}

int titlePixel(int x, int y) { return image().read8(titlePicture.first + static_cast<std::uint32_t>(y * 320 + x)); }

int waveLines(int record, int entry) {
    return image().read16(wave.first + waveRecordSize * static_cast<std::uint32_t>(record) +
                          2 * static_cast<std::uint32_t>(entry)) /
           160;
}

struct Colour {
    int r, g, b;
};
Colour colourAt(std::uint32_t address) {
    return {image().read8(address), image().read8(address + 1), image().read8(address + 2)};
}
int distance(Colour a, Colour b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

TEST(TitlePictureTest, OffersEveryEffectOutsideTheBandsReach) {
    std::set<int> used;
    int animated = 0;
    int rotated = 0;
    std::array<int, 4> light{};
    int lightUnderBand = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            const int v = titlePixel(x, y);
            used.insert(v);
            const bool underBand = y >= bandFirstLine && y <= bandLastLine;
            if (v >= 192 && v <= 215 && underBand) ++lightUnderBand;
            if (underBand) continue;
            if (v >= 151 && v <= 190) ++animated;
            if (v >= 216 && v <= 247) ++rotated;
            if (v >= 192 && v <= 215) ++light[static_cast<std::size_t>((v - 192) / 6)];
        }
    }
    EXPECT_GE(used.size(), 120u);
    EXPECT_GE(animated, 1500);
    EXPECT_GE(rotated, 1500);
    for (int c = 0; c < 4; ++c) EXPECT_GE(light[static_cast<std::size_t>(c)], 150) << "light of channel " << c;
    EXPECT_EQ(lightUnderBand, 0) << "a light the band can cover";
}

TEST(WaveTableTest, StaysReadableAndJoinsEveryCycle) {
    int neighbour = 0;
    int recordStep = 0;
    int phaseWrap = 0;
    for (int m = 0; m < 100; ++m) {
        // Neighbouring screen columns read neighbouring entries 2-639.
        for (int e = 2; e < 639; ++e) neighbour = std::max(neighbour, std::abs(waveLines(m, e) - waveLines(m, e + 1)));
        // Record 99 hands over to record 0 like any other pair.
        for (int e = 2; e < 640; ++e) {
            recordStep = std::max(recordStep, std::abs(waveLines(m, e) - waveLines((m + 1) % 100, e)));
        }
        // When the phase wraps from 640 to 4, column X shows entry 321 - X
        // where it would show entry 641 - X had the phase run on.
        for (int x = 2; x < 320; ++x) {
            phaseWrap = std::max(phaseWrap, std::abs(waveLines(m, 321 - x) - waveLines(m, 641 - x)));
        }
    }
    EXPECT_LE(neighbour, 1);
    EXPECT_LE(recordStep, 3);
    EXPECT_LE(phaseWrap, 1);
}

TEST(PaletteTablesTest, AnimationAndRotationJoinTheirCycles) {
    const auto record = [](int f, int i) {
        return colourAt(paletteAnimation.first + paletteAnimationRecordSize * static_cast<std::uint32_t>(f) +
                        3 * static_cast<std::uint32_t>(i));
    };
    // Records 1-47 are shown in a loop: 47 to 1 must be no bigger a step
    // than the steps inside the cycle.
    int inside = 0;
    for (int f = 1; f < 47; ++f)
        for (int i = 0; i < 40; ++i) inside = std::max(inside, distance(record(f, i), record(f + 1, i)));
    int join = 0;
    for (int i = 0; i < 40; ++i) join = std::max(join, distance(record(47, i), record(1, i)));
    EXPECT_GT(inside, 0) << "the animation does not move";
    EXPECT_LE(join, inside);

    // The rotation turns entry 247 into 216.
    const auto entry = [](int i) { return colourAt(titlePalette.first + 3 * static_cast<std::uint32_t>(i)); };
    int steps = 0;
    for (int i = 216; i < 247; ++i) steps = std::max(steps, distance(entry(i), entry(i + 1)));
    EXPECT_LE(distance(entry(247), entry(216)), steps);
}

TEST(LightsTableTest, EachChannelBrightensWithItsLevelInItsOwnHue) {
    const auto lightEntry = [](int c, int level, int e) {
        return colourAt(lights.first + lightsRecordSize * static_cast<std::uint32_t>(16 * c + level) +
                        3 * static_cast<std::uint32_t>(e));
    };
    std::set<std::array<int, 3>> hues;
    for (int c = 0; c < 4; ++c) {
        int previous = -1;
        for (int level = 0; level < 16; ++level) {
            int sum = 0;
            for (int e = 0; e < 6; ++e) {
                const Colour k = lightEntry(c, level, e);
                sum += k.r + k.g + k.b;
            }
            EXPECT_GT(sum, previous) << "channel " << c << " level " << level;
            previous = sum;
        }
        const Colour core0 = lightEntry(c, 0, 0);
        EXPECT_GE(core0.r + core0.g + core0.b, 30) << "level 0 of channel " << c << " is not visible";
        // The hue: which component leads at full level.
        const Colour body = lightEntry(c, 15, 1);
        hues.insert({body.r * 4 / (body.r + body.g + body.b + 1), body.g * 4 / (body.r + body.g + body.b + 1),
                     body.b * 4 / (body.r + body.g + body.b + 1)});
    }
    EXPECT_EQ(hues.size(), 4u);
}

TEST(FontTest, EveryCellJoinsTheRibbon) {
    // The strip shows glyph rows 0-23; rows 0 and 23 are the ribbon's rims,
    // the same in every cell so that the cells join into one band.
    const auto cellPixel = [](int code, int x, int y) {
        const std::uint32_t g = image().read16(glyphOffsets.first + 2 * static_cast<std::uint32_t>(code - 32));
        return image().read8(fontPicture.first + g + static_cast<std::uint32_t>(y * 320 + x));
    };
    for (int code = firstGlyphCode; code <= lastGlyphCode; ++code) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(cellPixel(code, x, 0), cellPixel(' ', 0, 0)) << "code " << code;
            ASSERT_EQ(cellPixel(code, x, 23), cellPixel(' ', 0, 23)) << "code " << code;
        }
    }
    // Letters and digits all look different.
    std::set<std::string> cells;
    for (int code = '0'; code <= 'Y'; ++code) {
        if (code > '9' && code < 'A') continue;
        std::string pixels;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x) pixels += static_cast<char>(cellPixel(code, x, y));
        cells.insert(pixels);
    }
    EXPECT_EQ(cells.size(), 35u);
}

TEST(ScrollTextTest, OnlyATextThatFillsItsRegionWithGlyphsIsAccepted) {
    EXPECT_NO_THROW(checkScrollText(scrollMessage()));
    const std::string good(scrollMessage());
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"one character short", good.substr(1)},
        {"one character long", good + " "},
        {"lower case", "a" + good.substr(1)},
        {"Z has no glyph", "Z" + good.substr(1)},
        {"control character", "\n" + good.substr(1)},
        {"0 byte inside", std::string(1, '\0') + good.substr(1)},
    };
    for (const auto& c : cases) {
        try {
            checkScrollText(c.text);
            ADD_FAILURE() << c.what << " was accepted";
        } catch (const FatalError& error) {
            EXPECT_NE(error.message().find("scroll text"), std::string::npos) << c.what << ": " << error.message();
        }
    }
}

}  // namespace
}  // namespace korvale::gen

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "scene/scene_fixture.hpp"

namespace korvale {
namespace {

using namespace scenetest;

std::uint32_t widenedColour(const DacPalette& palette, int index) {
    const auto widen = [](std::uint32_t v) { return ((v & 63u) << 2) | ((v & 63u) >> 4); };
    return widen(palette[3 * index]) << 16 | widen(palette[3 * index + 1]) << 8 | widen(palette[3 * index + 2]);
}

ChannelLevels levelsOfTick(std::uint64_t t) {
    return {static_cast<std::int32_t>(t % 16), static_cast<std::int32_t>((t * 3) % 16),
            static_cast<std::int32_t>((t * 5) % 16), static_cast<std::int32_t>((t * 7) % 16)};
}

// Paints the strip the model expects for tick t into `planes`.
void paintExpectedStrip(Planes& planes, std::uint64_t t) {
    for (int x = 0; x < screenWidth; ++x) {
        const std::uint16_t top = expectedStripTop(t, x);
        for (int j = 0; j < stripRows; ++j) {
            planes[x & 3][static_cast<std::uint16_t>(top + 160 * j)] = expectedStripPixel(defaultText, t, x, j);
        }
    }
}

// Runs ticks well past the wave table's cycle (700 ticks) and checks after
// every tick everything the scene owns against a model that knows only the
// tick number: pages, counters, palette ranges, the scroll ring, every plane
// byte and the converted frame.
TEST(SceneTick, EveryTickMatchesTheModel) {
    const auto content = makeContent();
    auto vga = std::make_unique<VgaState>(content->image());
    vga->drawTitlePicture();
    const DacPalette title = vga->palette;
    const auto titleBytes = titlePlanes();
    auto expected = std::make_unique<Planes>();

    for (std::uint64_t t = 1; t <= 710; ++t) {
        SCOPED_TRACE("tick " + std::to_string(t));
        const ChannelLevels levels = levelsOfTick(t);
        vga->runSceneTick(levels);
        const int g = pageOfTick(t);

        ASSERT_EQ(vga->scene.tickCount, t);
        ASSERT_EQ(vga->displayStart, g == 0 ? 80 : 0);
        ASSERT_EQ(vga->stripSaved[0], 1);
        ASSERT_EQ(vga->stripSaved[1], t >= 2 ? 1 : 0);
        ASSERT_EQ(vga->scene.waveRecord, region::wave.first + 1280 * waveRecordOfTick(t));

        // Palette: animation record, lights, rotation, and nothing else.
        const std::uint32_t record = paletteRecordOfTick(t);
        for (std::uint32_t b = 0; b < 120; ++b) {
            ASSERT_EQ(vga->palette[3 * 151 + b], animationByte(record, b)) << "animation byte " << b;
        }
        for (int c = 0; c < 4; ++c) {
            for (std::uint32_t b = 0; b < 18; ++b) {
                const std::uint32_t tableByte = 18 * static_cast<std::uint32_t>(16 * c + levels[c]) + b;
                ASSERT_EQ(vga->palette[3 * (192 + 6 * c) + b], (tableByte * 3) & 63) << "light " << c;
            }
        }
        for (int i = 0; i < 32; ++i) {
            const int to = 216 + static_cast<int>((i + t) % 32);
            for (int b = 0; b < 3; ++b) {
                ASSERT_EQ(vga->palette[3 * to + b], title[3 * (216 + i) + b]) << "rotated entry " << 216 + i;
            }
        }
        for (int b = 0; b < 3 * 256; ++b) {
            const int entry = b / 3;
            if (entry <= 150 || entry == 191 || entry >= 248) {
                ASSERT_EQ(vga->palette[b], title[b]) << "entry " << entry;
            }
        }

        // Scroll ring: both copies of every ring column agree; row 0 stays 0.
        ASSERT_TRUE(std::all_of(vga->scrollBuffer[0].begin(), vga->scrollBuffer[0].end(), [](auto v) { return v == 0; }));
        for (int r = 1; r < scrollRows; ++r) {
            ASSERT_TRUE(std::equal(vga->scrollBuffer[r].begin(), vga->scrollBuffer[r].begin() + 320,
                                   vga->scrollBuffer[r].begin() + 320))
                << "row " << r;
        }

        // Strip tops and save area of the page just drawn: what the strip
        // covered was the title picture, so the restore had left it intact.
        for (int x = 0; x < screenWidth; ++x) {
            const int p = x & 3, k = x / 4;
            const std::uint16_t top = expectedStripTop(t, x);
            ASSERT_EQ(vga->stripTop[g][p][k], top) << "column " << x;
            for (int j = 0; j < stripRows; ++j) {
                ASSERT_EQ(vga->stripSave[g][p][k][j], (*titleBytes)[p][static_cast<std::uint16_t>(top + 160 * j)])
                    << "column " << x << " row " << j;
            }
        }

        // Every plane byte: the title picture with this tick's strip and the
        // previous tick's strip (in the other page) over it, and no leftover
        // of any older strip.
        *expected = *titleBytes;
        if (t >= 2) paintExpectedStrip(*expected, t - 1);
        paintExpectedStrip(*expected, t);
        for (int p = 0; p < planeCount; ++p) {
            const auto mismatch = std::mismatch((*expected)[p].begin(), (*expected)[p].end(), vga->planes[p].begin());
            ASSERT_EQ(mismatch.first, (*expected)[p].end())
                << "plane " << p << " offset " << (mismatch.first - (*expected)[p].begin());
        }

        // The conversion came last and shows the page just drawn.
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) {
                const int index = vga->planes[x & 3][static_cast<std::size_t>(80 * g + 160 * y + x / 4)];
                ASSERT_EQ(vga->frame[static_cast<std::size_t>(320 * y + x)], widenedColour(vga->palette, index))
                    << "pixel " << x << "," << y;
            }
        }
    }
}

TEST(SceneTick, TickCountCarriesIntoItsUpperHalf) {
    const auto content = makeContent();
    auto vga = std::make_unique<VgaState>(content->image());
    const std::uint64_t cases[][2] = {
        {0xFFFF'FFFFull, 0x1'0000'0000ull},
        {0x1'FFFF'FFFFull, 0x2'0000'0000ull},
    };
    for (const auto& c : cases) {
        vga->scene.tickCount = c[0];
        vga->runSceneTick({});
        EXPECT_EQ(vga->scene.tickCount, c[1]);
    }
}

// A failing tick leaves at once: a restart of textPos made before the check
// stays, nothing after the check happens, the count does not move and the
// frame is not converted.
TEST(SceneTick, FailuresLeaveTheTickAtOnce) {
    constexpr std::uint32_t first = region::scrollText.first;
    struct Case {
        const char* name;
        std::string text;
        int goodTicks;                    // ticks run before the one that fails
        std::optional<std::uint32_t> textPos;  // set just before the failing tick
        const char* message;              // nullptr: the tick succeeds
        std::uint32_t textPosAfter;
    };
    const Case cases[] = {
        {"text begins with its 0 byte", "", 0, std::nullopt, "Invalid glyph", first},
        {"restart onto a leading 0 byte", "", 0, first + 7, "Invalid glyph", first},
        {"code 90", "Z", 0, std::nullopt, "Invalid glyph", first},
        {"code 31", "\x1f", 0, std::nullopt, "Invalid glyph", first},
        {"code 89 draws", "Y", 0, std::nullopt, nullptr, first},
        {"invalid code after valid ones", "AB[", 16, std::nullopt, "Invalid glyph", first + 2},
        {"textPos past the image", "A", 3, region::imageLast + 1, "Asset address out of range", region::imageLast + 1},
        {"textPos below the image", "A", 0, region::imageFirst - 1, "Asset address out of range", region::imageFirst - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto content = makeContent(c.text);
        auto vga = std::make_unique<VgaState>(content->image());
        vga->drawTitlePicture();
        for (int i = 0; i < c.goodTicks; ++i) vga->runSceneTick({});
        if (c.textPos) vga->scene.textPos = *c.textPos;

        const SceneState sceneBefore = vga->scene;
        const std::int32_t displayStartBefore = vga->displayStart;
        const DacPalette paletteBefore = vga->palette;
        auto planesBefore = std::make_unique<Planes>(vga->planes);
        std::fill(vga->frame.begin(), vga->frame.end(), 0xDEADBEEFu);

        if (c.message == nullptr) {
            EXPECT_NO_THROW(vga->runSceneTick({}));
            EXPECT_EQ(vga->scene.tickCount, sceneBefore.tickCount + 1);
            EXPECT_NE(vga->frame[0], 0xDEADBEEFu);
            continue;
        }
        try {
            vga->runSceneTick({});
            ADD_FAILURE() << "the tick did not fail";
        } catch (const FatalError& e) {
            EXPECT_EQ(e.message(), c.message);
        }
        EXPECT_EQ(vga->scene.textPos, c.textPosAfter);
        EXPECT_EQ(vga->scene.tickCount, sceneBefore.tickCount);
        EXPECT_EQ(vga->scene.scrollWritePos, sceneBefore.scrollWritePos);
        EXPECT_EQ(vga->scene.paletteFrame, sceneBefore.paletteFrame);
        EXPECT_EQ(vga->scene.glyphColumn, sceneBefore.glyphColumn);
        EXPECT_EQ(vga->displayStart, displayStartBefore);
        EXPECT_EQ(vga->palette, paletteBefore);
        EXPECT_TRUE(vga->planes == *planesBefore);
        EXPECT_TRUE(std::all_of(vga->frame.begin(), vga->frame.end(), [](auto v) { return v == 0xDEADBEEFu; }));
    }
}

}  // namespace
}  // namespace korvale

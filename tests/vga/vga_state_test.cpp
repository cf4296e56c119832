#include <gtest/gtest.h>

#include <memory>

#include "vga/vga_state.hpp"

namespace korvale {
namespace {

constexpr std::uint32_t widen(std::uint32_t v) { return (v << 2) | (v >> 4); }

std::uint32_t rgbOf(const DacPalette& palette, int index) {
    return widen(palette[3 * index] & 63u) << 16 | widen(palette[3 * index + 1] & 63u) << 8 |
           widen(palette[3 * index + 2] & 63u);
}

// A palette that maps each index to a distinct colour, so a frame pixel tells
// which index it came from.
void fillIdentifyingPalette(DacPalette& palette) {
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = static_cast<std::uint8_t>(i & 63);
        palette[3 * i + 1] = static_cast<std::uint8_t>(i >> 6);
        palette[3 * i + 2] = 0;
    }
}

std::uint8_t patternByte(int plane, int offset) { return static_cast<std::uint8_t>(plane * 61 + offset * 7 + (offset >> 8)); }

class VgaStateTest : public ::testing::Test {
protected:
    AssetImageBuffer content;
    std::unique_ptr<VgaState> vga = std::make_unique<VgaState>(content.image());
};

TEST_F(VgaStateTest, ConversionWidensSixBitComponents) {
    struct Case {
        std::uint8_t r, g, b;
        std::uint32_t pixel;
    };
    const Case cases[] = {
        {63, 0, 32, 0x00FF0082}, {1, 16, 48, 0x000441C3}, {15, 31, 0, 0x003C7D00},
        {64, 255, 128, 0x0000FF00},  // only the low six bits count
    };
    for (const auto& c : cases) {
        vga->palette[0] = c.r;
        vga->palette[1] = c.g;
        vga->palette[2] = c.b;
        vga->convertFrame();
        EXPECT_EQ(vga->frame[0], c.pixel) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
    // The whole 6-bit range against the bit-replication formula.
    for (std::uint32_t v = 0; v < 64; ++v) {
        vga->palette[0] = vga->palette[1] = vga->palette[2] = static_cast<std::uint8_t>(v);
        vga->convertFrame();
        EXPECT_EQ(vga->frame[0], widen(v) * 0x010101u) << v;
    }
}

// The shown page is the one at displayStart XOR 80, read plane by plane, and
// offsets wrap within their 64 KiB plane.
TEST_F(VgaStateTest, ConversionReadsTheShownPage) {
    fillIdentifyingPalette(vga->palette);
    for (int p = 0; p < planeCount; ++p) {
        for (int o = 0; o < planeBytes; ++o) vga->planes[p][o] = patternByte(p, o);
    }
    for (const std::int32_t displayStart : {0, 80, 65500 ^ 80}) {
        vga->displayStart = displayStart;
        vga->convertFrame();
        const int shown = (displayStart ^ 80) & 0xFFFF;
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) {
                const int offset = (shown + y * 160 + (x >> 2)) % 65536;
                ASSERT_EQ(vga->frame[y * 320 + x], rgbOf(vga->palette, patternByte(x & 3, offset)))
                    << "displayStart " << displayStart << " pixel " << x << "," << y;
            }
        }
    }
}

TEST_F(VgaStateTest, PaletteChangesShowOnlyAtTheNextConversion) {
    fillIdentifyingPalette(vga->palette);
    vga->convertFrame();
    const std::uint32_t before = vga->frame[0];
    vga->palette[0] = 63;
    EXPECT_EQ(vga->frame[0], before);
    vga->convertFrame();
    EXPECT_EQ(vga->frame[0], 0x00FF0000u);
}

TEST_F(VgaStateTest, TitlePictureFillsBothPagesAndTheFrame) {
    for (std::uint32_t i = 0; i < region::titlePicture.size(); ++i) {
        content.put8(region::titlePicture.first + i, static_cast<std::uint8_t>(i * 7 + i / 320));
    }
    for (std::uint32_t i = 0; i < region::titlePalette.size(); ++i) {
        content.put8(region::titlePalette.first + i, static_cast<std::uint8_t>((i * 5) & 63));
    }
    vga->drawTitlePicture();

    for (int i = 0; i < 768; ++i) EXPECT_EQ(vga->palette[i], (i * 5) & 63);
    for (int p = 0; p < planeCount; ++p) {
        for (int y = 0; y < screenHeight; ++y) {
            for (int c = 0; c < 80; ++c) {
                const int o = y * 160 + c;
                ASSERT_EQ(vga->planes[p][o], vga->planes[p][o + 80]) << "plane " << p << " offset " << o;
            }
        }
        for (int o = 32000; o < planeBytes; ++o) ASSERT_EQ(vga->planes[p][o], 0) << "plane " << p << " offset " << o;
    }
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            const std::uint32_t i = static_cast<std::uint32_t>(y * 320 + x);
            const int index = static_cast<std::uint8_t>(i * 7 + i / 320);
            ASSERT_EQ(vga->frame[i], rgbOf(vga->palette, index)) << x << "," << y;
        }
    }
}

TEST_F(VgaStateTest, LightsCopyTheClampedRecordOfEachChannel) {
    for (std::uint32_t i = 0; i < region::lights.size(); ++i) {
        content.put8(region::lights.first + i, static_cast<std::uint8_t>(i % 61));
    }
    for (int i = 0; i < 768; ++i) vga->palette[i] = 99;
    const ChannelLevels levels{-3, 0, 15, 99};
    vga->updateLights(levels);
    const DacPalette once = vga->palette;
    vga->updateLights(levels);
    EXPECT_EQ(vga->palette, once);

    const int expectedLevel[4] = {0, 0, 15, 15};
    for (int c = 0; c < 4; ++c) {
        const std::uint32_t record = region::lights.first + 18 * static_cast<std::uint32_t>(16 * c + expectedLevel[c]);
        for (int b = 0; b < 18; ++b) {
            EXPECT_EQ(vga->palette[3 * (192 + 6 * c) + b], content.get8(record + static_cast<std::uint32_t>(b)))
                << "channel " << c << " byte " << b;
        }
    }
    for (int i = 0; i < 3 * 192; ++i) ASSERT_EQ(vga->palette[i], 99) << i;
    for (int i = 3 * 216; i < 768; ++i) ASSERT_EQ(vga->palette[i], 99) << i;
}

}  // namespace
}  // namespace korvale

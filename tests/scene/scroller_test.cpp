#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "scene/scene_fixture.hpp"

namespace korvale {
namespace {

using namespace scenetest;

std::uint8_t glyphByte(char code, int group, int row, int pixel) {
    return fontByte(glyphCell(static_cast<unsigned char>(code)) + 320 * static_cast<std::uint32_t>(row) +
                    static_cast<std::uint32_t>(4 * group + pixel));
}

TEST(Scroller, FirstTickFeedsBothCopiesOfRingColumnsZeroToThree) {
    const auto content = makeContent("AB");
    auto vga = std::make_unique<VgaState>(content->image());
    vga->drawTitlePicture();
    vga->runSceneTick({});

    for (int r = 0; r < scrollRows; ++r) {
        for (int c = 0; c < scrollColumns; ++c) {
            const int ringColumn = c % 320;
            const std::uint8_t want = (r >= 1 && ringColumn < 4) ? glyphByte('A', 0, r - 1, ringColumn) : 0;
            ASSERT_EQ(vga->scrollBuffer[r][c], want) << "row " << r << " column " << c;
        }
    }
    EXPECT_EQ(vga->scene.scrollWritePos, 4);
    EXPECT_EQ(vga->scene.glyphColumn, 1);
}

// With a two-character text the 0 byte is met in tick 17: that tick starts
// the text again and shows the first character's column group 0 at the
// right edge, with no blank between the last and the first character.
TEST(Scroller, TextRestartsAtItsZeroByte) {
    const auto content = makeContent("AB");
    auto vga = std::make_unique<VgaState>(content->image());
    vga->drawTitlePicture();
    for (int t = 1; t <= 16; ++t) vga->runSceneTick({});
    ASSERT_EQ(vga->scene.textPos, region::scrollText.first + 2);
    ASSERT_EQ(vga->scene.glyphColumn, 0);

    vga->runSceneTick({});
    EXPECT_EQ(vga->scene.textPos, region::scrollText.first);
    EXPECT_EQ(vga->scene.glyphColumn, 1);
    const int page = 0;  // odd ticks draw page 0
    for (int x = 308; x < 320; ++x) {
        const int p = x & 3, k = x / 4;
        // Columns 316..319: A's first group; 312..315 and 308..311: B's last two.
        const char code = x >= 316 ? 'A' : 'B';
        const int group = x >= 316 ? 0 : (x >= 312 ? 7 : 6);
        EXPECT_EQ(vga->planes[p][vga->stripTop[page][p][k]], 0) << "column " << x;
        for (int j = 1; j < stripRows; ++j) {
            EXPECT_EQ(vga->planes[p][static_cast<std::uint16_t>(vga->stripTop[page][p][k] + 160 * j)],
                      glyphByte(code, group, j - 1, p))
                << "column " << x << " row " << j;
        }
    }
}

}  // namespace
}  // namespace korvale

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "scene/scene_fixture.hpp"

namespace korvale {
namespace {

using namespace scenetest;

// A displacement of 349 lines hangs page 0's strip from offset 65440 + k, so
// rows 1..24 continue at the start of the plane (byte columns 64..143 of
// lines 0..23); page 1's strip wraps into byte columns 0..63 and 144..159,
// away from page 0's. Record 1 lies low and clear of both, so tick 3 shows
// whether the wrapped bytes came back.
TEST(WaveStrip, DisplacementPastThePlaneEndWrapsInSaveDrawAndRestore) {
    constexpr std::uint16_t deep = 160 * 349;
    const auto content = makeContent();
    for (std::uint32_t e = 0; e < 640; ++e) {
        content->put16(region::wave.first + 2 * e, deep);
        content->put16(region::wave.first + region::waveRecordSize + 2 * e, 160 * 10);
    }
    auto vga = std::make_unique<VgaState>(content->image());
    vga->drawTitlePicture();
    const auto title = titlePlanes();
    vga->scene.waveRecordTicks = 4;  // ticks 1 and 2 use record 0, tick 3 record 1

    vga->runSceneTick({});
    ASSERT_EQ(vga->scene.waveRecord, region::wave.first);
    auto drawn = std::make_unique<Planes>(vga->planes);
    for (int p = 0; p < planeCount; ++p) {
        for (int k = 0; k < stripByteColumns; ++k) {
            const std::uint16_t top = vga->stripTop[0][p][k];
            ASSERT_EQ(top, 65440 + k);
            for (int j = 0; j < stripRows; ++j) {
                const std::size_t o = (65440u + static_cast<std::uint32_t>(k) + 160u * static_cast<std::uint32_t>(j)) % 65536u;
                EXPECT_EQ(vga->stripSave[0][p][k][j], (*title)[p][o]) << "plane " << p << " column " << k << " row " << j;
                EXPECT_EQ(vga->planes[p][o], expectedStripPixel(defaultText, 1, 4 * k + p, j));
                (*drawn)[p][o] = (*title)[p][o];
            }
        }
        // Nothing outside the wrapped strip was touched, in this plane or the next.
        EXPECT_TRUE((*drawn)[p] == (*title)[p]) << "plane " << p;
    }

    vga->runSceneTick({});
    vga->runSceneTick({});
    ASSERT_EQ(vga->scene.waveRecord, region::wave.first + region::waveRecordSize);
    // Tick 3 put page 0's wrapped bytes back; only page 1's strip from tick 2
    // and page 0's new low strip differ from the title picture.
    auto expected = std::make_unique<Planes>(*title);
    for (int x = 0; x < screenWidth; ++x) {
        for (int j = 0; j < stripRows; ++j) {
            const int p = x & 3, k = x / 4;
            (*expected)[p][static_cast<std::uint16_t>(80 + 9600 + k + deep + 160 * j)] =
                expectedStripPixel(defaultText, 2, x, j);
            (*expected)[p][static_cast<std::uint16_t>(9600 + k + 1600 + 160 * j)] =
                expectedStripPixel(defaultText, 3, x, j);
        }
    }
    for (int p = 0; p < planeCount; ++p) {
        const auto mismatch = std::mismatch((*expected)[p].begin(), (*expected)[p].end(), vga->planes[p].begin());
        EXPECT_EQ(mismatch.first, (*expected)[p].end())
            << "plane " << p << " offset " << (mismatch.first - (*expected)[p].begin());
    }
}

}  // namespace
}  // namespace korvale

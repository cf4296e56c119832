// Title picture and its palette. Placeholder composition: a sky gradient, a
// band of palette-animation colours, a band of rotation colours and four
// round lights above the scroller's reach.
#include "content.hpp"
#include "detmath.hpp"

namespace korvale::gen {

using namespace korvale::region;

void writeTitlePicture(AssetImageBuffer& image) {
    // Palette: 0-150 a still gradient, 151-190 animated, 191 white,
    // 192-215 lights (set at run time), 216-247 rotated, 248-255 greys.
    for (int i = 0; i < 256; ++i) {
        int r = 0, g = 0, b = 0;
        if (i <= 150) {
            r = i * 20 / 150; g = i * 30 / 150; b = 20 + i * 40 / 150;
        } else if (i <= 190) {
            r = 63; g = (i - 151) * 63 / 39; b = 10;
        } else if (i == 191) {
            r = g = b = 63;
        } else if (i <= 215) {
            r = g = b = 20;
        } else if (i <= 247) {
            const double t = 2.0 * pi * (i - 216) / 32.0;
            r = static_cast<int>(31.5 + 31.0 * detSin(t));
            g = static_cast<int>(31.5 + 31.0 * detSin(t + 2.0));
            b = static_cast<int>(31.5 + 31.0 * detSin(t + 4.0));
        } else {
            r = g = b = (i - 248) * 9;
        }
        const std::uint32_t a = titlePalette.first + 3 * static_cast<std::uint32_t>(i);
        image.put8(a, static_cast<std::uint8_t>(r));
        image.put8(a + 1, static_cast<std::uint8_t>(g));
        image.put8(a + 2, static_cast<std::uint8_t>(b));
    }
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            int index = y * 150 / 199;
            if (y >= 150 && y < 170) index = 151 + (x / 8) % 40;
            if (y >= 172) index = 216 + (x / 10) % 32;
            for (int c = 0; c < 4; ++c) {
                const int dx = x - (40 + 80 * c);
                const int dy = y - 30;
                const int d2 = dx * dx + dy * dy;
                if (d2 < 18 * 18) index = 192 + 6 * c + (d2 * 6) / (18 * 18);
            }
            image.put8(titlePicture.first + static_cast<std::uint32_t>(y * 320 + x), static_cast<std::uint8_t>(index));
        }
    }
}

}  // namespace korvale::gen

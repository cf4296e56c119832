// Lights table, palette animation table and wave table.
#include "content.hpp"
#include "detmath.hpp"

namespace korvale::gen {

using namespace korvale::region;

void writeDisplayTables(AssetImageBuffer& image) {
    // Lights: per channel a hue, brighter with the level; core brightest.
    const int hues[4][3] = {{63, 20, 10}, {20, 63, 20}, {20, 30, 63}, {63, 55, 10}};
    for (int c = 0; c < 4; ++c) {
        for (int level = 0; level < 16; ++level) {
            for (int e = 0; e < 6; ++e) {
                const std::uint32_t a = lights.first + lightsRecordSize * static_cast<std::uint32_t>(16 * c + level) +
                                        3 * static_cast<std::uint32_t>(e);
                for (int k = 0; k < 3; ++k) {
                    const int v = hues[c][k] * (4 + level) * (6 - e) / (19 * 6);
                    image.put8(a + static_cast<std::uint32_t>(k), static_cast<std::uint8_t>(v));
                }
            }
        }
    }
    // Palette animation: a warm gradient sliding through the 40 entries.
    for (std::uint32_t f = 0; f < paletteAnimationRecords; ++f) {
        for (std::uint32_t i = 0; i < 40; ++i) {
            const double t = 2.0 * pi * (static_cast<double>(i) / 40.0 + static_cast<double>(f) / 47.0);
            const std::uint32_t a = paletteAnimation.first + paletteAnimationRecordSize * f + 3 * i;
            image.put8(a, static_cast<std::uint8_t>(32 + 31 * detSin(t)));
            image.put8(a + 1, static_cast<std::uint8_t>(20 + 19 * detSin(t + 1.0)));
            image.put8(a + 2, static_cast<std::uint8_t>(8));
        }
    }
    // Wave: whole lines between 5 and 59.
    for (std::uint32_t m = 0; m < waveRecords; ++m) {
        for (std::uint32_t e = 0; e < 640; ++e) {
            const double t = 2.0 * pi * (static_cast<double>(e) / 160.0 + static_cast<double>(m) / 100.0);
            const int lines = 32 + static_cast<int>(26.0 * detSin(t));
            image.put16(wave.first + waveRecordSize * m + 2 * e, static_cast<std::uint16_t>(lines * 160));
        }
    }
}

}  // namespace korvale::gen

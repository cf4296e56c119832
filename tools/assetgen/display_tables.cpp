// Lights table, palette animation table and wave table.
#include "art.hpp"
#include "content.hpp"
#include "detmath.hpp"

namespace korvale::gen {

using namespace korvale::region;

namespace {

// The night water and sky that the glows fade into.
constexpr Rgb lanternGround{2, 5, 12};
constexpr Rgb auroraGround{2, 4, 15};

// Channel hues: amber, rose, cyan, violet.
constexpr Rgb lanternHue[4] = {{63, 38, 6}, {63, 12, 30}, {8, 44, 63}, {40, 18, 63}};

// From the faint tips of the rays down to the bright lower hem.
constexpr Rgb auroraLevelColour[ink::auroraLevels] = {{20, 8, 34}, {8, 26, 36}, {4, 44, 32}, {12, 60, 36}, {40, 63, 50}};
constexpr double auroraLevelStrength[ink::auroraLevels] = {0.55, 0.7, 0.82, 0.92, 1.0};

int wholeLines(double v) { return static_cast<int>(v + 0.5); }

}  // namespace

Rgb lightColour(int channel, int level, int entry) {
    // Brightness rises with the level; level 0 still shows a dim glow.
    const double t = level / 15.0;
    const double b = 0.2 + 0.8 * t * (0.5 + 0.5 * t);
    const Rgb hue = lanternHue[channel];
    if (entry == 0) return mix(lanternGround, mix(hue, Rgb{63, 63, 63}, 0.35 + 0.4 * t), 0.45 + 0.55 * b);
    if (entry == 1) return mix(lanternGround, hue, 0.3 + 0.7 * b);
    constexpr double halo[4] = {0.75, 0.52, 0.34, 0.2};
    return mix(lanternGround, hue, halo[entry - 2] * (0.2 + 0.8 * b));
}

Rgb auroraColour(int entry, int record) {
    // Records 1-47 are one cycle; record 0 is never shown and repeats 47.
    const int step = record == 0 ? 46 : record - 1;
    const int level = entry / ink::auroraPhases;
    const int phase = entry % ink::auroraPhases;
    const double s = static_cast<double>(phase) / ink::auroraPhases - static_cast<double>(step) / 47.0;
    const double pulse = 0.5 + 0.5 * detSin(2.0 * pi * s);
    const double strength = auroraLevelStrength[level] * (0.4 + 0.6 * pulse);
    return mix(auroraGround, auroraLevelColour[level], strength);
}

// Lines of displacement of wave record m at entry e: one long swell across
// the screen with a smaller ripple riding on it, both whole periods in 320
// entries so that the wave phase may wrap without a seam, and slowly
// changing over the 100 records, which form a closed cycle.
int waveLines(int m, int e) {
    const double u = 2.0 * pi * e / 320.0;
    const double mu = 2.0 * pi * m / 100.0;
    const double swell = (18.0 + 6.0 * detSin(mu)) * detSin(u + mu);
    const double ripple = (3.0 + 1.5 * detSin(2.0 * mu + 1.0)) * detSin(2.0 * u - 3.0 * mu);
    int lines = wholeLines(32.0 + swell + ripple);
    if (lines < 5) lines = 5;
    if (lines > 59) lines = 59;
    return lines;
}

void writeDisplayTables(AssetImageBuffer& image) {
    for (int c = 0; c < 4; ++c) {
        for (int level = 0; level < 16; ++level) {
            for (int e = 0; e < ink::lightEntries; ++e) {
                const Rgb colour = lightColour(c, level, e);
                const std::uint32_t a = lights.first + lightsRecordSize * static_cast<std::uint32_t>(16 * c + level) +
                                        3 * static_cast<std::uint32_t>(e);
                image.put8(a, static_cast<std::uint8_t>(colour.r));
                image.put8(a + 1, static_cast<std::uint8_t>(colour.g));
                image.put8(a + 2, static_cast<std::uint8_t>(colour.b));
            }
        }
    }
    for (std::uint32_t f = 0; f < paletteAnimationRecords; ++f) {
        for (std::uint32_t i = 0; i < 40; ++i) {
            const Rgb colour = auroraColour(static_cast<int>(i), static_cast<int>(f));
            const std::uint32_t a = paletteAnimation.first + paletteAnimationRecordSize * f + 3 * i;
            image.put8(a, static_cast<std::uint8_t>(colour.r));
            image.put8(a + 1, static_cast<std::uint8_t>(colour.g));
            image.put8(a + 2, static_cast<std::uint8_t>(colour.b));
        }
    }
    for (std::uint32_t m = 0; m < waveRecords; ++m) {
        for (std::uint32_t e = 0; e < 640; ++e) {
            const int lines = waveLines(static_cast<int>(m), static_cast<int>(e));
            image.put16(wave.first + waveRecordSize * m + 2 * e, static_cast<std::uint16_t>(lines * 160));
        }
    }
}

}  // namespace korvale::gen

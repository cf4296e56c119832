// Shared pieces of the pictures: the plan of the title palette, which every
// picture and table paints with, and the stroke lettering used by the logo
// and by the scroller's font.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace korvale::gen {

// A DAC colour, each component 0-63.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

using Palette = std::array<Rgb, 256>;

// Who owns which entries of the title palette. The scene animates 151-190,
// 192-215 and 216-247; the rest never change.
namespace ink {
inline constexpr int ribbonEdge = 0;  // also the scroller's top line
inline constexpr int skyFirst = 1;    // 40 shades, zenith to horizon
inline constexpr int skyCount = 40;
inline constexpr int starFirst = 41;  // 6 star brightnesses
inline constexpr int starCount = 6;
inline constexpr int moonFirst = 47;  // 12: halo outwards to bright disc
inline constexpr int moonCount = 12;
inline constexpr int ridgeFirst = 59;  // 3 mountain ranges of 8 shades
inline constexpr int ridgeShades = 8;
inline constexpr int shoreFirst = 83;  // 7: dark shore and mirrored hills in the water
inline constexpr int shoreCount = 7;
inline constexpr int logoFirst = 90;  // 22: the big name
inline constexpr int logoCount = 22;
inline constexpr int nameFirst = 112;  // 10: the group name
inline constexpr int nameCount = 10;
inline constexpr int fontFirst = 122;  // 29: ribbon and letters of the scroller
inline constexpr int fontCount = 29;
inline constexpr int auroraFirst = 151;  // palette animation: 5 levels x 8 phases
inline constexpr int auroraLevels = 5;
inline constexpr int auroraPhases = 8;
inline constexpr int white = 191;
inline constexpr int lightFirst = 192;  // 6 per music channel
inline constexpr int lightEntries = 6;
inline constexpr int waterFirst = 216;  // palette rotation: 32 entries
inline constexpr int waterCount = 32;
inline constexpr int spareFirst = 248;
}  // namespace ink

// Colours that the tables and the picture must agree on.
Rgb lightColour(int channel, int level, int entry);  // display_tables.cpp
Rgb auroraColour(int entry, int record);             // display_tables.cpp, entry 0-39, record 0-47
void fontColours(Palette& palette);                  // font.cpp, entries fontFirst..

// Ordered dithering threshold in [0, 1) for pixel (x, y).
inline double bayer(int x, int y) {
    static constexpr int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (m[y & 3][x & 3] + 0.5) / 16.0;
}

// The shade of a ramp of `count` entries for t in [0, 1], dithered at (x, y).
inline int ditheredShade(double t, int count, int x, int y) {
    if (t < 0.0) t = 0.0;
    if (t > 1.0) t = 1.0;
    const double v = t * (count - 1);
    int base = static_cast<int>(v);
    if (base >= count - 1) return count - 1;
    if (v - base > bayer(x, y)) ++base;
    return base;
}

inline int clamp63(int v) { return v < 0 ? 0 : (v > 63 ? 63 : v); }

// Linear blend of two colours, rounded to the nearest 6-bit step.
inline Rgb mix(Rgb a, Rgb b, double t) {
    const auto one = [t](int p, int q) { return clamp63(static_cast<int>(p + (q - p) * t + 0.5)); };
    return {one(a.r, b.r), one(a.g, b.g), one(a.b, b.b)};
}

// Stroke lettering: each character is a set of round-ended pen strokes on a
// grid 10 units high (cap height), x from 0 to the glyph's width.
struct Stroke {
    double x0, y0, x1, y1;
};
struct StrokeGlyph {
    double width = 0.0;
    std::vector<Stroke> strokes;
};

// The strokes of a character 32-89; anything else is blank.
const StrokeGlyph& strokeGlyph(int code);

// Pen lettering rasterised into a coverage mask of w x h pixels.
class InkMask {
public:
    InkMask(int w, int h) : w_(w), h_(h), ink_(static_cast<std::size_t>(w * h), 0) {}
    // Draws `code` with its left edge at x (pixels) and its cap top at y;
    // unitX/unitY are pixels per grid unit, pen the stroke width in pixels.
    void draw(int code, double x, double y, double unitX, double unitY, double pen);
    // Pixel width of a character as draw() sets it, pen included.
    static double advance(int code, double unitX, double pen);
    [[nodiscard]] bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < w_ && y < h_ && ink_[static_cast<std::size_t>(y * w_ + x)] != 0;
    }
    [[nodiscard]] int width() const { return w_; }
    [[nodiscard]] int height() const { return h_; }

private:
    int w_;
    int h_;
    std::vector<std::uint8_t> ink_;
};

}  // namespace korvale::gen

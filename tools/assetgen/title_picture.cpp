// The title picture: a lake at night under an aurora. "KORVALE" and
// "GLIMMERWAKE" stand in the sky above line 65 and the four lanterns float on
// the water below line 143: the scroller's band never reaches either. The
// band sweeps over the sky, the moon and the mountains in between.
//
// Palette use: the aurora is painted with the animated entries (5 levels of
// brightness x 8 phases), the open water with the rotated entries (ripples
// that roll towards the viewer), the lanterns with the light entries of
// their music channel; everything else with still entries.
#include <cmath>
#include <memory>
#include <string>

#include "art.hpp"
#include "content.hpp"
#include "detmath.hpp"

namespace korvale::gen {

using namespace korvale::region;

namespace {

constexpr int width = 320;
constexpr int height = 200;
constexpr int horizon = 143;  // last row of land; the water starts below

// Still entries of the sky and landscape.
constexpr int moonHaloCount = 6;
constexpr int moonDiscFirst = ink::moonFirst + moonHaloCount;
constexpr int logoFillCount = 14;
constexpr int logoBevelLight = ink::logoFirst + logoFillCount;
constexpr int logoBevelDark = logoBevelLight + 2;
constexpr int logoOutline = logoBevelDark + 2;
constexpr int logoShadow = logoOutline + 2;
static_assert(logoShadow + 2 == ink::logoFirst + ink::logoCount);
constexpr int nameFillCount = 6;
constexpr int nameOutline = ink::nameFirst + nameFillCount;
constexpr int nameShadow = nameOutline + 1;
constexpr int nameRule = nameShadow + 1;  // 2 shades of the rules beside the name
static_assert(nameRule + 2 == ink::nameFirst + ink::nameCount);

struct Canvas {
    std::array<int, width * height> index{};
    int& at(int x, int y) { return index[static_cast<std::size_t>(y * width + x)]; }
};

Rgb blendStops(const Rgb* colours, const double* at, int count, double t) {
    if (t <= at[0]) return colours[0];
    for (int k = 0; k + 1 < count; ++k) {
        if (t <= at[k + 1]) return mix(colours[k], colours[k + 1], (t - at[k]) / (at[k + 1] - at[k]));
    }
    return colours[count - 1];
}

// Sky from the zenith (t = 0) to the horizon (t = 1).
Rgb skyColour(double t) {
    static constexpr Rgb stops[4] = {{0, 0, 6}, {2, 3, 14}, {5, 7, 22}, {14, 12, 30}};
    static constexpr double at[4] = {0.0, 0.4, 0.75, 1.0};
    return blendStops(stops, at, 4, t);
}

double skyT(int y) { return static_cast<double>(y) / horizon; }

// Smooth 1-D value noise from fixed random control points.
class Noise1 {
public:
    Noise1(std::uint32_t seed, int spacing) : spacing_(spacing) {
        Random random(seed);
        for (double& v : values_) v = random.bipolar();
    }
    [[nodiscard]] double at(double x) const {
        const double p = x / spacing_;
        int i = static_cast<int>(p);
        if (p < 0) --i;
        const double f = p - i;
        const double s = (1.0 - detCos(pi * f)) / 2.0;
        const double a = values_[static_cast<std::size_t>(i & 63)];
        const double b = values_[static_cast<std::size_t>((i + 1) & 63)];
        return a + (b - a) * s;
    }

private:
    int spacing_;
    std::array<double, 64> values_{};
};

// --- aurora -------------------------------------------------------------

struct Aurora {
    Noise1 rays{0xA0A0F1u, 5};
    Noise1 fineRays{0x51C0DEu, 2};
    Noise1 height{0x77E1A5u, 37};

    // The curtain's lower hem.
    [[nodiscard]] double hem(double x) const {
        return 55.0 + 10.0 * detSin(2.0 * pi * x / 250.0 + 0.7) + 5.0 * detSin(2.0 * pi * x / 91.0 + 2.0);
    }
    // Brightness 0-1 at (x, y): rays rising from the hem, fading upwards.
    [[nodiscard]] double intensity(double x, double y) const {
        // Rays lean a little, as the curtain folds.
        const double lean = x + 0.25 * (hem(x) - y);
        const double ray = 0.55 + 0.3 * rays.at(lean) + 0.15 * fineRays.at(lean);
        const double h = hem(x);
        const double reach = 26.0 + 10.0 * height.at(x);
        double v;
        if (y <= h) {
            v = detExp(-(h - y) / reach);
        } else {
            v = detExp(-(y - h) / 3.0);
        }
        // Fades out at the screen's sides.
        const double edge = x < 20 ? x / 20.0 : (x > 300 ? (320 - x) / 20.0 : 1.0);
        return v * ray * (0.35 + 0.65 * edge);
    }
    // The animated entry for brightness v at (x, y), or -1 for open sky.
    [[nodiscard]] int entry(int x, int y, double v, int dim) const {
        const double lv = v * (ink::auroraLevels + 1) - 0.6;
        int level = static_cast<int>(lv);
        if (lv < 0) return -1;
        if (lv - level > bayer(x, y)) ++level;
        level = level - 1 - dim;
        if (level < 0) return -1;
        if (level >= ink::auroraLevels) level = ink::auroraLevels - 1;
        const double lean = x + 0.25 * (hem(x) - y);
        int phase = static_cast<int>(lean / 5.0 + 8.0 * rays.at(lean + 100.0)) % ink::auroraPhases;
        if (phase < 0) phase += ink::auroraPhases;
        return ink::auroraFirst + level * ink::auroraPhases + phase;
    }
};

// --- mountains ------------------------------------------------------------

struct Range {
    std::array<double, width> ridge{};
    int firstShade;
};

std::array<Range, 3> makeRanges() {
    std::array<Range, 3> ranges{};
    const double base[3] = {110.0, 124.0, 137.0};
    const double amplitude[3] = {16.0, 10.0, 4.5};
    const std::uint32_t seed[3] = {0x1234567u, 0xBADC0DEu, 0x5EA51DEu};
    for (int r = 0; r < 3; ++r) {
        const Noise1 large(seed[r], 64);
        const Noise1 medium(seed[r] * 3u + 1u, 21);
        const Noise1 small(seed[r] * 7u + 5u, 6);
        ranges[static_cast<std::size_t>(r)].firstShade = ink::ridgeFirst + r * ink::ridgeShades;
        for (int x = 0; x < width; ++x) {
            // Peaks: the folded medium noise gives sharp crests.
            const double m = medium.at(x);
            const double crest = 1.0 - 2.0 * (m < 0 ? -m : m);
            ranges[static_cast<std::size_t>(r)].ridge[static_cast<std::size_t>(x)] =
                base[r] - amplitude[r] * (0.8 * large.at(x) + 0.6 * crest + 0.12 * small.at(x));
        }
    }
    return ranges;
}

// Which range covers (x, y), nearest first; -1 for sky.
int rangeAt(const std::array<Range, 3>& ranges, int x, double y) {
    for (int r = 2; r >= 0; --r) {
        if (y >= ranges[static_cast<std::size_t>(r)].ridge[static_cast<std::size_t>(x)]) return r;
    }
    return -1;
}

// Shade 0 (lit crest) .. 1 (dark foot) of range r at (x, y); slopes facing
// the moon on the right catch more light.
double rangeShade(const Range& range, int x, double y) {
    const double depth = y - range.ridge[static_cast<std::size_t>(x)];
    const int xl = x > 0 ? x - 1 : x;
    const int xr = x < width - 1 ? x + 1 : x;
    const double slope = range.ridge[static_cast<std::size_t>(xr)] - range.ridge[static_cast<std::size_t>(xl)];
    const double lit = slope > 0 ? 0.0 : (slope < -2 ? 0.3 : -slope * 0.15);
    double t = depth / 14.0 + 0.15 - lit;
    return t;
}

// --- lettering --------------------------------------------------------------

struct Lettering {
    InkMask mask{width, height};
    int top = 0;
    int bottom = 0;
};

Lettering letter(const std::string& text, int top, double capHeight, double unitX, double pen, double gap) {
    Lettering result;
    const double unitY = (capHeight - pen) / 10.0;
    double total = 0.0;
    for (char c : text) total += InkMask::advance(c, unitX, pen) + gap;
    total -= gap;
    double x = static_cast<int>((width - total) / 2.0);
    for (char c : text) {
        result.mask.draw(c, x, top, unitX, unitY, pen);
        x += InkMask::advance(c, unitX, pen) + gap;
    }
    result.top = top;
    result.bottom = top + static_cast<int>(capHeight) - 1;
    return result;
}

bool ringOf(const InkMask& mask, int x, int y, int radius) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (dx * dx + dy * dy <= radius * radius + radius && mask.at(x + dx, y + dy)) return true;
    return false;
}

void paintLogo(Canvas& canvas) {
    const Lettering logo = letter("KORVALE", 5, 32.0, 3.0, 6.6, 6.0);
    const double span = logo.bottom - logo.top;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < width; ++x) {
            const InkMask& m = logo.mask;
            if (m.at(x, y)) {
                const double t = (y - logo.top) / span;
                int index = ink::logoFirst + ditheredShade(t, logoFillCount, x, y);
                if (!m.at(x - 1, y - 1) || !m.at(x, y - 1)) index = logoBevelLight + (t > 0.5 ? 1 : 0);
                else if (!m.at(x + 1, y + 1) || !m.at(x, y + 1)) index = logoBevelDark + (t > 0.5 ? 1 : 0);
                canvas.at(x, y) = index;
            } else if (ringOf(m, x, y, 1)) {
                canvas.at(x, y) = logoOutline;
            } else if (m.at(x - 3, y - 3) || m.at(x - 2, y - 3) || m.at(x - 3, y - 2)) {
                canvas.at(x, y) = logoShadow + ((x + y) & 1);
            } else if (ringOf(m, x, y, 2)) {
                canvas.at(x, y) = logoOutline + 1;
            }
        }
    }
}

void paintName(Canvas& canvas) {
    const Lettering name = letter("GLIMMERWAKE", 46, 12.0, 1.25, 2.3, 4.0);
    int left = width, right = 0;
    for (int y = 40; y < 64; ++y) {
        for (int x = 0; x < width; ++x) {
            const InkMask& m = name.mask;
            if (m.at(x, y)) {
                left = x < left ? x : left;
                right = x > right ? x : right;
                const double t = static_cast<double>(y - name.top) / (name.bottom - name.top);
                canvas.at(x, y) = ink::nameFirst + ditheredShade(t, nameFillCount, x, y);
            } else if (ringOf(m, x, y, 1)) {
                canvas.at(x, y) = nameOutline;
            } else if (m.at(x - 1, y - 2) || m.at(x - 2, y - 2)) {
                canvas.at(x, y) = nameShadow;
            }
        }
    }
    // Thin rules that fade out towards the edges, on both sides of the name.
    const int y = (name.top + name.bottom) / 2;
    for (int d = 8; d < 70; ++d) {
        const double fade = (d - 8) / 62.0;
        const int shade = fade + 0.15 * bayer(d, y) > 0.55 ? 1 : 0;
        if (fade > 0.95 && ((d & 1) != 0)) continue;
        canvas.at(left - d, y) = nameRule + shade;
        canvas.at(right + d, y) = nameRule + shade;
    }
    canvas.at(left - 6, y) = ink::nameFirst + 1;
    canvas.at(right + 6, y) = ink::nameFirst + 1;
}

// --- the moon -------------------------------------------------------------------

constexpr double moonX = 262.0;
constexpr double moonY = 84.0;
constexpr double moonRadius = 10.5;
constexpr double moonHalo = 30.0;

void paintMoon(Canvas& canvas, const std::array<Range, 3>& ranges) {
    const Noise1 crater(0xC4A7E4u, 3);
    for (int y = 50; y <= horizon; ++y) {
        for (int x = 220; x < width; ++x) {
            if (rangeAt(ranges, x, y) >= 0) continue;
            const double dx = x + 0.5 - moonX;
            const double dy = y + 0.5 - moonY;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d < moonRadius) {
                // A crescent: the part of the disc outside a second disc
                // shifted to the lower left.
                const double sx = dx + 5.5;
                const double sy = dy - 3.0;
                const bool lit = sx * sx + sy * sy > moonRadius * moonRadius * 0.92;
                if (!lit) {
                    canvas.at(x, y) = moonDiscFirst;  // earthshine
                    continue;
                }
                const double rim = d / moonRadius;
                const double spots = crater.at(x * 1.7 + y * 3.1);
                const double t = 0.15 + 0.55 * rim + 0.25 * spots;
                canvas.at(x, y) = moonDiscFirst + 5 - ditheredShade(t, 5, x, y);
            } else if (d < moonHalo) {
                const double t = (d - moonRadius) / (moonHalo - moonRadius);
                canvas.at(x, y) = ink::moonFirst + moonHaloCount - 1 - ditheredShade(t, moonHaloCount + 1, x, y);
                if (canvas.at(x, y) < ink::moonFirst) canvas.at(x, y) = -1;  // back to the sky
            }
        }
    }
}

// --- water ------------------------------------------------------------------------

struct Lantern {
    double x;
    double y;      // the centre of the paper body
    double scale;  // nearer lanterns are bigger
};
constexpr Lantern lanterns[4] = {{46.0, 163.0, 0.9}, {126.0, 181.0, 1.15}, {203.0, 158.0, 0.8}, {278.0, 174.0, 1.05}};

// The rotated entry for open water at (x, y): ripples in perspective, the
// phase falling towards the viewer so that rotation rolls them forwards.
int waterEntry(int x, int y) {
    const double depth = detLog(y - horizon + 0.5);
    const double wobble = 2.2 * detSin(x / 9.0 + y * 0.9) + 1.3 * detSin(x / 4.3 - y * 1.7);
    const double phase = -40.0 * depth + wobble * (0.4 + (y - horizon) / 56.0);
    int p = static_cast<int>(phase + 1000.0) % ink::waterCount;
    return ink::waterFirst + p;
}

// Broken reflections: whether the water surface at (x, y) shows a ripple
// instead of the reflected picture.
bool rippleBreak(int x, int y) {
    const double nearness = (y - horizon) / 56.0;
    const double v = detSin(x * 0.19 + y * 2.3) + 0.7 * detSin(x * 0.47 - y * 1.1 + 1.0);
    return v > 1.25 - 0.8 * nearness;
}

void paintWater(Canvas& canvas, const std::array<Range, 3>& ranges, const Aurora& aurora) {
    for (int y = horizon + 1; y < height; ++y) {
        const double below = y - horizon - 0.5;
        // The mirror stretches the view a little, so the aurora shows low down.
        const double sourceY = horizon + 0.5 - below * 1.9;
        const double sway = (0.5 + below / 14.0) * detSin(y * 1.3);
        for (int x = 0; x < width; ++x) {
            int sx = static_cast<int>(x + sway + 0.5 * detSin(x * 0.3 + y));
            if (sx < 0) sx = 0;
            if (sx >= width) sx = width - 1;
            int index = waterEntry(x, y);
            if (!rippleBreak(x, y)) {
                const int r = rangeAt(ranges, sx, sourceY);
                if (r >= 0) {
                    const double t = rangeShade(ranges[static_cast<std::size_t>(r)], sx, sourceY);
                    const int base = ink::shoreFirst + (2 - r) * 2;
                    index = base + (t + 0.3 * bayer(x, y) > 0.6 ? 1 : 0);
                    if (y == horizon + 1) index = ink::shoreFirst + ink::shoreCount - 1;
                } else {
                    const int a = aurora.entry(x, y, aurora.intensity(sx, sourceY) * 1.2, 0);
                    if (a >= 0) index = a;
                }
            }
            canvas.at(x, y) = index;
        }
    }
}

void paintLanterns(Canvas& canvas) {
    for (int c = 0; c < 4; ++c) {
        const Lantern& l = lanterns[c];
        const int first = ink::lightFirst + ink::lightEntries * c;
        const double halo = 14.0 * l.scale;
        // The glow, then its reflection: a wavering column below.
        for (int y = static_cast<int>(l.y - halo) - 1; y <= static_cast<int>(l.y + halo * 2.4); ++y) {
            if (y <= horizon || y >= height) continue;
            for (int x = static_cast<int>(l.x - halo) - 1; x <= static_cast<int>(l.x + halo) + 1; ++x) {
                if (x < 0 || x >= width) continue;
                const double dx = x + 0.5 - l.x;
                const double dy = y + 0.5 - l.y;
                const double d = std::sqrt(dx * dx + dy * dy * 1.15) / halo;
                int ring = -1;
                // The outer half of the glow thins out into the ripples.
                if (d < 1.0 && (d < 0.5 || bayer(x, y) < (1.0 - d) / 0.5)) ring = 2 + ditheredShade(d, 4, x, y);
                // Reflection below the float line.
                const double floatLine = l.y + 5.0 * l.scale;
                if (y > floatLine) {
                    const double down = (y - floatLine) / (halo * 1.6);
                    const double wobble = 1.5 * l.scale * detSin(y * 1.1 + c);
                    const double across = (dx - wobble) / (2.6 * l.scale * (1.0 + 0.5 * down));
                    const double r = across * across + down * down * 0.8;
                    if (r < 1.0 && !rippleBreak(x + 3, y)) {
                        const int reflected = 3 + ditheredShade(r, 3, x, y);
                        if (ring < 0 || reflected < ring) ring = reflected;
                    }
                }
                if (ring >= 0) canvas.at(x, y) = first + ring;
            }
        }
        // The paper body: a rounded box, hottest in the middle, with a dark
        // cap and a dark float under it.
        const double bw = 3.6 * l.scale;
        const double bh = 4.6 * l.scale;
        for (int y = static_cast<int>(l.y - bh) - 2; y <= static_cast<int>(l.y + bh) + 2; ++y) {
            for (int x = static_cast<int>(l.x - bw) - 2; x <= static_cast<int>(l.x + bw) + 2; ++x) {
                const double dx = (x + 0.5 - l.x) / bw;
                const double dy = (y + 0.5 - l.y) / bh;
                const double e = dx * dx * dx * dx + dy * dy * dy * dy;
                if (e < 1.0) {
                    canvas.at(x, y) = first + (dx * dx + dy * dy < 0.3 ? 0 : 1);
                }
            }
        }
        const int capY = static_cast<int>(l.y - bh - 0.5);
        const int floatY = static_cast<int>(l.y + bh + 0.5);
        for (int x = static_cast<int>(l.x - bw * 0.6); x <= static_cast<int>(l.x + bw * 0.6); ++x) {
            canvas.at(x, capY) = ink::shoreFirst + 4;
        }
        for (int x = static_cast<int>(l.x - bw * 1.3); x <= static_cast<int>(l.x + bw * 1.3); ++x) {
            canvas.at(x, floatY) = ink::shoreFirst + 5;
            canvas.at(x, floatY + 1) = ink::shoreFirst + 6;
        }
    }
}

// --- the sky ----------------------------------------------------------------------

void paintSky(Canvas& canvas, const Aurora& aurora, const std::array<Range, 3>& ranges) {
    for (int y = 0; y <= horizon; ++y) {
        for (int x = 0; x < width; ++x) {
            canvas.at(x, y) = ink::skyFirst + ditheredShade(skyT(y), ink::skyCount, x, y);
        }
    }
    // Stars, more of them high up; none where the aurora is bright.
    Random random(0x57A125u);
    for (int i = 0; i < 260; ++i) {
        const int x = static_cast<int>(random.next() % width);
        const double r = random.unit();
        const int y = static_cast<int>(r * r * 118.0);
        const int brightness = static_cast<int>(random.next() % ink::starCount);
        if (aurora.intensity(x, y) > 0.3 || rangeAt(ranges, x, y + 1) >= 0) continue;
        canvas.at(x, y) = ink::starFirst + brightness;
        if (brightness == ink::starCount - 1 && x > 0 && x < width - 1 && y > 0) {
            canvas.at(x - 1, y) = ink::starFirst + 1;
            canvas.at(x + 1, y) = ink::starFirst + 1;
            canvas.at(x, y - 1) = ink::starFirst + 1;
            canvas.at(x, y + 1) = ink::starFirst + 1;
        }
    }
    for (int y = 0; y <= horizon; ++y) {
        for (int x = 0; x < width; ++x) {
            const int a = aurora.entry(x, y, aurora.intensity(x, y), 0);
            if (a >= 0) canvas.at(x, y) = a;
        }
    }
}

void paintMountains(Canvas& canvas, const std::array<Range, 3>& ranges) {
    for (int y = 60; y <= horizon; ++y) {
        for (int x = 0; x < width; ++x) {
            const int r = rangeAt(ranges, x, y + 0.5);
            if (r < 0) continue;
            const Range& range = ranges[static_cast<std::size_t>(r)];
            canvas.at(x, y) = range.firstShade + ditheredShade(rangeShade(range, x, y + 0.5), ink::ridgeShades, x, y);
        }
    }
}

Palette makeTitlePalette() {
    Palette p{};
    for (int i = 0; i < ink::skyCount; ++i) p[ink::skyFirst + i] = skyColour(i / (ink::skyCount - 1.0));
    for (int i = 0; i < ink::starCount; ++i) {
        const double t = i / (ink::starCount - 1.0);
        p[ink::starFirst + i] = mix(Rgb{12, 13, 24}, Rgb{56, 58, 63}, t);
    }
    const Rgb moonSky = skyColour(skyT(static_cast<int>(moonY)));
    for (int i = 0; i < moonHaloCount; ++i) {
        const double t = (i + 1.0) / moonHaloCount;
        p[ink::moonFirst + i] = mix(moonSky, Rgb{34, 36, 48}, 0.45 * t * t);
    }
    p[moonDiscFirst] = {9, 10, 25};
    for (int i = 1; i < 6; ++i) p[moonDiscFirst + i] = mix(Rgb{30, 31, 38}, Rgb{62, 61, 52}, (i - 1) / 4.0);
    const Rgb crest[3] = {{19, 19, 36}, {11, 13, 26}, {5, 8, 14}};
    const Rgb foot[3] = {{8, 9, 23}, {4, 6, 15}, {1, 2, 5}};
    for (int r = 0; r < 3; ++r) {
        for (int i = 0; i < ink::ridgeShades; ++i) {
            p[ink::ridgeFirst + r * ink::ridgeShades + i] = mix(crest[r], foot[r], i / (ink::ridgeShades - 1.0));
        }
    }
    // Mirrored ranges, near first (darkest), then the shore line.
    const Rgb shore[ink::shoreCount] = {{2, 4, 9}, {1, 3, 7}, {4, 6, 15}, {3, 4, 12}, {7, 8, 19}, {5, 6, 16}, {1, 2, 4}};
    for (int i = 0; i < ink::shoreCount; ++i) p[ink::shoreFirst + i] = shore[i];
    // Logo: ice above a dark horizon line, violet light below it.
    const Rgb logoStops[5] = {{60, 63, 63}, {24, 44, 62}, {6, 10, 30}, {34, 20, 50}, {63, 50, 63}};
    const double logoAt[5] = {0.0, 0.44, 0.52, 0.6, 1.0};
    for (int i = 0; i < logoFillCount; ++i) {
        p[ink::logoFirst + i] = blendStops(logoStops, logoAt, 5, i / (logoFillCount - 1.0));
    }
    p[logoBevelLight] = {63, 63, 63};
    p[logoBevelLight + 1] = {63, 56, 63};
    p[logoBevelDark] = {10, 18, 40};
    p[logoBevelDark + 1] = {30, 12, 40};
    p[logoOutline] = {0, 0, 4};
    p[logoOutline + 1] = {6, 8, 24};
    p[logoShadow] = {0, 0, 3};
    p[logoShadow + 1] = {1, 1, 6};
    const Rgb nameStops[3] = {{63, 60, 44}, {63, 44, 12}, {50, 28, 6}};
    const double nameAt[3] = {0.0, 0.5, 1.0};
    for (int i = 0; i < nameFillCount; ++i) {
        p[ink::nameFirst + i] = blendStops(nameStops, nameAt, 3, i / (nameFillCount - 1.0));
    }
    p[nameOutline] = {1, 1, 5};
    p[nameShadow] = {0, 0, 3};
    p[nameRule] = {44, 30, 10};
    p[nameRule + 1] = {20, 14, 14};
    fontColours(p);
    // The animated and lit entries start as their tables' colours before the
    // first tick: the aurora as it stands just before record 1.
    for (int i = 0; i < 40; ++i) p[ink::auroraFirst + i] = auroraColour(i, 47);
    p[ink::white] = {63, 63, 63};
    for (int c = 0; c < 4; ++c)
        for (int e = 0; e < ink::lightEntries; ++e) p[ink::lightFirst + ink::lightEntries * c + e] = lightColour(c, 0, e);
    // Water: dark blue with two soft highlights per turn of the rotation.
    for (int i = 0; i < ink::waterCount; ++i) {
        const double c = detCos(2.0 * pi * i / 16.0);
        const double crest = (0.5 + 0.5 * c) * (0.5 + 0.5 * c) * (0.5 + 0.5 * c);
        p[ink::waterFirst + i] = mix(Rgb{2, 5, 14}, Rgb{16, 26, 42}, crest);
    }
    for (int i = 0; i < 8; ++i) p[ink::spareFirst + i] = {i * 8, i * 8, i * 8};
    return p;
}

}  // namespace

void writeTitlePicture(AssetImageBuffer& image) {
    const Palette palette = makeTitlePalette();
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t a = region::titlePalette.first + 3 * static_cast<std::uint32_t>(i);
        image.put8(a, static_cast<std::uint8_t>(palette[static_cast<std::size_t>(i)].r));
        image.put8(a + 1, static_cast<std::uint8_t>(palette[static_cast<std::size_t>(i)].g));
        image.put8(a + 2, static_cast<std::uint8_t>(palette[static_cast<std::size_t>(i)].b));
    }

    auto canvas = std::make_unique<Canvas>();
    const Aurora aurora;
    const auto ranges = makeRanges();
    paintSky(*canvas, aurora, ranges);
    paintMountains(*canvas, ranges);
    paintMoon(*canvas, ranges);
    for (int y = 0; y <= horizon; ++y)
        for (int x = 0; x < width; ++x)
            if (canvas->at(x, y) < 0) canvas->at(x, y) = ink::skyFirst + ditheredShade(skyT(y), ink::skyCount, x, y);
    paintWater(*canvas, ranges, aurora);
    paintLanterns(*canvas);
    paintLogo(*canvas);
    paintName(*canvas);

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.put8(titlePicture.first + static_cast<std::uint32_t>(y * width + x),
                       static_cast<std::uint8_t>(canvas->at(x, y)));
        }
    }
}

}  // namespace korvale::gen

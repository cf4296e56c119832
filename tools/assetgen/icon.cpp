// The icon is the intro in miniature: night sky, the moon's glow, the big K
// of the name and, where there is room, the four lanterns that follow the
// music. Integer maths only, so every machine writes the same bytes.
#include "icon.hpp"

#include <png.h>

#include <csetjmp>
#include <cstddef>

#include "common/fatal_error.hpp"

namespace korvale::gen {

namespace {

// Shapes live in a 65536 x 65536 square, whatever the pixel size.
constexpr std::int64_t unit = 65536;
// Subsamples per pixel side: 16 per pixel keep the edges smooth at 16 x 16.
constexpr int subsamples = 4;

struct Point {
    std::int64_t x;
    std::int64_t y;
};

struct Colour {
    std::int64_t r, g, b, a;  // 0-255 each, straight alpha
};

// Convex polygon, corners in one turning direction.
template <std::size_t N>
bool insideConvex(const std::array<Point, N>& corners, Point p) {
    bool anyPositive = false;
    bool anyNegative = false;
    for (std::size_t i = 0; i < N; ++i) {
        const Point a = corners[i];
        const Point b = corners[(i + 1) % N];
        const std::int64_t cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        anyPositive = anyPositive || cross > 0;
        anyNegative = anyNegative || cross < 0;
    }
    return !(anyPositive && anyNegative);
}

bool insideRoundedSquare(Point p, std::int64_t margin, std::int64_t radius) {
    const std::int64_t low = margin + radius;
    const std::int64_t high = unit - margin - radius;
    const std::int64_t cx = p.x < low ? low : (p.x > high ? high : p.x);
    const std::int64_t cy = p.y < low ? low : (p.y > high ? high : p.y);
    const std::int64_t dx = p.x - cx;
    const std::int64_t dy = p.y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

bool insideCircle(Point p, Point centre, std::int64_t radius) {
    const std::int64_t dx = p.x - centre.x;
    const std::int64_t dy = p.y - centre.y;
    return dx * dx + dy * dy <= radius * radius;
}

// The letter K as three convex pieces: stem, arm, leg.
constexpr std::array<Point, 4> stem = {{{17500, 11500}, {27500, 11500}, {27500, 54000}, {17500, 54000}}};
constexpr std::array<Point, 4> arm = {{{26000, 29000}, {45000, 11500}, {57500, 11500}, {26000, 42000}}};
constexpr std::array<Point, 4> leg = {{{31500, 32000}, {38500, 25000}, {57500, 54000}, {45000, 54000}}};

bool insideLetter(Point p) { return insideConvex(stem, p) || insideConvex(arm, p) || insideConvex(leg, p); }

// The four lanterns of the title picture, left to right.
constexpr std::array<Colour, 4> lightColours = {{
    {255, 170, 60, 255},
    {240, 70, 130, 255},
    {70, 150, 255, 255},
    {190, 90, 255, 255},
}};

Colour sample(Point p, bool withLights) {
    constexpr std::int64_t margin = unit / 32;
    if (!insideRoundedSquare(p, margin, unit * 3 / 16)) {
        return {0, 0, 0, 0};
    }
    // Sky: deep blue at the top, darker towards the ground.
    Colour c{18 - 12 * p.y / unit, 26 - 14 * p.y / unit, 84 - 52 * p.y / unit, 255};

    // The moon's glow behind the letter: (1 - d^2/R^2)^2, in 1/65536 steps.
    const Point moon{unit * 5 / 8, unit * 3 / 8};
    const std::int64_t radius = unit * 9 / 16;
    const std::int64_t dx = p.x - moon.x;
    const std::int64_t dy = p.y - moon.y;
    const std::int64_t d2 = dx * dx + dy * dy;
    if (d2 < radius * radius) {
        const std::int64_t t = ((radius * radius - d2) << 16) / (radius * radius);
        const std::int64_t glow = (t * t) >> 16;
        c.r += (230 * glow) >> 16;
        c.g += (196 * glow) >> 16;
        c.b += (150 * glow) >> 16;
    }

    // A drop shadow, away from the moon, keeps the letter apart from the
    // glow at small sizes.
    const Point shadowed{p.x + unit / 40, p.y - unit / 40};
    if (insideLetter(shadowed)) {
        c = {c.r / 3, c.g / 3, c.b / 3, 255};
    }
    if (insideLetter(p)) {
        // Moonlit from the upper right: brighter towards it.
        const std::int64_t lit = (p.x + (unit - p.y)) * 24 / (2 * unit);
        c = {231 + lit, 234 + lit, 231 + lit, 255};
    }

    if (withLights) {
        for (std::size_t i = 0; i < lightColours.size(); ++i) {
            const Point centre{unit * static_cast<std::int64_t>(5 + 2 * i) / 16, unit * 59 / 64};
            if (insideCircle(p, centre, unit / 30)) {
                c = lightColours[i];
            }
        }
    }
    c.r = c.r > 255 ? 255 : c.r;
    c.g = c.g > 255 ? 255 : c.g;
    c.b = c.b > 255 ? 255 : c.b;
    return c;
}

void appendLe16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    appendLe16(out, value & 0xFFFFu);
    appendLe16(out, value >> 16);
}

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// Only plain data lives in this function, so the encoder's error exit by
// longjmp skips no destructor.
bool encodeInto(std::vector<std::uint8_t>& out, const std::uint8_t* rgba, int size, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, &appendToVector, &flushNothing);
    const auto side = static_cast<png_uint_32>(size);
    png_set_IHDR(png, info, side, side, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Fixed settings: the committed icon must come out the same every time.
    png_set_compression_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    for (int y = 0; y < size; ++y) {
        rows[y] = const_cast<png_bytep>(rgba + static_cast<std::size_t>(y) * static_cast<std::size_t>(size) * 4);
    }
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> drawIcon(int size) {
    // The lights would be a pixel or two across below 48: noise, not lights.
    const bool withLights = size >= 48;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4);
    const std::int64_t steps = static_cast<std::int64_t>(size) * subsamples;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Premultiplied sums, so edge pixels do not pick up the colour of
            // the transparent outside.
            std::int64_t r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < subsamples; ++sy) {
                for (int sx = 0; sx < subsamples; ++sx) {
                    const Point p{((x * subsamples + sx) * 2 + 1) * unit / (2 * steps),
                                  ((y * subsamples + sy) * 2 + 1) * unit / (2 * steps)};
                    const Colour c = sample(p, withLights);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            std::uint8_t* pixel = &rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + x) * 4];
            constexpr std::int64_t count = subsamples * subsamples;
            if (a == 0) {
                pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0;
                continue;
            }
            pixel[0] = static_cast<std::uint8_t>((r + a / 2) / a);
            pixel[1] = static_cast<std::uint8_t>((g + a / 2) / a);
            pixel[2] = static_cast<std::uint8_t>((b + a / 2) / a);
            pixel[3] = static_cast<std::uint8_t>((a + count / 2) / count);
        }
    }
    return rgba;
}

std::vector<std::uint8_t> encodePng(const std::vector<std::uint8_t>& rgba, int size) {
    std::vector<std::uint8_t> out;
    std::vector<png_bytep> rows(static_cast<std::size_t>(size));
    if (!encodeInto(out, rgba.data(), size, rows.data())) {
        throw FatalError("Icon PNG encoding failed");
    }
    return out;
}

std::vector<std::uint8_t> buildIconFile() {
    std::vector<std::vector<std::uint8_t>> images;
    for (const int size : iconSizes) {
        images.push_back(encodePng(drawIcon(size), size));
    }
    constexpr std::uint32_t directoryBytes = 6;
    constexpr std::uint32_t entryBytes = 16;
    std::vector<std::uint8_t> file;
    appendLe16(file, 0);  // reserved
    appendLe16(file, 1);  // an icon, not a cursor
    appendLe16(file, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = directoryBytes + entryBytes * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        // One byte per side: 256 is written as 0.
        const auto side = static_cast<std::uint8_t>(iconSizes[i] & 0xFF);
        file.push_back(side);
        file.push_back(side);
        file.push_back(0);    // no palette
        file.push_back(0);    // reserved
        appendLe16(file, 1);  // planes
        appendLe16(file, 32);
        appendLe32(file, static_cast<std::uint32_t>(images[i].size()));
        appendLe32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    return file;
}

}  // namespace korvale::gen

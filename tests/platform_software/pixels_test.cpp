// The software drawing against the plain per-pixel formulas it promises,
// over enlargements, reductions and every kind of clipping.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/software/pixels.hpp"

namespace korvale::platform::software {
namespace {

struct Canvas {
    std::int32_t width;
    std::int32_t height;
    std::vector<std::uint32_t> pixels;

    Canvas(std::int32_t w, std::int32_t h, std::uint32_t seed) : width(w), height(h), pixels(w * h) {
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<std::uint32_t>(i * 2654435761u + seed) & 0x00FFFFFFu;
        }
    }
    PixelBuffer buffer() { return {pixels.data(), width, height}; }
};

// Destination pixel (dx, dy) of the destination rectangle shows source pixel
// ((dx - left) * image width / destination width, likewise for y); pixels
// outside the canvas or the rectangle keep their value.
std::vector<std::uint32_t> expectedStretch(const Canvas& before, const Rect& d, const Canvas& image) {
    std::vector<std::uint32_t> result = before.pixels;
    const std::int64_t w = static_cast<std::int64_t>(d.right) - d.left;
    const std::int64_t h = static_cast<std::int64_t>(d.bottom) - d.top;
    if (w <= 0 || h <= 0) {
        return result;
    }
    for (std::int64_t y = d.top; y < d.bottom; ++y) {
        for (std::int64_t x = d.left; x < d.right; ++x) {
            if (x < 0 || y < 0 || x >= before.width || y >= before.height) {
                continue;
            }
            const std::int64_t sx = (x - d.left) * image.width / w;
            const std::int64_t sy = (y - d.top) * image.height / h;
            result[y * before.width + x] = image.pixels[sy * image.width + sx];
        }
    }
    return result;
}

TEST(SoftwareDrawing, StretchTakesTheSourcePixelOfTheFormula) {
    struct Case {
        const char* name;
        std::int32_t canvasWidth;
        std::int32_t canvasHeight;
        Rect destination;
        std::int32_t imageWidth;
        std::int32_t imageHeight;
    };
    const Case cases[] = {
        {"full screen, bars left and right", 1920, 1080, {240, 0, 1680, 1080}, 320, 200},
        {"exact 3x", 960, 600, {0, 0, 960, 600}, 320, 200},
        {"odd enlargement", 333, 211, {5, 7, 331, 209}, 17, 13},
        {"reduction", 100, 80, {0, 0, 100, 80}, 320, 200},
        {"one pixel", 1, 1, {0, 0, 1, 1}, 320, 200},
        {"clipped on every side", 50, 40, {-13, -9, 71, 55}, 23, 19},
        {"entirely outside", 50, 40, {60, 50, 90, 70}, 8, 8},
        {"empty rectangle", 50, 40, {10, 10, 10, 30}, 8, 8},
        {"reversed rectangle", 50, 40, {30, 30, 10, 10}, 8, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(c.canvasWidth, c.canvasHeight, 7);
        const Canvas image(c.imageWidth, c.imageHeight, 99);
        const std::vector<std::uint32_t> expected = expectedStretch(canvas, c.destination, image);
        stretchNearest(canvas.buffer(), c.destination,
                       ImageView{image.pixels.data(), image.width, image.height});
        EXPECT_EQ(canvas.pixels, expected);
    }
}

TEST(SoftwareDrawing, CopyMovesTheOverlapOfBothBuffersOnly) {
    struct Case {
        const char* name;
        std::int32_t x, y, width, height, sourceX, sourceY;
    };
    const Case cases[] = {
        {"inside both", 3, 4, 10, 6, 2, 1},
        {"whole", 0, 0, 30, 20, 0, 0},
        {"target off the left and top", -4, -3, 12, 9, 0, 0},
        {"source off the left and top", 2, 2, 12, 9, -5, -2},
        {"past the right and bottom of both", 20, 12, 40, 40, 15, 9},
        {"nothing left", 40, 0, 5, 5, 0, 0},
        {"negative size", 2, 2, -3, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas target(30, 20, 1);
        const Canvas source(25, 16, 2);
        std::vector<std::uint32_t> expected = target.pixels;
        for (std::int64_t row = 0; row < c.height; ++row) {
            for (std::int64_t column = 0; column < c.width; ++column) {
                const std::int64_t tx = c.x + column, ty = c.y + row;
                const std::int64_t sx = c.sourceX + column, sy = c.sourceY + row;
                if (tx >= 0 && ty >= 0 && tx < target.width && ty < target.height && sx >= 0 && sy >= 0 &&
                    sx < source.width && sy < source.height) {
                    expected[ty * target.width + tx] = source.pixels[sy * source.width + sx];
                }
            }
        }
        Canvas sourceCopy = source;
        copyRect(target.buffer(), c.x, c.y, c.width, c.height, sourceCopy.buffer(), c.sourceX, c.sourceY);
        EXPECT_EQ(target.pixels, expected);
    }
}

TEST(SoftwareDrawing, FillCoversTheClippedArea) {
    for (const std::uint32_t colour : {0x00000000u, 0x00123456u}) {
        Canvas canvas(20, 10, 3);
        std::vector<std::uint32_t> expected = canvas.pixels;
        for (int y = 0; y < 6; ++y) {
            for (int x = 15; x < 20; ++x) {
                expected[y * 20 + x] = colour;
            }
        }
        fillRect(canvas.buffer(), Rect{15, -4, 40, 6}, colour);
        EXPECT_EQ(canvas.pixels, expected) << std::hex << colour;
        fillRect(canvas.buffer(), Rect{12, 2, 8, 9}, colour);  // reversed: nothing
        EXPECT_EQ(canvas.pixels, expected) << std::hex << colour;
    }
}

}  // namespace
}  // namespace korvale::platform::software

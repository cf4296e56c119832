#include "platform/software/pixels.hpp"

#include <algorithm>

namespace korvale::platform::software {

void fillRect(PixelBuffer target, const Rect& area, std::uint32_t colour) {
    const std::int32_t left = std::max(area.left, 0);
    const std::int32_t top = std::max(area.top, 0);
    const std::int32_t right = std::min(area.right, target.width);
    const std::int32_t bottom = std::min(area.bottom, target.height);
    for (std::int32_t y = top; y < bottom; ++y) {
        std::uint32_t* row = target.pixels + static_cast<std::int64_t>(y) * target.width;
        std::fill(row + left, row + std::max(left, right), colour);
    }
}

void stretchNearest(PixelBuffer target, const Rect& destination, const ImageView& image) {
    const std::int64_t width = static_cast<std::int64_t>(destination.right) - destination.left;
    const std::int64_t height = static_cast<std::int64_t>(destination.bottom) - destination.top;
    if (width <= 0 || height <= 0 || image.width <= 0 || image.height <= 0) {
        return;
    }
    const std::int32_t left = std::max(destination.left, 0);
    const std::int32_t top = std::max(destination.top, 0);
    const std::int32_t right = std::min(destination.right, target.width);
    const std::int32_t bottom = std::min(destination.bottom, target.height);
    for (std::int32_t y = top; y < bottom; ++y) {
        const std::int64_t sourceY = (y - destination.top) * static_cast<std::int64_t>(image.height) / height;
        const std::uint32_t* sourceRow = image.pixels + sourceY * image.width;
        std::uint32_t* row = target.pixels + static_cast<std::int64_t>(y) * target.width;
        for (std::int32_t x = left; x < right; ++x) {
            const std::int64_t sourceX = (x - destination.left) * static_cast<std::int64_t>(image.width) / width;
            row[x] = sourceRow[sourceX];
        }
    }
}

void copyRect(PixelBuffer target, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              PixelBuffer source, std::int32_t sourceX, std::int32_t sourceY) {
    for (std::int32_t row = 0; row < height; ++row) {
        const std::int64_t ty = static_cast<std::int64_t>(y) + row;
        const std::int64_t sy = static_cast<std::int64_t>(sourceY) + row;
        if (ty < 0 || ty >= target.height || sy < 0 || sy >= source.height) {
            continue;
        }
        for (std::int32_t column = 0; column < width; ++column) {
            const std::int64_t tx = static_cast<std::int64_t>(x) + column;
            const std::int64_t sx = static_cast<std::int64_t>(sourceX) + column;
            if (tx < 0 || tx >= target.width || sx < 0 || sx >= source.width) {
                continue;
            }
            target.pixels[ty * target.width + tx] = source.pixels[sy * source.width + sx];
        }
    }
}

}  // namespace korvale::platform::software

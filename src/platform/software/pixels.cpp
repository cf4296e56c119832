#include "platform/software/pixels.hpp"

#include <algorithm>
#include <cstring>

namespace korvale::platform::software {

namespace {

// Source index of destination step `offset` out of `length` steps over
// `sourceLength` source pixels: offset * sourceLength / length, rounded down.
// Kept as quotient and remainder so that the next step needs no division.
struct Step {
    std::int64_t quotient;
    std::int64_t remainder;

    Step(std::int64_t offset, std::int64_t sourceLength, std::int64_t length)
        : quotient(offset * sourceLength / length), remainder(offset * sourceLength % length) {}

    void advance(std::int64_t sourceLength, std::int64_t length) {
        remainder += sourceLength;
        while (remainder >= length) {
            remainder -= length;
            ++quotient;
        }
    }
};

}  // namespace

void fillRect(PixelBuffer target, const Rect& area, std::uint32_t colour) {
    const std::int32_t left = std::max(area.left, 0);
    const std::int32_t top = std::max(area.top, 0);
    const std::int32_t right = std::min(area.right, target.width);
    const std::int32_t bottom = std::min(area.bottom, target.height);
    if (left >= right) {
        return;
    }
    for (std::int32_t y = top; y < bottom; ++y) {
        std::uint32_t* row = target.pixels + static_cast<std::int64_t>(y) * target.width;
        if (colour == 0) {
            // Black, the one colour the presenter fills with, every frame over
            // the whole back buffer: the C library's fill is several times
            // faster than a loop.
            std::memset(row + left, 0, static_cast<std::size_t>(right - left) * sizeof(std::uint32_t));
        } else {
            std::fill(row + left, row + right, colour);
        }
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
    if (left >= right || top >= bottom) {
        return;
    }
    // Enlarging repeats each source row over several destination rows: the
    // first is drawn, the others copy it. At full-screen sizes this is most
    // of the work of a presentation.
    const std::size_t rowBytes = static_cast<std::size_t>(right - left) * sizeof(std::uint32_t);
    const std::uint32_t* drawnRow = nullptr;
    std::int64_t drawnSourceY = -1;
    Step sourceY(top - static_cast<std::int64_t>(destination.top), image.height, height);
    for (std::int32_t y = top; y < bottom; ++y, sourceY.advance(image.height, height)) {
        std::uint32_t* row = target.pixels + static_cast<std::int64_t>(y) * target.width;
        if (sourceY.quotient == drawnSourceY) {
            std::memcpy(row + left, drawnRow + left, rowBytes);
            continue;
        }
        const std::uint32_t* sourceRow = image.pixels + sourceY.quotient * image.width;
        Step sourceX(left - static_cast<std::int64_t>(destination.left), image.width, width);
        for (std::int32_t x = left; x < right; ++x, sourceX.advance(image.width, width)) {
            row[x] = sourceRow[sourceX.quotient];
        }
        drawnRow = row;
        drawnSourceY = sourceY.quotient;
    }
}

void copyRect(PixelBuffer target, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              PixelBuffer source, std::int32_t sourceX, std::int32_t sourceY) {
    // Clip once: columns and rows that fall outside either buffer are dropped
    // from both sides together, so what remains lines up.
    std::int64_t tx = x;
    std::int64_t ty = y;
    std::int64_t sx = sourceX;
    std::int64_t sy = sourceY;
    std::int64_t w = width;
    std::int64_t h = height;
    const std::int64_t skipLeft = std::max({std::int64_t{0}, -tx, -sx});
    const std::int64_t skipTop = std::max({std::int64_t{0}, -ty, -sy});
    tx += skipLeft;
    sx += skipLeft;
    w -= skipLeft;
    ty += skipTop;
    sy += skipTop;
    h -= skipTop;
    w = std::min({w, target.width - tx, source.width - sx});
    h = std::min({h, target.height - ty, source.height - sy});
    if (w <= 0 || h <= 0) {
        return;
    }
    for (std::int64_t row = 0; row < h; ++row) {
        // memmove: source and target may be the same buffer.
        std::memmove(target.pixels + (ty + row) * target.width + tx, source.pixels + (sy + row) * source.width + sx,
                     static_cast<std::size_t>(w) * sizeof(std::uint32_t));
    }
}

}  // namespace korvale::platform::software

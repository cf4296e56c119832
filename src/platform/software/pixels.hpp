// Drawing on plain pixel buffers, for backends whose system draws nothing
// for us. The results match the drawing contract of platform/drawing.hpp:
// nearest-neighbour stretching, whole pixels only.
#pragma once

#include <cstdint>

#include "platform/drawing.hpp"

namespace korvale::platform::software {

// width x height pixels 0x00RRGGBB, rows top to bottom, no padding.
struct PixelBuffer {
    std::uint32_t* pixels;
    std::int32_t width;
    std::int32_t height;
};

// Fills `area`, clipped to the buffer.
void fillRect(PixelBuffer target, const Rect& area, std::uint32_t colour);
// Draws all of `image` scaled into `destination`, clipped to the buffer.
// Destination pixel (dx, dy) takes source pixel
// ((dx - left) * image.width / destinationWidth, same for y).
void stretchNearest(PixelBuffer target, const Rect& destination, const ImageView& image);
// Copies width x height pixels from (sourceX, sourceY) of `source` to (x, y)
// of `target`; parts outside either buffer are skipped.
void copyRect(PixelBuffer target, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              PixelBuffer source, std::int32_t sourceX, std::int32_t sourceY);

}  // namespace korvale::platform::software

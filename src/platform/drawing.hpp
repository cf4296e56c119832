// The presenter's drawing operations: an off-screen back buffer (a memory
// drawing context with a bitmap selected into it), a black fill, a stretch
// of the 32-bit frame into it, and a copy of part of it onto the window.
// Main thread only.
#pragma once

#include <cstdint>

namespace korvale::platform {

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;   // exclusive
    std::int32_t bottom = 0;  // exclusive
};

// A window's drawing context (from beginPaint) or a memory one. Null is
// "none".
struct DrawingContextObject;
using DrawingContext = DrawingContextObject*;

// A bitmap, or whatever a memory context held before the host selected its
// own bitmap into it. Null is "none".
struct BitmapObject;
using Bitmap = BitmapObject*;

// 32-bit pixels 0x00RRGGBB, rows from top to bottom, `width` pixels a row.
struct ImageView {
    const std::uint32_t* pixels;
    std::int32_t width;
    std::int32_t height;
};

// A memory drawing context compatible with `like`. Null on failure.
[[nodiscard]] DrawingContext createMemoryContext(DrawingContext like);
// Releases a memory context; the host has selected its original bitmap back.
void deleteMemoryContext(DrawingContext context);

// A width x height bitmap compatible with `like` (a window's context), its
// content undefined. Null on failure.
[[nodiscard]] Bitmap createCompatibleBitmap(DrawingContext like, std::int32_t width, std::int32_t height);
// Selects `bitmap` into the memory context; drawing on the context then
// draws on it. Returns the bitmap selected before, or null on failure (then
// nothing changed).
[[nodiscard]] Bitmap selectBitmap(DrawingContext context, Bitmap bitmap);
// Releases a bitmap that is not selected into any context.
void deleteBitmap(Bitmap bitmap);

// Stretches on `context` drop or repeat whole pixels, never blend them.
// Result not relied on.
void setNearestNeighbourStretch(DrawingContext context);

// Fills `area` of the context's bitmap with black. False on failure.
[[nodiscard]] bool fillBlack(DrawingContext context, const Rect& area);
// Draws the whole of `image` into `destination` on the context, scaled to
// the destination's size. False on failure.
[[nodiscard]] bool stretchImage(DrawingContext context, const Rect& destination, const ImageView& image);
// Copies the width x height pixels at (sourceX, sourceY) of `source` to
// (x, y) of `target`. False on failure.
[[nodiscard]] bool copyPixels(DrawingContext target, std::int32_t x, std::int32_t y, std::int32_t width,
                              std::int32_t height, DrawingContext source, std::int32_t sourceX,
                              std::int32_t sourceY);

}  // namespace korvale::platform

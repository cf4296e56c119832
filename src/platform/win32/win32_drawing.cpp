#include "platform/drawing.hpp"
#include "platform/win32/win32_api.hpp"

namespace korvale::platform {

using win32::as;

DrawingContext createMemoryContext(DrawingContext like) { return as<DrawingContext>(CreateCompatibleDC(as<HDC>(like))); }

void deleteMemoryContext(DrawingContext context) { DeleteDC(as<HDC>(context)); }

Bitmap createCompatibleBitmap(DrawingContext like, std::int32_t width, std::int32_t height) {
    return as<Bitmap>(CreateCompatibleBitmap(as<HDC>(like), width, height));
}

Bitmap selectBitmap(DrawingContext context, Bitmap bitmap) {
    HGDIOBJ before = SelectObject(as<HDC>(context), as<HGDIOBJ>(bitmap));
    if (before == nullptr || before == HGDI_ERROR) {
        return nullptr;
    }
    return as<Bitmap>(before);
}

void deleteBitmap(Bitmap bitmap) { DeleteObject(as<HGDIOBJ>(bitmap)); }

void setNearestNeighbourStretch(DrawingContext context) { SetStretchBltMode(as<HDC>(context), COLORONCOLOR); }

bool fillBlack(DrawingContext context, const Rect& area) {
    const RECT rect{area.left, area.top, area.right, area.bottom};
    return FillRect(as<HDC>(context), &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))) != 0;
}

bool stretchImage(DrawingContext context, const Rect& destination, const ImageView& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int result = StretchDIBits(as<HDC>(context), destination.left, destination.top,
                                     destination.right - destination.left, destination.bottom - destination.top, 0,
                                     0, image.width, image.height, image.pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    return result != 0 && result != static_cast<int>(GDI_ERROR);
}

bool copyPixels(DrawingContext target, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                DrawingContext source, std::int32_t sourceX, std::int32_t sourceY) {
    return BitBlt(as<HDC>(target), x, y, width, height, as<HDC>(source), sourceX, sourceY, SRCCOPY) != 0;
}

}  // namespace korvale::platform

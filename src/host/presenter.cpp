#include "host/presenter.hpp"

#include "vga/vga_state.hpp"

namespace korvale {

PictureRect fitFourThree(std::int32_t width, std::int32_t height) {
    const std::int32_t q = (3 * width) / 4;
    std::int32_t targetWidth = width;
    std::int32_t targetHeight = q;
    if (q > height) {  // wider than 4:3
        targetWidth = (4 * height) / 3;
        targetHeight = height;
    }
    return {(width - targetWidth) / 2, (height - targetHeight) / 2, targetWidth, targetHeight};
}

bool Presenter::makeBackBuffer(platform::DrawingContext window, std::int32_t width, std::int32_t height) {
    if (memory_ == nullptr) {
        memory_ = platform::createMemoryContext(window);
        if (memory_ == nullptr) {
            return false;
        }
    }
    // Compatible with the window, not with the memory context, which would
    // give a one-bit bitmap.
    platform::Bitmap bitmap = platform::createCompatibleBitmap(window, width, height);
    if (bitmap == nullptr) {
        return false;
    }
    platform::Bitmap selectedBefore = platform::selectBitmap(memory_, bitmap);
    if (selectedBefore == nullptr) {
        platform::deleteBitmap(bitmap);
        return false;
    }
    if (bitmap_ != nullptr) {
        platform::deleteBitmap(bitmap_);
    } else {
        previous_ = selectedBefore;
    }
    bitmap_ = bitmap;
    width_ = width;
    height_ = height;
    platform::setNearestNeighbourStretch(memory_);
    return true;
}

void Presenter::paint(platform::DrawingContext window, const platform::Rect& client, const platform::Rect& update,
                      const std::uint32_t* frame) {
    const std::int32_t width = client.right - client.left;
    const std::int32_t height = client.bottom - client.top;
    if (width <= 0 || height <= 0) {
        return;  // minimised: nothing to draw, not a failure
    }
    if (memory_ == nullptr || width != width_ || height != height_) {
        if (!makeBackBuffer(window, width, height)) {
            failed_ = 1;
            return;
        }
    }
    if (!platform::fillBlack(memory_, {0, 0, width_, height_})) {
        failed_ = 1;
        return;
    }
    const PictureRect picture = fitFourThree(width_, height_);
    if (picture.width > 0 && picture.height > 0) {
        const platform::Rect destination{picture.x, picture.y, picture.x + picture.width,
                                         picture.y + picture.height};
        if (!platform::stretchImage(memory_, destination, {frame, screenWidth, screenHeight})) {
            failed_ = 1;
            return;
        }
    }
    if (update.right <= update.left || update.bottom <= update.top) {
        return;
    }
    if (!platform::copyPixels(window, update.left, update.top, update.right - update.left, update.bottom - update.top,
                              memory_, update.left, update.top)) {
        failed_ = 1;
    }
}

void Presenter::release() {
    if (memory_ != nullptr) {
        if (previous_ != nullptr) {
            // The result is the own bitmap, deleted just below.
            static_cast<void>(platform::selectBitmap(memory_, previous_));
        }
        if (bitmap_ != nullptr) {
            platform::deleteBitmap(bitmap_);
        }
        platform::deleteMemoryContext(memory_);
    }
    memory_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    width_ = 0;
    height_ = 0;
}

}  // namespace korvale

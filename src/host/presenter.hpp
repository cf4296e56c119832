// Shows the 320 x 200 frame in the window: a back buffer of the client size,
// black bars, the largest centred 4:3 picture, and a copy of the part the
// system asks for. Never throws: a failed drawing step sets the failed flag,
// which the main loop reports.
#pragma once

#include <cstdint>

#include "platform/drawing.hpp"

namespace korvale {

// Where the picture goes in a width x height client area.
struct PictureRect {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

// The largest 4:3 rectangle that fits, centred; integer division towards
// zero (a 1-pixel-high area gets a picture of height 0).
[[nodiscard]] PictureRect fitFourThree(std::int32_t width, std::int32_t height);

class Presenter {
public:
    Presenter() = default;
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;
    ~Presenter() { release(); }

    // Draws `frame` (320 x 200 pixels 0x00RRGGBB, top row first) for the
    // window whose paint context is `window`.
    void paint(platform::DrawingContext window, const platform::Rect& client, const platform::Rect& update,
               const std::uint32_t* frame);
    // Frees the back buffer; the next paint makes a new one. The failed flag
    // stays.
    void release();

    [[nodiscard]] bool failed() const { return failed_ != 0; }
    [[nodiscard]] std::int32_t width() const { return width_; }
    [[nodiscard]] std::int32_t height() const { return height_; }
    [[nodiscard]] bool hasBackBuffer() const { return memory_ != nullptr; }

private:
    [[nodiscard]] bool makeBackBuffer(platform::DrawingContext window, std::int32_t width, std::int32_t height);

    platform::DrawingContext memory_ = nullptr;
    platform::Bitmap bitmap_ = nullptr;
    platform::Bitmap previous_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::uint8_t failed_ = 0;
};

}  // namespace korvale

// Frames as the outputs store them: 320 x 200 pixels of three bytes R, G, B,
// top line first.
#pragma once

#include <array>
#include <cstdint>

#include "vga/vga_state.hpp"

namespace korvale::capture {

inline constexpr std::size_t rgb24FrameBytes = static_cast<std::size_t>(screenWidth) * screenHeight * 3;
using Rgb24Frame = std::array<std::uint8_t, rgb24FrameBytes>;

inline void toRgb24(const RgbFrame& frame, Rgb24Frame& out) {
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const std::uint32_t pixel = frame[i];
        out[3 * i] = static_cast<std::uint8_t>(pixel >> 16);
        out[3 * i + 1] = static_cast<std::uint8_t>(pixel >> 8);
        out[3 * i + 2] = static_cast<std::uint8_t>(pixel);
    }
}

}  // namespace korvale::capture

#include <cstdint>

#include "vga/vga_state.hpp"

namespace korvale {

namespace {

// 6-bit DAC intensity to 8 bits by repeating its top two bits below it, so
// that 0 stays black and 63 becomes full white.
constexpr std::uint32_t widen(std::uint32_t v) { return (v << 2) | (v >> 4); }

}  // namespace

void VgaState::convertFrame() {
    // Widen the palette once per conversion rather than once per pixel.
    std::uint32_t rgb[256];
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t r = palette[3 * i] & 63u;
        const std::uint32_t g = palette[3 * i + 1] & 63u;
        const std::uint32_t b = palette[3 * i + 2] & 63u;
        rgb[i] = (widen(r) << 16) | (widen(g) << 8) | widen(b);
    }

    const std::uint32_t shown = static_cast<std::uint32_t>(shownPage());
    const std::uint8_t* p0 = planes[0].data();
    const std::uint8_t* p1 = planes[1].data();
    const std::uint8_t* p2 = planes[2].data();
    const std::uint8_t* p3 = planes[3].data();
    std::uint32_t* out = frame.data();
    for (std::uint32_t y = 0; y < screenHeight; ++y) {
        const std::uint32_t lineStart = shown + y * lineBytes;
        for (std::uint32_t k = 0; k < screenWidth / 4; ++k) {
            const std::uint32_t o = (lineStart + k) & 0xFFFFu;
            out[0] = rgb[p0[o]];
            out[1] = rgb[p1[o]];
            out[2] = rgb[p2[o]];
            out[3] = rgb[p3[o]];
            out += 4;
        }
    }
}

}  // namespace korvale

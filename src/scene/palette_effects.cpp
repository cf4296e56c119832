#include <algorithm>

#include "vga/vga_state.hpp"

namespace korvale {

namespace {
constexpr int animatedFirstEntry = 151;  // 40 entries, one animation record
constexpr int rotatedFirstEntry = 216;
constexpr int rotatedLastEntry = 247;
}  // namespace

void VgaState::animatePalette() {
    const std::uint32_t record = region::paletteAnimation.first +
                                 region::paletteAnimationRecordSize * static_cast<std::uint32_t>(scene.paletteFrame);
    const auto colours = image_.span(record, region::paletteAnimationRecordSize);
    std::copy(colours.begin(), colours.end(), palette.begin() + 3 * animatedFirstEntry);
}

void VgaState::rotatePalette() {
    const auto first = palette.begin() + 3 * rotatedFirstEntry;
    const auto last = palette.begin() + 3 * rotatedLastEntry;
    const std::uint8_t r = last[0], g = last[1], b = last[2];
    std::copy_backward(first, last, last + 3);
    first[0] = r;
    first[1] = g;
    first[2] = b;
}

}  // namespace korvale

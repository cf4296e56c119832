#include <algorithm>

#include "vga/vga_state.hpp"

namespace korvale {

namespace {
constexpr int firstLightEntry = 192;
constexpr int entriesPerLight = 6;
}  // namespace

void VgaState::updateLights(const ChannelLevels& levels) {
    for (int c = 0; c < 4; ++c) {
        // Only the system's own levels are 0-15; clamping keeps any other value
        // inside the lights table.
        const std::int32_t level = std::clamp(levels[c], 0, 15);
        const std::uint32_t record =
            region::lights.first + region::lightsRecordSize * static_cast<std::uint32_t>(16 * c + level);
        const auto colours = image_.span(record, region::lightsRecordSize);
        std::copy(colours.begin(), colours.end(),
                  palette.begin() + 3 * (firstLightEntry + entriesPerLight * c));
    }
}

}  // namespace korvale

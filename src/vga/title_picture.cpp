#include <algorithm>

#include "vga/vga_state.hpp"

namespace korvale {

void VgaState::drawTitlePicture() {
    const auto colours = image_.span(region::titlePalette.first, region::titlePalette.size());
    std::copy(colours.begin(), colours.end(), palette.begin());

    // The picture goes into both pages, so it is on screen whichever is shown.
    const auto picture = image_.span(region::titlePicture.first, region::titlePicture.size());
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            const std::uint8_t index = picture[static_cast<std::size_t>(y * screenWidth + x)];
            const int offset = y * lineBytes + (x >> 2);
            planes[x & 3][offset] = index;
            planes[x & 3][offset + pageOffsetStep] = index;
        }
    }
    convertFrame();
}

}  // namespace korvale

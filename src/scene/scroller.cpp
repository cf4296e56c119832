#include <algorithm>

#include "vga/vga_state.hpp"

namespace korvale {

namespace {
constexpr std::int32_t glyphColumnGroups = 8;
constexpr std::uint32_t columnGroupWidth = 4;
}  // namespace

std::uint32_t VgaState::fetchGlyphSource() {
    std::uint8_t code = image_.read8(scene.textPos);
    if (code == 0) {
        scene.textPos = region::scrollText.first;
        code = image_.read8(scene.textPos);
    }
    // A text that begins with its 0 byte reads the 0 again here and fails too.
    if (code < region::firstGlyphCode || code > region::lastGlyphCode) throw FatalError("Invalid glyph");
    const std::uint32_t cell = image_.read16(region::glyphOffsets.first +
                                             region::glyphOffsetSize * (code - region::firstGlyphCode));
    return region::fontPicture.first + cell + columnGroupWidth * static_cast<std::uint32_t>(scene.glyphColumn);
}

void VgaState::feedGlyphColumn(std::uint32_t source, std::int32_t ringColumn) {
    // Buffer row 0 stays 0: it is the top pixel of every strip column.
    for (int r = 0; r < stripRows; ++r) {
        const auto piece = image_.span(source + region::fontPictureWidth * static_cast<std::uint32_t>(r),
                                       columnGroupWidth);
        std::copy(piece.begin(), piece.end(), scrollBuffer[static_cast<std::size_t>(r + 1)].begin() + ringColumn);
    }
}

void VgaState::advanceText() {
    scene.glyphColumn += 1;
    if (scene.glyphColumn == glyphColumnGroups) {
        scene.glyphColumn = 0;
        scene.textPos += 1;
    }
}

}  // namespace korvale

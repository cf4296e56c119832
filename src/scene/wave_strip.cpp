#include "vga/vga_state.hpp"

namespace korvale {

namespace {
// The strip hangs from line 60 of the page and is lowered from there by the
// wave entry of its column.
constexpr std::uint32_t stripHangOffset = 60 * lineBytes;
// Entry 319 + wavePhase / 2 - X of the record: the wave moves right while
// the text moves left.
constexpr std::uint32_t waveWindowStart = region::waveEntrySize * (screenWidth - 1);
}  // namespace

void VgaState::restoreStrip(int page) {
    if (stripSaved[page] == 0) return;
    // The recorded tops, not fresh ones: the wave has moved on since this page
    // was drawn two ticks ago.
    for (int p = 0; p < planeCount; ++p) {
        std::uint8_t* plane = planes[p].data();
        for (int k = 0; k < stripByteColumns; ++k) {
            const std::uint16_t top = stripTop[page][p][k];
            const auto& saved = stripSave[page][p][k];
            for (int j = 0; j < stripRows; ++j) {
                plane[static_cast<std::uint16_t>(top + lineBytes * j)] = saved[j];
            }
        }
    }
}

void VgaState::drawStrip(int page) {
    const std::uint32_t pageOffset = static_cast<std::uint32_t>(page * pageOffsetStep);
    const std::uint32_t windowStart =
        scene.waveRecord + waveWindowStart + static_cast<std::uint32_t>(scene.wavePhase);
    for (int p = 0; p < planeCount; ++p) {
        std::uint8_t* plane = planes[p].data();
        for (int k = 0; k < stripByteColumns; ++k) {
            const int x = 4 * k + p;
            const std::uint16_t displacement =
                image_.read16(windowStart - region::waveEntrySize * static_cast<std::uint32_t>(x));
            // Offsets are 16-bit: a strip lowered past the end of the plane
            // continues at its start, the same way in save, draw and restore.
            const auto top = static_cast<std::uint16_t>(pageOffset + stripHangOffset +
                                                        static_cast<std::uint32_t>(k) + displacement);
            stripTop[page][p][k] = top;
            auto& saved = stripSave[page][p][k];
            const std::size_t column = static_cast<std::size_t>(x + scene.scrollWritePos);
            for (int j = 0; j < stripRows; ++j) {
                const std::uint16_t o = static_cast<std::uint16_t>(top + lineBytes * j);
                saved[j] = plane[o];
                plane[o] = scrollBuffer[j][column];
            }
        }
    }
}

}  // namespace korvale

#include "vga/vga_state.hpp"

namespace korvale {

namespace {
// Where the counters wrap; they reach these values inside a tick, and the
// strip is drawn with them before they are wrapped.
constexpr std::int32_t scrollRingColumns = screenWidth;
constexpr std::int32_t wavePhaseCycle = 640;
constexpr std::int32_t paletteFrameCycle = 47;
constexpr std::int32_t ticksPerWaveRecord = 7;
constexpr std::uint32_t waveTableEnd = region::wave.first + region::waveRecords * region::waveRecordSize;
}  // namespace

void VgaState::runSceneTick(const ChannelLevels& levels) {
    // The start-of-tick write position names both copies of this tick's
    // column group: one ahead of the drawn window now, one behind it later.
    const std::int32_t writeColumn = scene.scrollWritePos;
    const std::uint32_t glyphSource = fetchGlyphSource();
    feedGlyphColumn(glyphSource, writeColumn + scrollRingColumns);
    advanceCounters();
    animatePalette();
    updateLights(levels);
    rotatePalette();
    // The page the closing conversion will show: displayStart as it was before the flip.
    const int page = shownPage() / pageOffsetStep;
    restoreStrip(page);
    drawStrip(page);
    stripSaved[page] = 1;
    wrapCounters();
    feedGlyphColumn(glyphSource, writeColumn);
    advanceText();
    ++scene.tickCount;
    convertFrame();
}

void VgaState::advanceCounters() {
    scene.scrollWritePos += 4;
    scene.paletteFrame += 1;
    displayStart ^= pageOffsetStep;
    scene.wavePhase += 4;
    scene.waveRecordTicks += 1;
    if (scene.waveRecordTicks == ticksPerWaveRecord) {
        scene.waveRecordTicks = 0;
        scene.waveRecord += region::waveRecordSize;
        if (scene.waveRecord >= waveTableEnd) scene.waveRecord = region::wave.first;
    }
}

void VgaState::wrapCounters() {
    if (scene.paletteFrame == paletteFrameCycle) scene.paletteFrame = 0;
    if (scene.scrollWritePos == scrollRingColumns) scene.scrollWritePos = 0;
    if (scene.wavePhase == wavePhaseCycle) scene.wavePhase = 0;
}

}  // namespace korvale

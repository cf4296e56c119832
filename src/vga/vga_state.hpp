// The emulated display: four planes of display memory holding two pages, the
// 6-bit DAC palette, the converted RGB frame, and the scene that draws into it.
#pragma once

#include <array>
#include <cstdint>

#include "assets/asset_image.hpp"
#include "common/channel_levels.hpp"

namespace korvale {

inline constexpr int screenWidth = 320;
inline constexpr int screenHeight = 200;
inline constexpr int planeCount = 4;
inline constexpr int planeBytes = 65536;
inline constexpr int lineBytes = 160;  // one line of the 640-pixel virtual screen, per plane
inline constexpr int pageOffsetStep = 80;  // the pages sit at plane offsets 0 and 80

using Plane = std::array<std::uint8_t, planeBytes>;
using DacPalette = std::array<std::uint8_t, 256 * 3>;                  // r, g, b per entry, 6-bit
using RgbFrame = std::array<std::uint32_t, screenWidth * screenHeight>;  // 0x00RRGGBB, top line first

// The scroll ring: every ring column c is held twice, at c and c + 320.
inline constexpr int scrollRows = 26;
inline constexpr int scrollColumns = 640;
using ScrollBuffer = std::array<std::array<std::uint8_t, scrollColumns>, scrollRows>;

inline constexpr int stripRows = 25;
inline constexpr int stripByteColumns = 80;

// The scene's counters. Their initial values are the program's static data.
struct SceneState {
    std::uint32_t textPos = region::scrollText.first;
    std::uint32_t waveRecord = region::wave.first;
    std::int32_t scrollWritePos = 0;
    std::int32_t wavePhase = 0;
    std::int32_t paletteFrame = 0;
    std::int32_t waveRecordTicks = 0;
    std::int32_t glyphColumn = 0;
    std::uint64_t tickCount = 0;  // completed scene ticks
};

class VgaState {
public:
    explicit VgaState(const AssetImage& image) : image_(image) {}

    // Palette and both pages from the title picture, then a conversion.
    void drawTitlePicture();
    // `frame` from the shown page (displayStart XOR 80) and `palette`.
    void convertFrame();
    // Palette entries 192-215 from the lights table; levels are clamped to 0-15.
    void updateLights(const ChannelLevels& levels);
    // The scene frame routine: advances the scene by exactly one video tick and
    // converts the page it drew. Throws FatalError ("Invalid glyph", "Asset
    // address out of range"); then the tick count is not incremented.
    void runSceneTick(const ChannelLevels& levels);

    [[nodiscard]] int shownPage() const { return (displayStart ^ pageOffsetStep) & 0xFFFF; }
    [[nodiscard]] const AssetImage& image() const { return image_; }

    std::array<Plane, planeCount> planes{};

    // Scene buffers.
    ScrollBuffer scrollBuffer{};
    std::array<std::array<std::array<std::uint16_t, stripByteColumns>, planeCount>, 2> stripTop{};
    std::array<std::array<std::array<std::array<std::uint8_t, stripRows>, stripByteColumns>, planeCount>, 2> stripSave{};
    std::array<std::uint8_t, 2> stripSaved{};

    DacPalette palette{};
    RgbFrame frame{};
    SceneState scene{};
    std::int32_t displayStart = 0;

private:
    // Steps of the scene tick, defined in src/scene/.
    [[nodiscard]] std::uint32_t fetchGlyphSource();
    void feedGlyphColumn(std::uint32_t source, std::int32_t ringColumn);
    void advanceCounters();
    void animatePalette();
    void rotatePalette();
    void restoreStrip(int page);
    void drawStrip(int page);
    void wrapCounters();
    void advanceText();

    AssetImage image_;
};

}  // namespace korvale

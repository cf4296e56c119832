// A small hand-made content image for the scene tests, and an independent
// model of what the scene should show in a given tick.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "assets/asset_image.hpp"
#include "vga/vga_state.hpp"

namespace korvale::scenetest {

inline std::uint8_t titleByte(int x, int y) { return static_cast<std::uint8_t>(1 + (x * 7 + y * 13) % 250); }
inline std::uint8_t fontByte(std::uint32_t offset) { return static_cast<std::uint8_t>(1 + offset % 211); }
// Cells on no 4-column grid, spread over the font picture.
inline std::uint16_t glyphCell(int code) {
    const int n = code - region::firstGlyphCode;
    return static_cast<std::uint16_t>(320 * 25 * (n / 9) + 35 * (n % 9));
}
inline std::uint8_t animationByte(std::uint32_t record, std::uint32_t b) {
    return static_cast<std::uint8_t>((record * 5 + b) & 63);
}
// Whole lines of 5 to 59, different in every record.
inline std::uint16_t waveEntry(std::uint32_t record, std::uint32_t entry) {
    return static_cast<std::uint16_t>(lineBytes * (5 + (entry * 7 + record * 13) % 55));
}

inline const std::string defaultText = "SCENE, TEST Y";

// Fills every region the scene reads; the text is followed by its 0 byte.
inline std::unique_ptr<AssetImageBuffer> makeContent(const std::string& text = defaultText) {
    auto content = std::make_unique<AssetImageBuffer>();
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            content->put8(region::titlePicture.first + static_cast<std::uint32_t>(320 * y + x), titleByte(x, y));
        }
    }
    for (std::uint32_t i = 0; i < 256; ++i) {
        content->put8(region::titlePalette.first + 3 * i, static_cast<std::uint8_t>(i & 63));
        content->put8(region::titlePalette.first + 3 * i + 1, static_cast<std::uint8_t>((i >> 2) & 63));
        content->put8(region::titlePalette.first + 3 * i + 2, static_cast<std::uint8_t>((i * 7) & 63));
    }
    for (std::uint32_t o = 0; o < region::fontPicture.size(); ++o) {
        content->put8(region::fontPicture.first + o, fontByte(o));
    }
    for (std::uint32_t i = 0; i < text.size(); ++i) {
        content->put8(region::scrollText.first + i, static_cast<std::uint8_t>(text[i]));
    }
    content->put8(region::scrollText.first + static_cast<std::uint32_t>(text.size()), 0);
    for (int code = region::firstGlyphCode; code <= region::lastGlyphCode + 1; ++code) {
        content->put16(region::glyphOffsets.first + 2 * static_cast<std::uint32_t>(code - 32), glyphCell(code));
    }
    for (std::uint32_t f = 0; f < region::paletteAnimationRecords; ++f) {
        for (std::uint32_t b = 0; b < region::paletteAnimationRecordSize; ++b) {
            content->put8(region::paletteAnimation.first + 120 * f + b, animationByte(f, b));
        }
    }
    for (std::uint32_t b = 0; b < region::lights.size(); ++b) {
        content->put8(region::lights.first + b, static_cast<std::uint8_t>((b * 3) & 63));
    }
    for (std::uint32_t m = 0; m < region::waveRecords; ++m) {
        for (std::uint32_t e = 0; e < 640; ++e) {
            content->put16(region::wave.first + 1280 * m + 2 * e, waveEntry(m, e));
        }
    }
    return content;
}

// Plane bytes after the title picture alone.
using Planes = std::array<Plane, planeCount>;

inline std::unique_ptr<Planes> titlePlanes() {
    auto planes = std::make_unique<Planes>();
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            (*planes)[x & 3][static_cast<std::size_t>(160 * y + x / 4)] = titleByte(x, y);
            (*planes)[x & 3][static_cast<std::size_t>(160 * y + x / 4 + 80)] = titleByte(x, y);
        }
    }
    return planes;
}

// Tick t counts from 1 after load.
inline int pageOfTick(std::uint64_t t) { return static_cast<int>((t - 1) % 2); }
inline std::uint32_t waveRecordOfTick(std::uint64_t t) { return static_cast<std::uint32_t>((t / 7) % 100); }
inline std::uint32_t wavePhaseOfTick(std::uint64_t t) { return static_cast<std::uint32_t>(((t - 1) % 160) * 4 + 4); }
inline std::uint32_t paletteRecordOfTick(std::uint64_t t) { return static_cast<std::uint32_t>((t - 1) % 47 + 1); }

inline std::uint16_t expectedStripTop(std::uint64_t t, int x) {
    const std::uint32_t entry = 319 + wavePhaseOfTick(t) / 2 - static_cast<std::uint32_t>(x);
    return static_cast<std::uint16_t>(80 * pageOfTick(t) + 9600 + x / 4 + waveEntry(waveRecordOfTick(t), entry));
}

// The strip pixel at screen column x, strip row j in tick t: the column group
// fed in tick t sits at columns 316..319, older groups further left, and
// columns not yet fed are 0 like the strip's top row.
inline std::uint8_t expectedStripPixel(const std::string& text, std::uint64_t t, int x, int j) {
    const std::int64_t fedAt = static_cast<std::int64_t>(t) - (79 - x / 4);
    if (fedAt < 1 || j == 0) return 0;
    const std::uint64_t group = static_cast<std::uint64_t>(fedAt - 1);
    const int code = static_cast<unsigned char>(text[(group / 8) % text.size()]);
    const std::uint32_t column = static_cast<std::uint32_t>(4 * (group % 8) + x % 4);
    return fontByte(glyphCell(code) + 320 * static_cast<std::uint32_t>(j - 1) + column);
}

}  // namespace korvale::scenetest

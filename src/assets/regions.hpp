// The address map of the content image. The generator and the core both use
// these names, so no address of content appears anywhere else in the code.
#pragma once

#include <cstdint>

namespace korvale::region {

struct Region {
    std::uint32_t first;  // inclusive
    std::uint32_t last;   // inclusive
    [[nodiscard]] constexpr std::uint32_t size() const { return last - first + 1; }
    [[nodiscard]] constexpr bool contains(std::uint32_t address) const {
        return address >= first && address <= last;
    }
};

// The whole image: the asset address of its first and last byte.
inline constexpr std::uint32_t imageFirst = 37118;
inline constexpr std::uint32_t imageLast = 472718;
inline constexpr std::uint32_t imageSize = imageLast - imageFirst + 1;  // 435 601

inline constexpr Region titlePicture{37118, 101117};
inline constexpr Region titlePalette{101118, 101885};
inline constexpr Region moduleHeader{101886, 101946};
// The u32 inside the module header: distance from moduleHeader.first to sample 0.
inline constexpr std::uint32_t sampleDataDistance = 101892;
inline constexpr Region sampleHeaders{101947, 102250};
inline constexpr std::uint32_t sampleHeaderSize = 16;
inline constexpr Region sampleData{108124, 254249};
inline constexpr Region fontPicture{254250, 318249};
inline constexpr std::uint32_t fontPictureWidth = 320;  // bytes per font picture row
inline constexpr Region orderList{318259, 318273};
inline constexpr Region patternOffsets{318274, 318321};
inline constexpr Region instrumentRecords{318322, 318530};
inline constexpr std::uint32_t instrumentRecordSize = 11;
// Field offsets inside an instrument record.
inline constexpr std::uint32_t instrumentFlagsOffset = 0;
inline constexpr std::uint32_t instrumentBaseRateOffset = 1;
inline constexpr std::uint32_t instrumentLoopStartOffset = 3;
inline constexpr std::uint32_t instrumentLoopEndOffset = 7;
inline constexpr std::uint8_t instrumentLoopedFlag = 2;
inline constexpr Region patternData{318531, 335534};
inline constexpr Region scrollText{335535, 337688};
// The scroll text's terminating zero byte.
inline constexpr std::uint32_t scrollTextEnd = scrollText.last;
inline constexpr Region glyphOffsets{337689, 337806};
inline constexpr std::uint32_t glyphOffsetSize = 2;
inline constexpr Region paletteAnimation{337807, 343566};
inline constexpr std::uint32_t paletteAnimationRecordSize = 120;
inline constexpr std::uint32_t paletteAnimationRecords = 48;
inline constexpr Region lights{343567, 344718};
inline constexpr std::uint32_t lightsRecordSize = 18;
inline constexpr Region wave{344719, 472718};
inline constexpr std::uint32_t waveRecordSize = 1280;
inline constexpr std::uint32_t waveRecords = 100;
inline constexpr std::uint32_t waveEntrySize = 2;

// Counts fixed by the engine rather than read from the content.
inline constexpr int instrumentCount = 19;
inline constexpr int patternCount = 12;
inline constexpr int orderLength = 15;
inline constexpr int orderLoopStart = 3;
inline constexpr int firstGlyphCode = 32;
inline constexpr int lastGlyphCode = 89;

static_assert(imageSize == 435601);
static_assert(titlePicture.size() == 320 * 200);
static_assert(titlePalette.size() == 768);
static_assert(sampleHeaders.size() == instrumentCount * sampleHeaderSize);
static_assert(instrumentRecords.size() == instrumentCount * instrumentRecordSize);
static_assert(orderList.size() == orderLength);
static_assert(patternOffsets.size() == patternCount * 4);
static_assert(fontPicture.size() == fontPictureWidth * 200);
static_assert(glyphOffsets.size() == 59 * glyphOffsetSize);
static_assert(paletteAnimation.size() == paletteAnimationRecords * paletteAnimationRecordSize);
static_assert(lights.size() == 64 * lightsRecordSize);
static_assert(wave.size() == waveRecords * waveRecordSize);
static_assert(wave.last == imageLast);

}  // namespace korvale::region

#include <string>
#include <vector>

#include "content.hpp"

namespace korvale::gen {

namespace {

using namespace korvale::region;

void checkColours(const AssetImage& image, const Region& region, const char* name,
                  std::vector<std::string>& problems) {
    for (std::uint32_t a = region.first; a <= region.last; ++a) {
        if (image.read8(a) > 63) {
            problems.push_back(std::string(name) + ": colour byte above 63 at " + std::to_string(a));
            return;
        }
    }
}

// Walks one pattern's command stream to its end command, as the sequencer reads it.
void checkPattern(const AssetImage& image, int pattern, std::vector<std::string>& problems) {
    const std::string name = "pattern data: pattern " + std::to_string(pattern);
    std::uint32_t a = patternData.first + image.read32(patternOffsets.first + 4 * static_cast<std::uint32_t>(pattern));
    const auto need = [&](std::uint32_t bytes) {
        if (a < patternData.first || a + bytes - 1 > patternData.last) {
            problems.push_back(name + " runs outside the pattern data");
            return false;
        }
        return true;
    };
    for (int commands = 0; commands < 65536; ++commands) {
        if (!need(1)) return;
        const std::uint8_t b = image.read8(a);
        const int kind = b >> 6;
        const int c = b & 63;
        if (kind == 0) {
            if (b == 0x02) return;
            if (b > 0x02) {
                problems.push_back(name + ": unknown command " + std::to_string(b));
                return;
            }
            if (!need(2)) return;
            a += 2;
            continue;
        }
        if (c >= 16) {
            problems.push_back(name + ": channel " + std::to_string(c));
            return;
        }
        if (kind == 1) {
            if (!need(4)) return;
            const std::uint8_t note = image.read8(a + 1);
            const std::uint8_t instrument = image.read8(a + 3);
            if (note > 83 || instrument > 18) {
                problems.push_back(name + ": invalid note or instrument");
                return;
            }
            a += 4;
        } else {
            if (!need(2)) return;
            if (kind == 2 && image.read8(a + 1) > 15) {
                problems.push_back(name + ": volume above 15");
                return;
            }
            a += 2;
        }
    }
    problems.push_back(name + " has no end");
}

}  // namespace

std::vector<std::string> layoutProblems(const AssetImage& image) {
    std::vector<std::string> problems;

    checkColours(image, titlePalette, "title palette", problems);
    checkColours(image, paletteAnimation, "palette animation table", problems);
    checkColours(image, lights, "lights table", problems);

    // Samples: instrument 0 starts where the sample region starts, and the
    // lengths fill the region exactly.
    if (image.read32(sampleDataDistance) + moduleHeader.first != sampleData.first) {
        problems.push_back("module header: sample data distance does not point at the sample data");
    }
    std::uint64_t total = 0;
    for (int i = 0; i < instrumentCount; ++i) {
        const auto u = static_cast<std::uint32_t>(i);
        const std::uint32_t length = image.read32(sampleHeaders.first + sampleHeaderSize * u);
        const std::uint32_t record = instrumentRecords.first + instrumentRecordSize * u;
        const std::uint32_t loopStart = image.read32(record + instrumentLoopStartOffset);
        const std::uint32_t end = image.read32(record + instrumentLoopEndOffset);
        if (end > length || loopStart >= end) {
            problems.push_back("instrument records: invalid sample bounds of instrument " + std::to_string(i));
        }
        total += length;
    }
    if (total != sampleData.size()) {
        problems.push_back("sample data: lengths add up to " + std::to_string(total) + " bytes, not " +
                           std::to_string(sampleData.size()));
    }

    for (std::uint32_t k = 0; k < orderList.size(); ++k) {
        if (image.read8(orderList.first + k) >= patternCount) {
            problems.push_back("order list: position " + std::to_string(k) + " names no pattern");
        }
    }
    for (int p = 0; p < patternCount; ++p) checkPattern(image, p, problems);

    if (image.read8(scrollTextEnd) != 0) problems.push_back("scroll text: no 0 byte at its end");
    for (std::uint32_t a = scrollText.first; a < scrollTextEnd; ++a) {
        const std::uint8_t c = image.read8(a);
        if (c < firstGlyphCode || c > lastGlyphCode) {
            problems.push_back("scroll text: invalid character " + std::to_string(c) + " at " + std::to_string(a));
            break;
        }
    }
    for (int code = firstGlyphCode; code <= lastGlyphCode; ++code) {
        const std::uint32_t g = image.read16(glyphOffsets.first + 2 * static_cast<std::uint32_t>(code - firstGlyphCode));
        if (g % 320 + 32 > 320 || g / 320 + 25 > 200) {
            problems.push_back("glyph offset table: the cell of code " + std::to_string(code) +
                               " leaves the font picture");
        }
    }

    for (std::uint32_t a = wave.first; a <= wave.last; a += 2) {
        const std::uint16_t v = image.read16(a);
        if (v % 160 != 0 || v < 800 || v > 9440) {
            problems.push_back("wave table: entry " + std::to_string(v) + " at " + std::to_string(a) +
                               " is not a whole number of lines from 5 to 59");
            break;
        }
    }
    return problems;
}

}  // namespace korvale::gen

// Hand-made content images for the music tests: instruments with synthetic
// samples, a pattern table and an order list, built inside the test so that
// the shipped content can change freely.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "assets/asset_image.hpp"
#include "audio/player.hpp"

namespace korvale::test {

struct InstrumentFields {
    std::uint32_t length = 16;
    std::uint8_t flags = 0;
    std::uint16_t baseRate = 8448;
    std::uint32_t loopStart = 0;
    std::uint32_t end = 16;
};

// Command bytes of the music stream.
inline std::vector<std::uint8_t> wait(std::uint8_t rows) { return {0x00, rows}; }
inline std::vector<std::uint8_t> speed(std::uint8_t ticks) { return {0x01, ticks}; }
inline std::vector<std::uint8_t> patternEnd() { return {0x02}; }
inline std::vector<std::uint8_t> noteOn(std::uint8_t channel, std::uint8_t note, std::uint8_t volume, std::uint8_t pan,
                                        std::uint8_t instrument) {
    return {static_cast<std::uint8_t>(0x40 + channel), note, static_cast<std::uint8_t>(pan << 4 | volume),
            instrument};
}
inline std::vector<std::uint8_t> volume(std::uint8_t channel, std::uint8_t value) {
    return {static_cast<std::uint8_t>(0x80 + channel), value};
}
inline std::vector<std::uint8_t> pan(std::uint8_t channel, std::uint8_t value) {
    return {static_cast<std::uint8_t>(0xC0 + channel), value};
}

// Concatenates command byte groups into one stream.
inline std::vector<std::uint8_t> stream(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> bytes;
    for (const auto& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

class Fixture {
public:
    // Every instrument a valid 16-byte one-shot sound of silence, every order
    // position pattern 0, every pattern a single "wait 1".
    Fixture() : buffer(std::make_unique<AssetImageBuffer>()) {
        buffer->put32(region::sampleDataDistance, region::sampleData.first - region::moduleHeader.first);
        for (int i = 0; i < region::instrumentCount; ++i) setInstrument(i, InstrumentFields{});
        for (int p = 0; p < region::patternCount; ++p) setPattern(p, wait(1));
    }

    // Instruments are laid out back to back, so set them in index order
    // (or keep each one's length) and then fill their samples.
    void setInstrument(int index, const InstrumentFields& fields) {
        const auto i = static_cast<std::uint32_t>(index);
        const std::uint32_t record = region::instrumentRecords.first + region::instrumentRecordSize * i;
        buffer->put32(region::sampleHeaders.first + region::sampleHeaderSize * i, fields.length);
        buffer->put8(record + region::instrumentFlagsOffset, fields.flags);
        buffer->put16(record + region::instrumentBaseRateOffset, fields.baseRate);
        buffer->put32(record + region::instrumentLoopStartOffset, fields.loopStart);
        buffer->put32(record + region::instrumentLoopEndOffset, fields.end);
    }

    [[nodiscard]] std::uint32_t sampleStart(int index) const {
        std::uint32_t start = region::sampleData.first;
        for (int i = 0; i < index; ++i) {
            start += buffer->image().read32(region::sampleHeaders.first +
                                            region::sampleHeaderSize * static_cast<std::uint32_t>(i));
        }
        return start;
    }

    void setSamples(int index, const std::vector<std::uint8_t>& points) { buffer->putBytes(sampleStart(index), points); }

    // Patterns are written one after another in the pattern data region.
    void setPattern(int pattern, const std::vector<std::uint8_t>& commands) {
        setPatternAt(pattern, nextPatternOffset_, commands);
        nextPatternOffset_ += static_cast<std::uint32_t>(commands.size());
    }
    void setPatternAt(int pattern, std::uint32_t offset, const std::vector<std::uint8_t>& commands) {
        buffer->put32(region::patternOffsets.first + 4 * static_cast<std::uint32_t>(pattern), offset);
        if (!commands.empty()) buffer->putBytes(region::patternData.first + offset, commands);
    }

    void setOrder(const std::vector<std::uint8_t>& order) {
        for (std::uint32_t k = 0; k < order.size(); ++k) buffer->put8(region::orderList.first + k, order[k]);
    }

    [[nodiscard]] AssetImage image() const { return buffer->image(); }
    [[nodiscard]] std::unique_ptr<Player> player() const { return std::make_unique<Player>(image()); }

    std::unique_ptr<AssetImageBuffer> buffer;

private:
    std::uint32_t nextPatternOffset_ = 0;
};

// A small song for the exactness and regression tests: looped and one-shot
// sounds, a loop shorter than a step, a loop that starts inside the silent
// head, several channels with volume and pan commands (one pan above 15),
// speed changes and pattern ends in the middle of rows.
Fixture songFixture();

// FNV-1a over the bytes of rendered frames.
std::uint64_t fnv1a(const std::vector<StereoFrame>& frames);

}  // namespace korvale::test

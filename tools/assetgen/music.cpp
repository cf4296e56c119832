// Instruments and song. Placeholder: 19 plain decaying tones and a short
// pattern per order position.
#include <vector>

#include "content.hpp"
#include "detmath.hpp"

namespace korvale::gen {

using namespace korvale::region;

void writeMusic(AssetImageBuffer& image) {
    image.put32(sampleDataDistance, sampleData.first - moduleHeader.first);
    const std::uint32_t baseLength = sampleData.size() / instrumentCount;
    std::uint32_t start = sampleData.first;
    for (int i = 0; i < instrumentCount; ++i) {
        const auto u = static_cast<std::uint32_t>(i);
        const std::uint32_t length =
            i == instrumentCount - 1 ? sampleData.last + 1 - start : baseLength;
        image.put32(sampleHeaders.first + sampleHeaderSize * u, length);
        const std::uint32_t record = instrumentRecords.first + instrumentRecordSize * u;
        image.put8(record + instrumentFlagsOffset, 0);
        image.put16(record + instrumentBaseRateOffset, 8448);
        image.put32(record + instrumentLoopStartOffset, 0);
        image.put32(record + instrumentLoopEndOffset, length);
        for (std::uint32_t s = 0; s < length; ++s) {
            const double t = static_cast<double>(s);
            const double v = detSin(2.0 * pi * t / 32.0) * detExp(-t / 2000.0);
            image.put8(start + s, static_cast<std::uint8_t>(128 + static_cast<int>(100.0 * v)));
        }
        start += length;
    }

    const std::uint8_t order[15] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 3, 4, 5};
    for (std::uint32_t k = 0; k < 15; ++k) image.put8(orderList.first + k, order[k]);
    std::uint32_t offset = 0;
    for (int p = 0; p < patternCount; ++p) {
        image.put32(patternOffsets.first + 4 * static_cast<std::uint32_t>(p), offset);
        std::vector<std::uint8_t> stream = {0x01, 6};
        for (int row = 0; row < 16; ++row) {
            const auto channel = static_cast<std::uint8_t>(row % 4);
            stream.insert(stream.end(), {static_cast<std::uint8_t>(0x40 + channel),
                                         static_cast<std::uint8_t>(48 + (row + p) % 12), 0x8C,
                                         static_cast<std::uint8_t>(channel)});
            stream.insert(stream.end(), {0x00, 1});
        }
        stream.push_back(0x02);
        image.putBytes(patternData.first + offset, stream);
        offset += static_cast<std::uint32_t>(stream.size());
    }
}

}  // namespace korvale::gen

#include "assets/asset_image.hpp"

#include <algorithm>

namespace korvale {

void AssetImage::fail() { throw FatalError("Asset address out of range"); }

AssetImageBuffer::AssetImageBuffer(std::span<const std::uint8_t> content) : AssetImageBuffer() {
    if (content.size() != region::imageSize) {
        throw FatalError("A content image must be exactly 435601 bytes, not " + std::to_string(content.size()));
    }
    std::copy(content.begin(), content.end(), bytes_.begin());
}

void AssetImageBuffer::put8(std::uint32_t address, std::uint8_t value) {
    if (!region::Region{region::imageFirst, region::imageLast}.contains(address)) {
        throw FatalError("Asset address out of range");
    }
    bytes_[address - region::imageFirst] = value;
}

void AssetImageBuffer::put16(std::uint32_t address, std::uint16_t value) {
    put8(address, static_cast<std::uint8_t>(value & 0xFF));
    put8(address + 1, static_cast<std::uint8_t>(value >> 8));
}

void AssetImageBuffer::put32(std::uint32_t address, std::uint32_t value) {
    put16(address, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(address + 2, static_cast<std::uint16_t>(value >> 16));
}

void AssetImageBuffer::putBytes(std::uint32_t address, std::span<const std::uint8_t> values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        put8(address + static_cast<std::uint32_t>(i), values[i]);
    }
}

}  // namespace korvale

// Bounds-checked reads of the content image by asset address.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "assets/regions.hpp"
#include "common/fatal_error.hpp"

namespace korvale {

// A read-only view of the 435 601 content bytes plus the zero byte stored
// after them. The view does not own the bytes; they must outlive it.
class AssetImage {
public:
    // `bytes` must hold region::imageSize + 1 bytes, the last one zero.
    explicit AssetImage(const std::uint8_t* bytes) : bytes_(bytes) {}

    // The image compiled into the program.
    [[nodiscard]] static AssetImage embedded();

    [[nodiscard]] std::uint8_t read8(std::uint32_t address) const {
        return bytes_[check(address)];
    }

    // The high byte of a read at the last address is the stored zero byte.
    [[nodiscard]] std::uint16_t read16(std::uint32_t address) const {
        const std::uint32_t i = check(address);
        return static_cast<std::uint16_t>(bytes_[i] | (bytes_[i + 1] << 8));
    }

    // Two 16-bit reads, each tested, low half first; nothing is read before both pass.
    [[nodiscard]] std::uint32_t read32(std::uint32_t address) const {
        const std::uint32_t lo = check(address);
        const std::uint32_t hi = check(address + 2);
        return static_cast<std::uint32_t>(bytes_[lo] | (bytes_[lo + 1] << 8)) |
               (static_cast<std::uint32_t>(bytes_[hi] | (bytes_[hi + 1] << 8)) << 16);
    }

    // A view of `count` bytes from `address`. The first address is tested like
    // any read; a span that would run past the image is refused as well, so a
    // view never reaches beyond the stored bytes.
    [[nodiscard]] std::span<const std::uint8_t> span(std::uint32_t address, std::uint32_t count) const {
        const std::uint32_t i = check(address);
        if (count > region::imageSize - i) fail();
        return {bytes_ + i, count};
    }

    // All content bytes, without the trailing zero.
    [[nodiscard]] std::span<const std::uint8_t> bytes() const { return {bytes_, region::imageSize}; }

private:
    // One subtraction and one unsigned comparison: addresses below the image
    // wrap to large differences and fail the same test as those above it.
    [[nodiscard]] static std::uint32_t check(std::uint32_t address) {
        const std::uint32_t index = address - region::imageFirst;
        if (index > region::imageSize - 1) fail();
        return index;
    }
    [[noreturn]] static void fail();

    const std::uint8_t* bytes_;
};

// Owned, writable storage for an image: for the generator, for tests that
// build their own content, and for images loaded from a file.
class AssetImageBuffer {
public:
    AssetImageBuffer() : bytes_(region::imageSize + 1, 0) {}
    // Copies exactly region::imageSize bytes; anything else is refused.
    explicit AssetImageBuffer(std::span<const std::uint8_t> content);

    [[nodiscard]] AssetImage image() const { return AssetImage(bytes_.data()); }
    [[nodiscard]] std::span<const std::uint8_t> content() const { return {bytes_.data(), region::imageSize}; }

    // Writes by asset address; an address outside the image is a FatalError.
    void put8(std::uint32_t address, std::uint8_t value);
    void put16(std::uint32_t address, std::uint16_t value);
    void put32(std::uint32_t address, std::uint32_t value);
    void putBytes(std::uint32_t address, std::span<const std::uint8_t> values);
    [[nodiscard]] std::uint8_t get8(std::uint32_t address) const { return image().read8(address); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace korvale

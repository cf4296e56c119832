#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "icon.hpp"

namespace korvale::gen {
namespace {

std::uint32_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (static_cast<std::uint32_t>(b.at(at)) << 24) | (b.at(at + 1) << 16) | (b.at(at + 2) << 8) | b.at(at + 3);
}

// The Windows build compiles the committed file in; it must be exactly what
// the generator makes today.
TEST(IconTest, CommittedIconIsWhatTheGeneratorMakes) {
    const char* source = std::getenv("KORVALE_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "KORVALE_SOURCE_DIR is not set";
    std::ifstream file(std::string(source) + "/src/platform/win32/korvale.ico", std::ios::binary);
    ASSERT_TRUE(file) << "src/platform/win32/korvale.ico is missing";
    const std::vector<std::uint8_t> committed{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::vector<std::uint8_t> generated = buildIconFile();
    ASSERT_EQ(committed.size(), generated.size())
        << "regenerate with the regenerate-icon target and commit src/platform/win32/korvale.ico";
    const auto mismatch = std::mismatch(generated.begin(), generated.end(), committed.begin());
    EXPECT_TRUE(mismatch.first == generated.end())
        << "first difference at byte " << (mismatch.first - generated.begin())
        << "; regenerate with the regenerate-icon target and commit src/platform/win32/korvale.ico";
}

// What the resource compiler and the system's icon loader read: the
// directory, and in each entry a PNG whose header agrees with it.
TEST(IconTest, FileHoldsOneThirtyTwoBitPngPerSize) {
    const std::vector<std::uint8_t> file = buildIconFile();
    ASSERT_GE(file.size(), 6u);
    EXPECT_EQ(le16(file, 0), 0u);
    EXPECT_EQ(le16(file, 2), 1u);
    ASSERT_EQ(le16(file, 4), iconSizes.size());
    std::size_t expectedOffset = 6 + 16 * iconSizes.size();
    for (std::size_t i = 0; i < iconSizes.size(); ++i) {
        SCOPED_TRACE("size " + std::to_string(iconSizes[i]));
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(file.at(entry), iconSizes[i] % 256);
        EXPECT_EQ(file.at(entry + 1), iconSizes[i] % 256);
        EXPECT_EQ(le16(file, entry + 4), 1u);
        EXPECT_EQ(le16(file, entry + 6), 32u);
        const std::uint32_t length = le32(file, entry + 8);
        const std::uint32_t offset = le32(file, entry + 12);
        ASSERT_EQ(offset, expectedOffset) << "images must follow each other without gaps";
        ASSERT_LE(static_cast<std::size_t>(offset) + length, file.size());
        expectedOffset += length;

        const std::vector<std::uint8_t> png(file.begin() + offset, file.begin() + offset + length);
        const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        ASSERT_TRUE(std::equal(std::begin(signature), std::end(signature), png.begin()));
        EXPECT_EQ(be32(png, 16), static_cast<std::uint32_t>(iconSizes[i]));  // IHDR width
        EXPECT_EQ(be32(png, 20), static_cast<std::uint32_t>(iconSizes[i]));  // IHDR height
        EXPECT_EQ(png.at(24), 8);                                            // bits per channel
        EXPECT_EQ(png.at(25), 6);                                            // truecolour with alpha
    }
    EXPECT_EQ(expectedOffset, file.size());
}

// The encoded images decode to exactly what was drawn, and the drawing has
// its shape: transparent corners, an opaque middle.
TEST(IconTest, PngsDecodeToTheDrawnPixels) {
    for (const int size : iconSizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        const std::vector<std::uint8_t> drawn = drawIcon(size);
        const std::vector<std::uint8_t> png = encodePng(drawn, size);

        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_NE(png_image_begin_read_from_memory(&image, png.data(), png.size()), 0) << image.message;
        image.format = PNG_FORMAT_RGBA;
        std::vector<std::uint8_t> decoded(PNG_IMAGE_SIZE(image));
        ASSERT_NE(png_image_finish_read(&image, nullptr, decoded.data(), 0, nullptr), 0) << image.message;
        EXPECT_EQ(image.width, static_cast<png_uint_32>(size));
        EXPECT_EQ(image.height, static_cast<png_uint_32>(size));
        EXPECT_TRUE(decoded == drawn);

        const auto alpha = [&](int x, int y) { return drawn.at((static_cast<std::size_t>(y) * size + x) * 4 + 3); };
        EXPECT_EQ(alpha(0, 0), 0);
        EXPECT_EQ(alpha(size - 1, size - 1), 0);
        EXPECT_EQ(alpha(size / 2, size / 2), 255);
    }
}

}  // namespace
}  // namespace korvale::gen

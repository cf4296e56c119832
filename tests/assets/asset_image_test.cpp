#include <gtest/gtest.h>

#include <cstdint>

#include "assets/asset_image.hpp"

namespace korvale {
namespace {

class AssetImageTest : public ::testing::Test {
protected:
    AssetImageTest() {
        buffer.putBytes(40000, std::vector<std::uint8_t>{0x01, 0x02, 0x03, 0x04});
        buffer.put8(region::imageLast, 0xAB);
        buffer.put8(region::imageLast - 1, 0xCD);
        buffer.put8(region::imageLast - 2, 0xEF);
        buffer.put8(region::imageFirst, 0x11);
    }
    AssetImageBuffer buffer;
    AssetImage image = buffer.image();
};

TEST_F(AssetImageTest, LittleEndianReads) {
    EXPECT_EQ(image.read8(40000), 0x01);
    EXPECT_EQ(image.read16(40000), 0x0201);
    EXPECT_EQ(image.read32(40000), 0x04030201u);
}

// Each reader at the edges of its accepted range, and just past them.
TEST_F(AssetImageTest, AcceptedRanges) {
    struct Case {
        const char* reader;
        std::uint32_t address;
        bool accepted;
    };
    const Case cases[] = {
        {"read8", 37117, false},      {"read8", 37118, true},       {"read8", 472718, true},
        {"read8", 472719, false},     {"read8", 0, false},          {"read8", 4294967295u, false},
        {"read16", 37117, false},     {"read16", 472718, true},     {"read16", 472719, false},
        {"read32", 37117, false},     {"read32", 472716, true},     {"read32", 472717, false},
        {"read32", 4294967295u, false}, {"span", 472718, true},     {"span", 472719, false},
        {"span", 37117, false},
    };
    for (const auto& c : cases) {
        const std::string name = c.reader;
        const auto read = [&] {
            if (name == "read8") return static_cast<std::uint32_t>(image.read8(c.address));
            if (name == "read16") return static_cast<std::uint32_t>(image.read16(c.address));
            if (name == "read32") return image.read32(c.address);
            return static_cast<std::uint32_t>(image.span(c.address, 1)[0]);
        };
        if (c.accepted) {
            EXPECT_NO_THROW(read()) << name << " at " << c.address;
        } else {
            try {
                read();
                ADD_FAILURE() << name << " at " << c.address << " was accepted";
            } catch (const FatalError& e) {
                EXPECT_EQ(e.message(), "Asset address out of range") << name << " at " << c.address;
            }
        }
    }
}

TEST_F(AssetImageTest, TheZeroByteAfterTheImageCompletesTopReads) {
    EXPECT_EQ(image.read16(region::imageLast), 0x00AB);
    EXPECT_EQ(image.read32(region::imageLast - 2), 0x00ABCDEFu);
}

TEST_F(AssetImageTest, SpanNeverReachesPastTheImage) {
    EXPECT_EQ(image.span(region::imageFirst, region::imageSize).size(), region::imageSize);
    EXPECT_THROW((void)image.span(region::imageFirst + 1, region::imageSize), FatalError);
    EXPECT_THROW((void)image.span(region::imageLast, 2), FatalError);
}

TEST(AssetImageBufferTest, RefusesAnImageOfTheWrongSize) {
    const std::vector<std::uint8_t> small(1000);
    EXPECT_THROW(AssetImageBuffer{small}, FatalError);
}

TEST(EmbeddedImageTest, HoldsTheContentAndTheZeroByteAfterIt) {
    const AssetImage image = AssetImage::embedded();
    EXPECT_EQ(image.bytes().size(), region::imageSize);
    EXPECT_EQ(image.read32(region::sampleDataDistance) + region::moduleHeader.first, region::sampleData.first);
    EXPECT_EQ(image.read16(region::imageLast) >> 8, 0);
}

}  // namespace
}  // namespace korvale

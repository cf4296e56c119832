#include <gtest/gtest.h>

#include <algorithm>

#include "assets/asset_image.hpp"
#include "content.hpp"

namespace korvale::gen {
namespace {

// The committed image is what every executable embeds; it must be exactly
// what the generator makes today.
TEST(ContentImageTest, EmbeddedImageIsWhatTheGeneratorMakes) {
    const AssetImageBuffer generated = buildContentImage();
    const auto expected = generated.content();
    const auto embedded = AssetImage::embedded().bytes();
    ASSERT_EQ(embedded.size(), expected.size());
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), embedded.begin());
    EXPECT_TRUE(mismatch.first == expected.end())
        << "first difference at asset address "
        << region::imageFirst + static_cast<std::uint32_t>(mismatch.first - expected.begin())
        << "; regenerate with the regenerate-content target and commit src/assets/content.img";
}

TEST(ContentImageTest, EmbeddedImageKeepsTheRegionMap) {
    const auto problems = layoutProblems(AssetImage::embedded());
    for (const auto& p : problems) ADD_FAILURE() << p;
}

// Each kind of broken content is named by its region.
TEST(ContentImageTest, LayoutCheckNamesTheBrokenRegion) {
    struct Case {
        const char* breakage;
        void (*apply)(AssetImageBuffer&);
        const char* expected;
    };
    const Case cases[] = {
        {"text without its 0 byte", [](AssetImageBuffer& b) { b.put8(region::scrollTextEnd, 'A'); }, "scroll text"},
        {"character without glyph", [](AssetImageBuffer& b) { b.put8(region::scrollText.first, 'Z'); }, "scroll text"},
        {"sample longer than its region",
         [](AssetImageBuffer& b) { b.put32(region::sampleHeaders.first, b.image().read32(region::sampleHeaders.first) + 1); },
         "sample data"},
        {"loop start at the end",
         [](AssetImageBuffer& b) {
             const std::uint32_t record = region::instrumentRecords.first;
             b.put32(record + region::instrumentLoopStartOffset, b.image().read32(record + region::instrumentLoopEndOffset));
         },
         "instrument records"},
        {"wave entry not a whole line", [](AssetImageBuffer& b) { b.put16(region::wave.first, 801); }, "wave table"},
        {"order list names pattern 12", [](AssetImageBuffer& b) { b.put8(region::orderList.first, 12); }, "order list"},
        {"colour above 63", [](AssetImageBuffer& b) { b.put8(region::lights.first, 64); }, "lights table"},
        {"glyph cell past the picture",
         [](AssetImageBuffer& b) { b.put16(region::glyphOffsets.first + 2, 319); }, "glyph offset table"},
    };
    for (const auto& c : cases) {
        AssetImageBuffer image = buildContentImage();
        c.apply(image);
        const auto problems = layoutProblems(image.image());
        ASSERT_FALSE(problems.empty()) << c.breakage;
        EXPECT_NE(problems.front().find(c.expected), std::string::npos) << c.breakage << ": " << problems.front();
    }
}

}  // namespace
}  // namespace korvale::gen

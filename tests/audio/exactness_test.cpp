// Player::render against the plain frame-by-frame renderer: the same bytes
// out and the same state left behind, over long renders and any block size.
#include <gtest/gtest.h>

#include <vector>

#include "fixture.hpp"
#include "reference_player.hpp"

namespace korvale::test {
namespace {

// Renders `seconds` of audio with both renderers in blocks whose sizes cycle
// through `blocks`, comparing output after every block and state at the end.
void expectIdenticalRenders(const AssetImage& image, double seconds, const std::vector<std::int32_t>& blocks,
                            bool muted = false) {
    auto reference = std::make_unique<Player>(image);
    auto player = std::make_unique<Player>(image);
    reference->muted = muted;
    player->muted = muted;
    const auto total = static_cast<std::int64_t>(seconds * outputRate);
    std::vector<StereoFrame> expected;
    std::vector<StereoFrame> actual;
    std::size_t b = 0;
    for (std::int64_t done = 0; done < total; b = (b + 1) % blocks.size()) {
        const std::int32_t count = blocks[b];
        expected.assign(static_cast<std::size_t>(std::max(count, 0)), StereoFrame{7, 7});
        actual.assign(expected.size(), StereoFrame{7, 7});
        referenceRender(*reference, image, expected.data(), count);
        player->render(actual.data(), count);
        for (std::size_t k = 0; k < expected.size(); ++k) {
            if (expected[k].left != actual[k].left || expected[k].right != actual[k].right) {
                FAIL() << "frame " << done + static_cast<std::int64_t>(k) << ": expected (" << expected[k].left << ", "
                       << expected[k].right << "), got (" << actual[k].left << ", " << actual[k].right << ")";
            }
        }
        done += std::max(count, 1);
    }
    expectSameState(*reference, *player);
}

TEST(RenderExactness, FixtureSongInOutputBlocks) {
    const Fixture f = songFixture();
    expectIdenticalRenders(f.image(), 40.0, {1024});
}

// Odd block sizes put block ends everywhere relative to music ticks and to
// the voice-by-voice runs, including runs of one frame.
TEST(RenderExactness, FixtureSongInOddBlocks) {
    const Fixture f = songFixture();
    expectIdenticalRenders(f.image(), 20.0, {1, 7, 953, 255, 256, 257, 0, 4096, 2, 1000, -3});
}

TEST(RenderExactness, FixtureSongMuted) {
    const Fixture f = songFixture();
    expectIdenticalRenders(f.image(), 10.0, {1024}, true);
}

TEST(RenderExactness, ShippedContent) {
    expectIdenticalRenders(AssetImage::embedded(), 60.0, {1024});
    expectIdenticalRenders(AssetImage::embedded(), 10.0, {333, 1, 2048});
}

// A voice whose sound runs past the end of the image: the read fails in the
// same frame, with the same voices, clocks and rings left behind, and the
// frames before it are rendered.
TEST(RenderExactness, SampleReadOutsideTheImage) {
    Fixture f;
    f.setInstrument(0, {.length = 16, .flags = 2, .baseRate = 8448, .loopStart = 4, .end = 16});
    f.setSamples(0, {128, 128, 200, 60, 180, 90, 250, 10, 128, 140, 100, 170, 30, 220, 128, 128});
    const std::uint32_t room = region::imageLast + 1 - f.sampleStart(18);
    f.setInstrument(18, {.length = room + 4000, .flags = 0, .baseRate = 8448, .loopStart = 0, .end = room + 4000});
    // Voices before and after the failing one, so that a voice-by-voice
    // mixer would have advanced some of them past the failing frame.
    f.setPattern(0, stream({noteOn(0, 50, 9, 3, 0), noteOn(9, 40, 9, 12, 0), wait(3), noteOn(5, 83, 15, 8, 18),
                            wait(200)}));
    const AssetImage image = f.image();

    auto reference = std::make_unique<Player>(image);
    auto player = std::make_unique<Player>(image);
    std::vector<StereoFrame> expected(1024);
    std::vector<StereoFrame> actual(1024);
    std::string expectedMessage;
    std::string actualMessage;
    for (int block = 0; block < 100000 && expectedMessage.empty(); ++block) {
        try {
            referenceRender(*reference, image, expected.data(), 1024);
        } catch (const FatalError& e) {
            expectedMessage = e.message();
        }
        try {
            player->render(actual.data(), 1024);
        } catch (const FatalError& e) {
            actualMessage = e.message();
        }
        ASSERT_EQ(expectedMessage, actualMessage) << "block " << block;
        const auto rendered = static_cast<std::size_t>(reference->sampleCount % 1024);
        for (std::size_t k = 0; k < (expectedMessage.empty() ? 1024 : rendered); ++k) {
            ASSERT_EQ(expected[k].left, actual[k].left) << "block " << block << " frame " << k;
            ASSERT_EQ(expected[k].right, actual[k].right) << "block " << block << " frame " << k;
        }
    }
    EXPECT_EQ(expectedMessage, "Asset address out of range");
    EXPECT_TRUE(reference->voices[5].active);
    expectSameState(*reference, *player);
}

}  // namespace
}  // namespace korvale::test

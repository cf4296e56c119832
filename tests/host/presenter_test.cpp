#include "host/presenter.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/window.hpp"
#include "sim_fixture.hpp"
#include "vga/vga_state.hpp"

namespace korvale {
namespace {

namespace sim = platform::sim;
using korvale::testing::SimTest;

std::intptr_t quietProcedure(void*, platform::Window, const platform::WindowMessage&) { return 0; }

// A window to paint on and a frame with no black pixel, so that every black
// pixel in the window is a bar and every other one is picture.
struct PresenterTest : SimTest {
    platform::Window window = nullptr;
    std::unique_ptr<RgbFrame> frame = std::make_unique<RgbFrame>();
    Presenter presenter;

    void SetUp() override {
        SimTest::SetUp();
        ASSERT_TRUE(platform::registerWindowClass(nullptr, "PresenterTest", &quietProcedure));
        window = platform::createWindow({nullptr, "PresenterTest", "t", 960, 720, nullptr});
        ASSERT_NE(window, nullptr);
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) {
                (*frame)[y * screenWidth + x] = static_cast<std::uint32_t>((x + 1) * 256 + (y + 1));
            }
        }
    }
    void TearDown() override { presenter.release(); }

    // Resizes the client area and paints all of it (or `update`).
    void paintAt(std::int32_t width, std::int32_t height) { paintAt(width, height, {0, 0, width, height}); }
    void paintAt(std::int32_t width, std::int32_t height, platform::Rect update) {
        paintWith(presenter, width, height, update);
    }
    void paintWith(Presenter& target, std::int32_t width, std::int32_t height, platform::Rect update) {
        sim::resizeClient(width, height);
        platform::PaintSession session = platform::beginPaint(window);
        target.paint(session.context, platform::clientRect(window), update, frame->data());
        platform::endPaint(window, session);
    }
    // The window shows exactly the picture at `picture`, black elsewhere.
    void expectPicture(const PictureRect& picture) {
        const sim::Snapshot s = sim::snapshot();
        std::int64_t wrong = 0;
        for (std::int32_t y = 0; y < s.clientHeight; ++y) {
            for (std::int32_t x = 0; x < s.clientWidth; ++x) {
                const std::uint32_t pixel = s.windowPixels[static_cast<std::size_t>(y) * s.clientWidth + x];
                std::uint32_t expected = 0;
                if (x >= picture.x && x < picture.x + picture.width && y >= picture.y &&
                    y < picture.y + picture.height) {
                    const std::int64_t sx = (x - picture.x) * std::int64_t{screenWidth} / picture.width;
                    const std::int64_t sy = (y - picture.y) * std::int64_t{screenHeight} / picture.height;
                    expected = (*frame)[sy * screenWidth + sx];
                }
                wrong += pixel != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << "pixels differing from the picture at " << picture.x << "," << picture.y << " "
                            << picture.width << "x" << picture.height;
    }
};

TEST(FitFourThree, LargestCentredFourThreeRectangle) {
    struct Case {
        std::int32_t width, height;
        PictureRect expected;
    };
    const Case cases[] = {
        {960, 720, {0, 0, 960, 720}},     {1920, 1080, {240, 0, 1440, 1080}}, {1000, 1000, {0, 125, 1000, 750}},
        {1, 1, {0, 0, 1, 0}},             {2, 1, {0, 0, 2, 1}},               {1280, 960, {0, 0, 1280, 960}},
        {321, 200, {27, 0, 266, 200}},    {3, 100, {0, 49, 3, 2}},
    };
    for (const Case& c : cases) {
        const PictureRect r = fitFourThree(c.width, c.height);
        EXPECT_EQ(r.x, c.expected.x) << c.width << "x" << c.height;
        EXPECT_EQ(r.y, c.expected.y) << c.width << "x" << c.height;
        EXPECT_EQ(r.width, c.expected.width) << c.width << "x" << c.height;
        EXPECT_EQ(r.height, c.expected.height) << c.width << "x" << c.height;
    }
}

TEST_F(PresenterTest, PictureFillsTheLargestCentredFourThreeAreaWithBlackBars) {
    const struct {
        std::int32_t width, height;
        PictureRect picture;
    } cases[] = {
        {960, 720, {0, 0, 960, 720}},
        {1920, 1080, {240, 0, 1440, 1080}},
        {1000, 1000, {0, 125, 1000, 750}},
        {2, 1, {0, 0, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
        paintAt(c.width, c.height);
        EXPECT_FALSE(presenter.failed());
        EXPECT_EQ(presenter.width(), c.width);
        EXPECT_EQ(presenter.height(), c.height);
        expectPicture(c.picture);
    }
}

TEST_F(PresenterTest, OnePixelAreaIsBlackAndCopiedWithoutAStretch) {
    paintAt(1, 1);
    EXPECT_FALSE(presenter.failed());
    const sim::Snapshot s = sim::snapshot();
    EXPECT_EQ(s.stretches, 0u);
    EXPECT_EQ(sim::callCount(sim::Operation::copyPixels), 1u);
    EXPECT_EQ(s.windowPixels.at(0), 0u);
}

TEST_F(PresenterTest, EmptyClientOrUpdateAreaDrawsNothingAndIsNoFailure) {
    paintAt(0, 0);
    paintAt(500, 0);
    EXPECT_FALSE(presenter.failed());
    EXPECT_FALSE(presenter.hasBackBuffer());
    EXPECT_EQ(sim::callCount(sim::Operation::createMemoryContext), 0u);

    paintAt(400, 300, {10, 10, 10, 50});
    EXPECT_FALSE(presenter.failed());
    EXPECT_EQ(sim::callCount(sim::Operation::copyPixels), 0u);
}

TEST_F(PresenterTest, CopiesOnlyTheUpdateArea) {
    paintAt(400, 300, {100, 50, 120, 60});
    const sim::Snapshot s = sim::snapshot();
    for (std::int32_t y = 0; y < 300; ++y) {
        for (std::int32_t x = 0; x < 400; ++x) {
            const bool inside = x >= 100 && x < 120 && y >= 50 && y < 60;
            ASSERT_EQ(s.windowPixels[y * 400 + x] != 0, inside) << x << "," << y;
        }
    }
}

TEST_F(PresenterTest, BackBufferIsKeptForTheSameSizeAndReplacedOnResize) {
    paintAt(960, 720);
    paintAt(960, 720);
    EXPECT_EQ(sim::snapshot().bitmapsCreated, 1u);
    paintAt(1920, 1080);
    sim::Snapshot s = sim::snapshot();
    EXPECT_EQ(s.bitmapsCreated, 2u);
    EXPECT_EQ(s.liveBitmaps, 1);
    EXPECT_EQ(s.liveMemoryContexts, 1);

    presenter.release();
    presenter.release();
    s = sim::snapshot();
    EXPECT_EQ(s.liveBitmaps, 0);
    EXPECT_EQ(s.liveMemoryContexts, 0);
    EXPECT_FALSE(presenter.hasBackBuffer());

    paintAt(960, 720);
    s = sim::snapshot();
    EXPECT_EQ(s.liveMemoryContexts, 1);
    EXPECT_EQ(s.bitmapsCreated, 3u);
    expectPicture({0, 0, 960, 720});
    EXPECT_EQ(s.misuses, 0u);
}

TEST_F(PresenterTest, EachFailingDrawingStepSetsTheFlagAndKeepsWhatWasMade) {
    const struct {
        sim::Operation operation;
        bool contextLeft;
        std::int32_t bitmapsLeft;
        std::int32_t widthLeft;
    } rows[] = {
        {sim::Operation::createMemoryContext, false, 0, 0},
        {sim::Operation::createCompatibleBitmap, true, 0, 0},
        {sim::Operation::selectBitmap, true, 0, 0},
        {sim::Operation::fillBlack, true, 1, 640},
        {sim::Operation::stretchImage, true, 1, 640},
        {sim::Operation::copyPixels, true, 1, 640},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.operation));
        Presenter fresh;
        sim::failAfter(row.operation, 0);
        paintWith(fresh, 640, 480, {0, 0, 640, 480});
        EXPECT_TRUE(fresh.failed());
        EXPECT_EQ(fresh.hasBackBuffer(), row.contextLeft);
        EXPECT_EQ(fresh.width(), row.widthLeft);
        const sim::Snapshot s = sim::snapshot();
        EXPECT_EQ(s.liveBitmaps, row.bitmapsLeft);
        if (row.operation != sim::Operation::copyPixels) {
            // Nothing reached the window.
            EXPECT_EQ(s.windowPixels.at(240 * 640 + 320), 0u);
        }
        sim::succeedAlways(row.operation);
        fresh.release();
        EXPECT_TRUE(fresh.failed()) << "the flag is never cleared";
        EXPECT_EQ(sim::snapshot().liveMemoryContexts, 0);
        EXPECT_EQ(sim::snapshot().liveBitmaps, 0);
        EXPECT_EQ(sim::snapshot().misuses, 0u);
    }
}

TEST_F(PresenterTest, FailedResizeKeepsTheOldBackBuffer) {
    paintAt(640, 480);
    for (sim::Operation operation : {sim::Operation::createCompatibleBitmap, sim::Operation::selectBitmap}) {
        sim::failAfter(operation, 0);
        paintAt(800, 600);
        EXPECT_TRUE(presenter.failed());
        EXPECT_EQ(presenter.width(), 640);
        EXPECT_EQ(presenter.height(), 480);
        EXPECT_EQ(sim::snapshot().liveBitmaps, 1);
        sim::succeedAlways(operation);
    }
    presenter.release();
    EXPECT_EQ(sim::snapshot().liveBitmaps, 0);
    EXPECT_EQ(sim::snapshot().misuses, 0u);
}

}  // namespace
}  // namespace korvale

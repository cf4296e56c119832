// The software drawing of one presentation at full-screen size: a black back
// buffer, the 320 x 200 frame stretched into its centred 4:3 rectangle, the
// whole back buffer copied to the window. At 60 presentations a second this
// is most of what the native program costs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/software/pixels.hpp"

namespace {

using namespace korvale::platform;

void presentFrame(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0));
    const auto height = static_cast<std::int32_t>(state.range(1));
    std::vector<std::uint32_t> frame(320 * 200);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0x00FFFFFFu;
    }
    std::vector<std::uint32_t> back(static_cast<std::size_t>(width) * height);
    std::vector<std::uint32_t> window(back.size());
    const software::PixelBuffer backBuffer{back.data(), width, height};
    const software::PixelBuffer windowBuffer{window.data(), width, height};
    const std::int32_t pictureWidth = 3 * width / 4 > height ? 4 * height / 3 : width;
    const std::int32_t pictureHeight = 3 * width / 4 > height ? height : 3 * width / 4;
    const std::int32_t x = (width - pictureWidth) / 2;
    const std::int32_t y = (height - pictureHeight) / 2;
    for (auto _ : state) {
        software::fillRect(backBuffer, Rect{0, 0, width, height}, 0);
        software::stretchNearest(backBuffer, Rect{x, y, x + pictureWidth, y + pictureHeight},
                                 ImageView{frame.data(), 320, 200});
        software::copyRect(windowBuffer, 0, 0, width, height, backBuffer, 0, 0);
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(presentFrame)->Args({960, 720})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace

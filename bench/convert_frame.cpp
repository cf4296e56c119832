// Frame conversion runs for every scene tick and every 60 Hz presentation.
#include <benchmark/benchmark.h>

#include <memory>

#include "vga/vga_state.hpp"

namespace {

void BM_ConvertFrame(benchmark::State& state) {
    auto vga = std::make_unique<korvale::VgaState>(korvale::AssetImage::embedded());
    vga->drawTitlePicture();
    for (auto _ : state) {
        vga->convertFrame();
        benchmark::DoNotOptimize(vga->frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * korvale::screenWidth * korvale::screenHeight);
}
BENCHMARK(BM_ConvertFrame);

}  // namespace

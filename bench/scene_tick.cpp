// The scene tick runs once per video tick, and up to 16 times in a row when
// the main loop catches up; each run ends with a frame conversion.
#include <benchmark/benchmark.h>

#include <memory>

#include "vga/vga_state.hpp"

namespace {

std::unique_ptr<korvale::VgaState> startedScene() {
    auto vga = std::make_unique<korvale::VgaState>(korvale::AssetImage::embedded());
    vga->drawTitlePicture();
    // Past the first two ticks, so every measured tick also restores.
    vga->runSceneTick({});
    vga->runSceneTick({});
    return vga;
}

void BM_SceneTick(benchmark::State& state) {
    auto vga = startedScene();
    const korvale::ChannelLevels levels{3, 7, 11, 15};
    for (auto _ : state) {
        vga->runSceneTick(levels);
        benchmark::DoNotOptimize(vga->frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SceneTick);

void BM_SceneCatchUp16(benchmark::State& state) {
    auto vga = startedScene();
    const korvale::ChannelLevels levels{3, 7, 11, 15};
    for (auto _ : state) {
        for (int i = 0; i < 16; ++i) vga->runSceneTick(levels);
        benchmark::DoNotOptimize(vga->frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 16);
}
BENCHMARK(BM_SceneCatchUp16);

}  // namespace

// Player::render speed: the shipped song, and a full load of 16 looped voices.
// Counters: realtime_x is seconds of audio per second of CPU; frame_time and
// voice_frame_time are CPU seconds per output frame and per frame and active
// voice (shown with an SI prefix, "n" for nanoseconds).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "assets/asset_image.hpp"
#include "audio/player.hpp"

namespace korvale {
namespace {

constexpr std::int32_t blockFrames = 1024;
constexpr std::int64_t spanFrames = 20 * outputRate;

// Mean number of voices mixed per frame over the first spanFrames. A voice
// still active after its frame was mixed is one that contributed to it.
double meanActiveVoices(const AssetImage& image) {
    auto player = std::make_unique<Player>(image);
    std::int64_t voiceFrames = 0;
    StereoFrame frame;
    for (std::int64_t k = 0; k < spanFrames; ++k) {
        player->render(&frame, 1);
        for (const Voice& v : player->voices) voiceFrames += v.active ? 1 : 0;
    }
    return static_cast<double>(voiceFrames) / static_cast<double>(spanFrames);
}

void renderSpan(benchmark::State& state, const AssetImage& image) {
    const double voices = meanActiveVoices(image);
    std::vector<StereoFrame> block(blockFrames);
    for (auto _ : state) {
        state.PauseTiming();
        auto player = std::make_unique<Player>(image);
        state.ResumeTiming();
        for (std::int64_t done = 0; done < spanFrames; done += blockFrames) {
            player->render(block.data(), blockFrames);
            benchmark::DoNotOptimize(block.data());
        }
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(spanFrames);
    state.counters["active_voices"] = voices;
    state.counters["realtime_x"] = benchmark::Counter(frames / outputRate, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["frame_time"] =
        benchmark::Counter(frames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["voice_frame_time"] = benchmark::Counter(
        frames * voices, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_RenderShippedSong(benchmark::State& state) { renderSpan(state, AssetImage::embedded()); }

// The shipped content with every sound looped and a first row that starts all
// 16 voices, each on its own instrument, pitch, volume and pan.
void BM_RenderSixteenVoices(benchmark::State& state) {
    static const auto buffer = [] {
        auto b = std::make_unique<AssetImageBuffer>(AssetImage::embedded().bytes());
        std::vector<std::uint8_t> row;
        for (std::uint8_t c = 0; c < voiceCount; ++c) {
            const std::uint32_t record = region::instrumentRecords.first + region::instrumentRecordSize * c;
            b->put8(record + region::instrumentFlagsOffset, region::instrumentLoopedFlag);
            b->put32(record + region::instrumentLoopStartOffset, 1000);
            row.insert(row.end(), {static_cast<std::uint8_t>(0x40 + c), static_cast<std::uint8_t>(30 + 3 * c),
                                   static_cast<std::uint8_t>((c << 4) | (1 + c % 15)), c});
        }
        row.insert(row.end(), {0x01, 255, 0x00, 255});
        for (std::uint32_t k = 0; k < region::orderLength; ++k) b->put8(region::orderList.first + k, 0);
        b->put32(region::patternOffsets.first, 0);
        b->putBytes(region::patternData.first, row);
        return b;
    }();
    renderSpan(state, buffer->image());
}

BENCHMARK(BM_RenderShippedSong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderSixteenVoices)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvale

#include <algorithm>
#include <array>
#include <cmath>

#include "audio/mix_arithmetic.hpp"
#include "audio/player.hpp"

namespace korvale {

namespace {

// The first frame at or after `from` whose number, as a double, reaches
// `deadline`. Frame numbers stay far below 2^53, so the conversion is exact
// and the test is the same as comparing with the deadline rounded up.
std::uint64_t firstFrameAtOrAfter(double deadline, std::uint64_t from) {
    if (!(deadline > static_cast<double>(from))) return from;
    return static_cast<std::uint64_t>(std::ceil(deadline));
}

}  // namespace

void Player::runDueMusicTick() {
    if (static_cast<double>(sampleCount) < nextMusicTick) return;
    runMusicTick();
    double rate = tickRate.load(std::memory_order_relaxed);
    rate = rate > 100.0 ? 100.0 : (rate < 25.0 ? 25.0 : rate);
    nextMusicTick = 48000.0 / rate + nextMusicTick;
}

// The video tick and the level block of the frame at sampleCount, if due.
void Player::publishDueTicks() {
    if (static_cast<double>(sampleCount) >= nextVideoTick) {
        const std::uint64_t n = ++videoTickCount;
        tickRing[n % ringSize].store(makeSnapshot(n, channelLevels), std::memory_order_release);
        latestVideoTick.store(n, std::memory_order_release);
        for (std::int32_t& level : channelLevels) {
            if (level > 0) --level;
        }
        nextVideoTick = nextVideoTick + videoTickFrames;
    }
    if (sampleCount % levelBlockFrames == 0) {
        const std::uint64_t q = sampleCount / levelBlockFrames;
        levelRing[q % ringSize].store(makeSnapshot(q + 1, channelLevels), std::memory_order_release);
    }
}

// Publishes the ticks and blocks of every frame from sampleCount up to `end`
// and leaves sampleCount at `end`, visiting only the frames where one is due.
void Player::publishTicksUntil(std::uint64_t end) {
    for (;;) {
        const std::uint64_t video = firstFrameAtOrAfter(nextVideoTick, sampleCount);
        const std::uint64_t block = (sampleCount + levelBlockFrames - 1) / levelBlockFrames * levelBlockFrames;
        const std::uint64_t due = std::min(video, block);
        if (due >= end) break;
        sampleCount = due;
        publishDueTicks();
        ++sampleCount;
    }
    sampleCount = end;
}

// One frame after its music tick, every step in order: a mixer failure
// leaves exactly the state it left in the frame where it happened.
void Player::renderFrameByFrame(StereoFrame& frame, bool silent) {
    publishDueTicks();
    mixFrame(frame);
    if (silent) frame = StereoFrame{0, 0};
    ++sampleCount;
}

void Player::render(StereoFrame* frames, std::int32_t count) {
    if (count <= 0) return;
    const bool silent = muted.load(std::memory_order_acquire);
    std::int32_t k = 0;
    while (k < count) {
        runDueMusicTick();
        // A voice whose sample points may lie outside the image can fail in
        // the middle of a run; such runs are mixed frame by frame.
        if (!activeSamplesInImage()) {
            renderFrameByFrame(frames[k], silent);
            ++k;
            continue;
        }
        // Voices change only at music ticks: up to the next one, each voice
        // can be mixed on its own over the whole run. Nothing in the run can
        // fail, so the clock and the rings may run ahead of the mixing.
        const std::uint64_t first = sampleCount;
        const auto room = static_cast<std::uint64_t>(std::min(count - k, runFrames));
        const std::uint64_t end = std::min(first + room, firstFrameAtOrAfter(nextMusicTick, first + 1));
        const auto run = static_cast<std::int32_t>(end - first);
        publishTicksUntil(end);

        std::array<StereoSum, runFrames> sums;
        std::fill_n(sums.begin(), run, StereoSum{0.0, 0.0});
        // Voices are mixed in pairs, each pair's signals being added to the
        // sums while the next pair's are computed; the last pair is added on
        // its own.
        std::array<std::array<std::array<double, runFrames>, 2>, 2> signals;
        std::array<PendingShares, 2> pending{};
        int buffer = 0;
        Voice* unpaired = nullptr;
        for (Voice& v : voices) {
            if (!v.active) continue;
            if (unpaired == nullptr) {
                unpaired = &v;
                continue;
            }
            pending = mixVoicePairRun(unpaired, &v, signals[buffer][0].data(), signals[buffer][1].data(), sums.data(),
                                      run, pending);
            unpaired = nullptr;
            buffer ^= 1;
        }
        if (unpaired != nullptr) {
            pending = mixVoicePairRun(unpaired, nullptr, signals[buffer][0].data(), signals[buffer][1].data(),
                                      sums.data(), run, pending);
        }
        StereoFrame* out = frames + k;
        if (silent) {
            for (std::int32_t j = 0; j < run; ++j) {
                pending[0].addTo(sums.data(), j);
                pending[1].addTo(sums.data(), j);
            }
            std::fill_n(out, run, StereoFrame{0, 0});
        } else {
            for (std::int32_t j = 0; j < run; ++j) {
                pending[0].addTo(sums.data(), j);
                pending[1].addTo(sums.data(), j);
                out[j] = StereoFrame{toOutputSample(sums[j][0]), toOutputSample(sums[j][1])};
            }
        }
        k += run;
    }
}

}  // namespace korvale

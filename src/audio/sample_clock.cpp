#include <array>

#include "audio/mix_arithmetic.hpp"
#include "audio/player.hpp"

namespace korvale {

void Player::runDueMusicTick() {
    if (static_cast<double>(sampleCount) < nextMusicTick) return;
    runMusicTick();
    double rate = tickRate.load(std::memory_order_relaxed);
    rate = rate > 100.0 ? 100.0 : (rate < 25.0 ? 25.0 : rate);
    nextMusicTick = 48000.0 / rate + nextMusicTick;
}

// The video tick and the level block of the frame at sampleCount.
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
        // Voices change only at music ticks: until the next one is due, each
        // voice can be mixed on its own over the whole run. Nothing in the run
        // can fail, so the clock and the rings may run ahead of the mixing.
        std::int32_t run = 0;
        do {
            publishDueTicks();
            ++sampleCount;
            ++run;
        } while (k + run < count && run < runFrames && static_cast<double>(sampleCount) < nextMusicTick);

        std::array<double, runFrames> left;
        std::array<double, runFrames> right;
        left.fill(0.0);
        right.fill(0.0);
        for (Voice& v : voices) {
            if (v.active) mixVoiceRun(v, left.data(), right.data(), run);
        }
        for (std::int32_t j = 0; j < run; ++j) {
            frames[k + j] = silent ? StereoFrame{0, 0} : StereoFrame{toOutputSample(left[j]), toOutputSample(right[j])};
        }
        k += run;
    }
}

}  // namespace korvale

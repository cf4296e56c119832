#include "host/frame_scheduler.hpp"

#include <atomic>
#include <cmath>

namespace korvale {

namespace {

constexpr std::uint64_t ringMask = ringSize - 1;

}  // namespace

void FrameScheduler::start(std::int64_t counterFrequency, std::int64_t counterNow) {
    counterFrequency_ = counterFrequency;
    period_ = static_cast<double>(counterFrequency) / presentationRate;
    deadline_ = static_cast<double>(counterNow);
    displayLevels_ = initialChannelLevels;
}

void FrameScheduler::addDevicePosition(std::uint32_t position) {
    // Unsigned 32-bit subtraction: a device counter that wraps at 2^32 still
    // moves the 64-bit count forward by the true distance.
    const std::uint32_t distance = position - lastDevicePosition_;
    playedSamples_ += static_cast<std::uint64_t>(distance);
    lastDevicePosition_ = position;
}

std::uint64_t FrameScheduler::dueTick(std::uint64_t playedSamples) {
    if (playedSamples == 0) {
        return 0;
    }
    // The operation order matches the audio side's accumulated deadlines, so
    // tick 1 is due at 686 frames, not one frame early or late.
    double x = static_cast<double>(playedSamples - 1);
    x = x * displayRefreshRate;
    x = x / static_cast<double>(outputRate);
    x = x + 1.0;
    x = x * 0.5;
    return static_cast<std::uint64_t>(x);
}

std::uint64_t FrameScheduler::catchUpLimit() const {
    const std::uint64_t due = dueTick(playedSamples_);
    const std::uint64_t latest = player_.latestVideoTick.load(std::memory_order_acquire);
    return latest < due ? latest : due;
}

void FrameScheduler::runDueTicks(std::uint64_t limit) {
    for (int i = 0; i < maxTicksPerPass; ++i) {
        const std::uint64_t done = vga_.scene.tickCount;
        if (done >= limit) {
            return;
        }
        const std::uint64_t n = done + 1;
        LevelSnapshot word = player_.tickRing[n & ringMask].load(std::memory_order_acquire);
        if (snapshotSequence(word) != n) {
            // The entry was already overwritten by a tick 4096 later (a very
            // long stall); the latest tick's levels are the closest we have.
            const std::uint64_t latest = player_.latestVideoTick.load(std::memory_order_acquire);
            word = player_.tickRing[latest & ringMask].load(std::memory_order_acquire);
        }
        vga_.runSceneTick(snapshotLevels(word));
    }
}

bool FrameScheduler::presentIfDue(std::int64_t counterNow) {
    const double now = static_cast<double>(counterNow);
    if (now < deadline_) {
        return false;
    }
    refreshDisplay();
    // Missed presentations are dropped; the deadline stays on the grid that
    // began at start().
    const double k = std::floor((now - deadline_) / period_);
    deadline_ = (k + 1.0) * period_ + deadline_;
    return true;
}

void FrameScheduler::refreshDisplay() {
    const std::uint64_t p = playedSamples_;
    if (p != 0) {
        const std::uint64_t q = (p - 1) / static_cast<std::uint64_t>(levelBlockFrames);
        const LevelSnapshot word = player_.levelRing[q & ringMask].load(std::memory_order_acquire);
        // A stale entry (the block not yet published, or already reused)
        // leaves the lights as they were.
        if (snapshotSequence(word) == q + 1) {
            displayLevels_ = snapshotLevels(word);
        }
    }
    vga_.updateLights(displayLevels_);
    vga_.convertFrame();
}

int FrameScheduler::waitMilliseconds(std::int64_t counterNow) const {
    const double now = static_cast<double>(counterNow);
    double ms = std::ceil(((deadline_ - now) * 1000.0) / static_cast<double>(counterFrequency_));
    if (ms > waitCeilingMs) {
        ms = waitCeilingMs;
    } else if (ms < 0.0) {
        ms = 0.0;
    }
    return static_cast<int>(ms);
}

}  // namespace korvale

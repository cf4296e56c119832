// 26 hours of playing in fast-forward, past the point where the device's
// 32-bit frame position wraps (after 24.9 hours): every video tick runs
// exactly once, in order, with its own levels, and the scene ends exactly at
// the due tick.
//
// Rendering 26 hours of music and running 3.3 million real scene ticks would
// take many minutes, so this program puts two stand-ins around the real
// FrameScheduler: the audio side publishes into the Player's rings with the
// same accumulated deadlines as Player::render, without mixing; and the scene
// frame routine below (it replaces the real one at link time, in this test
// program only) just checks and counts the ticks it is given.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "host/frame_scheduler.hpp"

namespace korvale {

namespace {

// Levels that tell ticks apart.
ChannelLevels levelsOfTick(std::uint64_t n) {
    return {static_cast<std::int32_t>(n & 15), static_cast<std::int32_t>((n >> 4) & 15),
            static_cast<std::int32_t>((n >> 8) & 15), static_cast<std::int32_t>((n >> 12) & 15)};
}

std::uint64_t wrongLevels = 0;

}  // namespace

void VgaState::runSceneTick(const ChannelLevels& levels) {
    const std::uint64_t n = scene.tickCount + 1;
    if (levels != levelsOfTick(n)) {
        ++wrongLevels;
    }
    scene.tickCount = n;
}

namespace {

// The audio side's clock: the same per-frame test as Player::render ("frame
// s runs the tick whose deadline it has reached"), taken a block at a time.
struct AudioSide {
    Player& player;
    double nextVideoTick = firstVideoTickDeadline;
    std::uint64_t videoTicks = 0;
    std::uint64_t rendered = 0;

    void renderUpTo(std::uint64_t frames) {
        while (static_cast<double>(frames - 1) >= nextVideoTick) {
            ++videoTicks;
            player.tickRing[videoTicks & 4095].store(makeSnapshot(videoTicks, levelsOfTick(videoTicks)),
                                                     std::memory_order_release);
            player.latestVideoTick.store(videoTicks, std::memory_order_release);
            nextVideoTick = nextVideoTick + videoTickFrames;
        }
        rendered = frames;
    }
};

TEST(HostSoak, TwentySixHoursPastTheDevicePositionWrap) {
    const AssetImage image = AssetImage::embedded();
    auto player = std::make_unique<Player>(image);
    auto vga = std::make_unique<VgaState>(image);
    FrameScheduler scheduler(*vga, *player);
    AudioSide audio{*player};

    constexpr std::int64_t frequency = 10000000;
    scheduler.start(frequency, 0);

    const std::uint64_t total = 26ull * 3600 * 48000;
    std::uint64_t played = 0;
    std::uint64_t step = 0;
    std::uint64_t passes = 0;
    while (played < total) {
        // Mostly a frame's worth of playing per pass, now and then a stall
        // of up to a second, which the 16-tick bound spreads over passes.
        ++step;
        const std::uint64_t advance = step % 997 == 0 ? 48000 : 600 + (step * 7919) % 700;
        played += advance;
        audio.renderUpTo(played + 8 * 1024);  // eight buffers ahead of the device
        scheduler.addDevicePosition(static_cast<std::uint32_t>(played));
        ASSERT_EQ(scheduler.playedSamples(), played);
        scheduler.runDueTicks(scheduler.catchUpLimit());
        ASSERT_LE(vga->scene.tickCount, FrameScheduler::dueTick(played));
        ++passes;
    }
    // The device stops; the following passes catch up the rest.
    for (int i = 0; i < 4; ++i) {
        scheduler.addDevicePosition(static_cast<std::uint32_t>(played));
        scheduler.runDueTicks(scheduler.catchUpLimit());
    }
    EXPECT_GT(played, std::uint64_t{1} << 32);
    EXPECT_EQ(vga->scene.tickCount, FrameScheduler::dueTick(played));
    EXPECT_NEAR(static_cast<double>(vga->scene.tickCount), 26.0 * 3600.0 * displayRefreshRate / 2.0, 1.0);
    EXPECT_EQ(wrongLevels, 0u);
    EXPECT_GT(passes, 1000000u);
}

}  // namespace
}  // namespace korvale

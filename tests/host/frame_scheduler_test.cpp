#include "host/frame_scheduler.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "assets/asset_image.hpp"

namespace korvale {
namespace {

// A scheduler over a fresh player and display; the test writes the rings by
// hand, as the audio thread would.
struct SchedulerFixture : ::testing::Test {
    AssetImage image = AssetImage::embedded();
    std::unique_ptr<Player> player = std::make_unique<Player>(image);
    std::unique_ptr<VgaState> vga = std::make_unique<VgaState>(image);
    FrameScheduler scheduler{*vga, *player};

    void publishTick(std::uint64_t n, const ChannelLevels& levels) {
        player->tickRing[n & 4095].store(makeSnapshot(n, levels), std::memory_order_release);
        player->latestVideoTick.store(n, std::memory_order_release);
    }
    void publishTicks(std::uint64_t upTo) {
        for (std::uint64_t n = 1; n <= upTo; ++n) {
            publishTick(n, {1, 2, 3, 4});
        }
    }
    void publishBlock(std::uint64_t q, std::uint64_t sequence, const ChannelLevels& levels) {
        player->levelRing[q & 4095].store(makeSnapshot(sequence, levels), std::memory_order_release);
    }
    std::uint64_t sceneTicks() const { return vga->scene.tickCount; }
};

TEST(FrameSchedulerDueTick, FirstTicksFallWhereTheAudioSidePublishesThem) {
    struct Case {
        std::uint64_t played;
        std::uint64_t due;
    };
    const Case cases[] = {
        {0, 0},    {1, 0},    {685, 0},   {686, 1},   {2055, 1},
        {2056, 2}, {3425, 2}, {3426, 3},  {48000, 35},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FrameScheduler::dueTick(c.played), c.due) << "played " << c.played;
    }
    for (std::uint64_t p = 1; p <= 685; ++p) {
        ASSERT_EQ(FrameScheduler::dueTick(p), 0u) << "played " << p;
    }
}

TEST(FrameSchedulerDueTick, StaysWithinAFrameOfTheAudioSideOverADay) {
    // The audio side publishes tick n while rendering the first frame whose
    // index reaches its accumulated deadline. The closed formula here and that
    // running sum round differently (first at tick 504), but over 26 hours
    // they never drift apart by more than one frame either way; the catch-up
    // limit covers the early side.
    double deadline = firstVideoTickDeadline;
    for (std::uint64_t n = 1; n <= 3300000; ++n) {
        const auto frame = static_cast<std::uint64_t>(std::ceil(deadline));
        ASSERT_GE(FrameScheduler::dueTick(frame + 2), n) << "tick " << n;
        ASSERT_LT(FrameScheduler::dueTick(frame - 1), n) << "tick " << n;
        deadline += videoTickFrames;
    }
}

TEST_F(SchedulerFixture, DevicePositionWrapsAt32Bits) {
    scheduler.addDevicePosition(1000);
    EXPECT_EQ(scheduler.playedSamples(), 1000u);
    scheduler.addDevicePosition(4294967290u);  // 2^32 - 6
    EXPECT_EQ(scheduler.playedSamples(), 4294967290u);
    scheduler.addDevicePosition(6);
    EXPECT_EQ(scheduler.playedSamples(), 4294967296u + 6u);
    EXPECT_EQ(scheduler.lastDevicePosition(), 6u);
    scheduler.addDevicePosition(6);  // no progress
    EXPECT_EQ(scheduler.playedSamples(), 4294967296u + 6u);
}

TEST_F(SchedulerFixture, FortyDueTicksRunSixteenPerPass) {
    publishTicks(40);
    scheduler.runDueTicks(40);
    EXPECT_EQ(sceneTicks(), 16u);
    scheduler.runDueTicks(40);
    EXPECT_EQ(sceneTicks(), 32u);
    scheduler.runDueTicks(40);
    EXPECT_EQ(sceneTicks(), 40u);
    scheduler.runDueTicks(40);
    EXPECT_EQ(sceneTicks(), 40u);
}

TEST_F(SchedulerFixture, CatchUpLimitIsTheLatestPublishedTickWhenBelowTheDueTick) {
    publishTicks(5);
    scheduler.addDevicePosition(48000);  // due tick 35
    EXPECT_EQ(scheduler.catchUpLimit(), 5u);
    scheduler.runDueTicks(scheduler.catchUpLimit());
    EXPECT_EQ(sceneTicks(), 5u);

    publishTicks(60);  // now the due tick is the smaller one
    EXPECT_EQ(scheduler.catchUpLimit(), 35u);
    scheduler.runDueTicks(scheduler.catchUpLimit());
    scheduler.runDueTicks(scheduler.catchUpLimit());
    scheduler.runDueTicks(scheduler.catchUpLimit());
    EXPECT_EQ(sceneTicks(), 35u);
}

TEST_F(SchedulerFixture, EachTickRunsWithItsOwnLevelsOrTheLatestOnesWhenItsEntryIsGone) {
    // Reference: the same scene run directly with the levels we expect.
    auto reference = std::make_unique<VgaState>(image);
    const ChannelLevels tick1{3, 0, 9, 15};
    const ChannelLevels latest{7, 7, 1, 2};
    publishTick(1, tick1);
    // Tick 2's slot holds tick 4098 (reused after a stall), tick 3 is latest.
    player->tickRing[2].store(makeSnapshot(4098, {15, 15, 15, 15}), std::memory_order_release);
    player->tickRing[3].store(makeSnapshot(3, latest), std::memory_order_release);
    player->latestVideoTick.store(3, std::memory_order_release);

    scheduler.runDueTicks(2);
    reference->runSceneTick(tick1);
    reference->runSceneTick(latest);
    ASSERT_EQ(sceneTicks(), 2u);
    EXPECT_EQ(vga->palette, reference->palette);
    EXPECT_EQ(vga->frame, reference->frame);

    // The comparison can tell levels apart at all.
    auto other = std::make_unique<VgaState>(image);
    other->runSceneTick(tick1);
    other->runSceneTick({15, 15, 15, 15});
    EXPECT_NE(other->palette, reference->palette);
}

TEST_F(SchedulerFixture, LightsKeepTheirLevelsUntilAValidLevelBlock) {
    auto reference = std::make_unique<VgaState>(image);
    scheduler.start(60000, 0);

    // Nothing played yet: the lights start at full.
    ASSERT_TRUE(scheduler.presentIfDue(0));
    EXPECT_EQ(scheduler.displayLevels(), initialChannelLevels);

    // Played 500 frames: block 1, but its entry is still empty.
    scheduler.addDevicePosition(500);
    ASSERT_TRUE(scheduler.presentIfDue(1000));
    EXPECT_EQ(scheduler.displayLevels(), initialChannelLevels);

    // Block 2 (frames 800-1199) published with sequence 3.
    publishBlock(2, 3, {1, 2, 3, 4});
    scheduler.addDevicePosition(1000);
    ASSERT_TRUE(scheduler.presentIfDue(2000));
    EXPECT_EQ(scheduler.displayLevels(), (ChannelLevels{1, 2, 3, 4}));
    reference->updateLights({1, 2, 3, 4});
    reference->convertFrame();
    EXPECT_EQ(vga->palette, reference->palette);
    EXPECT_EQ(vga->frame, reference->frame);

    // Block 3's slot holds a block 4096 later: stale, the levels stay.
    publishBlock(3, 4096 + 3 + 1, {9, 9, 9, 9});
    scheduler.addDevicePosition(1400);
    ASSERT_TRUE(scheduler.presentIfDue(3000));
    EXPECT_EQ(scheduler.displayLevels(), (ChannelLevels{1, 2, 3, 4}));
}

TEST_F(SchedulerFixture, PresentsOnceAfterAStallAndLandsBackOnTheGrid) {
    const std::int64_t frequency = 1000000;
    const double period = static_cast<double>(frequency) / 60.0;
    scheduler.start(frequency, 500);
    EXPECT_TRUE(scheduler.presentIfDue(500));  // the first pass always presents
    EXPECT_FALSE(scheduler.presentIfDue(500));
    EXPECT_DOUBLE_EQ(scheduler.deadline(), 500.0 + period);

    const std::int64_t afterStall = 500 + frequency + 12345;
    EXPECT_TRUE(scheduler.presentIfDue(afterStall));
    EXPECT_FALSE(scheduler.presentIfDue(afterStall));
    const double deadline = scheduler.deadline();
    EXPECT_GT(deadline, static_cast<double>(afterStall));
    EXPECT_LE(deadline - period, static_cast<double>(afterStall));
    const double slots = (deadline - 500.0) / period;
    EXPECT_NEAR(slots, std::round(slots), 1e-6);
    EXPECT_EQ(std::round(slots), 61.0);
}

TEST_F(SchedulerFixture, WaitIsClampedToZeroToSeventeenMilliseconds) {
    // 60000 counter units per second: one presentation period is 1000 units,
    // one millisecond is 60 units.
    scheduler.start(60000, 0);
    ASSERT_TRUE(scheduler.presentIfDue(0));
    ASSERT_EQ(scheduler.deadline(), 1000.0);
    struct Case {
        std::int64_t now;
        int expected;
    };
    const Case cases[] = {
        {1000 + 180, 0},   // -3 ms
        {1000, 0},         // exactly at the deadline
        {1000 - 1500, 17}, // 25 ms
        {1000 - 972, 17},  // 16.2 ms rounds up
        {1000 - 600, 10},  // 10 ms
        {1000 - 59, 1},    // just under 1 ms
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scheduler.waitMilliseconds(c.now), c.expected) << "now " << c.now;
    }
}

}  // namespace
}  // namespace korvale

#include "audio/audio_output.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "sim_fixture.hpp"

namespace korvale {
namespace {

namespace sim = platform::sim;
using korvale::testing::eventually;
using korvale::testing::SimTest;

struct AudioOutputTest : SimTest {
    std::unique_ptr<AudioOutput> output = std::make_unique<AudioOutput>(AssetImage::embedded());

    void TearDown() override { output->close(); }

    bool primed() {
        return eventually([] {
            const sim::Snapshot s = sim::snapshot();
            return s.queuedBuffers == 8 && !s.devicePaused;
        });
    }
    // After close: nothing left open and no contract broken on the way.
    void expectAllReleased() {
        const sim::Snapshot s = sim::snapshot();
        EXPECT_FALSE(s.deviceOpen);
        EXPECT_EQ(s.preparedHeaders, 0u);
        EXPECT_EQ(s.liveThreads, 0);
        EXPECT_EQ(s.liveEvents, 0);
        EXPECT_EQ(s.misuses, 0u);
        EXPECT_EQ(output->device, nullptr);
        EXPECT_EQ(output->thread, nullptr);
        EXPECT_EQ(output->bufferEvent, nullptr);
        EXPECT_EQ(output->stopEvent, nullptr);
    }
};

TEST_F(AudioOutputTest, PrimesEightBuffersThenRefillsEachAsItIsPlayed) {
    ASSERT_TRUE(output->start());
    ASSERT_TRUE(primed());
    sim::Snapshot s = sim::snapshot();
    EXPECT_EQ(s.formatRate, 48000u);
    EXPECT_EQ(s.formatChannels, 2u);
    EXPECT_EQ(s.formatBits, 16u);
    EXPECT_EQ(s.preparedHeaders, 8u);

    EXPECT_EQ(sim::playDevice(3 * 1024 + 10), 3u * 1024 + 10);
    ASSERT_TRUE(eventually([] { return sim::snapshot().queuedBuffers == 8; }));
    output->close();
    EXPECT_EQ(output->player.sampleCount, 11u * 1024);
    EXPECT_FALSE(output->failed.load());
    s = sim::snapshot();
    EXPECT_EQ(s.unprepares, 8u);
    EXPECT_EQ(s.deviceResets, 1u);
    expectAllReleased();

    output->close();  // the end-of-program call finds nothing left
    EXPECT_EQ(sim::snapshot().deviceCloses, 1u);
}

TEST_F(AudioOutputTest, RefillsByPollingWhenTheDeviceNeverNotifies) {
    sim::setNotifications(false);
    ASSERT_TRUE(output->start());
    ASSERT_TRUE(primed());
    sim::playDevice(2 * 1024);
    ASSERT_TRUE(eventually([] { return sim::snapshot().queuedBuffers == 8; }));
    EXPECT_EQ(output->player.sampleCount, 10u * 1024);
}

TEST_F(AudioOutputTest, CloseWhileTheThreadWaitsStopsItBeforeTheDeviceIsReleased) {
    ASSERT_TRUE(output->start());
    ASSERT_TRUE(primed());
    output->close();
    EXPECT_EQ(output->player.sampleCount, 8u * 1024);
    expectAllReleased();
}

TEST_F(AudioOutputTest, UsesTheTaskSchedulerWhenThereIsOneAndHigherPriorityOtherwise) {
    const struct {
        sim::TaskService service;
        std::uint32_t loaded, joined, left, unloaded, raises;
    } rows[] = {
        {sim::TaskService::available, 1, 1, 1, 1, 0},
        {sim::TaskService::missing, 0, 0, 0, 0, 1},
        {sim::TaskService::lacksFunctions, 1, 0, 0, 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.service));
        sim::reset();
        sim::setTaskService(row.service);
        auto fresh = std::make_unique<AudioOutput>(AssetImage::embedded());
        ASSERT_TRUE(fresh->start());
        ASSERT_TRUE(primed());
        fresh->close();
        const sim::Snapshot s = sim::snapshot();
        EXPECT_EQ(s.schedulersLoaded, row.loaded);
        EXPECT_EQ(s.tasksJoined, row.joined);
        EXPECT_EQ(s.tasksLeft, row.left);
        EXPECT_EQ(s.schedulersUnloaded, row.unloaded);
        EXPECT_EQ(s.priorityRaises, row.raises);
        EXPECT_FALSE(fresh->failed.load());
    }
}

TEST_F(AudioOutputTest, EachDeviceFailureStopsTheThreadWithItsMessage) {
    const struct {
        sim::Operation operation;
        std::uint32_t successes;
        bool whileRefilling;
        const char* message;
        std::uint32_t prepared;  // headers prepared when it failed
    } rows[] = {
        {sim::Operation::pauseWaveOutput, 0, false, "Audio pause failed", 0},
        {sim::Operation::prepareWaveHeader, 3, false, "Audio header preparation failed", 3},
        {sim::Operation::writeWaveOutput, 2, false, "Audio queue failed", 3},
        {sim::Operation::restartWaveOutput, 0, false, "Audio start failed", 8},
        {sim::Operation::writeWaveOutput, 8, true, "Audio queue failed", 8},
        {sim::Operation::waitForAnyEvent, 0, false, "Audio event wait failed", 8},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        sim::reset();
        auto fresh = std::make_unique<AudioOutput>(AssetImage::embedded());
        sim::failAfter(row.operation, row.successes);
        ASSERT_TRUE(fresh->start());
        if (row.whileRefilling) {
            ASSERT_TRUE(primed());
            sim::playDevice(1024);
        }
        ASSERT_TRUE(eventually([&] { return fresh->failed.load(std::memory_order_acquire); }));
        EXPECT_STREQ(fresh->failureMessage.data(), row.message);
        EXPECT_EQ(sim::snapshot().preparedHeaders, row.prepared);
        // No retry: nothing more is rendered.
        const std::uint64_t rendered = fresh->player.sampleCount;
        sim::playDevice(4096);
        fresh->close();
        EXPECT_EQ(fresh->player.sampleCount, rendered);
        const sim::Snapshot s = sim::snapshot();
        EXPECT_EQ(s.unprepares, row.prepared);
        EXPECT_EQ(s.misuses, 0u);
        EXPECT_FALSE(s.deviceOpen);
        EXPECT_EQ(s.liveThreads, 0);
        EXPECT_EQ(s.liveEvents, 0);
    }
}

TEST_F(AudioOutputTest, ClosesWhateverAPartialStartMade) {
    output->close();  // never started: nothing to do
    EXPECT_EQ(sim::snapshot().deviceCloses, 0u);

    const struct {
        sim::Operation operation;
        std::uint32_t successes;
    } rows[] = {
        {sim::Operation::createEvent, 0},
        {sim::Operation::createEvent, 1},
        {sim::Operation::openWaveOutput, 0},
        {sim::Operation::startThread, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.operation));
        sim::reset();
        auto fresh = std::make_unique<AudioOutput>(AssetImage::embedded());
        sim::failAfter(row.operation, row.successes);
        EXPECT_FALSE(fresh->start());
        fresh->close();
        fresh->close();
        const sim::Snapshot s = sim::snapshot();
        EXPECT_EQ(s.liveEvents, 0);
        EXPECT_FALSE(s.deviceOpen);
        EXPECT_EQ(s.deviceCloses, s.deviceOpens);
        EXPECT_EQ(s.misuses, 0u);
    }
}

TEST_F(AudioOutputTest, FailureMessageIsCutTo255Characters) {
    const std::string longText(300, 'x');
    output->recordFailure(longText.c_str());
    EXPECT_TRUE(output->failed.load(std::memory_order_acquire));
    EXPECT_EQ(std::strlen(output->failureMessage.data()), 255u);
    EXPECT_EQ(std::string(output->failureMessage.data()), longText.substr(0, 255));

    auto exact = std::make_unique<AudioOutput>(AssetImage::embedded());
    exact->recordFailure(longText.substr(0, 255).c_str());
    EXPECT_EQ(std::strlen(exact->failureMessage.data()), 255u);
}

}  // namespace
}  // namespace korvale

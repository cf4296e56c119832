// The wave output on SDL's file-writing audio driver: what the device was
// given, in which order, when the headers turn done and how far the position
// runs.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/sync.hpp"
#include "platform/wave_output.hpp"

namespace korvale::platform {
namespace {

constexpr WaveFormat stereo48k{48000, 2, 16};
constexpr std::uint32_t bufferFrames = 1024;

class WaveOutputTest : public testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("korvale-sdl-audio-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw");
        // SDL's driver that writes the sound to a file, at the pace of a device.
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
        ASSERT_EQ(SDL_Init(0), 0) << SDL_GetError();
        notify_ = createEvent(EventReset::automatic);
        ASSERT_NE(notify_, nullptr);
        for (std::size_t i = 0; i < buffers_.size(); ++i) {
            buffers_[i].resize(bufferFrames * 4);
            for (std::size_t b = 0; b < buffers_[i].size(); ++b) {
                buffers_[i][b] = static_cast<std::uint8_t>(i * 37 + b * 3 + 1);
            }
            headers_[i].data = buffers_[i].data();
            headers_[i].length = static_cast<std::uint32_t>(buffers_[i].size());
        }
    }

    void TearDown() override {
        closeEvent(notify_);
        SDL_Quit();
        std::filesystem::remove(path_);
    }

    // Waits for the notify event until `header` is done; false after 5 s.
    bool waitUntilDone(const WaveHeader& header) {
        const Event events[] = {notify_};
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!waveHeaderDone(header)) {
            if (std::chrono::steady_clock::now() > giveUp) {
                return false;
            }
            static_cast<void>(waitForAnyEvent(events, 100));
        }
        return true;
    }

    // What the device wrote from the first sound on: before playback starts
    // (and while paused) it writes silence, for as long as that lasted.
    std::vector<std::uint8_t> played() const {
        std::ifstream file(path_, std::ios::binary);
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        const auto first = std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != 0; });
        return {first, bytes.end()};
    }

    std::filesystem::path path_;
    Event notify_ = nullptr;
    std::array<std::vector<std::uint8_t>, 3> buffers_;
    std::array<WaveHeader, 3> headers_;
};

TEST_F(WaveOutputTest, PlaysQueuedBuffersInOrderThenSilenceWithThePositionStandingStill) {
    WaveDevice device = openWaveOutput(stereo48k, notify_);
    ASSERT_NE(device, nullptr) << SDL_GetError();
    ASSERT_TRUE(pauseWaveOutput(device));
    for (WaveHeader& header : headers_) {
        ASSERT_TRUE(prepareWaveHeader(device, header));
        EXPECT_TRUE(waveHeaderPrepared(header));
        EXPECT_FALSE(waveHeaderDone(header));
        ASSERT_TRUE(writeWaveOutput(device, header));
    }
    // Paused: nothing is taken.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(waveOutputPosition(device).value, 0u);
    EXPECT_FALSE(waveHeaderDone(headers_[0]));

    ASSERT_TRUE(restartWaveOutput(device));
    for (std::size_t i = 0; i < headers_.size(); ++i) {
        ASSERT_TRUE(waitUntilDone(headers_[i])) << "header " << i;
        for (std::size_t later = i + 1; later < headers_.size(); ++later) {
            EXPECT_FALSE(waveHeaderDone(headers_[later])) << "header " << later << " done before " << i;
        }
    }
    const WavePosition afterAll = waveOutputPosition(device);
    EXPECT_EQ(afterAll.unit, PositionUnit::frames);
    EXPECT_EQ(afterAll.value, 3 * bufferFrames);
    // Starved: the device goes on with silence, and the position does not
    // count it.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(waveOutputPosition(device).value, 3 * bufferFrames);

    resetWaveOutput(device);
    for (WaveHeader& header : headers_) {
        unprepareWaveHeader(device, header);
        EXPECT_FALSE(waveHeaderPrepared(header));
    }
    closeWaveOutput(device);

    const std::vector<std::uint8_t> bytes = played();
    ASSERT_GE(bytes.size(), 3 * bufferFrames * 4 + 1);
    for (std::size_t i = 0; i < buffers_.size(); ++i) {
        const std::vector<std::uint8_t> segment(bytes.begin() + i * bufferFrames * 4,
                                                bytes.begin() + (i + 1) * bufferFrames * 4);
        EXPECT_EQ(segment, buffers_[i]) << "buffer " << i;
    }
    for (std::size_t b = 3 * bufferFrames * 4; b < bytes.size(); ++b) {
        ASSERT_EQ(bytes[b], 0) << "byte " << b << " after the last buffer";
    }
}

TEST_F(WaveOutputTest, RewrittenHeaderPlaysAgainAfterTheOthers) {
    WaveDevice device = openWaveOutput(stereo48k, notify_);
    ASSERT_NE(device, nullptr) << SDL_GetError();
    for (WaveHeader& header : headers_) {
        ASSERT_TRUE(prepareWaveHeader(device, header));
    }
    ASSERT_TRUE(writeWaveOutput(device, headers_[0]));
    ASSERT_TRUE(writeWaveOutput(device, headers_[1]));
    ASSERT_TRUE(restartWaveOutput(device));
    ASSERT_TRUE(waitUntilDone(headers_[0]));
    // The refill of the audio thread: the done header goes back in line.
    ASSERT_TRUE(writeWaveOutput(device, headers_[0]));
    EXPECT_FALSE(waveHeaderDone(headers_[0]));
    ASSERT_TRUE(waitUntilDone(headers_[1]));
    ASSERT_TRUE(waitUntilDone(headers_[0]));
    EXPECT_EQ(waveOutputPosition(device).value, 3 * bufferFrames);
    resetWaveOutput(device);
    for (WaveHeader& header : headers_) {
        unprepareWaveHeader(device, header);
    }
    closeWaveOutput(device);

    const std::vector<std::uint8_t> bytes = played();
    ASSERT_GE(bytes.size(), 3 * bufferFrames * 4);
    const std::vector<std::uint8_t> third(bytes.begin() + 2 * bufferFrames * 4, bytes.begin() + 3 * bufferFrames * 4);
    EXPECT_EQ(third, buffers_[0]);
}

TEST_F(WaveOutputTest, ResetHandsBackEveryQueuedBufferAsDone) {
    WaveDevice device = openWaveOutput(stereo48k, notify_);
    ASSERT_NE(device, nullptr) << SDL_GetError();
    ASSERT_TRUE(pauseWaveOutput(device));
    for (WaveHeader& header : headers_) {
        ASSERT_TRUE(prepareWaveHeader(device, header));
        ASSERT_TRUE(writeWaveOutput(device, header));
    }
    resetWaveOutput(device);
    for (WaveHeader& header : headers_) {
        EXPECT_TRUE(waveHeaderDone(header));
        EXPECT_TRUE(waveHeaderPrepared(header));
        unprepareWaveHeader(device, header);
    }
    EXPECT_EQ(waveOutputPosition(device).value, 0u);
    closeWaveOutput(device);
}

TEST_F(WaveOutputTest, RefusesWhatTheDeviceCannotTake) {
    // Formats other than 16-bit PCM, and no event to notify.
    EXPECT_EQ(openWaveOutput(WaveFormat{48000, 2, 8}, notify_), nullptr);
    EXPECT_EQ(openWaveOutput(stereo48k, nullptr), nullptr);

    WaveDevice device = openWaveOutput(stereo48k, notify_);
    ASSERT_NE(device, nullptr) << SDL_GetError();
    // A header that was never prepared is not queued.
    EXPECT_FALSE(writeWaveOutput(device, headers_[0]));
    closeWaveOutput(device);
}

}  // namespace
}  // namespace korvale::platform

// Keeps the scene in step with the music being heard and presents at 60 Hz.
// Pure logic: the device position and the counter values come in as numbers,
// so the live program, the simulated platform and the capture tool all run
// exactly this code.
#pragma once

#include <cstdint>

#include "audio/player.hpp"
#include "common/channel_levels.hpp"
#include "vga/vga_state.hpp"

namespace korvale {

inline constexpr double displayRefreshRate = 70.08630289532294;
inline constexpr int maxTicksPerPass = 16;
inline constexpr double presentationRate = 60.0;
inline constexpr double waitCeilingMs = 17.0;

class FrameScheduler {
public:
    FrameScheduler(VgaState& vga, const Player& player) : vga_(vga), player_(player) {}

    // Once, after the window is shown and the audio thread runs.
    void start(std::int64_t counterFrequency, std::int64_t counterNow);
    // Adds the distance from the last reported device position (mod 2^32).
    void addDevicePosition(std::uint32_t position);
    // The video tick due once `playedSamples` frames have been played.
    [[nodiscard]] static std::uint64_t dueTick(std::uint64_t playedSamples);
    // The smaller of the due tick of `playedSamples` and the latest tick the
    // audio thread has published: the scene never runs ahead of the rings.
    [[nodiscard]] std::uint64_t catchUpLimit() const;
    // Runs the scene frame routine 0 to 16 times, never past `catchUpLimit`.
    void runDueTicks(std::uint64_t catchUpLimit);
    // At or after the deadline: lights from the music being heard, conversion,
    // next deadline on the 60 Hz grid. Returns true when the caller must now
    // repaint the window.
    [[nodiscard]] bool presentIfDue(std::int64_t counterNow);
    // Lights from the LevelRing block of the last played frame, then conversion.
    void refreshDisplay();
    // How long the main thread may sleep, 0 to 17 ms.
    [[nodiscard]] int waitMilliseconds(std::int64_t counterNow) const;

    [[nodiscard]] std::uint64_t playedSamples() const { return playedSamples_; }
    [[nodiscard]] std::uint32_t lastDevicePosition() const { return lastDevicePosition_; }
    [[nodiscard]] const ChannelLevels& displayLevels() const { return displayLevels_; }
    [[nodiscard]] double deadline() const { return deadline_; }

private:
    VgaState& vga_;
    const Player& player_;
    std::uint64_t playedSamples_ = 0;
    std::uint32_t lastDevicePosition_ = 0;
    std::int64_t counterFrequency_ = 1;
    double period_ = 1.0;
    double deadline_ = 0.0;
    ChannelLevels displayLevels_ = initialChannelLevels;
};

}  // namespace korvale

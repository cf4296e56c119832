// The music on the sound device: the Player, the device, its events, eight
// rotating buffers and the audio thread that keeps them filled. A failure on
// the audio thread is stored here and reported by the main thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "audio/player.hpp"
#include "platform/sync.hpp"
#include "platform/wave_output.hpp"

namespace korvale {

inline constexpr int outputBufferCount = 8;
inline constexpr int outputBufferFrames = 1024;
inline constexpr std::uint32_t outputBufferBytes = outputBufferFrames * 4;
inline constexpr std::uint32_t audioWaitMs = 10;
inline constexpr std::size_t failureMessageSize = 256;

class AudioOutput {
public:
    // Builds the Player from the content (FatalError on bad content); every
    // other field starts empty.
    explicit AudioOutput(const AssetImage& image) : player(image) {}
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;
    ~AudioOutput() { close(); }

    // Main thread: creates both events, opens the device on the buffer event
    // and starts the audio thread. False when any step fails; whatever was
    // made stays for close().
    [[nodiscard]] bool start();
    // The audio thread's body. Never throws: a FatalError ends it through
    // `failed` and `failureMessage`.
    void run();
    // Main thread: stops the thread, then releases the device and events.
    // Safe more than once and on a partly started output.
    void close();
    // Audio thread: stores the text, cut to 255 characters, then sets
    // `failed` (release), so the main thread that sees the flag sees all of
    // the text.
    void recordFailure(const char* message) noexcept;

    Player player;
    platform::WaveDevice device = nullptr;
    platform::Event bufferEvent = nullptr;  // automatic; the device sets it per finished buffer
    platform::Event stopEvent = nullptr;    // manual; set once by close()
    platform::Thread thread = nullptr;
    std::atomic<bool> failed{false};         // set with release after failureMessage is written
    std::array<char, failureMessageSize> failureMessage{};
    std::array<std::array<StereoFrame, outputBufferFrames>, outputBufferCount> buffers{};
    std::array<platform::WaveHeader, outputBufferCount> headers{};

private:
    void play();
    void fill(int index);
    [[nodiscard]] bool stopRequested() const;
};

// The audio thread's entry: `output` is the AudioOutput to run. Returns 0.
std::uint32_t audioThreadMain(void* output);

}  // namespace korvale

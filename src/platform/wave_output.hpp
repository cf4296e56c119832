// The sound output device, fed by queued buffers that it hands back one by
// one as it plays them. Only the audio thread queues buffers; the main thread
// reads the position while the audio thread runs, and closes the device only
// after the audio thread has ended.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sync.hpp"

namespace korvale::platform {

struct WaveDeviceObject;
using WaveDevice = WaveDeviceObject*;

// Interleaved signed little-endian PCM.
struct WaveFormat {
    std::uint32_t framesPerSecond;
    std::uint16_t channels;
    std::uint16_t bitsPerSample;
};

// One buffer as the device sees it. The host sets `data` and `length` before
// preparing and leaves them alone while the header is prepared. `state` is
// the backend's own (the device's record of the buffer: its done and prepared
// flags among it): all zero means "never prepared, not done"; the host reads
// it only through waveHeaderDone and waveHeaderPrepared.
struct WaveHeader {
    std::uint8_t* data = nullptr;
    std::uint32_t length = 0;  // bytes
    alignas(16) std::byte state[64]{};
};

// Opens the default output device in `format`, paused or not as the device
// likes. Each time the device has finished a queued buffer it marks its
// header done and then sets `notify` (the backend never waits on it). Null
// on failure.
[[nodiscard]] WaveDevice openWaveOutput(const WaveFormat& format, Event notify);

// Holds playback; queued buffers stay queued. False on failure.
[[nodiscard]] bool pauseWaveOutput(WaveDevice device);
// Starts or resumes playback of what is queued. False on failure.
[[nodiscard]] bool restartWaveOutput(WaveDevice device);

// Makes `header` usable for writeWaveOutput; it stays prepared until
// unprepared. Afterwards waveHeaderPrepared is true and waveHeaderDone false.
// False on failure (the header is then not prepared).
[[nodiscard]] bool prepareWaveHeader(WaveDevice device, WaveHeader& header);
// Releases a prepared header that the device no longer holds (after
// resetWaveOutput). Result ignored.
void unprepareWaveHeader(WaveDevice device, WaveHeader& header);

// Queues a prepared header behind the ones already queued; clears its done
// flag. The device plays buffers in the order they were queued. False on
// failure (the header is then not queued).
[[nodiscard]] bool writeWaveOutput(WaveDevice device, WaveHeader& header);

// True once the device has played the buffer of a written header, until the
// next write of it. Read by the thread that writes; it may change at any
// moment from false to true.
[[nodiscard]] bool waveHeaderDone(const WaveHeader& header);
// True between a successful prepare and the unprepare.
[[nodiscard]] bool waveHeaderPrepared(const WaveHeader& header);

// Stops playback and hands back every queued buffer as done. Result ignored.
void resetWaveOutput(WaveDevice device);
// Releases the device. Every header must be unprepared first.
void closeWaveOutput(WaveDevice device);

enum class PositionUnit : std::uint8_t {
    frames,  // `value` counts frames played since the device was opened
    bytes,   // `value` counts bytes (frames times the frame size)
    other,   // the device answered in a unit the host cannot use
    failed,  // the query failed; `value` means nothing
};

struct WavePosition {
    PositionUnit unit;
    std::uint32_t value;  // wraps around at 2^32
};

// How far the device has played, asked for in frames; the device may answer
// in bytes instead. Safe from the main thread while the audio thread queues.
[[nodiscard]] WavePosition waveOutputPosition(WaveDevice device);

}  // namespace korvale::platform

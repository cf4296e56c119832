// 48 kHz stereo 16-bit PCM WAV, written through a temporary name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "audio/player.hpp"
#include "pending_file.hpp"

namespace korvale::capture {

// The most frames a WAV can hold: its sizes are 32-bit.
inline constexpr std::uint64_t wavMaxFrames = (0xFFFFFFFFull - 36) / 4;

class WavWriter {
public:
    explicit WavWriter(std::filesystem::path path);

    // OutputError past wavMaxFrames, which the command line rules out.
    void write(std::span<const StereoFrame> frames);
    // Fills in the sizes and puts the file under its final name.
    void finish();

    [[nodiscard]] std::uint64_t frames() const { return frames_; }

private:
    PendingFile file_;
    std::uint64_t frames_ = 0;
};

}  // namespace korvale::capture

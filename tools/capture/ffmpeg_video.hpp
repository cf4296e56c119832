// A video with sound made by ffmpeg: the presented frames are piped into one
// ffmpeg run that encodes them; at the end a second run puts that video and
// the WAV of the sound into the final file. The container follows the file
// name; .mp4, .m4v, .mov and .mkv get H.264 and AAC.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/player.hpp"
#include "rgb24.hpp"
#include "wav_writer.hpp"

namespace korvale::capture {

inline constexpr int defaultVideoScale = 3;
inline constexpr int maxVideoScale = 16;

class FfmpegVideo {
public:
    // Starts the encoder; OutputError when ffmpeg cannot be run. The caller
    // must ignore SIGPIPE, so that an encoder that dies shows as an error here.
    FfmpegVideo(std::filesystem::path path, int scale);
    FfmpegVideo(const FfmpegVideo&) = delete;
    FfmpegVideo& operator=(const FfmpegVideo&) = delete;
    // An unfinished video: the encoder is ended and every partial file removed.
    ~FfmpegVideo();

    void audio(std::span<const StereoFrame> frames) { sound_->write(frames); }
    void video(const Rgb24Frame& pixels);
    // Ends the encoder, adds the sound and puts the file under its final name.
    void finish();

private:
    // Closes the pipe and waits; true when the encoder ended well.
    [[nodiscard]] bool endEncoder();

    std::filesystem::path path_;
    std::filesystem::path videoOnlyPath_;
    std::filesystem::path soundPath_;
    std::optional<WavWriter> sound_;
    pid_t encoder_ = -1;
    int pipe_ = -1;
};

}  // namespace korvale::capture

#include "ffmpeg_video.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <system_error>

extern char** environ;

namespace korvale::capture {
namespace {

bool usesH264(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".mp4" || extension == ".m4v" || extension == ".mov" || extension == ".mkv";
}

// Runs ffmpeg with `arguments`, its standard input from `input` (or ours
// when -1). Returns the process id.
pid_t startFfmpeg(const std::vector<std::string>& arguments, int input) {
    std::vector<char*> argv;
    std::string program = "ffmpeg";
    argv.push_back(program.data());
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input >= 0) posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result == ENOENT) {
        throw OutputError("ffmpeg was not found; --video needs ffmpeg on the PATH");
    }
    if (result != 0) throw OutputError(std::string("cannot run ffmpeg: ") + std::strerror(result));
    return pid;
}

// True when the process ended with exit code 0.
bool waitSucceeded(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void removeQuietly(const std::filesystem::path& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

const std::vector<std::string> commonArguments{"-hide_banner", "-loglevel", "error", "-nostats", "-y"};

}  // namespace

FfmpegVideo::FfmpegVideo(std::filesystem::path path, int scale)
    : path_(std::move(path)),
      videoOnlyPath_(std::filesystem::path(path_).concat(".video-only").concat(path_.extension().string())),
      soundPath_(std::filesystem::path(path_).concat(".sound.wav")) {
    std::array<int, 2> ends{};
    if (pipe2(ends.data(), O_CLOEXEC) != 0) {
        throw OutputError(std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno));
    }
    std::vector<std::string> arguments = commonArguments;
    const std::string factor = std::to_string(scale);
    // Nearest neighbour keeps the pixels square-edged; the sample aspect
    // makes the 16:10 picture show as 4:3, as on the display it was made for.
    std::string filter = "scale=iw*" + factor + ":ih*" + factor + ":flags=neighbor";
    const bool h264 = usesH264(path_);
    if (h264) filter += ":out_color_matrix=bt709";
    filter += ",setdar=4/3";
    arguments.insert(arguments.end(), {"-f", "rawvideo", "-pixel_format", "rgb24", "-video_size",
                                       std::to_string(screenWidth) + "x" + std::to_string(screenHeight), "-framerate",
                                       "60", "-i", "pipe:0", "-an", "-vf", filter});
    if (h264) {
        arguments.insert(arguments.end(), {"-c:v", "libx264", "-preset", "medium", "-crf", "16", "-pix_fmt", "yuv420p",
                                           "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709"});
    }
    arguments.insert(arguments.end(), {"-r", "60", videoOnlyPath_.string()});
    try {
        encoder_ = startFfmpeg(arguments, ends[0]);
    } catch (...) {
        close(ends[0]);
        close(ends[1]);
        throw;
    }
    close(ends[0]);
    pipe_ = ends[1];
    sound_.emplace(soundPath_);
}

FfmpegVideo::~FfmpegVideo() {
    static_cast<void>(endEncoder());
    sound_.reset();
    removeQuietly(videoOnlyPath_);
    removeQuietly(soundPath_);
}

void FfmpegVideo::video(const Rgb24Frame& pixels) {
    std::size_t done = 0;
    while (done < pixels.size()) {
        const ssize_t written = ::write(pipe_, pixels.data() + done, pixels.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            throw OutputError("ffmpeg stopped before the video was complete (" + path_.string() + ")");
        }
        done += static_cast<std::size_t>(written);
    }
}

bool FfmpegVideo::endEncoder() {
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    if (encoder_ <= 0) return false;
    const bool succeeded = waitSucceeded(encoder_);
    encoder_ = -1;
    return succeeded;
}

void FfmpegVideo::finish() {
    if (!endEncoder()) throw OutputError("ffmpeg could not encode " + path_.string());
    sound_->finish();

    const std::filesystem::path partial = partialPathFor(path_);
    std::vector<std::string> arguments = commonArguments;
    arguments.insert(arguments.end(), {"-nostdin", "-i", videoOnlyPath_.string(), "-i", soundPath_.string(), "-map",
                                       "0:v:0", "-map", "1:a:0", "-c:v", "copy"});
    if (usesH264(path_)) arguments.insert(arguments.end(), {"-c:a", "aac", "-b:a", "192k"});
    arguments.push_back(partial.string());
    const bool muxed = waitSucceeded(startFfmpeg(arguments, -1));
    std::error_code error;
    if (muxed) std::filesystem::rename(partial, path_, error);
    if (!muxed || error) {
        removeQuietly(partial);
        throw OutputError("ffmpeg could not add the sound to " + path_.string() +
                          (error ? ": " + error.message() : std::string()));
    }
    removeQuietly(videoOnlyPath_);
    removeQuietly(soundPath_);
}

}  // namespace korvale::capture

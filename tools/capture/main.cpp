// korvale-capture: renders the demo offline into WAV, PNG, raw frames or a
// video, with the code the live program runs.
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "assets/asset_image.hpp"
#include "capture.hpp"
#include "common/fatal_error.hpp"
#include "ffmpeg_video.hpp"
#include "pending_file.hpp"
#include "png_writer.hpp"
#include "progress.hpp"
#include "raw_frame_writer.hpp"
#include "rgb24.hpp"
#include "wav_writer.hpp"

namespace {

using namespace korvale;
using namespace korvale::capture;

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;
constexpr int exitInterrupted = 130;

// The song is searched for its first pass this far; content that never
// wraps gets the fixed length.
constexpr std::uint64_t songSearchFrames = 30ull * 60 * outputRate;
constexpr std::uint64_t fallbackSeconds = 60;

constexpr const char* usage =
    "Usage: korvale-capture [--seconds S] [--image FILE] [--wav FILE] [--png DIR]\n"
    "                       [--raw-frames FILE] [--video FILE] [--scale N] [--dump-image FILE]\n"
    "Renders the demo offline with the code the live program runs.\n"
    "  --seconds S        length (default: one pass of the song, rounded up to whole seconds)\n"
    "  --image FILE       render this content image (exactly 435601 bytes) instead of the built-in one\n"
    "  --wav FILE         the sound as 48 kHz stereo 16-bit PCM WAV\n"
    "  --png DIR          one PNG per frame: DIR/frame_000000.png, frame_000001.png, ...\n"
    "  --raw-frames FILE  every frame as 320 x 200 x 3 bytes R, G, B, concatenated\n"
    "  --video FILE       video with sound through ffmpeg, 60 frames per second\n"
    "                     (.mp4, .m4v, .mov, .mkv: H.264 and AAC; other names: ffmpeg's choice)\n"
    "  --scale N          video pixels per frame pixel, 1 to 16 (default 3), shown at 4:3\n"
    "  --dump-image FILE  write the built-in content image\n"
    "Without --wav, --png, --raw-frames or --video but with --dump-image, nothing is rendered.\n"
    "Exit codes: 0 done, 1 failure (content or output), 2 bad arguments, 130 interrupted.\n";

struct Options {
    std::optional<std::uint64_t> audioFrames;
    std::optional<std::string> image;
    std::optional<std::string> wav;
    std::optional<std::string> png;
    std::optional<std::string> rawFrames;
    std::optional<std::string> video;
    std::optional<std::string> dumpImage;
    int scale = defaultVideoScale;

    [[nodiscard]] bool captures() const { return wav || png || rawFrames || video || !dumpImage; }
};

struct UsageError {
    std::string message;
};

std::uint64_t parseSeconds(const std::string& text) {
    const double maxSeconds = static_cast<double>(wavMaxFrames / outputRate);
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(seconds > 0.0) || seconds > maxSeconds ||
        std::llround(seconds * outputRate) < 1) {
        throw UsageError{"--seconds wants a number of seconds above 0 and at most " +
                         std::to_string(static_cast<long long>(maxSeconds)) + ", not '" + text + "'"};
    }
    return static_cast<std::uint64_t>(std::llround(seconds * outputRate));
}

int parseScale(const std::string& text) {
    char* end = nullptr;
    const long scale = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || scale < 1 || scale > maxVideoScale) {
        throw UsageError{"--scale wants a whole number from 1 to " + std::to_string(maxVideoScale) + ", not '" + text +
                         "'"};
    }
    return static_cast<int>(scale);
}

Options parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto next = [&]() -> std::string {
            if (value) return *value;
            if (i + 1 >= arguments.size()) throw UsageError{name + " needs a value"};
            return arguments[++i];
        };
        if (name == "--seconds") {
            options.audioFrames = parseSeconds(next());
        } else if (name == "--image") {
            options.image = next();
        } else if (name == "--wav") {
            options.wav = next();
        } else if (name == "--png") {
            options.png = next();
        } else if (name == "--raw-frames") {
            options.rawFrames = next();
        } else if (name == "--video") {
            options.video = next();
        } else if (name == "--scale") {
            options.scale = parseScale(next());
        } else if (name == "--dump-image") {
            options.dumpImage = next();
        } else {
            throw UsageError{"unknown argument '" + arguments[i] + "'"};
        }
        for (const std::optional<std::string>* path :
             {&options.image, &options.wav, &options.png, &options.rawFrames, &options.video, &options.dumpImage}) {
            if (*path && (*path)->empty()) throw UsageError{name + " needs a non-empty value"};
        }
    }
    return options;
}

// The content bytes of a file; a missing file or a wrong size is a bad argument.
std::unique_ptr<AssetImageBuffer> loadImage(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw UsageError{"cannot read the content image " + path + ": " + std::strerror(errno)};
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw UsageError{"cannot read the content image " + path};
    if (bytes.size() != region::imageSize) {
        throw UsageError{path + " is " + std::to_string(bytes.size()) + " bytes; a content image is exactly " +
                         std::to_string(region::imageSize) + " bytes"};
    }
    return std::make_unique<AssetImageBuffer>(bytes);
}

void dumpImage(const std::string& path) {
    PendingFile file(path);
    file.write(AssetImage::embedded().bytes());
    file.commit();
}

// The requested outputs, fed as the capture goes.
class Outputs final : public CaptureSink {
public:
    explicit Outputs(const Options& options) {
        if (options.wav) wav_.emplace(*options.wav);
        if (options.png) png_.emplace(*options.png);
        if (options.rawFrames) raw_.emplace(*options.rawFrames);
        if (options.video) video_.emplace(*options.video, options.scale);
    }

    void audio(std::span<const StereoFrame> frames) override {
        if (wav_) wav_->write(frames);
        if (video_) video_->audio(frames);
    }

    void video(std::uint64_t index, const RgbFrame& frame) override {
        if (!png_ && !raw_ && !video_) return;
        toRgb24(frame, pixels_);
        if (png_) png_->write(index, pixels_);
        if (raw_) raw_->write(pixels_);
        if (video_) video_->video(pixels_);
    }

    void finish() {
        if (wav_) wav_->finish();
        if (raw_) raw_->finish();
        if (video_) video_->finish();
    }

private:
    std::optional<WavWriter> wav_;
    std::optional<PngSequenceWriter> png_;
    std::optional<RawFrameWriter> raw_;
    std::optional<FfmpegVideo> video_;
    Rgb24Frame pixels_{};
};

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

int run(const Options& options) {
    std::unique_ptr<AssetImageBuffer> loaded;
    if (options.image) loaded = loadImage(*options.image);
    const AssetImage image = loaded ? loaded->image() : AssetImage::embedded();

    if (options.dumpImage) dumpImage(*options.dumpImage);
    if (!options.captures()) return 0;

    const bool terminal = isatty(STDERR_FILENO) != 0;
    std::uint64_t audioFrames = 0;
    if (options.audioFrames) {
        audioFrames = *options.audioFrames;
    } else {
        const std::optional<std::uint64_t> song = firstPassFrames(image, songSearchFrames);
        const std::uint64_t seconds =
            song ? std::max<std::uint64_t>(1, (*song + outputRate - 1) / outputRate) : fallbackSeconds;
        audioFrames = seconds * outputRate;
        if (terminal) {
            std::fprintf(stderr, "korvale-capture: %llu seconds (%s)\n", static_cast<unsigned long long>(seconds),
                         song ? "one pass of the song" : "the song does not repeat; fixed length");
        }
    }

    Capture capture(image, audioFrames);
    auto outputs = std::make_unique<Outputs>(options);
    ProgressBar progress(capture.presentations(), terminal);
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    try {
        while (!capture.done()) {
            if (interrupted) break;
            capture.presentNext(*outputs);
            progress.update(capture.presented());
        }
    } catch (const FatalError& error) {
        progress.finish(capture.presented());
        std::fprintf(stderr, "korvale-capture: %s\n", error.what());
        // What was captured before the failure is kept, as complete files.
        outputs->finish();
        return exitFailure;
    } catch (const OutputError&) {
        if (!interrupted) throw;
    }
    if (interrupted) {
        progress.finish(capture.presented());
        std::fprintf(stderr, "korvale-capture: interrupted; no output written\n");
        return exitInterrupted;
    }
    outputs->finish();
    progress.finish(capture.presented());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A dead ffmpeg must show as a write error, not end this program.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        for (const std::string& argument : arguments) {
            if (argument == "--help" || argument == "-h") {
                std::fputs(usage, stdout);
                return 0;
            }
        }
        return run(parseOptions(arguments));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "korvale-capture: %s\n%s", error.message.c_str(), usage);
        return exitUsage;
    } catch (const FatalError& error) {
        std::fprintf(stderr, "korvale-capture: %s\n", error.what());
        return exitFailure;
    } catch (const OutputError& error) {
        std::fprintf(stderr, "korvale-capture: %s\n", error.what());
        return exitFailure;
    }
}

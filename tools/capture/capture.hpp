// The offline renderer: drives the portable core the way the live program
// does, with a device position that advances by exactly one 60 Hz
// presentation (800 output frames) at a time, and hands the sound and the
// presented frames to a sink.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "assets/asset_image.hpp"
#include "audio/player.hpp"
#include "host/frame_scheduler.hpp"
#include "vga/vga_state.hpp"

namespace korvale::capture {

inline constexpr std::uint64_t framesPerPresentation = 800;  // 48 000 / 60
inline constexpr std::int32_t renderBlockFrames = 1024;
// The live program keeps eight buffers queued ahead of the device.
inline constexpr std::uint64_t queuedFrames = 8 * renderBlockFrames;

// Receives what a capture produces, in order.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    // The next consecutive output frames, from frame 0; never past the
    // capture's length.
    virtual void audio(std::span<const StereoFrame> frames) = 0;
    // Presentation `index`, counted from 0.
    virtual void video(std::uint64_t index, const RgbFrame& frame) = 0;
};

// Presentations in a capture of `audioFrames` output frames: one for every
// 800 frames begun.
[[nodiscard]] constexpr std::uint64_t presentationCount(std::uint64_t audioFrames) {
    return (audioFrames + framesPerPresentation - 1) / framesPerPresentation;
}

class Capture {
public:
    // Set-up as at start-up: the Player from the image (FatalError on bad
    // content), then the title picture drawn and converted. `image`'s bytes
    // must outlive the capture.
    Capture(const AssetImage& image, std::uint64_t audioFrames);

    [[nodiscard]] bool done() const { return presented_ >= presentationCount(audioFrames_); }
    [[nodiscard]] std::uint64_t presented() const { return presented_; }
    [[nodiscard]] std::uint64_t presentations() const { return presentationCount(audioFrames_); }

    // One presentation: audio rendered eight buffers ahead of the played
    // position, the due scene ticks run, lights and conversion, the frame to
    // the sink. A FatalError from the content leaves at once; the audio
    // rendered before it has reached the sink.
    void presentNext(CaptureSink& sink);

    [[nodiscard]] const Player& player() const { return *player_; }
    [[nodiscard]] const VgaState& vga() const { return *vga_; }

private:
    void renderUntil(std::uint64_t frames, CaptureSink& sink);
    void deliverAudio(std::uint64_t first, std::uint64_t count, CaptureSink& sink) const;

    std::uint64_t audioFrames_;
    std::unique_ptr<Player> player_;
    std::unique_ptr<VgaState> vga_;
    FrameScheduler scheduler_;
    std::uint64_t presented_ = 0;
    std::array<StereoFrame, renderBlockFrames> block_{};
};

// Output frames of the song's first pass: those before the order position
// first wraps from its last entry back to the loop start. Empty when that
// does not happen within `limitFrames`, or when the content fails first.
[[nodiscard]] std::optional<std::uint64_t> firstPassFrames(const AssetImage& image, std::uint64_t limitFrames);

}  // namespace korvale::capture

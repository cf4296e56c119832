#include "capture.hpp"

#include <algorithm>

#include "common/fatal_error.hpp"

namespace korvale::capture {

Capture::Capture(const AssetImage& image, std::uint64_t audioFrames)
    : audioFrames_(audioFrames),
      player_(std::make_unique<Player>(image)),
      vga_(std::make_unique<VgaState>(image)),
      scheduler_(*vga_, *player_) {
    vga_->drawTitlePicture();
}

void Capture::presentNext(CaptureSink& sink) {
    const std::uint64_t played = presented_ * framesPerPresentation;
    renderUntil(played + queuedFrames, sink);

    // A device reports a 32-bit position; the scheduler widens it across wraps.
    scheduler_.addDevicePosition(static_cast<std::uint32_t>(played));
    const std::uint64_t limit = scheduler_.catchUpLimit();
    // Each call runs at most 16 ticks, as one pass of the live loop does.
    while (vga_->scene.tickCount < limit) {
        scheduler_.runDueTicks(limit);
    }
    scheduler_.refreshDisplay();

    sink.video(presented_, vga_->frame);
    ++presented_;
}

void Capture::renderUntil(std::uint64_t frames, CaptureSink& sink) {
    while (player_->sampleCount < frames) {
        const std::uint64_t first = player_->sampleCount;
        try {
            player_->render(block_.data(), renderBlockFrames);
        } catch (const FatalError&) {
            // The frames of the block rendered before the failure still belong
            // to the output, as a device would have played them.
            deliverAudio(first, player_->sampleCount - first, sink);
            throw;
        }
        deliverAudio(first, player_->sampleCount - first, sink);
    }
}

void Capture::deliverAudio(std::uint64_t first, std::uint64_t count, CaptureSink& sink) const {
    if (first >= audioFrames_) return;
    const std::uint64_t wanted = std::min(count, audioFrames_ - first);
    sink.audio(std::span<const StereoFrame>(block_.data(), static_cast<std::size_t>(wanted)));
}

std::optional<std::uint64_t> firstPassFrames(const AssetImage& image, std::uint64_t limitFrames) {
    try {
        auto player = std::make_unique<Player>(image);
        StereoFrame frame{};
        // One frame per call: the wrap happens inside a music tick, and the
        // length is wanted to the frame.
        while (player->sampleCount < limitFrames) {
            const std::int32_t before = player->orderIndex;
            const std::uint64_t at = player->sampleCount;
            player->render(&frame, 1);
            if (before == region::orderLength - 1 && player->orderIndex == region::orderLoopStart) {
                return at;
            }
        }
    } catch (const FatalError&) {
        // The capture itself meets the same failure and reports it.
    }
    return std::nullopt;
}

}  // namespace korvale::capture

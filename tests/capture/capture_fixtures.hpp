// Helpers shared by the capture tests.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "assets/asset_image.hpp"
#include "capture.hpp"

namespace korvale::capture::testing {

// Keeps everything a capture produces.
class RecordingSink final : public CaptureSink {
public:
    void audio(std::span<const StereoFrame> frames) override {
        sound.insert(sound.end(), frames.begin(), frames.end());
    }
    void video(std::uint64_t index, const RgbFrame& frame) override {
        indices.push_back(index);
        frames.push_back(std::make_unique<RgbFrame>(frame));
    }

    std::vector<StereoFrame> sound;
    std::vector<std::uint64_t> indices;
    std::vector<std::unique_ptr<RgbFrame>> frames;
};

inline void runToEnd(Capture& capture, CaptureSink& sink) {
    while (!capture.done()) capture.presentNext(sink);
}

// The embedded image with the scroll text's sixth character made invalid:
// the scene fails on it within the first two seconds.
inline std::unique_ptr<AssetImageBuffer> imageWithInvalidGlyph() {
    auto buffer = std::make_unique<AssetImageBuffer>(AssetImage::embedded().bytes());
    buffer->put8(region::scrollText.first + 5, 1);
    return buffer;
}

}  // namespace korvale::capture::testing

// One PNG per presented frame: DIR/frame_000000.png, frame_000001.png, ...
#pragma once

#include <cstdint>
#include <filesystem>

#include "rgb24.hpp"

namespace korvale::capture {

// Writes one 320 x 200 RGB picture through a temporary name; OutputError on failure.
void writePng(const std::filesystem::path& path, const Rgb24Frame& pixels);

class PngSequenceWriter {
public:
    // Creates the directory when it does not exist.
    explicit PngSequenceWriter(std::filesystem::path directory);

    void write(std::uint64_t index, const Rgb24Frame& pixels) const;

    [[nodiscard]] static std::string frameName(std::uint64_t index);

private:
    std::filesystem::path directory_;
};

}  // namespace korvale::capture

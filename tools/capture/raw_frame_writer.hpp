// Every presented frame as 320 x 200 x 3 bytes R, G, B, concatenated.
#pragma once

#include <filesystem>

#include "pending_file.hpp"
#include "rgb24.hpp"

namespace korvale::capture {

class RawFrameWriter {
public:
    explicit RawFrameWriter(std::filesystem::path path) : file_(std::move(path)) {}

    void write(const Rgb24Frame& pixels) { file_.write(pixels); }
    void finish() { file_.commit(); }

private:
    PendingFile file_;
};

}  // namespace korvale::capture

// A one-line progress bar on standard error: frames done, total and speed
// relative to real time. Silent when standard error is not a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace korvale::capture {

class ProgressBar {
public:
    ProgressBar(std::uint64_t totalFrames, bool enabled);

    void update(std::uint64_t framesDone);
    // Draws the final state and ends the line.
    void finish(std::uint64_t framesDone);

private:
    void draw(std::uint64_t framesDone);

    std::uint64_t total_;
    bool enabled_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace korvale::capture

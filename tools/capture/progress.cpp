#include "progress.hpp"

namespace korvale::capture {

namespace {
constexpr int barWidth = 30;
constexpr double presentationsPerSecond = 60.0;
constexpr auto redrawInterval = std::chrono::milliseconds(100);
}  // namespace

ProgressBar::ProgressBar(std::uint64_t totalFrames, bool enabled)
    : total_(totalFrames), enabled_(enabled), start_(std::chrono::steady_clock::now()), lastDraw_(start_) {}

void ProgressBar::update(std::uint64_t framesDone) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ < redrawInterval) return;
    lastDraw_ = now;
    draw(framesDone);
}

void ProgressBar::finish(std::uint64_t framesDone) {
    if (!enabled_) return;
    draw(framesDone);
    std::fputc('\n', stderr);
}

void ProgressBar::draw(std::uint64_t framesDone) {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double speed = elapsed > 0.0 ? static_cast<double>(framesDone) / presentationsPerSecond / elapsed : 0.0;
    const int filled = total_ == 0
                           ? barWidth
                           : static_cast<int>(static_cast<double>(framesDone) * barWidth / static_cast<double>(total_));
    char bar[barWidth + 1];
    for (int i = 0; i < barWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[barWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %llu/%llu frames, %.1fx real time ", bar, static_cast<unsigned long long>(framesDone),
                 static_cast<unsigned long long>(total_), speed);
    std::fflush(stderr);
}

}  // namespace korvale::capture

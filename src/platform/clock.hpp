// The high-resolution clock of the main loop and the system timer resolution.
#pragma once

#include <cstdint>

namespace korvale::platform {

// Counter units per second; constant while the program runs, greater than 0.
[[nodiscard]] std::int64_t counterFrequency();
// The counter now; never goes backwards. Safe from any thread.
[[nodiscard]] std::int64_t counterNow();

// Asks the system for timers and sleeps as fine as `milliseconds`, until the
// matching endTimerResolution. Results are not relied on.
void beginTimerResolution(std::uint32_t milliseconds);
void endTimerResolution(std::uint32_t milliseconds);

}  // namespace korvale::platform

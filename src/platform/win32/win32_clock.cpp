#include "platform/clock.hpp"
#include "platform/win32/win32_api.hpp"

namespace korvale::platform {

std::int64_t counterFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

std::int64_t counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void beginTimerResolution(std::uint32_t milliseconds) { timeBeginPeriod(milliseconds); }

void endTimerResolution(std::uint32_t milliseconds) { timeEndPeriod(milliseconds); }

}  // namespace korvale::platform

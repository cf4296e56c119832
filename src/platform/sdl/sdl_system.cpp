// Events, waits, threads and the counter of the SDL backend: the standard
// library does all of it; only the thread priority goes through SDL.
#include <SDL.h>

#include <chrono>

#include "platform/clock.hpp"
#include "platform/standard/threads.hpp"
#include "platform/sync.hpp"

namespace korvale::platform {

Event createEvent(EventReset reset) { return standard::createEvent(reset); }
void setEvent(Event event) { standard::setEvent(event); }
void closeEvent(Event event) { standard::closeEvent(event); }

WaitResult waitForAnyEvent(std::span<const Event> events, std::uint32_t timeoutMs) {
    return standard::waitForAnyEvent(events, timeoutMs);
}

Thread startThread(ThreadEntry entry, void* argument) { return standard::startThread(entry, argument); }
void joinThread(Thread thread) { standard::joinThread(thread); }

void raiseCurrentThreadPriority() {
    // Without the right to raise it the thread keeps its priority; the
    // queued buffers still cover ordinary scheduling delays.
    static_cast<void>(SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH));
}

// There is no multimedia task service on this system.
TaskScheduler loadTaskScheduler() { return nullptr; }
Task joinTask(TaskScheduler, const char*) { return nullptr; }
void leaveTask(TaskScheduler, Task) {}
void unloadTaskScheduler(TaskScheduler) {}

std::int64_t counterFrequency() { return 1'000'000'000; }

std::int64_t counterNow() {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
}

// Linux timers and sleeps are already as fine as a millisecond.
void beginTimerResolution(std::uint32_t) {}
void endTimerResolution(std::uint32_t) {}

}  // namespace korvale::platform

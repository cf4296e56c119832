// Events, waits and threads: what the audio thread and its owner need of the
// operating system. Every backend implements all of it; none of it is called
// on a per-sample path except the waits themselves.
#pragma once

#include <cstdint>
#include <span>

namespace korvale::platform {

// An event object. Null is "no event"; every function here accepts only the
// handles that createEvent returned and that are not yet closed.
struct EventObject;
using Event = EventObject*;

enum class EventReset : std::uint8_t {
    automatic,  // a satisfied wait clears it again; each set wakes one wait
    manual,     // stays signalled until closed (nothing here resets it)
};

// Creates an unnamed event, not signalled. Null on failure.
[[nodiscard]] Event createEvent(EventReset reset);
// Signals the event. Safe from any thread, also while another thread waits on
// it. The result is not relied on.
void setEvent(Event event);
// Releases the event. No thread may be waiting on it any more.
void closeEvent(Event event);

inline constexpr std::uint32_t waitForever = 0xFFFFFFFFu;

enum class WaitOutcome : std::uint8_t { signalled, timeout, failed };

struct WaitResult {
    WaitOutcome outcome;
    // With `signalled`: the position in the wait list of the event that ended
    // the wait; when several are signalled, the lowest position wins.
    std::uint32_t index;
};

// Waits until one event of `events` (1 to 8 of them) is signalled, or until
// `timeoutMs` milliseconds have passed (0 polls, waitForever never times
// out). A satisfied wait on an automatic event clears that event.
[[nodiscard]] WaitResult waitForAnyEvent(std::span<const Event> events, std::uint32_t timeoutMs);

// A started thread, until it is joined. Null is "no thread".
struct ThreadObject;
using Thread = ThreadObject*;
using ThreadEntry = std::uint32_t (*)(void* argument);

// Starts a thread that runs entry(argument) at once, with the default stack
// size. Null on failure (then entry never runs).
[[nodiscard]] Thread startThread(ThreadEntry entry, void* argument);
// Waits without a time limit for the thread to end, then releases the handle.
void joinThread(Thread thread);

// Raises the calling thread to above-normal priority. Failure is ignored.
void raiseCurrentThreadPriority();

// The system's multimedia task scheduler, which may not exist at all. Null is
// "not available"; that is never an error.
struct TaskSchedulerObject;
using TaskScheduler = TaskSchedulerObject*;
struct TaskObject;
using Task = TaskObject*;

// Loads the scheduler service. Null when it is not available.
[[nodiscard]] TaskScheduler loadTaskScheduler();
// Joins the calling thread to the named task (the audio thread asks for
// "Audio"). Null when the service lacks what it needs or refuses.
[[nodiscard]] Task joinTask(TaskScheduler scheduler, const char* taskName);
// The calling thread leaves the task joined with joinTask. Result ignored.
void leaveTask(TaskScheduler scheduler, Task task);
// Releases what loadTaskScheduler loaded.
void unloadTaskScheduler(TaskScheduler scheduler);

}  // namespace korvale::platform

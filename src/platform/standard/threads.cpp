#include "platform/standard/threads.hpp"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace korvale::platform {

struct EventObject {
    bool manual = false;
    bool signalled = false;
};

struct ThreadObject {
    std::thread thread;
};

}  // namespace korvale::platform

namespace korvale::platform::standard {

namespace {

// One lock and one condition for all events: a wait on several events then
// needs no bookkeeping, and there are only a handful of them.
std::mutex& eventLock() {
    static std::mutex lock;
    return lock;
}

std::condition_variable& eventChanged() {
    static std::condition_variable changed;
    return changed;
}

}  // namespace

Event createEvent(EventReset reset) {
    auto* event = new (std::nothrow) EventObject;
    if (event != nullptr) {
        event->manual = reset == EventReset::manual;
    }
    return event;
}

void setEvent(Event event) {
    {
        std::lock_guard guard(eventLock());
        event->signalled = true;
    }
    eventChanged().notify_all();
}

void closeEvent(Event event) { delete event; }

bool isEventSet(Event event) {
    std::lock_guard guard(eventLock());
    return event->signalled;
}

WaitResult waitForAnyEvent(std::span<const Event> events, std::uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock guard(eventLock());
    for (;;) {
        for (std::uint32_t i = 0; i < events.size(); ++i) {
            EventObject* event = events[i];
            if (event->signalled) {
                if (!event->manual) {
                    event->signalled = false;
                }
                return {WaitOutcome::signalled, i};
            }
        }
        if (timeoutMs == waitForever) {
            eventChanged().wait(guard);
        } else if (eventChanged().wait_until(guard, deadline) == std::cv_status::timeout) {
            // One last look: a set that raced with the time-out still counts.
            for (std::uint32_t i = 0; i < events.size(); ++i) {
                if (events[i]->signalled) {
                    if (!events[i]->manual) {
                        events[i]->signalled = false;
                    }
                    return {WaitOutcome::signalled, i};
                }
            }
            return {WaitOutcome::timeout, 0};
        }
    }
}

Thread startThread(ThreadEntry entry, void* argument) {
    auto* thread = new (std::nothrow) ThreadObject;
    if (thread == nullptr) {
        return nullptr;
    }
    try {
        thread->thread = std::thread([entry, argument] { entry(argument); });
    } catch (const std::system_error&) {
        delete thread;
        return nullptr;
    }
    return thread;
}

void joinThread(Thread thread) {
    thread->thread.join();
    delete thread;
}

}  // namespace korvale::platform::standard

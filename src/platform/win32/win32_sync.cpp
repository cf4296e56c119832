#include <iterator>
#include <new>

#include "platform/sync.hpp"
#include "platform/win32/win32_api.hpp"

namespace korvale::platform {

using win32::as;

Event createEvent(EventReset reset) {
    const BOOL manual = reset == EventReset::manual ? TRUE : FALSE;
    return as<Event>(CreateEventA(nullptr, manual, FALSE, nullptr));
}

void setEvent(Event event) { SetEvent(as<HANDLE>(event)); }

void closeEvent(Event event) { CloseHandle(as<HANDLE>(event)); }

WaitResult waitForAnyEvent(std::span<const Event> events, std::uint32_t timeoutMs) {
    constexpr std::size_t mostEvents = 8;
    if (events.empty() || events.size() > mostEvents) {
        return {WaitOutcome::failed, 0};
    }
    HANDLE handles[mostEvents];
    for (std::size_t i = 0; i < events.size(); ++i) {
        handles[i] = as<HANDLE>(events[i]);
    }
    const DWORD count = static_cast<DWORD>(events.size());
    const DWORD result = WaitForMultipleObjects(count, handles, FALSE, timeoutMs);
    if (result < WAIT_OBJECT_0 + count) {
        return {WaitOutcome::signalled, static_cast<std::uint32_t>(result - WAIT_OBJECT_0)};
    }
    if (result == WAIT_TIMEOUT) {
        return {WaitOutcome::timeout, 0};
    }
    return {WaitOutcome::failed, 0};
}

namespace {

// The system calls thread functions with its own calling convention (stdcall
// on 32-bit x86), so ours is reached through this one.
struct ThreadStart {
    ThreadEntry entry;
    void* argument;
};

DWORD WINAPI threadTrampoline(LPVOID parameter) {
    const ThreadStart start = *static_cast<ThreadStart*>(parameter);
    delete static_cast<ThreadStart*>(parameter);
    return start.entry(start.argument);
}

}  // namespace

Thread startThread(ThreadEntry entry, void* argument) {
    auto* start = new (std::nothrow) ThreadStart{entry, argument};
    if (start == nullptr) {
        return nullptr;
    }
    HANDLE thread = CreateThread(nullptr, 0, &threadTrampoline, start, 0, nullptr);
    if (thread == nullptr) {
        delete start;
        return nullptr;
    }
    return as<Thread>(thread);
}

void joinThread(Thread thread) {
    WaitForSingleObject(as<HANDLE>(thread), INFINITE);
    CloseHandle(as<HANDLE>(thread));
}

void raiseCurrentThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL); }

namespace {

using SetCharacteristics = HANDLE(WINAPI*)(LPCWSTR taskName, LPDWORD taskIndex);
using RevertCharacteristics = BOOL(WINAPI*)(HANDLE task);

// GetProcAddress hands out a generic function pointer; going through
// void(*)() tells the compiler the conversion is meant.
template <typename Function>
Function lookUp(TaskScheduler scheduler, const char* name) {
    const FARPROC found = GetProcAddress(as<HMODULE>(scheduler), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

TaskScheduler loadTaskScheduler() { return as<TaskScheduler>(LoadLibraryW(L"avrt.dll")); }

Task joinTask(TaskScheduler scheduler, const char* taskName) {
    const auto join = lookUp<SetCharacteristics>(scheduler, "AvSetMmThreadCharacteristicsW");
    const auto leave = lookUp<RevertCharacteristics>(scheduler, "AvRevertMmThreadCharacteristics");
    // Joining without a way to leave again would strand the thread.
    if (join == nullptr || leave == nullptr) {
        return nullptr;
    }
    // Task names are plain ASCII; the service wants them wide.
    wchar_t wideName[64];
    std::size_t length = 0;
    for (; taskName[length] != '\0' && length + 1 < std::size(wideName); ++length) {
        wideName[length] = static_cast<wchar_t>(static_cast<unsigned char>(taskName[length]));
    }
    wideName[length] = L'\0';
    DWORD taskIndex = 0;
    return as<Task>(join(wideName, &taskIndex));
}

void leaveTask(TaskScheduler scheduler, Task task) {
    const auto leave = lookUp<RevertCharacteristics>(scheduler, "AvRevertMmThreadCharacteristics");
    if (leave != nullptr) {
        leave(as<HANDLE>(task));
    }
}

void unloadTaskScheduler(TaskScheduler scheduler) { FreeLibrary(as<HMODULE>(scheduler)); }

}  // namespace korvale::platform

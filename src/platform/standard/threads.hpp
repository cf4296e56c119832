// Events and threads on the C++ standard library, for backends whose system
// offers nothing closer (sim, sdl). They implement the contracts of
// platform/sync.hpp; the backend's own functions forward here.
#pragma once

#include "platform/sync.hpp"

namespace korvale::platform::standard {

[[nodiscard]] Event createEvent(EventReset reset);
void setEvent(Event event);
void closeEvent(Event event);
[[nodiscard]] WaitResult waitForAnyEvent(std::span<const Event> events, std::uint32_t timeoutMs);
// True when the event is signalled now; does not clear it.
[[nodiscard]] bool isEventSet(Event event);

[[nodiscard]] Thread startThread(ThreadEntry entry, void* argument);
void joinThread(Thread thread);

}  // namespace korvale::platform::standard

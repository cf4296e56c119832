// The one top-level window: its class, its creation and its procedure.
#pragma once

#include <cstdint>

#include "platform/window.hpp"

namespace korvale {

class ProgramState;

inline constexpr char windowClassName[] = "KorvaleNative";
inline constexpr char windowTitle[] = "Korvale by Glimmerwake | M mute | Esc exit";
inline constexpr std::int32_t windowClientWidth = 960;
inline constexpr std::int32_t windowClientHeight = 720;

// Registers the class and creates the window, hidden, with its icons. Null
// when the class cannot be registered or the window cannot be created.
[[nodiscard]] platform::Window createMainWindow(platform::Module module, ProgramState& state);

// The window procedure; `context` is the ProgramState.
std::intptr_t windowProcedure(void* context, platform::Window window, const platform::WindowMessage& message);

}  // namespace korvale

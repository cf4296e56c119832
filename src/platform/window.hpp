// The one top-level window, its message queue and the message boxes. Main
// thread only: messages are delivered to the window procedure on the thread
// that created the window, from pumpMessage, updateWindow and destroyWindow.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/drawing.hpp"

namespace korvale::platform {

// What the entry point received from the system about this program (the
// module on Windows); handed through to the window functions. May be null
// where the system has no such thing.
struct ModuleObject;
using Module = ModuleObject*;

struct WindowObject;
using Window = WindowObject*;

// The messages the host acts on; everything else arrives as `other` and goes
// back to defaultWindowProcedure.
enum class MessageKind : std::uint8_t {
    destroy,          // the window is being destroyed (any way: key, close box, system menu)
    size,             // the client area changed size
    paint,            // part of the client area needs drawing (see beginPaint)
    eraseBackground,  // the system would clear the background
    keyDown,          // a key went down or repeats; `virtualKey` says which
    other,
};

// Key codes of keyDown, the same on every backend.
inline constexpr std::uint32_t keyEscape = 27;
inline constexpr std::uint32_t keyM = 77;

struct WindowMessage {
    MessageKind kind = MessageKind::other;
    std::uint32_t virtualKey = 0;  // keyDown only: the key's code, whatever the modifiers
    std::uintptr_t backend[3]{};   // the backend's own encoding, for defaultWindowProcedure
};

// The host's window procedure: `context` is what createWindow was given.
using WindowProcedure = std::intptr_t (*)(void* context, Window window, const WindowMessage& message);

// The system's own handling of a message the host does not act on, with its
// result. A request to close the window (close box, system menu, Alt+F4)
// destroys it here.
std::intptr_t defaultWindowProcedure(Window window, const WindowMessage& message);

// Declares the process aware of display scaling, so that pixels are pixels.
// Result not relied on.
void declareDpiAware();

// Registers a window class under `className` whose windows send their
// messages to `procedure`. False on failure.
[[nodiscard]] bool registerWindowClass(Module module, const char* className, WindowProcedure procedure);

struct WindowDescription {
    Module module;
    const char* className;
    const char* title;
    std::int32_t clientWidth;   // the outer size is chosen so that the client area
    std::int32_t clientHeight;  // has this size; the position is the system's choice
    void* context;              // handed to the procedure with every message
};

// Creates a hidden, resizable top-level window with a caption, system menu
// and minimise and maximise boxes, without a menu bar. Messages may reach
// the procedure before this returns. Null on failure.
[[nodiscard]] Window createWindow(const WindowDescription& description);
// Gives the window the program's icon, in the big and small sizes the system
// wants. Result not relied on.
void setWindowIcons(Module module, Window window);
// Shows the window maximised; the procedure sees the new size.
void showWindowMaximised(Window window);
// Destroys the window; the procedure gets `destroy` before this returns.
void destroyWindow(Window window);

// Marks the whole client area for repainting, without erasing it.
void invalidateWindow(Window window);
// If part of the client area is marked, sends `paint` to the procedure now,
// before returning.
void updateWindow(Window window);

// The client area, (0, 0) to (width, height); empty while minimised.
[[nodiscard]] Rect clientRect(Window window);

// Painting, inside the procedure's `paint` handling only: beginPaint hands
// out the window's drawing context and the area to repaint, and clears the
// marks; endPaint ends it.
struct PaintSession {
    DrawingContext context = nullptr;
    Rect update{};
    alignas(16) std::byte backend[128]{};
};
[[nodiscard]] PaintSession beginPaint(Window window);
void endPaint(Window window, PaintSession& session);

// Takes the next message of this thread's queue (any window), if any,
// translates key presses and delivers it to its window's procedure. A quit
// message is taken and delivered like any other (it has no window). False
// when the queue was empty.
bool pumpMessage();
// Puts a quit message with `exitCode` into this thread's queue.
void postQuitMessage(std::int32_t exitCode);
// Sleeps until input for this thread arrives or `timeoutMs` have passed.
void waitForInput(std::uint32_t timeoutMs);

enum class MessageBoxIcon : std::uint8_t { error };

// Shows a modal message box with an OK button and waits until it is closed.
// `owner` may be null or a hidden window.
void showMessageBox(Window owner, const char* text, const char* caption, MessageBoxIcon icon);

}  // namespace korvale::platform

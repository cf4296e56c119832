// The window, its message queue, message boxes and the drawing operations of
// the SDL backend. SDL draws nothing for us: memory contexts and bitmaps are
// pixel buffers drawn by the shared software code, and the window's own
// context is the window's surface, handed to the system at the end of each
// paint.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "platform/drawing.hpp"
#include "platform/software/pixels.hpp"
#include "platform/window.hpp"

namespace korvale::platform {

struct BitmapObject {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

struct DrawingContextObject {
    BitmapObject* selected = nullptr;  // memory contexts; null for the window's
    WindowObject* window = nullptr;    // the window's context
};

struct WindowObject {
    SDL_Window* sdl = nullptr;
    void* context = nullptr;
    bool shown = false;
    Rect invalid{};
    DrawingContextObject drawing;
    // While a paint runs: what the window's context draws on.
    software::PixelBuffer target{nullptr, 0, 0};
    SDL_Surface* surface = nullptr;
    // For a surface whose pixels are not 0x00RRGGBB words: the paint draws
    // here and endPaint converts.
    std::vector<std::uint32_t> staging;
};

namespace {

// How the backend marks the messages that only it understands.
constexpr std::uintptr_t closeRequest = 1;

// The one window there is (live while it has an SDL window), and the state
// of the class it was made from. Built before the program's long-lived
// records, so they outlive them: their release may still reach the drawing
// functions after the entry point has returned.
WindowObject theWindow;
WindowProcedure windowProcedure = nullptr;
Uint32 quitEventType = 0;
// The window that destroyWindow retired, hidden until SDL_Quit or the next
// createWindow.
SDL_Window* retiredWindow = nullptr;
// What a fresh memory context holds, as the system's stock bitmap would be.
BitmapObject stockBitmap{1, 1, {}};

bool empty(const Rect& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

std::intptr_t deliver(Window window, const WindowMessage& message) {
    if (window == nullptr || window->sdl == nullptr || windowProcedure == nullptr) {
        return 0;
    }
    return windowProcedure(window->context, window, message);
}

std::uint32_t virtualKeyOf(SDL_Keycode key) {
    // The key code names the key on the user's layout, whatever Shift or
    // Caps Lock do to the character; letters take their capital's code.
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<std::uint32_t>(key - SDLK_a) + 'A';
    }
    if (key == SDLK_ESCAPE) {
        return keyEscape;
    }
    if (key > 0 && key < 128) {
        return static_cast<std::uint32_t>(key);
    }
    return 0;
}

WindowMessage translate(const SDL_Event& event) {
    WindowMessage message;
    switch (event.type) {
    case SDL_KEYDOWN:
        // Auto-repeat arrives as further key-downs, which count like the first.
        message.kind = MessageKind::keyDown;
        message.virtualKey = virtualKeyOf(event.key.keysym.sym);
        break;
    case SDL_QUIT:
        // The system asks the program to end (a signal, the session closing):
        // the same as the close box.
        message.backend[0] = closeRequest;
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            message.kind = MessageKind::size;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            message.backend[0] = closeRequest;
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return message;
}

software::PixelBuffer pixelsOf(DrawingContext context) {
    if (context->window != nullptr) {
        return context->window->target;
    }
    BitmapObject* bitmap = context->selected;
    return {bitmap->pixels.data(), bitmap->width, bitmap->height};
}

bool directlyDrawable(const SDL_Surface& surface) {
    return (surface.format->format == SDL_PIXELFORMAT_RGB888 || surface.format->format == SDL_PIXELFORMAT_ARGB8888) &&
           surface.pitch == surface.w * 4 && !SDL_MUSTLOCK(&surface);
}

}  // namespace

// ---- window.hpp ----

std::intptr_t defaultWindowProcedure(Window window, const WindowMessage& message) {
    if (message.kind == MessageKind::other && message.backend[0] == closeRequest) {
        destroyWindow(window);
    }
    return 0;
}

// X11 pixels are already device pixels: windows made without the high-DPI
// flag are never scaled.
void declareDpiAware() {}

bool registerWindowClass(Module, const char*, WindowProcedure procedure) {
    if (quitEventType == 0) {
        quitEventType = SDL_RegisterEvents(1);
        if (quitEventType == static_cast<Uint32>(-1)) {
            quitEventType = 0;
            return false;
        }
    }
    windowProcedure = procedure;
    return true;
}

Window createWindow(const WindowDescription& description) {
    if (theWindow.sdl != nullptr || windowProcedure == nullptr) {
        return nullptr;
    }
    // The window's surface in plain shared memory with the display: a GPU
    // texture would bring a whole 3D driver into memory (a software one
    // where there is no GPU) for a picture that is drawn in software anyway.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* sdl = SDL_CreateWindow(description.title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, description.clientWidth,
                                       description.clientHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (sdl == nullptr) {
        return nullptr;
    }
    if (retiredWindow != nullptr) {
        SDL_DestroyWindow(retiredWindow);
        retiredWindow = nullptr;
    }
    theWindow = WindowObject{};
    theWindow.sdl = sdl;
    theWindow.context = description.context;
    theWindow.drawing.window = &theWindow;
    // Only two keys matter; no text input, no input method.
    SDL_StopTextInput();
    return &theWindow;
}

// The program has no icon of its own yet; the system's default stands.
void setWindowIcons(Module, Window) {}

void showWindowMaximised(Window window) {
    // Maximised before it is mapped: the window manager then places it
    // maximised straight away, where a request to an already mapped window
    // may come too early for it and be lost.
    SDL_MaximizeWindow(window->sdl);
    SDL_ShowWindow(window->sdl);
    window->shown = true;
    // The window manager answers with the new size later, through the queue;
    // the procedure hears of the size it has now at once.
    deliver(window, WindowMessage{MessageKind::size, 0, {}});
}

void destroyWindow(Window window) {
    if (window == nullptr || window->sdl == nullptr) {
        return;
    }
    deliver(window, WindowMessage{MessageKind::destroy, 0, {}});
    // Hidden now, gone at SDL_Quit. SDL wakes a thread waiting for events by
    // sending an X event to a shown window over a second connection; one
    // sent from another thread (the sound system's) while the window was
    // being destroyed reached the display after it and ended the program
    // with an X error, exit code 1, after Esc.
    SDL_HideWindow(window->sdl);
    retiredWindow = window->sdl;
    window->sdl = nullptr;
    window->shown = false;
    window->surface = nullptr;
}

void invalidateWindow(Window window) { window->invalid = clientRect(window); }

void updateWindow(Window window) {
    if (window->sdl != nullptr && window->shown && !empty(window->invalid)) {
        deliver(window, WindowMessage{MessageKind::paint, 0, {}});
    }
}

Rect clientRect(Window window) {
    if (window->sdl == nullptr || (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED) != 0) {
        return {};
    }
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    return {0, 0, std::max(width, 0), std::max(height, 0)};
}

PaintSession beginPaint(Window window) {
    PaintSession session;
    session.context = &window->drawing;
    session.update = window->invalid;
    window->invalid = {};
    window->target = {nullptr, 0, 0};
    // After a resize SDL makes a new surface of the new size here.
    window->surface = window->sdl != nullptr ? SDL_GetWindowSurface(window->sdl) : nullptr;
    if (window->surface == nullptr) {
        return session;  // drawing on the window then fails, as it should
    }
    SDL_Surface& surface = *window->surface;
    if (directlyDrawable(surface)) {
        window->target = {static_cast<std::uint32_t*>(surface.pixels), surface.w, surface.h};
    } else {
        window->staging.resize(static_cast<std::size_t>(surface.w) * static_cast<std::size_t>(surface.h));
        window->target = {window->staging.data(), surface.w, surface.h};
    }
    return session;
}

void endPaint(Window window, PaintSession& session) {
    SDL_Surface* surface = window->surface;
    window->target = {nullptr, 0, 0};
    window->surface = nullptr;
    if (surface == nullptr) {
        return;
    }
    if (!directlyDrawable(*surface)) {
        if (SDL_LockSurface(surface) != 0) {
            return;
        }
        SDL_ConvertPixels(surface->w, surface->h, SDL_PIXELFORMAT_RGB888, window->staging.data(), surface->w * 4,
                          surface->format->format, surface->pixels, surface->pitch);
        SDL_UnlockSurface(surface);
    }
    const Rect& update = session.update;
    if (empty(update)) {
        return;
    }
    const SDL_Rect area{update.left, update.top, update.right - update.left, update.bottom - update.top};
    SDL_UpdateWindowSurfaceRects(window->sdl, &area, 1);
}

bool pumpMessage() {
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
        // As on other systems, a pending repaint comes once the queue is
        // otherwise empty.
        Window window = &theWindow;
        if (window->sdl != nullptr && window->shown && !empty(window->invalid)) {
            deliver(window, WindowMessage{MessageKind::paint, 0, {}});
            return true;
        }
        return false;
    }
    if (quitEventType != 0 && event.type == quitEventType) {
        return true;  // a quit message has no window to go to
    }
    Window window = &theWindow;
    if (window->sdl == nullptr) {
        return true;
    }
    if (event.type == SDL_WINDOWEVENT) {
        if (event.window.windowID != SDL_GetWindowID(window->sdl)) {
            return true;
        }
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            window->invalid = clientRect(window);
        }
    }
    deliver(window, translate(event));
    return true;
}

void postQuitMessage(std::int32_t exitCode) {
    if (quitEventType == 0) {
        return;
    }
    SDL_Event event{};
    event.type = quitEventType;
    event.user.code = exitCode;
    SDL_PushEvent(&event);
}

void waitForInput(std::uint32_t timeoutMs) { SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs)); }

void showMessageBox(Window owner, const char* text, const char* caption, MessageBoxIcon) {
    // Also on the terminal: the one who started the program from there sees
    // it, and so does one with no working display.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    SDL_Window* parent = owner != nullptr ? owner->sdl : nullptr;
    static_cast<void>(SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent));
}

// ---- drawing.hpp ----

DrawingContext createMemoryContext(DrawingContext) {
    return new (std::nothrow) DrawingContextObject{&stockBitmap, nullptr};
}

void deleteMemoryContext(DrawingContext context) { delete context; }

Bitmap createCompatibleBitmap(DrawingContext, std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    auto* bitmap = new (std::nothrow) BitmapObject;
    if (bitmap == nullptr) {
        return nullptr;
    }
    try {
        bitmap->pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        delete bitmap;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = height;
    return bitmap;
}

Bitmap selectBitmap(DrawingContext context, Bitmap bitmap) {
    if (context->window != nullptr || bitmap == nullptr) {
        return nullptr;
    }
    Bitmap previous = context->selected;
    context->selected = bitmap;
    return previous;
}

void deleteBitmap(Bitmap bitmap) {
    if (bitmap != &stockBitmap) {
        delete bitmap;
    }
}

// The software stretch always takes whole pixels.
void setNearestNeighbourStretch(DrawingContext) {}

bool fillBlack(DrawingContext context, const Rect& area) {
    const software::PixelBuffer target = pixelsOf(context);
    if (target.pixels == nullptr) {
        return false;
    }
    software::fillRect(target, area, 0);
    return true;
}

bool stretchImage(DrawingContext context, const Rect& destination, const ImageView& image) {
    const software::PixelBuffer target = pixelsOf(context);
    if (target.pixels == nullptr || image.pixels == nullptr) {
        return false;
    }
    software::stretchNearest(target, destination, image);
    return true;
}

bool copyPixels(DrawingContext target, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                DrawingContext source, std::int32_t sourceX, std::int32_t sourceY) {
    const software::PixelBuffer to = pixelsOf(target);
    const software::PixelBuffer from = pixelsOf(source);
    if (to.pixels == nullptr || from.pixels == nullptr) {
        return false;
    }
    software::copyRect(to, x, y, width, height, from, sourceX, sourceY);
    return true;
}

}  // namespace korvale::platform

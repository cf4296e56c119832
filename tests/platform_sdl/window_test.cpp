// The window on SDL's stand-in video driver: keys by code, the close paths,
// paints delivered in time and what they put on the window's surface.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include <array>
#include <vector>

#include "platform/drawing.hpp"
#include "platform/window.hpp"

namespace korvale::platform {
namespace {

constexpr char title[] = "Korvale by Glimmerwake | M mute | Esc exit";

// Four colours in a 2 x 2 image: stretched over the whole client area, each
// quarter of the window shows one.
constexpr std::array<std::uint32_t, 4> quarters{0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu};

struct Recorder {
    std::vector<WindowMessage> messages;
    bool drawOnPaint = false;
    bool paintDrew = false;

    std::vector<std::uint32_t> keys() const {
        std::vector<std::uint32_t> codes;
        for (const WindowMessage& message : messages) {
            if (message.kind == MessageKind::keyDown) {
                codes.push_back(message.virtualKey);
            }
        }
        return codes;
    }

    int count(MessageKind kind) const {
        int n = 0;
        for (const WindowMessage& message : messages) {
            n += message.kind == kind ? 1 : 0;
        }
        return n;
    }
};

// Draws as the program's presenter does: black back buffer, the image
// stretched over it, the update area copied to the window.
void paintQuarters(Window window) {
    PaintSession session = beginPaint(window);
    const Rect client = clientRect(window);
    const std::int32_t width = client.right;
    const std::int32_t height = client.bottom;
    DrawingContext memory = createMemoryContext(session.context);
    ASSERT_NE(memory, nullptr);
    Bitmap bitmap = createCompatibleBitmap(session.context, width, height);
    ASSERT_NE(bitmap, nullptr);
    Bitmap previous = selectBitmap(memory, bitmap);
    ASSERT_NE(previous, nullptr);
    EXPECT_TRUE(fillBlack(memory, Rect{0, 0, width, height}));
    EXPECT_TRUE(stretchImage(memory, Rect{0, 0, width, height}, ImageView{quarters.data(), 2, 2}));
    const Rect& u = session.update;
    EXPECT_TRUE(copyPixels(session.context, u.left, u.top, u.right - u.left, u.bottom - u.top, memory, u.left, u.top));
    endPaint(window, session);
    EXPECT_EQ(selectBitmap(memory, previous), bitmap);
    deleteBitmap(bitmap);
    deleteMemoryContext(memory);
}

std::intptr_t recordingProcedure(void* context, Window window, const WindowMessage& message) {
    auto& recorder = *static_cast<Recorder*>(context);
    recorder.messages.push_back(message);
    if (message.kind == MessageKind::paint) {
        if (recorder.drawOnPaint) {
            paintQuarters(window);
            recorder.paintDrew = true;
        } else {
            PaintSession session = beginPaint(window);
            endPaint(window, session);
        }
        return 0;
    }
    if (message.kind == MessageKind::other) {
        return defaultWindowProcedure(window, message);
    }
    return 0;
}

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        // SDL's display stand-in: windows with surfaces, no screen.
        ::setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_TRUE(registerWindowClass(nullptr, "KorvaleNative", &recordingProcedure));
        window_ = createWindow(WindowDescription{nullptr, "KorvaleNative", title, 960, 720, &recorder_});
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        sdl_ = SDL_GetWindowFromID(windowId());
        ASSERT_NE(sdl_, nullptr);
    }

    void TearDown() override {
        destroyWindow(window_);
        SDL_Quit();
    }

    // The newest window is ours: SDL numbers windows upwards from 1.
    static Uint32 windowId() {
        Uint32 id = 0;
        for (Uint32 candidate = 1; candidate < 1000; ++candidate) {
            if (SDL_GetWindowFromID(candidate) != nullptr) {
                id = candidate;
            }
        }
        return id;
    }

    void pumpAll() {
        for (int i = 0; i < 1000 && pumpMessage(); ++i) {
        }
    }

    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

    std::uint32_t surfacePixel(int x, int y) {
        SDL_Surface* surface = SDL_GetWindowSurface(sdl_);
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch;
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0x00FFFFFFu;
    }

    Recorder recorder_;
    Window window_ = nullptr;
    SDL_Window* sdl_ = nullptr;
};

TEST_F(WindowTest, CreatedHiddenResizableWithTitleAndClientSize) {
    EXPECT_STREQ(SDL_GetWindowTitle(sdl_), title);
    const Uint32 flags = SDL_GetWindowFlags(sdl_);
    EXPECT_NE(flags & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_NE(flags & SDL_WINDOW_RESIZABLE, 0u);
    const Rect client = clientRect(window_);
    EXPECT_EQ(client.right, 960);
    EXPECT_EQ(client.bottom, 720);
    // One window at a time.
    EXPECT_EQ(createWindow(WindowDescription{nullptr, "KorvaleNative", title, 960, 720, &recorder_}), nullptr);
}

TEST_F(WindowTest, KeysCountByTheirCodeWhateverTheModifiersAndRepeats) {
    struct Press {
        Uint32 type;
        SDL_Keycode key;
        Uint16 modifiers;
        Uint8 repeat;
    };
    const Press presses[] = {
        {SDL_KEYDOWN, SDLK_m, KMOD_NONE, 0},    {SDL_KEYUP, SDLK_m, KMOD_NONE, 0},
        {SDL_KEYDOWN, SDLK_m, KMOD_LSHIFT, 0},  {SDL_KEYDOWN, SDLK_m, KMOD_CAPS, 0},
        {SDL_KEYDOWN, SDLK_m, KMOD_NONE, 1},    {SDL_KEYDOWN, SDLK_m, KMOD_NONE, 1},
        {SDL_KEYUP, SDLK_m, KMOD_NONE, 0},      {SDL_KEYDOWN, SDLK_ESCAPE, KMOD_LSHIFT, 0},
    };
    for (const Press& press : presses) {
        SDL_Event event{};
        event.type = press.type;
        event.key.windowID = SDL_GetWindowID(sdl_);
        event.key.state = press.type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = press.repeat;
        event.key.keysym.sym = press.key;
        event.key.keysym.mod = press.modifiers;
        push(event);
    }
    pumpAll();
    EXPECT_EQ(recorder_.keys(), (std::vector<std::uint32_t>{keyM, keyM, keyM, keyM, keyM, keyEscape}));
}

TEST_F(WindowTest, CloseBoxAndSystemQuitDestroyTheWindowThroughTheDefaultProcedure) {
    for (const bool closeBox : {true, false}) {
        SCOPED_TRACE(closeBox ? "close box" : "system quit");
        if (!closeBox) {
            recorder_.messages.clear();
            window_ = createWindow(WindowDescription{nullptr, "KorvaleNative", title, 960, 720, &recorder_});
            ASSERT_NE(window_, nullptr) << SDL_GetError();
            sdl_ = SDL_GetWindowFromID(windowId());
        }
        const Uint32 id = SDL_GetWindowID(sdl_);
        SDL_Event event{};
        if (closeBox) {
            event.type = SDL_WINDOWEVENT;
            event.window.event = SDL_WINDOWEVENT_CLOSE;
            event.window.windowID = id;
        } else {
            event.type = SDL_QUIT;
        }
        push(event);
        pumpAll();
        EXPECT_EQ(recorder_.count(MessageKind::destroy), 1);
        // Hidden at once; SDL_Quit or the next window releases it.
        ASSERT_NE(SDL_GetWindowFromID(id), nullptr);
        EXPECT_NE(SDL_GetWindowFlags(SDL_GetWindowFromID(id)) & SDL_WINDOW_HIDDEN, 0u);
        EXPECT_EQ(clientRect(window_).right, 0);
        // Messages for it go nowhere.
        recorder_.messages.clear();
        SDL_Event later{};
        later.type = SDL_KEYDOWN;
        later.key.keysym.sym = SDLK_m;
        push(later);
        pumpAll();
        EXPECT_TRUE(recorder_.keys().empty());
    }
}

TEST_F(WindowTest, UpdateDeliversThePaintBeforeReturningAndThePictureReachesTheWindow) {
    showWindowMaximised(window_);
    EXPECT_EQ(SDL_GetWindowFlags(sdl_) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_GE(recorder_.count(MessageKind::size), 1);
    pumpAll();  // whatever showing queued, pending repaints included

    recorder_.drawOnPaint = true;
    recorder_.messages.clear();
    invalidateWindow(window_);
    updateWindow(window_);
    EXPECT_EQ(recorder_.count(MessageKind::paint), 1);
    ASSERT_TRUE(recorder_.paintDrew);
    const Rect client = clientRect(window_);
    const int w = client.right;
    const int h = client.bottom;
    EXPECT_EQ(surfacePixel(0, 0), quarters[0]);
    EXPECT_EQ(surfacePixel(w - 1, 0), quarters[1]);
    EXPECT_EQ(surfacePixel(0, h - 1), quarters[2]);
    EXPECT_EQ(surfacePixel(w - 1, h - 1), quarters[3]);

    // Nothing marked, nothing painted.
    updateWindow(window_);
    EXPECT_EQ(recorder_.count(MessageKind::paint), 1);

    // The window's context is drawable only inside a paint.
    DrawingContext memory = createMemoryContext(nullptr);
    Bitmap bitmap = createCompatibleBitmap(nullptr, 4, 4);
    Bitmap previous = selectBitmap(memory, bitmap);
    PaintSession session = beginPaint(window_);
    DrawingContext windowContext = session.context;
    endPaint(window_, session);
    EXPECT_FALSE(copyPixels(windowContext, 0, 0, 4, 4, memory, 0, 0));
    static_cast<void>(selectBitmap(memory, previous));
    deleteBitmap(bitmap);
    deleteMemoryContext(memory);
}

TEST_F(WindowTest, PendingRepaintComesWhenTheQueueIsEmptyAndQuitMessagesGoNowhere) {
    showWindowMaximised(window_);
    pumpAll();
    recorder_.messages.clear();
    postQuitMessage(0);
    invalidateWindow(window_);
    pumpAll();
    EXPECT_EQ(recorder_.count(MessageKind::paint), 1);
    EXPECT_EQ(recorder_.count(MessageKind::destroy), 0);
    EXPECT_NE(SDL_GetWindowFromID(SDL_GetWindowID(sdl_)), nullptr);
    EXPECT_FALSE(pumpMessage());
}

TEST_F(WindowTest, AfterAResizeThePaintCoversTheNewClientArea) {
    showWindowMaximised(window_);
    pumpAll();
    recorder_.messages.clear();
    SDL_SetWindowSize(sdl_, 1000, 1000);
    pumpAll();
    EXPECT_GE(recorder_.count(MessageKind::size), 1);
    const Rect client = clientRect(window_);
    ASSERT_EQ(client.right, 1000);
    ASSERT_EQ(client.bottom, 1000);

    recorder_.drawOnPaint = true;
    invalidateWindow(window_);
    updateWindow(window_);
    ASSERT_TRUE(recorder_.paintDrew);
    EXPECT_EQ(SDL_GetWindowSurface(sdl_)->w, 1000);
    EXPECT_EQ(surfacePixel(999, 999), quarters[3]);
}

}  // namespace
}  // namespace korvale::platform

#include "host/main_window.hpp"

#include <atomic>

#include "host/program.hpp"

namespace korvale {

platform::Window createMainWindow(platform::Module module, ProgramState& state) {
    if (!platform::registerWindowClass(module, windowClassName, &windowProcedure)) {
        return nullptr;
    }
    const platform::WindowDescription description{module, windowClassName, windowTitle, windowClientWidth, windowClientHeight,
                                    &state};
    platform::Window window = platform::createWindow(description);
    if (window == nullptr) {
        return nullptr;
    }
    platform::setWindowIcons(module, window);
    return window;
}

std::intptr_t windowProcedure(void* context, platform::Window window, const platform::WindowMessage& message) {
    auto& state = *static_cast<ProgramState*>(context);
    switch (message.kind) {
    case platform::MessageKind::destroy:
        state.presenter.release();
        state.running = false;
        platform::postQuitMessage(0);
        return 0;
    case platform::MessageKind::size:
        // The presenter adapts its back buffer at the next paint.
        platform::invalidateWindow(window);
        return 0;
    case platform::MessageKind::paint: {
        platform::PaintSession session = platform::beginPaint(window);
        const platform::Rect client = platform::clientRect(window);
        state.presenter.paint(session.context, client, session.update, state.vga.frame.data());
        platform::endPaint(window, session);
        return 0;
    }
    case platform::MessageKind::eraseBackground:
        // The paint covers every pixel, bars included; erasing would flicker.
        return 1;
    case platform::MessageKind::keyDown:
        if (message.virtualKey == platform::keyEscape) {
            platform::destroyWindow(window);
        } else if (message.virtualKey == platform::keyM) {
            // Auto-repeat toggles too: every key-down counts.
            std::atomic<bool>& muted = state.audio.player.muted;
            muted.store(!muted.load(std::memory_order_relaxed), std::memory_order_relaxed);
        }
        return 0;
    case platform::MessageKind::other:
        break;
    }
    return platform::defaultWindowProcedure(window, message);
}

}  // namespace korvale

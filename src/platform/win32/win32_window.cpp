#include <new>

#include "platform/win32/win32_api.hpp"
#include "platform/win32/resources.h"
#include "platform/window.hpp"

namespace korvale::platform {

using win32::as;

namespace {

static_assert(sizeof(PAINTSTRUCT) <= sizeof(PaintSession::backend) && alignof(PAINTSTRUCT) <= 16,
              "the system's paint record must fit the backend bytes of PaintSession");

// The program registers one window class; its windows all answer to the
// host's procedure.
WindowProcedure registeredProcedure = nullptr;

MessageKind kindOf(UINT message) {
    switch (message) {
    case WM_DESTROY:
        return MessageKind::destroy;
    case WM_SIZE:
        return MessageKind::size;
    case WM_PAINT:
        return MessageKind::paint;
    case WM_ERASEBKGND:
        return MessageKind::eraseBackground;
    case WM_KEYDOWN:
        return MessageKind::keyDown;
    default:
        return MessageKind::other;
    }
}

LRESULT CALLBACK systemProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    void* context = reinterpret_cast<void*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    // A few messages (WM_GETMINMAXINFO first) come before WM_NCCREATE has
    // handed us the context; the host never acts on them.
    if (context == nullptr || registeredProcedure == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    WindowMessage translated;
    translated.kind = kindOf(message);
    if (translated.kind == MessageKind::keyDown) {
        translated.virtualKey = static_cast<std::uint32_t>(wParam);
    }
    translated.backend[0] = message;
    translated.backend[1] = static_cast<std::uintptr_t>(wParam);
    translated.backend[2] = static_cast<std::uintptr_t>(lParam);
    return registeredProcedure(context, as<Window>(window), translated);
}

PAINTSTRUCT& systemPaint(PaintSession& session) { return *std::launder(reinterpret_cast<PAINTSTRUCT*>(session.backend)); }

}  // namespace

std::intptr_t defaultWindowProcedure(Window window, const WindowMessage& message) {
    return DefWindowProcA(as<HWND>(window), static_cast<UINT>(message.backend[0]),
                          static_cast<WPARAM>(message.backend[1]), static_cast<LPARAM>(message.backend[2]));
}

void declareDpiAware() { SetProcessDPIAware(); }

bool registerWindowClass(Module module, const char* className, WindowProcedure procedure) {
    registeredProcedure = procedure;
    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = &systemProcedure;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = as<HINSTANCE>(module);
    windowClass.hIcon = LoadIconA(as<HINSTANCE>(module), MAKEINTRESOURCEA(KORVALE_ICON));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    return RegisterClassA(&windowClass) != 0;
}

Window createWindow(const WindowDescription& description) {
    RECT outer{0, 0, description.clientWidth, description.clientHeight};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, description.className, description.title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  as<HINSTANCE>(description.module), description.context);
    return as<Window>(window);
}

void setWindowIcons(Module module, Window window) {
    struct Size {
        int width;
        int height;
        WPARAM which;
    };
    const Size sizes[] = {
        {SM_CXICON, SM_CYICON, ICON_BIG},
        {SM_CXSMICON, SM_CYSMICON, ICON_SMALL},
    };
    for (const Size& size : sizes) {
        HANDLE icon = LoadImageA(as<HINSTANCE>(module), MAKEINTRESOURCEA(KORVALE_ICON), IMAGE_ICON,
                                 GetSystemMetrics(size.width), GetSystemMetrics(size.height), LR_SHARED);
        SendMessageA(as<HWND>(window), WM_SETICON, size.which, reinterpret_cast<LPARAM>(icon));
    }
}

void showWindowMaximised(Window window) { ShowWindow(as<HWND>(window), SW_SHOWMAXIMIZED); }

void destroyWindow(Window window) { DestroyWindow(as<HWND>(window)); }

void invalidateWindow(Window window) { InvalidateRect(as<HWND>(window), nullptr, FALSE); }

void updateWindow(Window window) { UpdateWindow(as<HWND>(window)); }

Rect clientRect(Window window) {
    RECT client{};
    GetClientRect(as<HWND>(window), &client);
    return {client.left, client.top, client.right, client.bottom};
}

PaintSession beginPaint(Window window) {
    PaintSession session;
    PAINTSTRUCT& paint = systemPaint(session);
    session.context = as<DrawingContext>(BeginPaint(as<HWND>(window), &paint));
    session.update = {paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom};
    return session;
}

void endPaint(Window window, PaintSession& session) { EndPaint(as<HWND>(window), &systemPaint(session)); }

bool pumpMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

void postQuitMessage(std::int32_t exitCode) { PostQuitMessage(exitCode); }

void waitForInput(std::uint32_t timeoutMs) { MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT); }

void showMessageBox(Window owner, const char* text, const char* caption, MessageBoxIcon icon) {
    UINT style = MB_OK;
    if (icon == MessageBoxIcon::error) {
        style |= MB_ICONERROR;
    }
    MessageBoxA(as<HWND>(owner), text, caption, style);
}

}  // namespace korvale::platform

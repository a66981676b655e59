#include "platform/windows/com/ControlWindow.h"

#include <algorithm>
#include <vector>

#include "control/CTimelineControl.h"
#include "platform/windows/GdiDrawing.h"
#include "platform/windows/WindowsPlatform.h"
#include "platform/windows/WindowsTimerHost.h"
#include "platform/windows/com/VortrelModule.h"

namespace vortrel::com {

namespace {

constexpr wchar_t kClassName[] = L"VortrelTimelineControl";

// Every control window alive on the thread's process: a tick is told to the process's timer
// dispatcher through whichever window the timers run on, so all of them repaint after one.
std::vector<ControlWindow*>& LiveWindows() {
    static std::vector<ControlWindow*> windows;
    return windows;
}

bool RegisterWindowClass(HINSTANCE module, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(module, kClassName, &existing)) {
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // A new size lays the whole window out anew (the scroll bars and their corner follow the
    // edges), so all of it is painted again, also where a smaller window keeps old pixels.
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

// A client coordinate of a mouse message: 16 bits, signed (a captured drag goes past the
// window's left and top edges).
int16_t Low(LPARAM value) {
    return static_cast<int16_t>(LOWORD(static_cast<DWORD_PTR>(value)));
}
int16_t High(LPARAM value) {
    return static_cast<int16_t>(HIWORD(static_cast<DWORD_PTR>(value)));
}

}  // namespace

ControlWindow::ControlWindow(CTimelineControl& control, Listener listener)
    : control_(control),
      listener_(std::move(listener)),
      drawing_(InstallWindowsPlatform().drawing),
      arrowCursor_(LoadCursorW(nullptr, IDC_ARROW)),
      waitCursor_(LoadCursorW(nullptr, IDC_WAIT)) {}

ControlWindow::~ControlWindow() {
    Destroy();
}

bool ControlWindow::Create(HWND parent, const RECT& rect) {
    if (window_ != nullptr) {
        return true;
    }
    HINSTANCE module = CVortrelModule::Instance().Handle();
    if (!RegisterWindowClass(module, &ControlWindow::Procedure)) {
        return false;
    }
    // The window is this object's from WM_NCCREATE on, so WM_CREATE reaches it.
    const HWND made = CreateWindowExW(
        0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, module, this);
    return made != nullptr;
}

void ControlWindow::Destroy() {
    if (window_ != nullptr) {
        DestroyWindow(window_);  // WM_DESTROY clears window_
    }
}

void ControlWindow::Invalidate() {
    if (window_ != nullptr) {
        InvalidateRect(window_, nullptr, FALSE);
    }
}

void ControlWindow::SetCursor(ControlCursor cursor) {
    ::SetCursor(cursor == ControlCursor::Wait ? waitCursor_ : arrowCursor_);
}

void ControlWindow::SetCapture() {
    if (window_ != nullptr) {
        ::SetCapture(window_);
    }
}

void ControlWindow::ReleaseCapture() {
    if (window_ != nullptr && GetCapture() == window_) {
        ::ReleaseCapture();
    }
}

LRESULT CALLBACK ControlWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* made = static_cast<ControlWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        made->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
    }
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT ControlWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // In the order the control's message map tests them.
    switch (message) {
        case WM_SIZE:
            control_.OnSize(Low(lParam), High(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            control_.OnLeftButtonDown(Low(lParam), High(lParam));
            return 0;
        case WM_LBUTTONUP:
            control_.OnLeftButtonUp(Low(lParam), High(lParam));
            return 0;
        case WM_MOUSEMOVE:
            control_.OnMouseMove(Low(lParam), High(lParam));
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 0;  // every pixel is painted; erasing would only flicker
        // The standard handling of activation and focus.
        case WM_MOUSEACTIVATE:
            if (listener_.mouseActivate) {
                listener_.mouseActivate();
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (listener_.focus) {
                listener_.focus(message == WM_SETFOCUS);
            }
            break;
        case WM_TIMER: {
            control_.OnTimer(static_cast<int32_t>(static_cast<uint32_t>(wParam)));
            for (ControlWindow* other : LiveWindows()) {
                if (other != this) {
                    other->Invalidate();
                }
            }
            return 0;
        }
        case WM_CREATE:
            timers_ = std::make_unique<WindowsTimerHost>(window_);
            control_.OnCreate(this, timers_.get());
            LiveWindows().push_back(this);
            return 0;
        case WM_DESTROY: {
            std::erase(LiveWindows(), this);
            control_.OnDestroy();  // the process's timers move to another window, if any
            timers_.reset();
            HWND going = window_;
            SetWindowLongPtrW(going, GWLP_USERDATA, 0);
            window_ = nullptr;
            return DefWindowProcW(going, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void ControlWindow::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    auto* gdi = dynamic_cast<GdiDrawing*>(drawing_.get());
    if (dc != nullptr && gdi != nullptr) {
        const std::unique_ptr<IDrawContext> target = gdi->ContextOn(dc);
        control_.OnPaint(
            *target, client.right - client.left, client.bottom - client.top,
            {paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom});
    }
    EndPaint(window_, &paint);
}

}  // namespace vortrel::com

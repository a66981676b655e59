#include "platform/windows/WindowsTimerHost.h"

#include "model/TimerDispatcher.h"

namespace vortrel {

namespace {

constexpr wchar_t kClassName[] = L"VortrelTimerWindow";

HMODULE ThisModule() {
    HMODULE module = nullptr;
    // The module that holds this code: the control's DLL, or a program built with it.
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

}  // namespace

WindowsTimerHost::WindowsTimerHost(HWND window) : window_(window) {}

WindowsTimerHost::WindowsTimerHost(Tick tick) : owned_(true), tick_(std::move(tick)) {
    if (!tick_) {
        tick_ = [](int32_t timerId) { TimerDispatcher::Instance().Fire(timerId); };
    }
    HINSTANCE module = ThisModule();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WindowsTimerHost::Procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when the class is there already
    window_ =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
}

WindowsTimerHost::~WindowsTimerHost() {
    if (owned_ && window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);  // its timers go with it
    }
}

void WindowsTimerHost::SetTimer(int32_t timerId, int32_t milliseconds) {
    if (window_ != nullptr) {
        ::SetTimer(window_, static_cast<UINT_PTR>(static_cast<uint32_t>(timerId)),
                   static_cast<UINT>(milliseconds < 0 ? 0 : milliseconds), nullptr);
    }
}

void WindowsTimerHost::KillTimer(int32_t timerId) {
    if (window_ != nullptr) {
        ::KillTimer(window_, static_cast<UINT_PTR>(static_cast<uint32_t>(timerId)));
    }
}

LRESULT CALLBACK WindowsTimerHost::Procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_TIMER) {
        auto* host = reinterpret_cast<WindowsTimerHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (host != nullptr && host->tick_) {
            host->tick_(static_cast<int32_t>(static_cast<uint32_t>(wParam)));
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vortrel

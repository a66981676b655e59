#pragma once

#include <windows.h>

#include <ocidl.h>

#include <VortrelLib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vortrel::axhost {

/// The folder of the running program, with a trailing separator.
std::wstring ProgramFolder();

// A container as real hosts make one: a top-level window with a child of the AtlAxWin class
// of the system's atl.dll, which creates the control by its program id and activates it in
// place. It registers the server first (for the machine, where Wine's classes root finds it)
// unless the caller did, pumps messages for timer time, posts mouse messages to the
// control's own window and reads what that window shows. The tests and vortrel-com share it.
class AxHost {
  public:
    AxHost() = default;
    ~AxHost();
    AxHost(const AxHost&) = delete;
    AxHost& operator=(const AxHost&) = delete;

    /// Hosts a control in a client area of the given size, registering the server at
    /// `server` first (none when empty); false with the reason when a step fails.
    bool Open(int width, int height, std::string& why,
              const std::wstring& server = ProgramFolder() + L"Vortrel.dll");

    /// The hosted control.
    ITimelineControl* Control() const { return control_; }
    /// The hosted control's IUnknown.
    IUnknown* Unknown() const { return unknown_; }
    /// The AtlAxWin window and the control's own window inside it.
    HWND AxWindow() const { return axWindow_; }
    HWND ControlWindow() const { return controlWindow_; }

    /// Resizes the AtlAxWin window and the frame around it (the container passes the size on).
    void Resize(int width, int height);
    /// Dispatches the thread's messages for about `milliseconds`.
    static void Pump(DWORD milliseconds);
    /// Dispatches the messages waiting now (paints and due timers among them) without waiting.
    static void PumpWaiting();
    /// Posts a mouse message at a client point of the control's window and dispatches the
    /// waiting messages, so the control has handled it on return.
    void Mouse(UINT message, int x, int y, bool buttonDown);
    /// The control window's pixels (0x00RRGGBB, rows top down) as it shows them now, once its
    /// pending paints are done; no timer time passes.
    std::vector<uint32_t> Capture(int& width, int& height);
    /// Writes pixels as a 24-bit BMP file.
    static bool SaveBmp(const std::wstring& path, const std::vector<uint32_t>& pixels, int width,
                        int height);

  private:
    HWND frame_ = nullptr;
    HWND axWindow_ = nullptr;
    HWND controlWindow_ = nullptr;
    IUnknown* unknown_ = nullptr;
    ITimelineControl* control_ = nullptr;
    bool oleStarted_ = false;
};
}  // namespace vortrel::axhost

#pragma once

#include <windows.h>

#include <ocidl.h>

#include <VortrelLib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vortrel::test {

// A container as real hosts make one: a top-level window with a child of the AtlAxWin class
// of the system's atl.dll, which creates the control by its program id and activates it in
// place. It registers the server beside the program first (for the machine, where Wine's
// classes root finds it), pumps messages for timer time, posts mouse messages to the
// control's own window and reads what that window shows.
class AxHost {
  public:
    AxHost() = default;
    ~AxHost();
    AxHost(const AxHost&) = delete;
    AxHost& operator=(const AxHost&) = delete;

    /// Hosts a control in a client area of the given size; false with the reason when a step
    /// fails.
    bool Open(int width, int height, std::string& why);

    /// The hosted control.
    ITimelineControl* Control() const { return control_; }
    /// The AtlAxWin window and the control's own window inside it.
    HWND AxWindow() const { return axWindow_; }
    HWND ControlWindow() const { return controlWindow_; }

    /// Resizes the AtlAxWin window (the container passes the size on).
    void Resize(int width, int height);
    /// Dispatches the thread's messages for about `milliseconds`.
    static void Pump(DWORD milliseconds);
    /// Posts a mouse message at a client point of the control's window and pumps a moment.
    void Mouse(UINT message, int x, int y, bool buttonDown);
    /// The control window's pixels (0x00RRGGBB, rows top down) as it shows them now.
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

/// The folder of the running program, with a trailing separator.
std::wstring ProgramFolder();

}  // namespace vortrel::test

// The ids of the type library's header are defined in this file, before any header reads it.
#include <windows.h>

#include <initguid.h>

#include "AxHost.h"

#include <oleidl.h>

namespace vortrel::axhost {

namespace {

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
using RegisterFunction = HRESULT(STDAPICALLTYPE*)();

constexpr wchar_t kFrameClass[] = L"VortrelTestFrame";

}  // namespace

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

AxHost::~AxHost() {
    if (control_ != nullptr) {
        control_->Release();
    }
    if (unknown_ != nullptr) {
        unknown_->Release();
    }
    if (frame_ != nullptr) {
        DestroyWindow(frame_);  // the AtlAxWin window closes the control
        Pump(50);
    }
    if (oleStarted_) {
        OleUninitialize();
    }
}

bool AxHost::Open(int width, int height, std::string& why, const std::wstring& server) {
    if (FAILED(OleInitialize(nullptr))) {
        why = "OleInitialize failed";
        return false;
    }
    oleStarted_ = true;
    if (!server.empty()) {
        HMODULE library = LoadLibraryW(server.c_str());
        auto registerServer = library != nullptr
                                  ? reinterpret_cast<RegisterFunction>(reinterpret_cast<void*>(
                                        GetProcAddress(library, "DllRegisterServer")))
                                  : nullptr;
        if (registerServer == nullptr || FAILED(registerServer())) {
            why = "the server does not register";
            return false;
        }
    }
    HMODULE atl = LoadLibraryW(L"atl.dll");
    auto init = atl != nullptr ? reinterpret_cast<AtlAxWinInitFunction>(
                                     reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")))
                               : nullptr;
    auto getControl = atl != nullptr
                          ? reinterpret_cast<AtlAxGetControlFunction>(
                                reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")))
                          : nullptr;
    // The window class is registered once for the process; a second call may say no.
    static const bool initialised = init != nullptr && init();
    if (!initialised || getControl == nullptr) {
        why = "atl.dll has no AtlAxWin";
        return false;
    }
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = DefWindowProcW;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.lpszClassName = kFrameClass;
    RegisterClassW(&frameClass);
    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    frame_ = CreateWindowW(kFrameClass, L"Vortrel host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    axWindow_ = CreateWindowW(L"AtlAxWin", L"Vortrel.TimelineControl", WS_CHILD | WS_VISIBLE, 0, 0,
                              width, height, frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (axWindow_ == nullptr || FAILED(getControl(axWindow_, &unknown_)) || unknown_ == nullptr) {
        why = "AtlAxWin did not host Vortrel.TimelineControl";
        return false;
    }
    IOleWindow* window = nullptr;
    if (FAILED(
            unknown_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&window)))) {
        why = "the control is not in place";
        return false;
    }
    window->GetWindow(&controlWindow_);
    window->Release();
    if (controlWindow_ == nullptr ||
        FAILED(
            unknown_->QueryInterface(IID_ITimelineControl, reinterpret_cast<void**>(&control_)))) {
        why = "the control has no window or no ITimelineControl";
        return false;
    }
    Pump(100);
    return true;
}

void AxHost::Resize(int width, int height) {
    // The frame grows with the control, which a smaller frame would clip.
    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    MoveWindow(frame_, 0, 0, outer.right - outer.left, outer.bottom - outer.top, TRUE);
    MoveWindow(axWindow_, 0, 0, width, height, TRUE);  // sends the sizes on at once
    PumpWaiting();
}

void AxHost::Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

void AxHost::PumpWaiting() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void AxHost::Mouse(UINT message, int x, int y, bool buttonDown) {
    PostMessageW(controlWindow_, message, buttonDown ? MK_LBUTTON : 0,
                 MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    PumpWaiting();
}

std::vector<uint32_t> AxHost::Capture(int& width, int& height) {
    PumpWaiting();  // the posted input and its repaints first
    UpdateWindow(controlWindow_);
    PumpWaiting();
    RECT client{};
    GetClientRect(controlWindow_, &client);
    width = client.right;
    height = client.bottom;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC windowDc = GetDC(controlWindow_);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = source[i] & 0xFFFFFF;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(controlWindow_, windowDc);
    return pixels;
}

bool AxHost::SaveBmp(const std::wstring& path, const std::vector<uint32_t>& pixels, int width,
                     int height) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom up
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(stride) * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::vector<uint8_t> rows(header.biSizeImage);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rows.data() + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
            row[x * 3] = pixel & 0xFF;
            row[x * 3 + 1] = (pixel >> 8) & 0xFF;
            row[x * 3 + 2] = (pixel >> 16) & 0xFF;
        }
    }
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &header, sizeof header, &written, nullptr) &&
              WriteFile(out, rows.data(), static_cast<DWORD>(rows.size()), &written, nullptr);
    CloseHandle(out);
    return ok;
}

}  // namespace vortrel::axhost

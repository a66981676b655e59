// vortrel-window-capture PROJECT WIDTH HEIGHT ZOOM OUT.bmp: hosts the control in AtlAxWin at a
// client size, loads a project, zooms and writes what the control's window shows as a BMP file,
// for comparison with the Linux build's snapshot of the same project.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "axhost/AxHost.h"

int main() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count != 6) {
        std::fprintf(stderr, "usage: vortrel-window-capture PROJECT WIDTH HEIGHT ZOOM OUT.bmp\n");
        return 2;
    }
    const int width = _wtoi(arguments[2]);
    const int height = _wtoi(arguments[3]);
    if (width < 1 || height < 1 || width > 8192 || height > 8192) {
        std::fprintf(stderr, "vortrel-window-capture: the size is not from 1x1 to 8192x8192\n");
        return 2;
    }
    vortrel::axhost::AxHost host;
    std::string why;
    if (!host.Open(width, height, why)) {
        std::fprintf(stderr, "vortrel-window-capture: %s\n", why.c_str());
        return 1;
    }
    BSTR project = SysAllocString(arguments[1]);
    LONG result = 0;
    host.Control()->LoadProject(project, &result);
    SysFreeString(project);
    if (result != 1) {
        std::fprintf(stderr, "vortrel-window-capture: the project does not load\n");
        return 1;
    }
    host.Control()->SetScale(static_cast<float>(_wtof(arguments[4])));
    vortrel::axhost::AxHost::Pump(200);
    int capturedWidth = 0;
    int capturedHeight = 0;
    const auto pixels = host.Capture(capturedWidth, capturedHeight);
    if (capturedWidth != width || capturedHeight != height) {
        std::fprintf(stderr, "vortrel-window-capture: the window is %dx%d\n", capturedWidth,
                     capturedHeight);
        return 1;
    }
    if (!vortrel::axhost::AxHost::SaveBmp(arguments[5], pixels, width, height)) {
        std::fprintf(stderr, "vortrel-window-capture: cannot write the picture\n");
        return 1;
    }
    return 0;
}

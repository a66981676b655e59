#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "platform/windows/Win32NativeWindows.h"

namespace vortrel {
namespace {

NativeWindow Id(HWND window) {
    return static_cast<NativeWindow>(reinterpret_cast<intptr_t>(window));
}

TEST(Win32NativeWindowsTest, AChildsClientAreaIsFoundInItsParent) {
    HWND top = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 50, 60, 500, 400,
                               nullptr, nullptr, nullptr, nullptr);
    if (top == nullptr) {
        // Run on a display, the test must not pass by skipping.
        ASSERT_EQ(std::getenv("VORTREL_NEEDS_WINDOWS"), nullptr) << "no window was made";
        GTEST_SKIP() << "no windows: Wine has no display";
    }
    // A bordered child: its client area lies inside its border.
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 320, 240, top,
                                 nullptr, nullptr, nullptr);
    HWND bordered = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_BORDER, 20, 30, 100, 50, top,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    Win32NativeWindows windows;
    EXPECT_EQ(windows.GetParent(Id(child)), Id(top));
    EXPECT_EQ(windows.GetParent(Id(top)), 0);
    WindowRect rect;
    ASSERT_TRUE(windows.GetClientRectInParent(Id(child), rect));
    EXPECT_EQ(rect, (WindowRect{10, 10, 330, 250}));
    ASSERT_TRUE(windows.GetClientRectInParent(Id(bordered), rect));
    EXPECT_EQ(rect, (WindowRect{21, 31, 119, 79}));

    DestroyWindow(top);  // and its children
    EXPECT_EQ(windows.GetParent(Id(child)), 0);
    EXPECT_FALSE(windows.GetClientRectInParent(Id(child), rect));
    EXPECT_FALSE(windows.GetClientRectInParent(0, rect));
    EXPECT_EQ(windows.GetParent(0x7FFF0000), 0);
}

}  // namespace
}  // namespace vortrel

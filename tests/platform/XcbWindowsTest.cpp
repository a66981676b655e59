#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/XcbNativeWindows.h"
#include "platform/linux/XcbVideoWindow.h"
#include "ports/INativeWindows.h"
#include "support/ScopedPort.h"
#include "support/XvfbServer.h"

namespace vortrel {
namespace {

[[maybe_unused]] ::testing::Environment* const kServer =
    ::testing::AddGlobalTestEnvironment(new testing::XvfbEnvironment);

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;

// A frame of width*height RGBA pixels, the left part of one colour and the rest of another.
std::vector<uint8_t> Frame(int32_t width, int32_t height, uint32_t left, uint32_t right = 0,
                           int32_t split = -1) {
    std::vector<uint8_t> rgba;
    for (int32_t i = 0; i < width * height; ++i) {
        const uint32_t colour = split < 0 || i % width < split ? left : right;
        rgba.insert(rgba.end(),
                    {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), 255});
    }
    return rgba;
}

// The rows of 0xRRGGBB pixels of a rectangle of a window, as the screen shows it.
using Pixels = std::vector<std::vector<uint32_t>>;

// Windows of the test's own, made and read through a connection of its own to the private
// server, whose screen is 24-bit TrueColor with 8-bit channels and 32 bits per pixel.
class XcbWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connection_ = xcb_connect(nullptr, nullptr);
        ASSERT_EQ(xcb_connection_has_error(connection_), 0) << "no X server";
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        screen_ = xcb_setup_roots_iterator(setup).data;
        ASSERT_EQ(screen_->root_depth, 24);
        ASSERT_EQ(setup->image_byte_order, XCB_IMAGE_ORDER_LSB_FIRST);
    }
    void TearDown() override { xcb_disconnect(connection_); }

    // A mapped window; its client area is at (x, y) + border.
    xcb_window_t MakeWindow(xcb_window_t parent, int16_t x, int16_t y, uint16_t width,
                            uint16_t height, uint16_t border = 0) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const uint32_t values[] = {kWhite};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, parent, x, y, width, height,
                          border, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_BACK_PIXEL, values);
        xcb_map_window(connection_, window);
        Sync();
        return window;
    }

    // Waits until the server has handled every request sent so far.
    void Sync() {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    Pixels Read(xcb_window_t window, int16_t x, int16_t y, uint16_t width, uint16_t height) {
        std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
            xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, x, y,
                                              width, height, ~0u),
                                nullptr),
            &std::free);
        Pixels rows(image ? height : 0, std::vector<uint32_t>(width));
        for (int i = 0; image && i < width * height; ++i) {
            const uint8_t* pixel = xcb_get_image_data(image.get()) + i * 4;
            rows[i / width][i % width] = uint32_t(pixel[0] | pixel[1] << 8 | pixel[2] << 16);
        }
        return rows;
    }

    // Whether the screen shows a rectangle of a window all in one colour within a few seconds;
    // the video window's requests come on another connection, handled in the server's order.
    bool ShowsColour(xcb_window_t window, int16_t x, int16_t y, uint16_t width, uint16_t height,
                     uint32_t colour) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        const Pixels wanted(height, std::vector<uint32_t>(width, colour));
        while (Read(window, x, y, width, height) != wanted) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
};

// Neither the windows nor the video window take what is not a window that can show pictures.
TEST_F(XcbWindowsTest, ChildGivesItsParentAndClientAreaWhatIsNotAWindowGivesNone) {
    const xcb_window_t top = MakeWindow(screen_->root, 50, 60, 400, 300);
    const xcb_window_t child = MakeWindow(top, 30, 40, 120, 90, 5);
    const xcb_window_t destroyed = MakeWindow(top, 10, 10, 20, 20);
    xcb_destroy_window(connection_, destroyed);
    const xcb_pixmap_t pixmap = xcb_generate_id(connection_);
    xcb_create_pixmap(connection_, screen_->root_depth, pixmap, screen_->root, 16, 16);
    const xcb_window_t inputOnly = xcb_generate_id(connection_);
    xcb_create_window(connection_, 0, inputOnly, screen_->root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    Sync();
    XcbNativeWindows windows;

    EXPECT_EQ(windows.GetParent(child), NativeWindow{top});
    WindowRect rect;
    ASSERT_TRUE(windows.GetClientRectInParent(child, rect));
    EXPECT_EQ(rect, (WindowRect{35, 45, 155, 135}));
    // A top-level window has no parent, though it has a place on the screen.
    EXPECT_EQ(windows.GetParent(top), 0);
    EXPECT_EQ(windows.GetParent(screen_->root), 0);
    ASSERT_TRUE(windows.GetClientRectInParent(top, rect));
    EXPECT_EQ(rect, (WindowRect{50, 60, 450, 360}));

    const NativeWindow notWindows[] = {0,
                                       -1,
                                       -NativeWindow{child},
                                       (NativeWindow{1} << 32) | child,  // not cut to 32 bits
                                       xcb_generate_id(connection_),     // never made
                                       destroyed,
                                       pixmap};  // has a geometry but is no window
    for (const NativeWindow id : notWindows) {
        EXPECT_EQ(windows.GetParent(id), 0) << id;
        EXPECT_FALSE(windows.GetClientRectInParent(id, rect)) << id;
    }
    for (const xcb_window_t id : {0u, xcb_generate_id(connection_), destroyed, pixmap, inputOnly}) {
        EXPECT_EQ(XcbVideoWindow::Create(id), nullptr) << id;
    }
    EXPECT_NE(XcbVideoWindow::Create(screen_->root), nullptr);
    // Errors on one connection leave it usable.
    EXPECT_EQ(windows.GetParent(child), NativeWindow{top});
}

TEST_F(XcbWindowsTest, VideoWindowShowsAFrameWhereItIsPlacedInItsOwner) {
    const xcb_window_t owner = MakeWindow(screen_->root, 0, 0, 400, 300);
    auto video = XcbVideoWindow::Create(owner);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(XcbNativeWindows().GetParent(video->GetWindowId()), NativeWindow{owner});

    // A sibling made later lies above it until it is shown.
    MakeWindow(owner, 0, 0, 200, 200);
    video->SetPosition(40, 30, 100, 80);
    video->SetVisible(true);
    const auto green = Frame(64, 48, kGreen);
    video->Show(green.data(), 64, 48);
    EXPECT_TRUE(ShowsColour(owner, 40, 30, 100, 80, kGreen));
    for (const auto& [x, y] : {std::pair{39, 30}, {140, 30}, {40, 29}, {40, 110}, {199, 199}}) {
        EXPECT_EQ(Read(owner, x, y, 1, 1), Pixels{{kWhite}}) << x << "," << y;
    }

    // Hidden, it uncovers its owner.
    video->SetVisible(false);
    EXPECT_TRUE(ShowsColour(owner, 40, 30, 100, 80, kWhite));

    // A frame shown while hidden is put again when it is mapped, and again when resized.
    const auto blue = Frame(8, 8, kBlue);
    video->Show(blue.data(), 8, 8);
    video->SetVisible(true);
    EXPECT_TRUE(ShowsColour(owner, 40, 30, 100, 80, kBlue));
    video->SetPosition(20, 30, 200, 150);
    EXPECT_TRUE(ShowsColour(owner, 20, 30, 200, 150, kBlue));
}

TEST_F(XcbWindowsTest, VideoWindowScalesTheFrameToTheWindowsSize) {
    const xcb_window_t owner = MakeWindow(screen_->root, 0, 0, 400, 300);
    auto video = XcbVideoWindow::Create(owner);
    ASSERT_NE(video, nullptr);
    video->SetPosition(10, 20, 266, 200);
    video->SetVisible(true);
    const auto halves = Frame(320, 240, kRed, kBlue, 160);
    video->Show(halves.data(), 320, 240);

    ASSERT_TRUE(ShowsColour(owner, 10, 20, 130, 200, kRed));
    EXPECT_TRUE(ShowsColour(owner, 10 + 136, 20, 130, 200, kBlue));
    // Each row turns from red to blue once, near the middle.
    for (const auto& row : Read(owner, 10, 20, 266, 200)) {
        const auto turn =
            std::find_if(row.begin(), row.end(), [](uint32_t p) { return p != kRed; });
        EXPECT_NEAR(double(turn - row.begin()), 133.0, 1.0);
        EXPECT_TRUE(std::all_of(turn, row.end(), [](uint32_t p) { return p == kBlue; }));
    }
    EXPECT_TRUE(ShowsColour(owner, 10 + 266, 20, 1, 200, kWhite));
    EXPECT_TRUE(ShowsColour(owner, 10, 20 + 200, 266, 1, kWhite));
}

TEST_F(XcbWindowsTest, WithoutADisplayThereAreNoWindows) {
    const xcb_window_t owner = MakeWindow(screen_->root, 0, 0, 100, 100);
    testing::ScopedPort<INativeWindows> installed{
        [] { return std::make_unique<XcbNativeWindows>(); }};
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(XcbVideoWindow::Create(owner), nullptr);
    EXPECT_THROW(XcbNativeWindows(), std::runtime_error);
    EXPECT_EQ(NativeWindowsFactory::Create(), nullptr);
    setenv("DISPLAY", display.c_str(), 1);
    auto windows = NativeWindowsFactory::Create();
    ASSERT_NE(windows, nullptr);
    EXPECT_EQ(windows->GetParent(owner), 0);
}

}  // namespace
}  // namespace vortrel

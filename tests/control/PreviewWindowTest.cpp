#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "model/TimelineModel.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/GeneratedMedia.h"
#include "support/Within.h"
#include "support/XvfbServer.h"

namespace vortrel {
namespace {

using namespace std::chrono_literals;
using testing::Within;

const auto* const kXvfb = ::testing::AddGlobalTestEnvironment(new testing::XvfbEnvironment);

struct Pixel {
    int r = 0, g = 0, b = 0;
};

// The host's side of the X server: a form with the window it hands the control as its
// preview window, and a way to read back what the screen shows.
class HostForm {
  public:
    HostForm() : connection_(xcb_connect(nullptr, nullptr)) {
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        form_ = Make(screen_->root, 0, 0, 480, 300);
        // The host's preview window: its client area less a pixel on each side is 400 x 200
        // at 10, 10 in the form.
        preview_ = Make(form_, 9, 9, 402, 202);
        xcb_flush(connection_);
    }
    ~HostForm() { xcb_disconnect(connection_); }

    uint32_t Preview() const { return preview_; }

    /// The windows in the form other than the host's own: the control's video windows.
    std::vector<xcb_window_t> VideoWindows() {
        std::vector<xcb_window_t> found;
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, form_), nullptr);
        if (tree != nullptr) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
                if (children[i] != preview_) {
                    found.push_back(children[i]);
                }
            }
            free(tree);
        }
        return found;
    }
    /// Where a window lies in its parent: x, y, width, height.
    std::vector<int> Geometry(xcb_window_t window) {
        xcb_get_geometry_reply_t* reply =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        if (reply == nullptr) {
            return {};
        }
        std::vector<int> geometry{reply->x, reply->y, reply->width, reply->height};
        free(reply);
        return geometry;
    }
    /// What the form shows at a point, its child windows included.
    Pixel At(int x, int y) {
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, form_, static_cast<int16_t>(x),
                          static_cast<int16_t>(y), 1, 1, ~0u),
            nullptr);
        Pixel pixel;
        if (image != nullptr && xcb_get_image_data_length(image) >= 4) {
            const uint8_t* data = xcb_get_image_data(image);
            pixel = {data[2], data[1], data[0]};  // BGRX on a 24-bit TrueColor screen
        }
        free(image);
        return pixel;
    }

  private:
    xcb_window_t Make(xcb_window_t parent, int16_t x, int16_t y, uint16_t width, uint16_t height) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const uint32_t white = screen_->white_pixel;
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, parent, x, y, width, height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL,
                          &white);
        xcb_map_window(connection_, window);
        return window;
    }

    xcb_connection_t* connection_;
    xcb_screen_t* screen_ = nullptr;
    xcb_window_t form_ = 0;
    xcb_window_t preview_ = 0;
};

bool IsRed(Pixel p) {
    return p.r > 200 && p.g < 60 && p.b < 60;
}
bool IsGreen(Pixel p) {
    return p.g > 200 && p.r < 60 && p.b < 60;
}

// The preview in a host's window on a real X server: a 320 x 240 video, red for a second and
// then green, in the host's 400 x 200 area.
TEST(PreviewWindow, ShowsTheVideoInTheHostsWindowPlacedByItsShapeUntilStopped) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    testing::MediaFolder media;
    const std::wstring clip = FromPath(media.MakeVideo(
        "colours.mkv", {{{testing::kRed, 1.0}, {testing::kGreen, 1.0}}, 320, 240, 25, {}}));
    HostForm form;
    std::unique_ptr<CTimelineControl> control = CreateLinuxControl();
    int32_t result = -1;
    control->AddVideoClip(1, clip.c_str(), 0, 2, 0, &result);
    ASSERT_EQ(result, 0);

    control->SetPreviewWnd(static_cast<int32_t>(form.Preview()));
    control->Play();
    std::vector<xcb_window_t> video = form.VideoWindows();
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(form.Geometry(video[0]), (std::vector<int>{77, 10, 266, 200}));

    // The middle of the video shows the first second; the host's window beside it does not.
    EXPECT_TRUE(Within(3s, [&] { return IsRed(form.At(77 + 133, 110)); }));
    const Pixel beside = form.At(40, 110);
    EXPECT_FALSE(IsRed(beside));

    control->GetModel()->Seek(1500);
    EXPECT_TRUE(Within(3s, [&] { return IsGreen(form.At(77 + 133, 110)); }));
    EXPECT_TRUE(IsGreen(form.At(78, 11)));  // the video reaches its placed corners
    EXPECT_TRUE(IsGreen(form.At(77 + 265, 209)));

    control->Stop();
    EXPECT_TRUE(form.VideoWindows().empty());
}

}  // namespace
}  // namespace vortrel

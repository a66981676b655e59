#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

struct xcb_connection_t;

namespace vortrel {

// The window the preview's video is drawn into: a child of a host's X11 window, drawn through
// a connection of its own so that frames can be put from the player's thread while the host
// moves, shows or hides it. Frames are put as images; the last one is kept and put again when
// the window is resized or shown, as nothing else would repaint it.
class XcbVideoWindow {
  public:
    /// A child window of an X11 window, unmapped, through a connection of its own; none when
    /// there is no X server or the owner is not a window.
    static std::unique_ptr<XcbVideoWindow> Create(uint32_t owner);
    /// Destroys the window and closes the connection; no other call may be running.
    ~XcbVideoWindow();
    XcbVideoWindow(const XcbVideoWindow&) = delete;
    XcbVideoWindow& operator=(const XcbVideoWindow&) = delete;

    /// Moves and sizes the window in its owner's coordinates (sizes below 1 become 1).
    void SetPosition(int32_t left, int32_t top, int32_t width, int32_t height);
    /// Maps or unmaps the window.
    void SetVisible(bool visible);
    /// Draws one frame scaled (nearest neighbour) to the window's current size; rgba holds
    /// width*height pixels of 4 bytes R,G,B,A, rows without padding. Safe to call from any
    /// thread while another thread moves, shows or hides the window.
    void Show(const uint8_t* rgba, int32_t width, int32_t height);
    /// The window's id.
    uint32_t GetWindowId() const { return window_; }

  private:
    // How the window's visual lays out one pixel of an image; drawable only for TrueColor
    // visuals of 32 bits per pixel.
    struct PixelLayout {
        bool drawable = false;
        uint8_t depth = 0;
        size_t scanlinePadBits = 32;
        bool swapBytes = false;           // the server's image byte order is not the host's
        uint32_t opaque = 0;              // the bits of the depth no colour uses: alpha, set opaque
        std::array<uint32_t, 256> red{};  // each 8-bit value placed in its mask
        std::array<uint32_t, 256> green{};
        std::array<uint32_t, 256> blue{};
    };

    static PixelLayout LayoutOf(xcb_connection_t* connection, uint32_t visual, uint8_t depth);

    XcbVideoWindow(xcb_connection_t* connection, uint32_t window, uint32_t context,
                   const PixelLayout& layout, size_t maxRequestBytes);
    // Both need mutex_ held.
    void DrawLocked();
    void FlushLocked();

    xcb_connection_t* const connection_;
    const uint32_t window_;
    const uint32_t context_;  // the graphics context frames are put with
    const PixelLayout layout_;
    const size_t maxRequestBytes_;

    std::mutex mutex_;
    int32_t width_ = 1;
    int32_t height_ = 1;
    bool mapped_ = false;
    std::vector<uint8_t> frame_;  // the last frame as given, put again on resize and map
    int32_t frameWidth_ = 0;
    int32_t frameHeight_ = 0;
    std::vector<uint8_t> image_;    // the last frame scaled and in the visual's pixels
    std::vector<int32_t> columns_;  // the frame's column for each column of the window
};

}  // namespace vortrel

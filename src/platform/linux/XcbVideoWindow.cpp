#include "platform/linux/XcbVideoWindow.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vortrel {

namespace {

// A PutImage request's fixed part, with the extra length word of a big request.
constexpr size_t kPutImageHeaderBytes = 28;

// Frees what xcb allocates for a reply or an error.
struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using XcbPointer = std::unique_ptr<T, FreeDeleter>;

// Each 8-bit channel value scaled to the width of a mask and placed at its bits.
std::array<uint32_t, 256> ChannelTable(uint32_t mask) {
    std::array<uint32_t, 256> table{};
    const int shift = std::countr_zero(mask);
    const uint32_t maximum = mask >> shift;
    for (uint32_t value = 0; value < 256; ++value) {
        table[value] = ((value * maximum + 127) / 255) << shift;
    }
    return table;
}

// A mask of one run of set bits, as a TrueColor channel has.
bool IsChannelMask(uint32_t mask) {
    if (mask == 0) {
        return false;
    }
    const uint32_t bits = mask >> std::countr_zero(mask);
    return (bits & (bits + 1)) == 0;
}

// Discards the events and the errors of unchecked requests that have arrived, so that a window
// shown for hours does not gather them; nothing here needs them.
void Drain(xcb_connection_t* connection) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        std::free(event);
    }
}

uint16_t ClampSize(int32_t size) {
    // Coordinates inside a window are 16-bit signed numbers, so no size goes past their range.
    return static_cast<uint16_t>(std::clamp<int32_t>(size, 1, 32767));
}

int16_t ClampPosition(int32_t position) {
    return static_cast<int16_t>(std::clamp<int32_t>(position, -32768, 32767));
}

}  // namespace

XcbVideoWindow::PixelLayout XcbVideoWindow::LayoutOf(xcb_connection_t* connection, uint32_t visual,
                                                     uint8_t depth) {
    PixelLayout layout;
    layout.depth = depth;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    bool bitsPerPixelFit = false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == depth) {
            bitsPerPixelFit = formats.data->bits_per_pixel == 32;
            layout.scanlinePadBits = formats.data->scanline_pad;
        }
    }
    const xcb_visualtype_t* type = nullptr;
    for (auto screens = xcb_setup_roots_iterator(setup); screens.rem && !type;
         xcb_screen_next(&screens)) {
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem && !type;
             xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
                 xcb_visualtype_next(&visuals)) {
                if (visuals.data->visual_id == visual) {
                    type = visuals.data;
                    break;
                }
            }
        }
    }
    if (!type || type->_class != XCB_VISUAL_CLASS_TRUE_COLOR || !bitsPerPixelFit ||
        (depth != 24 && depth != 32) || layout.scanlinePadBits % 8 != 0 ||
        layout.scanlinePadBits == 0 || !IsChannelMask(type->red_mask) ||
        !IsChannelMask(type->green_mask) || !IsChannelMask(type->blue_mask)) {
        return layout;  // frames are not drawn on any other visual
    }
    layout.drawable = true;
    const bool serverMsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    layout.swapBytes = serverMsbFirst != (std::endian::native == std::endian::big);
    const uint32_t depthBits = depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
    layout.opaque = depthBits & ~(type->red_mask | type->green_mask | type->blue_mask);
    layout.red = ChannelTable(type->red_mask);
    layout.green = ChannelTable(type->green_mask);
    layout.blue = ChannelTable(type->blue_mask);
    return layout;
}

std::unique_ptr<XcbVideoWindow> XcbVideoWindow::Create(uint32_t owner) {
    if (owner == 0) {
        return nullptr;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const auto fail = [connection] {
        xcb_disconnect(connection);
        return nullptr;
    };

    const auto attributesCookie = xcb_get_window_attributes(connection, owner);
    const auto geometryCookie = xcb_get_geometry(connection, owner);
    xcb_generic_error_t* error = nullptr;
    XcbPointer<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, attributesCookie, &error));
    XcbPointer<xcb_generic_error_t> attributesError(error);
    error = nullptr;
    XcbPointer<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, geometryCookie, &error));
    XcbPointer<xcb_generic_error_t> geometryError(error);
    // An input-only window can have no child that shows anything.
    if (!attributes || !geometry || attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT) {
        return fail();
    }
    const PixelLayout layout = LayoutOf(connection, attributes->visual, geometry->depth);

    const xcb_window_t window = xcb_generate_id(connection);
    const xcb_gcontext_t context = xcb_generate_id(connection);
    if (window == std::numeric_limits<uint32_t>::max() ||
        context == std::numeric_limits<uint32_t>::max()) {
        return fail();
    }
    // The owner's depth and visual, so that any window can own one; black until a frame comes
    // (opaque where the visual has alpha).
    const uint32_t windowValues[] = {layout.opaque, 0};
    const auto created =
        xcb_create_window_checked(connection, XCB_COPY_FROM_PARENT, window, owner, 0, 0, 1, 1, 0,
                                  XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                                  XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL, windowValues);
    if (XcbPointer<xcb_generic_error_t> failed{xcb_request_check(connection, created)}) {
        return fail();
    }
    // Putting an image raises no exposure; none is wanted from anything else either.
    const uint32_t contextValues[] = {0};
    xcb_create_gc(connection, context, window, XCB_GC_GRAPHICS_EXPOSURES, contextValues);
    const size_t maxRequestBytes = size_t{xcb_get_maximum_request_length(connection)} * 4;
    xcb_flush(connection);
    return std::unique_ptr<XcbVideoWindow>(
        new XcbVideoWindow(connection, window, context, layout, maxRequestBytes));
}

XcbVideoWindow::XcbVideoWindow(xcb_connection_t* connection, uint32_t window, uint32_t context,
                               const PixelLayout& layout, size_t maxRequestBytes)
    : connection_(connection),
      window_(window),
      context_(context),
      layout_(layout),
      maxRequestBytes_(maxRequestBytes) {}

XcbVideoWindow::~XcbVideoWindow() {
    xcb_free_gc(connection_, context_);
    xcb_destroy_window(connection_, window_);
    xcb_flush(connection_);
    xcb_disconnect(connection_);
}

void XcbVideoWindow::SetPosition(int32_t left, int32_t top, int32_t width, int32_t height) {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint16_t newWidth = ClampSize(width);
    const uint16_t newHeight = ClampSize(height);
    const uint32_t values[] = {static_cast<uint32_t>(ClampPosition(left)),
                               static_cast<uint32_t>(ClampPosition(top)), newWidth, newHeight};
    xcb_configure_window(connection_, window_,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    const bool resized = newWidth != width_ || newHeight != height_;
    width_ = newWidth;
    height_ = newHeight;
    if (resized) {
        DrawLocked();  // a resized window loses its contents
    }
    FlushLocked();
}

void XcbVideoWindow::SetVisible(bool visible) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (visible) {
        const uint32_t above[] = {XCB_STACK_MODE_ABOVE};
        xcb_configure_window(connection_, window_, XCB_CONFIG_WINDOW_STACK_MODE, above);
        xcb_map_window(connection_, window_);
        mapped_ = true;
        DrawLocked();  // a newly mapped window shows only its background
    } else {
        xcb_unmap_window(connection_, window_);
        mapped_ = false;
    }
    FlushLocked();
}

void XcbVideoWindow::Show(const uint8_t* rgba, int32_t width, int32_t height) {
    if (!rgba || width <= 0 || height <= 0) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    frame_.assign(rgba, rgba + size_t(width) * size_t(height) * 4);
    frameWidth_ = width;
    frameHeight_ = height;
    DrawLocked();
    FlushLocked();
}

void XcbVideoWindow::DrawLocked() {
    // An unmapped window keeps nothing that is drawn into it; its frame is put when mapped.
    if (!layout_.drawable || !mapped_ || frame_.empty() || xcb_connection_has_error(connection_)) {
        return;
    }
    const size_t pad = layout_.scanlinePadBits / 8;
    const size_t stride = (size_t(width_) * 4 + pad - 1) / pad * pad;
    if (maxRequestBytes_ < kPutImageHeaderBytes + stride) {
        return;  // not one row fits in a request
    }
    image_.resize(stride * size_t(height_));
    columns_.resize(size_t(width_));
    for (int32_t x = 0; x < width_; ++x) {
        columns_[size_t(x)] = static_cast<int32_t>(int64_t{x} * frameWidth_ / width_);
    }
    for (int32_t y = 0; y < height_; ++y) {
        const int64_t sourceRow = int64_t{y} * frameHeight_ / height_;
        const uint8_t* source = frame_.data() + size_t(sourceRow) * size_t(frameWidth_) * 4;
        uint8_t* target = image_.data() + size_t(y) * stride;
        for (int32_t x = 0; x < width_; ++x) {
            const uint8_t* pixel = source + size_t(columns_[size_t(x)]) * 4;
            uint32_t value = layout_.red[pixel[0]] | layout_.green[pixel[1]] |
                             layout_.blue[pixel[2]] | layout_.opaque;
            if (layout_.swapBytes) {
                value = __builtin_bswap32(value);
            }
            std::memcpy(target + size_t(x) * 4, &value, 4);
        }
    }
    // Rows go in strips that each fit in one request.
    const auto rowsPerStrip = static_cast<int32_t>(
        std::min<size_t>((maxRequestBytes_ - kPutImageHeaderBytes) / stride, size_t(height_)));
    for (int32_t y = 0; y < height_; y += rowsPerStrip) {
        const int32_t rows = std::min(rowsPerStrip, height_ - y);
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, context_,
                      static_cast<uint16_t>(width_), static_cast<uint16_t>(rows), 0,
                      static_cast<int16_t>(y), 0, layout_.depth,
                      static_cast<uint32_t>(size_t(rows) * stride),
                      image_.data() + size_t(y) * stride);
    }
}

void XcbVideoWindow::FlushLocked() {
    // Requests are unchecked: a window destroyed under this one only yields errors, read and
    // dropped here, and no frame ever waits for a reply.
    xcb_flush(connection_);
    Drain(connection_);
}

}  // namespace vortrel

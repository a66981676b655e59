#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ports/IDrawContext.h"

namespace vortrel::testing {

// The lines the recording fakes of the drawing port write, one a call, in call order, and
// what they answer: the text metrics and the size of decoded pictures. Every context,
// surface and picture made from one log shares it, so a test sees one sequence.
struct DrawLog {
    std::vector<std::string> lines;

    int32_t charWidth = 7;    // width of every character of a measured text
    int32_t lineHeight = 16;  // height of every line of a measured text
    int32_t imageWidth = 16;  // size of every picture DecodeImage answers
    int32_t imageHeight = 16;
    bool decodeFails = false;  // DecodeImage answers none
    int32_t surfacesMade = 0;  // numbers the tags of new surfaces
    int32_t imagesMade = 0;    // numbers the tags of new pictures

    /// The lines joined by line feeds, each ended by one.
    std::string Text() const;
    /// The lines that contain a piece of text, in order.
    std::vector<std::string> Matching(const std::string& piece) const;
    /// Forgets the lines written so far.
    void Clear() { lines.clear(); }
};

// A picture of a given size that the recording contexts name by its tag.
class RecordingDrawImage : public IDrawImage {
  public:
    RecordingDrawImage(int32_t width, int32_t height, std::string tag)
        : width_(width), height_(height), tag_(std::move(tag)) {}

    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    /// The name the log uses for the picture.
    const std::string& Tag() const { return tag_; }

  private:
    int32_t width_;
    int32_t height_;
    std::string tag_;
};

// A drawing context that writes each call as a readable line ("Rectangle 10,10,20,20",
// "SetPen 0x5f5f5f 1") and keeps only the state it must answer from: the clip box follows
// the clip rectangle, the viewport origin and the device size; measured text is charWidth
// per character and lineHeight per line. Lines of a context with a tag begin "tag: ".
class RecordingDrawContext : public IDrawContext {
  public:
    /// A context of a device of the given size writing into a log; an empty tag writes bare
    /// lines.
    explicit RecordingDrawContext(std::shared_ptr<DrawLog> log, std::string tag = {},
                                  int32_t width = 800, int32_t height = 600);

    void SetPen(ColorRef color, int32_t width) override;
    void SetBrush(ColorRef color) override;
    void SetNullBrush() override;
    void Rectangle(const DrawRect& rect) override;
    void DrawEdge(const DrawRect& rect, EdgeStyle style) override;
    void Line(DrawPoint from, DrawPoint to) override;
    void Polyline(const std::vector<DrawPoint>& points) override;
    void Polygon(const std::vector<DrawPoint>& points) override;
    void SetFont(const LogFont& font) override;
    void SetTextColor(ColorRef color) override;
    void SetTransparentText(bool transparent) override;
    int32_t DrawText(const std::wstring& text, DrawRect& rect, uint32_t flags) override;
    void DrawImage(const IDrawImage& image, const DrawRect& dst, const DrawRect& src) override;
    DrawRect ClipBox() const override;
    void SetClipRect(const DrawRect& rect) override;
    void RemoveClip() override;
    void SetViewportOrigin(DrawPoint origin) override;
    std::unique_ptr<IDrawSurface> CreateCompatibleSurface(int32_t width, int32_t height) override;
    void Blit(DrawPoint dst, int32_t width, int32_t height, IDrawSurface& source,
              DrawPoint src) override;

    /// The name of the context in the log (empty for bare lines).
    const std::string& Tag() const { return tag_; }
    /// The current viewport origin.
    DrawPoint ViewportOrigin() const { return origin_; }
    /// The current clip rectangle in device coordinates, or the whole device.
    DrawRect DeviceClip() const;

  private:
    void Write(const std::string& line);

    std::shared_ptr<DrawLog> log_;
    std::string tag_;
    int32_t width_;
    int32_t height_;
    bool clipped_ = false;
    DrawRect clip_;
    DrawPoint origin_;
};

// An off-screen surface of the recording fakes: its context writes into the shared log
// under the surface's tag; every pixel reads 0.
class RecordingDrawSurface : public IDrawSurface {
  public:
    RecordingDrawSurface(std::shared_ptr<DrawLog> log, std::string tag, int32_t width,
                         int32_t height)
        : context_(std::move(log), std::move(tag), width, height), width_(width), height_(height) {}

    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    IDrawContext& Context() override { return context_; }
    ColorRef PixelAt(int32_t /*x*/, int32_t /*y*/) const override { return 0; }
    /// The name of the surface in the log.
    const std::string& Tag() const { return context_.Tag(); }

  private:
    RecordingDrawContext context_;
    int32_t width_;
    int32_t height_;
};

// The recording fakes' drawing: surfaces ("surface1", "surface2", ...), pictures and the
// screen's context ("screen") all write into one log.
class RecordingDrawing : public IDrawing {
  public:
    /// A drawing writing into a new log.
    RecordingDrawing() : log_(std::make_shared<DrawLog>()) {}
    /// A drawing writing into a given log.
    explicit RecordingDrawing(std::shared_ptr<DrawLog> log) : log_(std::move(log)) {}

    std::unique_ptr<IDrawSurface> CreateSurface(int32_t width, int32_t height) override;
    std::unique_ptr<IDrawImage> DecodeImage(const uint8_t* bytes, size_t size) override;
    std::unique_ptr<IDrawImage> ImageFromDib(const DibBitmap& bitmap) override;
    std::unique_ptr<IDrawContext> ScreenContext() override;

    /// The shared log.
    DrawLog& Log() { return *log_; }
    /// The shared log, to hand to contexts a test makes itself.
    const std::shared_ptr<DrawLog>& SharedLog() const { return log_; }

  private:
    std::shared_ptr<DrawLog> log_;
};

/// A new surface writing into a log under the next tag ("surface1", ...); none when a side
/// is not positive, as the platform gives.
std::unique_ptr<IDrawSurface> MakeRecordingSurface(const std::shared_ptr<DrawLog>& log,
                                                   int32_t width, int32_t height);

/// A rectangle as the log writes it: "left,top,right,bottom".
std::string FormatRect(const DrawRect& rect);

/// DrawText flags as the log writes them: their names joined by '|', "Left" for none.
std::string FormatTextFlags(uint32_t flags);

}  // namespace vortrel::testing

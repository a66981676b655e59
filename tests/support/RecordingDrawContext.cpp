#include "RecordingDrawContext.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "base/Utf8.h"
#include "ports/DibBitmap.h"

namespace vortrel::testing {

namespace {

std::string Hex(ColorRef color) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06x", static_cast<unsigned>(color));
    return text;
}

std::string Point(DrawPoint point) {
    return std::to_string(point.x) + "," + std::to_string(point.y);
}

std::string Points(const std::vector<DrawPoint>& points) {
    std::string line;
    for (const DrawPoint& point : points) {
        line += " " + Point(point);
    }
    return line;
}

std::string EdgeName(EdgeStyle style) {
    switch (style) {
        case EdgeStyle::Bump:
            return "Bump";
        case EdgeStyle::Raised:
            return "Raised";
        case EdgeStyle::Sunken:
            return "Sunken";
    }
    return "?";
}

// A text in quotes on one line: line feeds and carriage returns written as \n and \r.
std::string Quoted(const std::wstring& text) {
    std::string quoted = "\"";
    for (char byte : ToUtf8(text)) {
        if (byte == '\n') {
            quoted += "\\n";
        } else if (byte == '\r') {
            quoted += "\\r";
        } else {
            quoted += byte;
        }
    }
    return quoted + "\"";
}

std::string ImageName(const IDrawImage& image) {
    if (const auto* recorded = dynamic_cast<const RecordingDrawImage*>(&image)) {
        return recorded->Tag();
    }
    return "image " + std::to_string(image.Width()) + "x" + std::to_string(image.Height());
}

}  // namespace

std::string DrawLog::Text() const {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

std::vector<std::string> DrawLog::Matching(const std::string& piece) const {
    std::vector<std::string> found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [&](const std::string& line) { return line.find(piece) != std::string::npos; });
    return found;
}

std::string FormatRect(const DrawRect& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

std::string FormatTextFlags(uint32_t flags) {
    static const std::pair<uint32_t, const char*> kNames[] = {
        {TextFlag::kCenter, "Center"},         {TextFlag::kRight, "Right"},
        {TextFlag::kVCenter, "VCenter"},       {TextFlag::kBottom, "Bottom"},
        {TextFlag::kSingleLine, "SingleLine"}, {TextFlag::kCalcRect, "CalcRect"}};
    std::string text;
    uint32_t known = 0;
    for (const auto& [flag, name] : kNames) {
        known |= flag;
        if ((flags & flag) != 0) {
            text += (text.empty() ? "" : "|") + std::string(name);
        }
    }
    if ((flags & ~known) != 0) {
        char rest[16];
        std::snprintf(rest, sizeof rest, "0x%x", static_cast<unsigned>(flags & ~known));
        text += (text.empty() ? "" : "|") + std::string(rest);
    }
    return text.empty() ? "Left" : text;
}

RecordingDrawContext::RecordingDrawContext(std::shared_ptr<DrawLog> log, std::string tag,
                                           int32_t width, int32_t height)
    : log_(std::move(log)), tag_(std::move(tag)), width_(width), height_(height) {}

void RecordingDrawContext::Write(const std::string& line) {
    log_->lines.push_back(tag_.empty() ? line : tag_ + ": " + line);
}

void RecordingDrawContext::SetPen(ColorRef color, int32_t width) {
    Write("SetPen " + Hex(color) + " " + std::to_string(width));
}

void RecordingDrawContext::SetBrush(ColorRef color) {
    Write("SetBrush " + Hex(color));
}

void RecordingDrawContext::SetNullBrush() {
    Write("SetNullBrush");
}

void RecordingDrawContext::Rectangle(const DrawRect& rect) {
    Write("Rectangle " + FormatRect(rect));
}

void RecordingDrawContext::DrawEdge(const DrawRect& rect, EdgeStyle style) {
    Write("DrawEdge " + FormatRect(rect) + " " + EdgeName(style));
}

void RecordingDrawContext::Line(DrawPoint from, DrawPoint to) {
    Write("Line " + Point(from) + " " + Point(to));
}

void RecordingDrawContext::Polyline(const std::vector<DrawPoint>& points) {
    Write("Polyline" + Points(points));
}

void RecordingDrawContext::Polygon(const std::vector<DrawPoint>& points) {
    Write("Polygon" + Points(points));
}

void RecordingDrawContext::SetFont(const LogFont& font) {
    std::string line = "SetFont " + ToUtf8(font.GetFaceName()) + " " + std::to_string(font.height) +
                       " " + std::to_string(font.weight);
    if (font.italic != 0) {
        line += " italic";
    }
    if (font.underline != 0) {
        line += " underline";
    }
    if (font.strikeOut != 0) {
        line += " strikeout";
    }
    Write(line);
}

void RecordingDrawContext::SetTextColor(ColorRef color) {
    Write("SetTextColor " + Hex(color));
}

void RecordingDrawContext::SetTransparentText(bool transparent) {
    Write(std::string("SetTransparentText ") + (transparent ? "1" : "0"));
}

int32_t RecordingDrawContext::DrawText(const std::wstring& text, DrawRect& rect, uint32_t flags) {
    // Every character is charWidth wide; without kSingleLine each line feed starts a line.
    const bool single = (flags & TextFlag::kSingleLine) != 0;
    int32_t lines = 1;
    int32_t longest = 0;
    int32_t current = 0;
    for (wchar_t unit : text) {
        if (unit == L'\r' && !single) {
            continue;
        }
        if (unit == L'\n' && !single) {
            ++lines;
            current = 0;
            continue;
        }
        longest = std::max(longest, ++current);
    }
    const int32_t height = lines * log_->lineHeight;
    std::string line =
        "DrawText " + Quoted(text) + " " + FormatRect(rect) + " " + FormatTextFlags(flags);
    if ((flags & TextFlag::kCalcRect) != 0) {
        rect.right = rect.left + longest * log_->charWidth;
        rect.bottom = rect.top + height;
        line += " -> " + FormatRect(rect);
    }
    Write(line);
    return height;
}

void RecordingDrawContext::DrawImage(const IDrawImage& image, const DrawRect& dst,
                                     const DrawRect& src) {
    Write("DrawImage " + ImageName(image) + " " + FormatRect(dst) + " from " + FormatRect(src));
}

DrawRect RecordingDrawContext::DeviceClip() const {
    const DrawRect whole{0, 0, width_, height_};
    if (!clipped_) {
        return whole;
    }
    const DrawRect inside{std::max(clip_.left, 0), std::max(clip_.top, 0),
                          std::min(clip_.right, width_), std::min(clip_.bottom, height_)};
    if (inside.left >= inside.right || inside.top >= inside.bottom) {
        return {};
    }
    return inside;
}

DrawRect RecordingDrawContext::ClipBox() const {
    const DrawRect device = DeviceClip();
    if (device.Width() <= 0 || device.Height() <= 0) {
        return {};
    }
    return {device.left - origin_.x, device.top - origin_.y, device.right - origin_.x,
            device.bottom - origin_.y};
}

void RecordingDrawContext::SetClipRect(const DrawRect& rect) {
    // Regions keep their corners in order, whichever way they were given.
    clipped_ = true;
    clip_ = {std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
             std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
    Write("SetClipRect " + FormatRect(rect));
}

void RecordingDrawContext::RemoveClip() {
    clipped_ = false;
    Write("RemoveClip");
}

void RecordingDrawContext::SetViewportOrigin(DrawPoint origin) {
    origin_ = origin;
    Write("SetViewportOrigin " + Point(origin));
}

std::unique_ptr<IDrawSurface> RecordingDrawContext::CreateCompatibleSurface(int32_t width,
                                                                            int32_t height) {
    auto surface = MakeRecordingSurface(log_, width, height);
    const std::string made = surface ? static_cast<RecordingDrawSurface&>(*surface).Tag() : "none";
    Write("CreateCompatibleSurface " + std::to_string(width) + "x" + std::to_string(height) +
          " -> " + made);
    return surface;
}

void RecordingDrawContext::Blit(DrawPoint dst, int32_t width, int32_t height, IDrawSurface& source,
                                DrawPoint src) {
    const auto* recorded = dynamic_cast<const RecordingDrawSurface*>(&source);
    const std::string name = recorded != nullptr ? recorded->Tag() : "surface";
    Write("Blit " + Point(dst) + " " + std::to_string(width) + "x" + std::to_string(height) +
          " from " + name + " at " + Point(src));
}

std::unique_ptr<IDrawSurface> MakeRecordingSurface(const std::shared_ptr<DrawLog>& log,
                                                   int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    const std::string tag = "surface" + std::to_string(++log->surfacesMade);
    return std::make_unique<RecordingDrawSurface>(log, tag, width, height);
}

std::unique_ptr<IDrawSurface> RecordingDrawing::CreateSurface(int32_t width, int32_t height) {
    auto surface = MakeRecordingSurface(log_, width, height);
    const std::string made = surface ? static_cast<RecordingDrawSurface&>(*surface).Tag() : "none";
    log_->lines.push_back("CreateSurface " + std::to_string(width) + "x" + std::to_string(height) +
                          " -> " + made);
    return surface;
}

std::unique_ptr<IDrawImage> RecordingDrawing::DecodeImage(const uint8_t* /*bytes*/, size_t size) {
    std::unique_ptr<RecordingDrawImage> image;
    if (!log_->decodeFails && size > 0) {
        image = std::make_unique<RecordingDrawImage>(log_->imageWidth, log_->imageHeight,
                                                     "image" + std::to_string(++log_->imagesMade));
    }
    log_->lines.push_back("DecodeImage " + std::to_string(size) + " bytes -> " +
                          (image ? image->Tag() : "none"));
    return image;
}

std::unique_ptr<IDrawImage> RecordingDrawing::ImageFromDib(const DibBitmap& bitmap) {
    const int32_t width = bitmap.GetWidth();
    const int64_t height =
        bitmap.GetHeight() < 0 ? -int64_t{bitmap.GetHeight()} : bitmap.GetHeight();
    const int32_t bits = bitmap.GetBitCount();
    std::unique_ptr<RecordingDrawImage> image;
    if (width > 0 && height > 0 && height <= INT32_MAX && (bits == 24 || bits == 32)) {
        image = std::make_unique<RecordingDrawImage>(width, static_cast<int32_t>(height),
                                                     "image" + std::to_string(++log_->imagesMade));
    }
    log_->lines.push_back("ImageFromDib " + std::to_string(width) + "x" + std::to_string(height) +
                          "x" + std::to_string(bits) + " -> " + (image ? image->Tag() : "none"));
    return image;
}

std::unique_ptr<IDrawContext> RecordingDrawing::ScreenContext() {
    log_->lines.push_back("ScreenContext -> screen");
    return std::make_unique<RecordingDrawContext>(log_, "screen");
}

}  // namespace vortrel::testing

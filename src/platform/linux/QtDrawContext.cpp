#include "platform/linux/QtDrawContext.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

#include "platform/linux/QtDrawImage.h"
#include "platform/linux/QtDrawSurface.h"
#include "platform/linux/QtFonts.h"

namespace vortrel {

namespace {

// The platform's default background colour, behind opaque text.
constexpr ColorRef kTextBackground = MakeColorRef(255, 255, 255);

QRgb ToQRgb(ColorRef color) {
    return qRgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QColor ToQColor(ColorRef color) {
    return QColor(ToQRgb(color));
}

// A rectangle with its corners in order, as the platform's shape functions take it.
DrawRect Ordered(const DrawRect& rect) {
    return {std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
            std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}

// Whether a line running by (dx, dy) takes the pixel nearer its end where it passes half-way
// between two; the platform's lines do so only when they run leftwards, rightwards and up by less
// than they run right, or down and left by no more than they run down. Otherwise they take the
// pixel nearer their start.
bool HalfWayTowardsTheEnd(int64_t dx, int64_t dy) {
    if (dy > 0) {
        return dx <= 0 && -dx <= dy;
    }
    return dx < 0 || dx > -dy;
}

bool HasFonts() {
    return qobject_cast<QGuiApplication*>(qApp) != nullptr;
}

// The lines of a text as DrawText breaks them: a single line keeps line feeds and carriage
// returns as blanks; otherwise each line feed (with an optional carriage return before it)
// starts a line.
QStringList TextLines(const std::wstring& text, bool singleLine) {
    QString whole = QString::fromStdWString(text);
    if (singleLine) {
        whole.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        return {whole};
    }
    whole.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return whole.split(QLatin1Char('\n'));
}

}  // namespace

QtDrawContext::QtDrawContext(QImage& target) : target_(&target) {}

QtDrawContext::QtDrawContext(int32_t width, int32_t height)
    : own_(std::make_unique<QImage>(width, height, QImage::Format_RGB32)), target_(own_.get()) {
    own_->fill(Qt::black);
}

QtDrawContext::~QtDrawContext() = default;

void QtDrawContext::SetPen(ColorRef color, int32_t width) {
    penColor_ = color;
    penWidth_ = std::max(width, 1);
}

void QtDrawContext::SetBrush(ColorRef color) {
    brushColor_ = color;
    nullBrush_ = false;
}

void QtDrawContext::SetNullBrush() {
    nullBrush_ = true;
}

QRect QtDrawContext::DeviceClip() const {
    const QRect whole = target_->rect();
    return clipped_ ? clip_.intersected(whole) : whole;
}

bool QtDrawContext::Begin(QPainter& painter) const {
    const QRect clip = DeviceClip();
    if (clip.isEmpty() || !painter.begin(target_)) {
        return false;
    }
    painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    return true;
}

void QtDrawContext::FillDevice(int64_t left, int64_t top, int64_t right, int64_t bottom,
                               ColorRef color) const {
    // Written straight into the pixels: exact, and cheaper than a painter's fill.
    const QRect clip = DeviceClip();
    const int64_t x0 = std::max<int64_t>(left, clip.left());
    const int64_t x1 = std::min<int64_t>(right, int64_t{clip.right()} + 1);
    const int64_t y0 = std::max<int64_t>(top, clip.top());
    const int64_t y1 = std::min<int64_t>(bottom, int64_t{clip.bottom()} + 1);
    const QRgb pixel = ToQRgb(color);
    for (int64_t y = y0; y < y1; ++y) {
        auto* row = reinterpret_cast<QRgb*>(target_->scanLine(static_cast<int>(y)));
        std::fill(row + x0, row + std::max(x0, x1), pixel);
    }
}

void QtDrawContext::Rectangle(const DrawRect& logical) {
    const DrawRect rect = Ordered(logical);
    if (rect.Width() <= 0 || rect.Height() <= 0 || DeviceClip().isEmpty()) {
        return;
    }
    // In device pixels. The outline runs through the first and last pixels of each side
    // (left..right-1, top..bottom-1) and the pen is centred on it: it covers the offsets
    // -width/2 .. (width-1)/2 across the outline, so the extra pixel of an even width lies
    // above or left of it. The corners are square (for widths up to 3 the same pixels as
    // the platform's round joins).
    const int64_t left = int64_t{rect.left} + origin_.x;
    const int64_t top = int64_t{rect.top} + origin_.y;
    const int64_t right = int64_t{rect.right} + origin_.x;
    const int64_t bottom = int64_t{rect.bottom} + origin_.y;
    if (!nullBrush_) {
        FillDevice(left, top, right, bottom, brushColor_);
    }
    const int64_t before = penWidth_ / 2;
    const int64_t after = (penWidth_ - 1) / 2 + 1;
    const int64_t lastX = right - 1;
    const int64_t lastY = bottom - 1;
    FillDevice(left - before, top - before, lastX + after, top + after, penColor_);      // top
    FillDevice(left - before, lastY - before, lastX + after, lastY + after, penColor_);  // bottom
    FillDevice(left - before, top - before, left + after, lastY + after, penColor_);     // left
    FillDevice(lastX - before, top - before, lastX + after, lastY + after, penColor_);   // right
}

void QtDrawContext::DrawEdge(const DrawRect& logical, EdgeStyle style) {
    for (const EdgeBand& band : EdgeBands(Ordered(logical), style)) {
        FillDevice(int64_t{band.rect.left} + origin_.x, int64_t{band.rect.top} + origin_.y,
                   int64_t{band.rect.right} + origin_.x, int64_t{band.rect.bottom} + origin_.y,
                   band.color);
    }
}

void QtDrawContext::Stroke(QPainter& painter, const std::vector<DrawPoint>& points,
                           bool closed) const {
    if (points.size() < 2) {
        return;
    }
    if (penWidth_ > 1) {
        // Wide pens: round caps and joins on the path through the pixel centres.
        QPainterPath path;
        path.moveTo(points[0].x + 0.5, points[0].y + 0.5);
        for (size_t i = 1; i < points.size(); ++i) {
            path.lineTo(points[i].x + 0.5, points[i].y + 0.5);
        }
        if (closed) {
            path.closeSubpath();
        }
        painter.save();
        painter.translate(origin_.x, origin_.y);
        painter.setPen(
            QPen(ToQColor(penColor_), penWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.restore();
        return;
    }
    // One pixel wide: each segment steps along its longer axis from its first point and
    // stops before its last one, the nearer pixel of the shorter axis taken at each step
    // (half-way goes by the segment's direction, see HalfWayTowardsTheEnd). Only the steps
    // inside the clip are visited.
    const QRect clip = DeviceClip();
    const QRgb pixel = ToQRgb(penColor_);
    const size_t segments = closed ? points.size() : points.size() - 1;
    for (size_t s = 0; s < segments; ++s) {
        const DrawPoint a = points[s];
        const DrawPoint b = points[(s + 1) % points.size()];
        const int64_t x0 = int64_t{a.x} + origin_.x;
        const int64_t y0 = int64_t{a.y} + origin_.y;
        const int64_t dx = int64_t{b.x} - a.x;
        const int64_t dy = int64_t{b.y} - a.y;
        const bool xMajor = std::llabs(dx) >= std::llabs(dy);
        const int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
        if (major == 0) {
            continue;
        }
        const int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
        const bool towardsTheEnd = HalfWayTowardsTheEnd(dx, dy);
        const int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
        const int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
        const int64_t start = xMajor ? x0 : y0;
        const int64_t low = xMajor ? clip.left() : clip.top();
        const int64_t high = xMajor ? clip.right() : clip.bottom();
        // Steps i in [0, major) whose major coordinate start + i * majorStep lies in the clip.
        int64_t first = majorStep > 0 ? low - start : start - high;
        int64_t last = majorStep > 0 ? high - start : start - low;
        first = std::max<int64_t>(first, 0);
        last = std::min<int64_t>(last, major - 1);
        for (int64_t i = first; i <= last; ++i) {
            const int64_t along = start + i * majorStep;
            const int64_t across =
                (xMajor ? y0 : x0) +
                minorStep * ((2 * i * minor + major - 1 + (towardsTheEnd ? 1 : 0)) / (2 * major));
            const int64_t x = xMajor ? along : across;
            const int64_t y = xMajor ? across : along;
            if (x >= clip.left() && x <= clip.right() && y >= clip.top() && y <= clip.bottom()) {
                reinterpret_cast<QRgb*>(target_->scanLine(static_cast<int>(y)))[x] = pixel;
            }
        }
    }
}

void QtDrawContext::Line(DrawPoint from, DrawPoint to) {
    Polyline({from, to});
}

void QtDrawContext::Polyline(const std::vector<DrawPoint>& points) {
    QPainter painter;
    if (Begin(painter)) {
        Stroke(painter, points, false);
    }
}

void QtDrawContext::Polygon(const std::vector<DrawPoint>& points) {
    QPainter painter;
    if (points.size() < 2 || !Begin(painter)) {
        return;
    }
    if (!nullBrush_ && points.size() > 2) {
        // Alternate filling of the pixels whose centres lie inside; the outline then covers
        // the pixels on the edges.
        QPolygonF polygon;
        for (const DrawPoint& point : points) {
            polygon << QPointF(point.x + 0.5, point.y + 0.5);
        }
        painter.save();
        painter.translate(origin_.x, origin_.y);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(brushColor_));
        painter.drawPolygon(polygon, Qt::OddEvenFill);
        painter.restore();
    }
    Stroke(painter, points, true);
}

void QtDrawContext::SetFont(const LogFont& font) {
    if (HasFonts()) {
        font_ = MakeQtFont(font);
        font_.setKerning(false);  // the platform's DrawText does not kern
        fontChosen_ = true;
    }
}

void QtDrawContext::SetTextColor(ColorRef color) {
    textColor_ = color;
}

void QtDrawContext::SetTransparentText(bool transparent) {
    transparentText_ = transparent;
}

int32_t QtDrawContext::DrawText(const std::wstring& text, DrawRect& rect, uint32_t flags) {
    if (!HasFonts()) {
        return 0;
    }
    if (!fontChosen_) {
        // Until a font is chosen, a 16-pixel cell of the common sans-serif face.
        LogFont initial;
        initial.SetFaceName(L"Arial");
        SetFont(initial);
    }
    const bool singleLine = (flags & TextFlag::kSingleLine) != 0;
    const QStringList lines = TextLines(text, singleLine);
    const QFontMetrics metrics(font_);
    const int32_t lineHeight = metrics.ascent() + metrics.descent();
    const int32_t height = lineHeight * static_cast<int32_t>(lines.size());
    if ((flags & TextFlag::kCalcRect) != 0) {
        int32_t widest = 0;
        for (const QString& line : lines) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
        }
        rect.right = rect.left + widest;
        rect.bottom = rect.top + height;
        return height;
    }

    // Vertical placement works on single lines only, as the platform's does.
    int64_t top = rect.top;
    if (singleLine && (flags & TextFlag::kBottom) != 0) {
        top = int64_t{rect.bottom} - lineHeight;
    } else if (singleLine && (flags & TextFlag::kVCenter) != 0) {
        // Halved apart, as the platform does: a rectangle of even height and a cell of odd
        // height put the text half a pixel lower than halving their difference would.
        top = rect.top + (int64_t{rect.bottom} - rect.top) / 2 - lineHeight / 2;
    }
    QPainter painter;
    if (!Begin(painter)) {
        return height;
    }
    // Text is kept inside its rectangle as well as the clip.
    const DrawRect box = Ordered(rect);
    painter.translate(origin_.x, origin_.y);
    painter.setClipRect(QRect(box.left, box.top, box.Width(), box.Height()), Qt::IntersectClip);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font_);
    painter.setPen(ToQColor(textColor_));
    for (const QString& line : lines) {
        const int32_t width = metrics.horizontalAdvance(line);
        int64_t left = rect.left;
        if ((flags & TextFlag::kRight) != 0) {
            left = int64_t{rect.right} - width;
        } else if ((flags & TextFlag::kCenter) != 0) {
            left = rect.left + (int64_t{rect.right} - rect.left - width) / 2;
        }
        if (!transparentText_) {
            painter.fillRect(QRectF(left, top, width, lineHeight), ToQColor(kTextBackground));
        }
        painter.drawText(QPointF(left, top + metrics.ascent()), line);
        top += lineHeight;
    }
    return height;
}

void QtDrawContext::DrawImage(const IDrawImage& image, const DrawRect& dst, const DrawRect& src) {
    const auto* picture = dynamic_cast<const QtDrawImage*>(&image);
    QPainter painter;
    if (picture == nullptr || dst.Width() <= 0 || dst.Height() <= 0 || src.Width() <= 0 ||
        src.Height() <= 0 || !Begin(painter)) {
        return;
    }
    painter.translate(origin_.x, origin_.y);
    const QRect source(src.left, src.top, src.Width(), src.Height());
    if (dst.Width() == src.Width() && dst.Height() == src.Height()) {
        painter.drawImage(QPoint(dst.left, dst.top), picture->Image(), source);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(dst.left, dst.top, dst.Width(), dst.Height()), picture->Image(),
                      QRectF(source));
}

DrawRect QtDrawContext::ClipBox() const {
    const QRect clip = DeviceClip();
    if (clip.isEmpty()) {
        return {};
    }
    return {clip.left() - origin_.x, clip.top() - origin_.y, clip.right() + 1 - origin_.x,
            clip.bottom() + 1 - origin_.y};
}

void QtDrawContext::SetClipRect(const DrawRect& rect) {
    // Kept within the image, so that no later arithmetic meets the far ends of int32.
    const DrawRect ordered = Ordered(rect);
    const QRect whole = target_->rect();
    const int32_t left = std::clamp(ordered.left, 0, whole.width());
    const int32_t top = std::clamp(ordered.top, 0, whole.height());
    const int32_t right = std::clamp(ordered.right, 0, whole.width());
    const int32_t bottom = std::clamp(ordered.bottom, 0, whole.height());
    clip_ = QRect(left, top, right - left, bottom - top);
    clipped_ = true;
}

void QtDrawContext::RemoveClip() {
    clipped_ = false;
}

void QtDrawContext::SetViewportOrigin(DrawPoint origin) {
    origin_ = origin;
}

std::unique_ptr<IDrawSurface> QtDrawContext::CreateCompatibleSurface(int32_t width,
                                                                     int32_t height) {
    return QtDrawSurface::Make(width, height);
}

void QtDrawContext::Blit(DrawPoint dst, int32_t width, int32_t height, IDrawSurface& source,
                         DrawPoint src) {
    auto* surface = dynamic_cast<QtDrawSurface*>(&source);
    QPainter painter;
    if (surface == nullptr || width <= 0 || height <= 0) {
        return;
    }
    // Only the part of the block inside the source is copied, to where it belongs; a copy
    // within one image reads the pixels as they were before the copy.
    const QRect wanted(src.x, src.y, width, height);
    const QRect from = wanted.intersected(surface->Image().rect());
    if (from.isEmpty()) {
        return;
    }
    const QPoint to(dst.x + (from.left() - wanted.left()), dst.y + (from.top() - wanted.top()));
    const QImage copied = &surface->Image() == target_ ? surface->Image().copy(from) : QImage();
    if (!Begin(painter)) {
        return;
    }
    painter.translate(origin_.x, origin_.y);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (copied.isNull()) {
        painter.drawImage(to, surface->Image(), from);
    } else {
        painter.drawImage(to, copied);
    }
}

}  // namespace vortrel

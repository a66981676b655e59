#include "platform/linux/QtTextRasteriser.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cmath>

namespace vortrel {

namespace {

// GDI's default cell height when a font asks for height 0.
constexpr int kDefaultCellHeight = 16;
constexpr uint8_t kNonAntialiasedQuality = 3;

QString FromWide(const std::wstring& text) {
    return QString::fromStdWString(text);
}

// The platform weights run 1..1000 (400 normal, 700 bold); Qt 5 has its own scale.
int QtWeight(int32_t weight) {
    if (weight <= 0) {
        return QFont::Normal;
    }
    static const std::pair<int32_t, int> kWeights[] = {
        {100, QFont::Thin},   {200, QFont::ExtraLight}, {300, QFont::Light},
        {400, QFont::Normal}, {500, QFont::Medium},     {600, QFont::DemiBold},
        {700, QFont::Bold},   {800, QFont::ExtraBold},  {900, QFont::Black},
    };
    int best = QFont::Black;
    for (auto [limit, qtWeight] : kWeights) {
        if (weight <= limit + 49) {
            best = qtWeight;
            break;
        }
    }
    return best;
}

QFont::StyleHint StyleHintOf(uint8_t pitchAndFamily) {
    switch (pitchAndFamily & 0xF0) {
        case 0x10:
            return QFont::Serif;
        case 0x20:
            return QFont::SansSerif;
        case 0x30:
            return QFont::Monospace;
        case 0x40:
            return QFont::Cursive;
        case 0x50:
            return QFont::Fantasy;
        default:
            return QFont::AnyStyle;
    }
}

QFont MakeFont(const LogFont& logFont) {
    QFont font;
    const QString face = FromWide(logFont.GetFaceName());
    if (!face.isEmpty()) {
        font.setFamily(face);
    }
    font.setStyleHint(StyleHintOf(logFont.pitchAndFamily));
    font.setWeight(QtWeight(logFont.weight));
    font.setItalic(logFont.italic != 0);
    font.setUnderline(logFont.underline != 0);
    font.setStrikeOut(logFont.strikeOut != 0);
    // Coverage must not depend on the order of colour channels.
    font.setStyleStrategy(
        logFont.quality == kNonAntialiasedQuality
            ? QFont::NoAntialias
            : QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));

    // Negative heights give the character (em) height, positive ones the cell height.
    const int64_t requested = logFont.height;
    if (requested < 0) {
        font.setPixelSize(static_cast<int>(std::min<int64_t>(-requested, 4096)));
    } else {
        const int cell = static_cast<int>(
            std::min<int64_t>(requested == 0 ? kDefaultCellHeight : requested, 4096));
        font.setPixelSize(cell);
        const qreal measured = QFontMetricsF(font).height();
        if (measured > 0) {
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell * cell / measured))));
        }
    }
    if (logFont.width > 0) {
        const qreal average = QFontMetricsF(font).averageCharWidth();
        if (average > 0) {
            const long stretch = std::lround(100.0 * logFont.width / average);
            font.setStretch(static_cast<int>(std::clamp<long>(stretch, 1, 4000)));
        }
    }
    return font;
}

}  // namespace

bool QtTextRasteriser::Render(const std::wstring& text, const LogFont& logFont, int32_t x,
                              int32_t y, int32_t width, int32_t height,
                              std::vector<uint8_t>& coverage) {
    if (width <= 0 || height <= 0 || qobject_cast<QGuiApplication*>(qApp) == nullptr) {
        return false;
    }
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull()) {
        return false;
    }
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing,
                              logFont.quality != kNonAntialiasedQuality);
        painter.setPen(Qt::white);
        painter.setFont(MakeFont(logFont));
        painter.translate(x, y);
        // Escapement turns the baseline counterclockwise, in tenths of a degree.
        // (In floating point: an escapement of INT_MIN has no int negation.)
        painter.rotate(-(logFont.escapement / 10.0));
        // A layout box without size: no wrapping, no clipping, a new line at each line feed.
        painter.drawText(QRectF(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         FromWide(text));
    }
    coverage.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t row = 0; row < height; ++row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(canvas.constScanLine(row));
        for (int32_t column = 0; column < width; ++column) {
            coverage[static_cast<size_t>(row) * static_cast<size_t>(width) +
                     static_cast<size_t>(column)] = static_cast<uint8_t>(qBlue(pixels[column]));
        }
    }
    return true;
}

std::shared_ptr<ITextRasteriser> StartQtTextRasteriser() {
    if (QCoreApplication::instance() == nullptr) {
        // Text needs a GUI application for its font database; without a display it runs
        // off-screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            if (qEnvironmentVariableIsEmpty("DISPLAY") &&
                qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
            } else if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
                // A display that cannot be reached would end the process; off-screen the
                // control still works.
                qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
            }
        }
        static int argc = 1;
        static char name[] = "vortrel";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);  // lives as long as the process
    }
    if (qobject_cast<QGuiApplication*>(qApp) == nullptr) {
        return nullptr;
    }
    return std::make_shared<QtTextRasteriser>();
}

}  // namespace vortrel

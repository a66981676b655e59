#include "platform/linux/QtFonts.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vortrel {

namespace {

// GDI's default cell height when a font asks for height 0.
constexpr int kDefaultCellHeight = 16;
constexpr uint8_t kNonAntialiasedQuality = 3;

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

// The faces the platform's programs name most, and the faces of the same metrics that stand
// in for them here; named explicitly so that layouts do not hang on the font configuration.
QString InstalledFace(const QString& face) {
    static const std::pair<const char*, const char*> kFaces[] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (auto [named, installed] : kFaces) {
        if (face.compare(QLatin1String(named), Qt::CaseInsensitive) == 0) {
            return QString::fromLatin1(installed);
        }
    }
    return face;
}

}  // namespace

QFont MakeQtFont(const LogFont& logFont) {
    QFont font;
    const QString face = InstalledFace(QString::fromStdWString(logFont.GetFaceName()));
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

bool StartQtGuiApplication() {
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
    return qobject_cast<QGuiApplication*>(qApp) != nullptr;
}

}  // namespace vortrel

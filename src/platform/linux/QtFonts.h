#pragma once

#include <QFont>

#include "ports/LogFont.h"

namespace vortrel {

/// Starts a Qt GUI application (off-screen when no display is named) if the process has
/// none yet; true when the process then has one, so that fonts can be used.
bool StartQtGuiApplication();

/// The QFont of a logical font: the platform's height rule (negative: em height in pixels,
/// positive: cell height, 0: a 16-pixel cell), weight, style and width; the platform's
/// common faces are met by the metric-compatible faces installed here.
QFont MakeQtFont(const LogFont& logFont);

}  // namespace vortrel

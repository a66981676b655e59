#pragma once

#include <memory>

#include "ports/Platform.h"

namespace vortrel {

class CTimelineControl;

// The Windows platform: media detection and audio decoding on FFmpeg's libraries (the same
// code as on Linux), text drawing on GDI+, font handles as GDI fonts, the catalogue of
// installed devices through the system device enumerator and the Windows Media profile
// manager. There is no render engine and no converter on this build: preview and conversion
// fail as they do for a timeline whose graph cannot be built. The editing timeline is the
// portable in-memory one.
struct WindowsPlatform : Platform {};

/// Fills the Windows platform and installs it, once per process; later calls return the same.
const WindowsPlatform& InstallWindowsPlatform();

/// A control on the Windows platform, made and initialised; the host still gives it a window.
std::unique_ptr<CTimelineControl> CreateWindowsControl();

}  // namespace vortrel

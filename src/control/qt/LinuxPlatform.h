#pragma once

#include <memory>

namespace vortrel {

class CTimelineControl;
class IDeviceCatalog;

/// Installs the Linux back ends of the ports once per process (media detector on FFmpeg's
/// libraries, text drawing on Qt, conversion and preview on MLT, windows on X11) and returns the
/// catalogue of installed effects, transitions, compressors and output profiles.
IDeviceCatalog& InstallLinuxPlatform();

/// A control on the Linux back ends, made and initialised; the host still gives it a window.
std::unique_ptr<CTimelineControl> CreateLinuxControl();

}  // namespace vortrel

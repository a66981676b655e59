#pragma once

#include <memory>

#include "ports/Platform.h"

namespace vortrel {

class CTimelineControl;
class MltCatalog;

// The Linux platform: media detection and audio decoding on FFmpeg's libraries, text drawing
// on Qt, conversion and preview on MLT, windows on X11. It also names the MLT catalogue, for
// the tools that write MLT's own files of a timeline.
struct LinuxPlatform : Platform {
    const MltCatalog* catalog = nullptr;
};

/// Fills the Linux platform and installs it, once per process; later calls return the same.
const LinuxPlatform& InstallLinuxPlatform();

/// A control on the Linux platform, made and initialised; the host still gives it a window.
std::unique_ptr<CTimelineControl> CreateLinuxControl();

}  // namespace vortrel

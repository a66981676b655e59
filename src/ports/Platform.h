#pragma once

#include <memory>

#include "base/PortFactory.h"

namespace vortrel {

class IAudioDecoder;
class IConverter;
class IDrawing;
class IDeviceCatalog;
class IFontHandles;
class IMediaDetector;
class INativeWindows;
class IRenderEngine;
class ITextRasteriser;

// The platform's side of every port in one bundle. Each shell fills one (the Linux set-up,
// the Windows shell) in one place and installs it once for the process; the control is made
// on it. Portable code then reaches the ports through their process-wide makers.
struct Platform {
    /// The catalogue of installed effects, transitions, compressors and output profiles;
    /// never null, and it lives as long as the process.
    IDeviceCatalog* devices = nullptr;
    PortFactory<IMediaDetector>::Maker mediaDetector;
    PortFactory<IAudioDecoder>::Maker audioDecoder;
    PortFactory<IConverter>::Maker converter;
    PortFactory<IRenderEngine>::Maker renderEngine;
    PortFactory<INativeWindows>::Maker nativeWindows;
    std::shared_ptr<ITextRasteriser> textRasteriser;
    std::shared_ptr<IDrawing> drawing;
    /// The platform's font handles; none leaves them to the model's own table.
    std::shared_ptr<IFontHandles> fontHandles;
};

/// Installs every port of the bundle as the process's; a port the bundle leaves empty is
/// removed, so the platform has none of it.
void InstallPlatform(const Platform& platform);

}  // namespace vortrel

#include "control/qt/LinuxPlatform.h"

#include "control/CTimelineControl.h"
#include "engine/mlt/AvAudioDecoder.h"
#include "engine/mlt/AvMediaDetector.h"
#include "engine/mlt/MltCatalog.h"
#include "engine/mlt/MltConverter.h"
#include "engine/mlt/MltRenderEngine.h"
#include "engine/mlt/XcbNativeWindows.h"
#include "graphics/qt/QtTextRasteriser.h"

namespace vortrel {

IDeviceCatalog& InstallLinuxPlatform() {
    static MltCatalog* catalog = [] {
        InstallAvMediaDetector();
        InstallAvAudioDecoder();
        InstallQtTextRasteriser();
        auto* made = new MltCatalog();  // lives as long as the process, like MLT itself
        InstallMltConverter(*made);
        InstallMltRenderEngine(*made);
        InstallXcbNativeWindows();
        return made;
    }();
    return *catalog;
}

std::unique_ptr<CTimelineControl> CreateLinuxControl() {
    auto control = std::make_unique<CTimelineControl>(InstallLinuxPlatform());
    control->Initialize();
    return control;
}

}  // namespace vortrel

#include "control/qt/LinuxPlatform.h"

#include "control/CTimelineControl.h"
#include "engine/mlt/AvMediaDetector.h"
#include "engine/mlt/MltCatalog.h"
#include "graphics/qt/QtTextRasteriser.h"

namespace vortrel {

IDeviceCatalog& InstallLinuxPlatform() {
    static MltCatalog* catalog = [] {
        InstallAvMediaDetector();
        InstallQtTextRasteriser();
        return new MltCatalog();  // lives as long as the process, like MLT itself
    }();
    return *catalog;
}

std::unique_ptr<CTimelineControl> CreateLinuxControl() {
    auto control = std::make_unique<CTimelineControl>(InstallLinuxPlatform());
    control->Initialize();
    return control;
}

}  // namespace vortrel

#include "platform/linux/LinuxPlatform.h"

#include "control/CTimelineControl.h"
#include "platform/av/AvAudioDecoder.h"
#include "platform/av/AvMediaDetector.h"
#include "platform/linux/MltCatalog.h"
#include "platform/linux/MltConverter.h"
#include "platform/linux/MltRenderEngine.h"
#include "platform/linux/QtDrawing.h"
#include "platform/linux/QtTextRasteriser.h"
#include "platform/linux/XcbNativeWindows.h"

namespace vortrel {

const LinuxPlatform& InstallLinuxPlatform() {
    static const LinuxPlatform* platform = [] {
        auto* made = new LinuxPlatform();  // lives as long as the process, like MLT itself
        // Qt starts first: the catalogue draws its pictures with it.
        made->textRasteriser = StartQtTextRasteriser();
        made->drawing = StartQtDrawing();
        auto* catalog = new MltCatalog();
        made->catalog = catalog;
        made->devices = catalog;
        made->mediaDetector = [] { return std::make_unique<AvMediaDetector>(); };
        made->audioDecoder = [] { return std::make_unique<AvAudioDecoder>(); };
        made->converter = [catalog] { return std::make_unique<MltConverter>(*catalog); };
        made->renderEngine = [catalog] { return std::make_unique<MltRenderEngine>(*catalog); };
        // Without an X server the maker fails and there is no window system.
        made->nativeWindows = [] { return std::make_unique<XcbNativeWindows>(); };
        InstallPlatform(*made);
        return made;
    }();
    return *platform;
}

std::unique_ptr<CTimelineControl> CreateLinuxControl() {
    auto control = std::make_unique<CTimelineControl>(InstallLinuxPlatform());
    control->Initialize();
    return control;
}

}  // namespace vortrel

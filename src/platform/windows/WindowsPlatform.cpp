#include "platform/windows/WindowsPlatform.h"

#include "control/CTimelineControl.h"
#include "platform/av/AvAudioDecoder.h"
#include "platform/av/AvMediaDetector.h"
#include "platform/windows/DirectShowCatalog.h"
#include "platform/windows/GdiFontHandles.h"
#include "platform/windows/GdiplusTextRasteriser.h"

namespace vortrel {

const WindowsPlatform& InstallWindowsPlatform() {
    static const WindowsPlatform* platform = [] {
        auto* made = new WindowsPlatform();  // lives as long as the process, like GDI+
        made->textRasteriser = StartGdiplusTextRasteriser();
        made->fontHandles = std::make_shared<GdiFontHandles>();
        made->devices = new DirectShowCatalog();
        made->mediaDetector = [] { return std::make_unique<AvMediaDetector>(); };
        made->audioDecoder = [] { return std::make_unique<AvAudioDecoder>(); };
        // No render engine, converter, drawing or native windows here: the window shell
        // brings what it needs.
        InstallPlatform(*made);
        return made;
    }();
    return *platform;
}

std::unique_ptr<CTimelineControl> CreateWindowsControl() {
    auto control = std::make_unique<CTimelineControl>(InstallWindowsPlatform());
    control->Initialize();
    return control;
}

}  // namespace vortrel

#include "platform/windows/WindowsPlatform.h"

#include "control/CTimelineControl.h"
#include "platform/av/AvAudioDecoder.h"
#include "platform/av/AvMediaDetector.h"
#include "platform/windows/DirectShowCatalog.h"
#include "platform/windows/GdiDrawing.h"
#include "platform/windows/GdiFontHandles.h"
#include "platform/windows/GdiplusTextRasteriser.h"
#include "platform/windows/Win32NativeWindows.h"

namespace vortrel {

const WindowsPlatform& InstallWindowsPlatform() {
    static const WindowsPlatform* platform = [] {
        auto* made = new WindowsPlatform();  // lives as long as the process, like GDI+
        made->textRasteriser = StartGdiplusTextRasteriser();
        made->fontHandles = std::make_shared<GdiFontHandles>();
        made->devices = new DirectShowCatalog();
        made->mediaDetector = [] { return std::make_unique<AvMediaDetector>(); };
        made->audioDecoder = [] { return std::make_unique<AvAudioDecoder>(); };
        made->drawing = GdiDrawing::Start();
        made->nativeWindows = [] { return std::make_unique<Win32NativeWindows>(); };
        // No render engine or converter here.
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

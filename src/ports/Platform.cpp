#include "ports/Platform.h"

#include "ports/IAudioDecoder.h"
#include "ports/IConverter.h"
#include "ports/IDrawContext.h"
#include "ports/IFontHandles.h"
#include "ports/IMediaDetector.h"
#include "ports/INativeWindows.h"
#include "ports/IRenderEngine.h"
#include "ports/ITextRasteriser.h"

namespace vortrel {

void InstallPlatform(const Platform& platform) {
    MediaDetectorFactory::Set(platform.mediaDetector);
    AudioDecoderFactory::Set(platform.audioDecoder);
    ConverterFactory::Set(platform.converter);
    RenderEngineFactory::Set(platform.renderEngine);
    NativeWindowsFactory::Set(platform.nativeWindows);
    SetTextRasteriser(platform.textRasteriser);
    SetDrawing(platform.drawing);
    SetFontHandles(platform.fontHandles);
}

}  // namespace vortrel

#include "control/ControlOutput.h"

#include "control/ControlContext.h"
#include "control/MemberBoundary.h"
#include "model/TimelineModel.h"
#include "ports/IConverter.h"

namespace vortrel {

namespace {

// Results of Save.
constexpr int32_t kSaveStarted = 1;
constexpr int32_t kSaveEmptyName = -1;
constexpr int32_t kSaveNotStarted = -2;
constexpr int32_t kSaveBadType = -3;
constexpr int32_t kLastOutputType = 12;

}  // namespace

HResult ControlOutput::Save(const wchar_t* fileName, int32_t* result) {
    return Guarded([&] {
        if (TextOf(fileName).empty()) {
            Write(result, kSaveEmptyName);
            return;
        }
        if (settings_.OutputType < 0 || settings_.OutputType > kLastOutputType) {
            Write(result, kSaveBadType);
            return;
        }
        // The conversion renders with the settings as they are now; later changes count
        // for the next one.
        conversionSettings_ = settings_;
        ConversionRequest request{TextOf(fileName), conversionSettings_, {}};
        if (context_.model) {
            request.wmvProfileId = context_.model->GetWMVProfileId(conversionSettings_.WMVProfile);
        }
        Write(result, context_.model && context_.model->StartConversion(request) ? kSaveStarted
                                                                                 : kSaveNotStarted);
    });
}

HResult ControlOutput::StopConversion() {
    return Guarded([&] {
        if (context_.model) {
            context_.model->StopConversion();
        }
        context_.Repaint();
    });
}

HResult ControlOutput::GetVideoEncoder(int32_t index, OutString* name) {
    return Guarded([&] {
        Write(name, OutString(context_.model ? context_.model->GetVideoEncoderName(index) : L""));
    });
}

HResult ControlOutput::GetAudioEncoder(int32_t index, OutString* name) {
    return Guarded([&] {
        Write(name, OutString(context_.model ? context_.model->GetAudioEncoderName(index) : L""));
    });
}

HResult ControlOutput::GetWMVProfile(int32_t index, OutString* name) {
    return Guarded([&] {
        Write(name, OutString(context_.model ? context_.model->GetWMVProfileName(index) : L""));
    });
}

#define VORTREL_DEFINE_PROPERTY(Type, Name, DispId, Default, Storage)  \
    HResult ControlOutput::get_##Name(Type* value) {                   \
        Write(value, static_cast<Type>(settings_.Name));               \
        return kOk;                                                    \
    }                                                                  \
    HResult ControlOutput::put_##Name(Type value) {                    \
        settings_.Name = static_cast<decltype(settings_.Name)>(value); \
        return kOk;                                                    \
    }
VORTREL_OUTPUT_PROPERTIES(VORTREL_DEFINE_PROPERTY)
#undef VORTREL_DEFINE_PROPERTY

}  // namespace vortrel

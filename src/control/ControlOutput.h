#pragma once

#include "control/ITimelineControl.h"
#include "ports/OutputProperties.h"

namespace vortrel {

struct ControlContext;

// The output settings the host sets as properties, and the conversion to a file that renders
// the timeline with them; the encoder and profile lists the host picks from.
class ControlOutput {
  public:
    /// Output members on the control's shared context.
    explicit ControlOutput(ControlContext& context) : context_(context) {}

    /// Every output setting back to its default, as when the control's window is made.
    void ResetSettings() { settings_ = OutputSettings{}; }

    HResult Save(const wchar_t* fileName, int32_t* result);
    HResult StopConversion();
    HResult GetVideoEncoder(int32_t index, OutString* name);
    HResult GetAudioEncoder(int32_t index, OutString* name);
    HResult GetWMVProfile(int32_t index, OutString* name);
#define VORTREL_DECLARE_PROPERTY(Type, Name, DispId, Default, Storage) \
    HResult get_##Name(Type* value);                                   \
    HResult put_##Name(Type value);
    VORTREL_OUTPUT_PROPERTIES(VORTREL_DECLARE_PROPERTY)
#undef VORTREL_DECLARE_PROPERTY

  private:
    ControlContext& context_;
    OutputSettings settings_;
    // What the running conversion renders with; later changes count for the next one.
    OutputSettings conversionSettings_;
};

}  // namespace vortrel

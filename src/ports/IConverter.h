#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ports/OutputProperties.h"

#include "base/PortFactory.h"

namespace vortrel {

class EditTimeline;

/// What one conversion is asked to write.
struct ConversionRequest {
    std::wstring fileName;
    OutputSettings settings;  // copied when the conversion starts
    // The output profile of a Windows Media file, by id (sixteen zero bytes for none).
    std::array<uint8_t, 16> wmvProfileId{};
};

// The platform's conversion engine: renders the editing timeline to a file in one of the
// output types on threads of its own, while the control's thread polls it once a second.
class IConverter {
  public:
    virtual ~IConverter() = default;

    /// Builds the output graph from the timeline and starts writing; false (nothing left
    /// running, no file under the requested name) when it cannot.
    virtual bool Start(const EditTimeline& timeline, const ConversionRequest& request) = 0;
    /// True from a successful Start until Reset.
    virtual bool IsConnected() const = 0;
    /// The position written so far and the whole duration, in 100-ns units; false when the
    /// output cannot tell.
    virtual bool GetProgress(int64_t& current, int64_t& duration) = 0;
    /// True once the whole timeline is written and the file is complete under its name.
    virtual bool IsComplete() = 0;
    /// True once the conversion has ended without a complete file (writing failed, the
    /// encoder stopped short); what was written is removed.
    virtual bool HasFailed() = 0;
    /// Stops writing; a file that was not completed is removed.
    virtual void Stop() = 0;
    /// Scraps the graph; IsConnected is false afterwards.
    virtual void Reset() = 0;
};

/// The maker of the platform's converters.
using ConverterFactory = PortFactory<IConverter>;

}  // namespace vortrel

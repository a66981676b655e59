#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vortrel {

// The platform's media detector: opens one media file and answers questions about its
// streams. The model asks it for the length of a clip's source; each question makes a new
// detector, which the platform may fail to provide.
class IMediaDetector {
  public:
    virtual ~IMediaDetector() = default;

    /// Opens the file; false when the platform cannot read it.
    virtual bool SetFilename(const std::wstring& path) = 0;
    /// Gives the number of output streams; false when it cannot be read.
    virtual bool GetOutputStreams(int32_t& count) = 0;
    /// Gives the length of the current stream in seconds; false when it cannot be read.
    virtual bool GetStreamLength(double& seconds) = 0;
};

/// Makes a media detector, or none when the platform has none to give.
using MediaDetectorFactory = std::function<std::unique_ptr<IMediaDetector>()>;

/// Installs the process-wide factory of media detectors (an empty one removes it).
void SetMediaDetectorFactory(MediaDetectorFactory factory);

/// Makes a media detector through the installed factory; none when there is no factory or it
/// fails.
std::unique_ptr<IMediaDetector> CreateMediaDetector();

}  // namespace vortrel

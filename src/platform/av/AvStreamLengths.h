#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct AVFormatContext;

namespace vortrel {

// The lengths of the streams of files whose container gives none, or only one guessed from
// its bit rate (bare MPEG video, H.264, MP3 or ADTS AAC streams): measured by reading every
// packet's time, and kept for the process by file name, size and modification time, so that
// each file is read through once. Used from any thread.
class AvStreamLengths {
  public:
    using Deadline = std::chrono::steady_clock::time_point;

    /// Whether a container's own lengths can be trusted.
    static bool AreDeclared(const AVFormatContext& format);

    /// The length in seconds of each stream of an open file, by stream index (0 where
    /// unknown). Reads the file to its end, or until the deadline, and leaves it read.
    static std::vector<double> Measure(AVFormatContext& format, const std::string& path,
                                       Deadline deadline);

    /// The length in seconds of a file's longest stream when its container does not know
    /// it, opening and measuring the file unless that was done before; none when the
    /// container's length holds or the file cannot be read.
    static std::optional<double> OfFile(const std::string& path);
};

}  // namespace vortrel

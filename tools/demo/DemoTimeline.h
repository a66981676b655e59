#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vortrel {

class ITimelineControl;

// The demonstration timeline: media the program makes itself with the test-media generator
// (two videos, a piece of music and a still picture) and a ten-second timeline on them: the
// two videos with a dissolve onto the second video track, the still wiped in, a title, the
// music and a sepia effect.
class DemoTimeline {
  public:
    /// The files the demo plays, in the folder they were made in.
    struct Media {
        std::filesystem::path intro;    // 6 s, video and tone
        std::filesystem::path overlay;  // 5 s, video only
        std::filesystem::path music;    // 10 s, tone only
        std::filesystem::path logo;     // a still picture
    };

    /// Makes the media in a folder (made when missing); a file already there from an earlier
    /// run is kept. Throws std::runtime_error (or a test-source error) with the reason.
    static Media MakeMedia(const std::filesystem::path& folder);

    /// Adds the demo's clips, transitions and effect to a control; every call that fails is
    /// named on a line of its own (none when all succeeded).
    static std::vector<std::string> Build(ITimelineControl& control, const Media& media);

    /// The timeline's length in seconds.
    static constexpr float kSeconds = 10.0f;
};

}  // namespace vortrel

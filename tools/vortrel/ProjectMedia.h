#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vortrel {

class TimelineModel;

/// A clip whose media file the timeline cannot play.
struct MediaProblem {
    int32_t track = 0;
    int32_t clip = 0;
    std::string path;
    bool missing = false;  // no file at all, rather than one that does not read
};

/// Makes every media clip of a loaded project (video, image and audio tracks) play the file
/// its name meant where the project was made: a relative name is taken from the project
/// file's folder, and the clip is set up again with it unless the load found that file
/// already. Returns the clips whose media is missing or unreadable, in track and clip order.
std::vector<MediaProblem> SettleProjectMedia(TimelineModel& model,
                                             const std::filesystem::path& projectFile);

/// One line about a problem clip: "track 1 (video 1), clip 0: no media file PATH".
std::string Describe(const MediaProblem& problem);

}  // namespace vortrel

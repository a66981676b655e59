#include "ProjectMedia.h"

#include <exception>
#include <system_error>

#include "base/Utf8.h"
#include "model/IClip.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"

namespace vortrel {

namespace fs = std::filesystem;

namespace {

struct MediaTrack {
    int32_t index;
    const char* name;
};

constexpr MediaTrack kMediaTracks[] = {{kVideo1Track, "video 1"},
                                       {kVideo2Track, "video 2"},
                                       {kImageTrack, "image"},
                                       {kAudio1Track, "audio 1"},
                                       {kAudio2Track, "audio 2"}};

const char* TrackName(int32_t index) {
    for (const MediaTrack& track : kMediaTracks) {
        if (track.index == index) {
            return track.name;
        }
    }
    return "?";
}

}  // namespace

std::vector<MediaProblem> SettleProjectMedia(TimelineModel& model, const fs::path& projectFile) {
    std::error_code error;
    fs::path folder = fs::absolute(projectFile, error).parent_path();
    std::vector<MediaProblem> problems;
    for (const MediaTrack& media : kMediaTracks) {
        const ITrack* track = model.GetTrack(media.index);
        for (int32_t position = 0; track != nullptr && position < track->GetContentCount();
             ++position) {
            auto* clip = static_cast<IClip*>(track->GetContentAt(position));
            fs::path file = ToPath(clip->GetSource());
            if (file.is_relative()) {
                file = (folder / file).lexically_normal();
                clip->SetSource(FromPath(file));
            }
            // The load set the clip up with the name as written; setting it up again with
            // the settled name places its media (and cuts it to the file's length) as a
            // load from the project's folder would have.
            bool playable = true;
            try {
                clip->Update();
            } catch (const std::exception&) {
                playable = false;
            }
            if (!playable) {
                problems.push_back(
                    {media.index, position, file.string(), !fs::is_regular_file(file, error)});
            }
        }
    }
    return problems;
}

std::string Describe(const MediaProblem& problem) {
    return "track " + std::to_string(problem.track) + " (" + TrackName(problem.track) + "), clip " +
           std::to_string(problem.clip) + ": " +
           (problem.missing ? "no media file " : "cannot play the media file ") + problem.path;
}

}  // namespace vortrel

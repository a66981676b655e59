#include "ProjectMedia.h"

#include <exception>
#include <fstream>
#include <system_error>

#include "base/Utf8.h"
#include "editing/DesSource.h"
#include "editing/EditNode.h"
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

// Whether the clip's media is in the editing timeline under its current name: a set-up
// that failed (a file that does not read) placed none.
bool Placed(const IClip& clip) {
    const auto& source = clip.GetDesSource();
    const EditNode* node = source ? source->GetSourceObject().get() : nullptr;
    return node != nullptr && node->GetMediaName() == clip.GetSource();
}

// Whether a file is there to be read (a picture is placed without being looked at).
bool Readable(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && std::ifstream(file, std::ios::binary).good();
}

}  // namespace

std::vector<MediaProblem> SettleProjectMedia(TimelineModel& model, const fs::path& projectFile) {
    std::error_code error;
    const fs::path folder = fs::absolute(projectFile, error).parent_path();
    std::vector<MediaProblem> problems;
    for (const MediaTrack& media : kMediaTracks) {
        const ITrack* track = model.GetTrack(media.index);
        for (int32_t position = 0; track != nullptr && position < track->GetContentCount();
             ++position) {
            auto* clip = static_cast<IClip*>(track->GetContentAt(position));
            fs::path file = ToPath(clip->GetSource());
            if (file.is_relative()) {
                const fs::path settled = (folder / file).lexically_normal();
                // The load looked for the media from the current folder. Unless it found the
                // very file beside the project there, the clip is set up again with that file,
                // placing it (and cutting it to the file's length) as a load from the
                // project's folder would have.
                if (!Placed(*clip) || !fs::equivalent(file, settled, error)) {
                    clip->SetSource(FromPath(settled));
                    try {
                        clip->Update();
                    } catch (const std::exception&) {
                        // named below: the clip stays unplaced
                    }
                }
                file = settled;
            }
            if (!Placed(*clip) || !Readable(file)) {
                problems.push_back(
                    {media.index, position, file.string(), !fs::exists(file, error)});
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

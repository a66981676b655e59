#include "DemoTimeline.h"

#include <stdexcept>
#include <system_error>

#include "MemberResult.h"
#include "TestSource.h"
#include "control/ITimelineControl.h"
#include "model/FontTable.h"
#include "ports/LogFont.h"

namespace vortrel {

namespace fs = std::filesystem;

namespace {

// Makes one file unless an earlier run left it there.
fs::path Make(const fs::path& folder, const char* name, TestSourceKind kind, double seconds,
              int width, int height) {
    const fs::path path = folder / name;
    std::error_code error;
    if (fs::is_regular_file(path, error) && fs::file_size(path, error) > 0) {
        return path;
    }
    TestSourceSpec spec;
    spec.kind = kind;
    spec.seconds = seconds;
    spec.width = width;
    spec.height = height;
    WriteTestSource(path, spec);
    return path;
}

// Notes a failed add: the call and the reason.
void Check(std::vector<std::string>& failures, const std::string& call, int32_t result) {
    if (const std::string reason = MemberResult::OfAdd(result); !reason.empty()) {
        failures.push_back(call + ": " + reason);
    }
}

}  // namespace

DemoTimeline::Media DemoTimeline::MakeMedia(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) {
        throw std::runtime_error("cannot make the folder " + folder.string());
    }
    Media media;
    media.intro = Make(folder, "intro.mp4", TestSourceKind::AudioVideo, 6, 320, 240);
    media.overlay = Make(folder, "overlay.mkv", TestSourceKind::Video, 5, 320, 240);
    media.music = Make(folder, "music.wav", TestSourceKind::Audio, kSeconds, 320, 240);
    media.logo = Make(folder, "logo.png", TestSourceKind::Image, 1, 160, 120);
    return media;
}

std::vector<std::string> DemoTimeline::Build(ITimelineControl& control, const Media& media) {
    std::vector<std::string> failures;
    int32_t result = 0;
    control.AddVideoClip(1, media.intro.wstring().c_str(), 0, 6, 0, &result);
    Check(failures, "AddVideoClip intro", result);
    control.AddVideoClip(2, media.overlay.wstring().c_str(), 4, 8, 0.5f, &result);
    Check(failures, "AddVideoClip overlay", result);
    control.SetTrackVisible(2, 1);
    control.AddTransition(0, L"Dissolve", 4, 5, L"", 2, 0, &result);
    Check(failures, "AddTransition Dissolve", result);
    control.AddImageClip(3, media.logo.wstring().c_str(), 8, kSeconds, &result);
    Check(failures, "AddImageClip logo", result);
    control.AddTransition(0, L"Wipe Left to Right", 8, 9, L"", 3, 1, &result);
    Check(failures, "AddTransition Wipe Left to Right", result);

    // The control copies the font's description; the handle stays the host's to delete.
    LogFont font;
    font.SetFaceName(L"DejaVu Sans");
    font.height = -24;
    font.weight = 700;
    const int32_t handle = FontTable::Create(font);
    control.AddTextClip2(7, L"Vortrel demo", 0.5f, 3.5f, handle, 20, 180, 255, 255, 255, &result);
    FontTable::Delete(handle);
    Check(failures, "AddTextClip2 title", result);

    control.AddAudioClip(5, media.music.wstring().c_str(), 0, kSeconds, 0, 0.8f, &result);
    Check(failures, "AddAudioClip music", result);
    control.AddEffect(4, L"Sepia", 6, 8, L"", &result);
    Check(failures, "AddEffect Sepia", result);
    return failures;
}

}  // namespace vortrel

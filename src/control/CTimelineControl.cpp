#include "control/CTimelineControl.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>

#include "base/Utf8.h"
#include "editing/DesTimeline.h"
#include "mediafile/MediaFile.h"
#include "model/AudioClip.h"
#include "model/ContentKind.h"
#include "model/ITrack.h"
#include "model/ImageClip.h"
#include "model/MediaEffect.h"
#include "model/TextClip.h"
#include "model/TimeRules.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "model/TransitionEffect.h"
#include "model/VideoClip.h"
#include "ports/IConverter.h"
#include "ports/Platform.h"

namespace vortrel {

namespace {

// Result codes of the add and change members.
constexpr int32_t kChanged = 1;
constexpr int32_t kEmptyName = -1;
constexpr int32_t kNoFile = -2;
constexpr int32_t kBadTimes = -3;
constexpr int32_t kBadTrack = -4;
constexpr int32_t kSetupFailed = -5;
constexpr int32_t kNoContentOrMediaTrack = -6;
constexpr int32_t kBadMediaTrack = -7;
// Results of Save.
constexpr int32_t kSaveStarted = 1;
constexpr int32_t kSaveEmptyName = -1;
constexpr int32_t kSaveNotStarted = -2;
constexpr int32_t kSaveBadType = -3;
constexpr int32_t kLastOutputType = 12;
// Names of media files are read into this many characters.
constexpr int kNameCapacity = 1000;

template <typename T>
void Write(T* out, T value) {
    if (out != nullptr) {
        *out = value;
    }
}

std::wstring TextOf(const wchar_t* text) {
    return text != nullptr ? std::wstring(text) : std::wstring();
}

bool FileExists(const std::wstring& name) {
    std::error_code error;
    return std::filesystem::exists(ToPath(name), error);
}

// Every member answers kOk: whatever escapes a member's own handling ends here.
HResult Guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (...) {
    }
    return kOk;
}

int32_t VideoTrackOf(int32_t index) {
    return index == kVideo1Track || index == kVideo2Track ? index : kVideo1Track;
}

int32_t AudioTrackOf(int32_t index) {
    return index == kAudio1Track || index == kAudio2Track ? index : kAudio1Track;
}

uint32_t ColorOf(int32_t red, int32_t green, int32_t blue) {
    return (static_cast<uint32_t>(red) & 0xFF) + (static_cast<uint32_t>(green) & 0xFF) * 256 +
           (static_cast<uint32_t>(blue) & 0xFF) * 65536;
}

// Kilo-units of a rate as media information reports them: bit rates rounded half up.
int32_t Kilobits(int32_t bitsPerSecond) {
    return bitsPerSecond == 0 ? 0 : TruncateToInt32(bitsPerSecond / 1000.0 + 0.5);
}

float DurationSeconds(double milliseconds) {
    return milliseconds == 0.0 ? 0.0f : static_cast<float>(milliseconds / 1000.0);
}

OutString NameOf(const MediaFile& file, int (MediaFile::*getter)(wchar_t*, int) const) {
    wchar_t buffer[kNameCapacity] = {};
    const int count = (file.*getter)(buffer, kNameCapacity);
    return std::wstring(buffer, static_cast<size_t>(std::clamp(count, 0, kNameCapacity - 1)));
}

OutString StreamNameOf(const MediaFile& file, int (MediaFile::*getter)(int, wchar_t*, int) const) {
    wchar_t buffer[kNameCapacity] = {};
    const int count = (file.*getter)(0, buffer, kNameCapacity);
    return std::wstring(buffer, static_cast<size_t>(std::clamp(count, 0, kNameCapacity - 1)));
}

}  // namespace

// One add or change request: what the checks need and how to fill the content's own fields.
struct CTimelineControl::Edit {
    Edit(const wchar_t* name_, bool takesFile_, float start_, float stop_, int32_t track_,
         ContentKind kind_)
        : name(name_),
          takesFile(takesFile_),
          start(start_),
          stop(stop_),
          track(track_),
          kind(kind_) {}

    const wchar_t* name;
    bool takesFile;
    float start;
    float stop;
    int32_t track;
    ContentKind kind;
    int32_t contentIndex = -1;            // for a change
    const int32_t* mediaTrack = nullptr;  // for a transition
    bool waitCursor = false;              // while an audio clip reads its waveform
    std::function<void(IContent&, ITrack* mediaTrack, bool adding)> fill;
};

CTimelineControl::CTimelineControl(const Platform& platform, std::shared_ptr<EditFailures> failures)
    : devices_(*platform.devices), failures_(std::move(failures)) {}

CTimelineControl::~CTimelineControl() {
    OnDestroy();
    if (model_) {
        for (const auto& subject : ObservedSubjects()) {
            subject->Detach(this);
        }
    }
}

std::vector<ISubject*> CTimelineControl::ObservedSubjects() const {
    return {model_->GetPlaybackPosition().get(), model_->GetPlaybackCompleted().get(),
            model_->GetConvertProgress().get(), model_->GetConvertCompleted().get()};
}

void CTimelineControl::Initialize() {
    model_ = std::make_unique<TimelineModel>(devices_, failures_);
    skipBlackPosterFrame_ = 1;
    videoWidth_ = 320;
    videoHeight_ = 240;
    model_->BuildTracks();
    for (ISubject* subject : ObservedSubjects()) {
        subject->Attach(this);
    }
}

void CTimelineControl::OnCreate(IControlWindow* window, ITimerHost* timers) {
    settings_ = OutputSettings{};
    window_ = window;
    timers_ = timers;
    TimerDispatcher::Instance().RegisterHost(timers);
}

void CTimelineControl::OnDestroy() {
    if (timers_ != nullptr) {
        TimerDispatcher::Instance().UnregisterHost(timers_);
    }
    timers_ = nullptr;
    window_ = nullptr;
}

void CTimelineControl::Advise(ITimelineControlEvents* sink) {
    if (sink != nullptr) {
        sinks_.push_back(sink);
    }
}

void CTimelineControl::Unadvise(ITimelineControlEvents* sink) {
    std::erase(sinks_, sink);
}

void CTimelineControl::Fire(const std::function<void(ITimelineControlEvents&)>& event) {
    // A sink may disconnect itself (or another) while it handles the event.
    const std::vector<ITimelineControlEvents*> sinks = sinks_;
    for (ITimelineControlEvents* sink : sinks) {
        if (std::find(sinks_.begin(), sinks_.end(), sink) != sinks_.end()) {
            event(*sink);
        }
    }
}

void CTimelineControl::Handle(ISubject& subject) {
    Fire([](ITimelineControlEvents& sink) { sink.OnUpdate(); });
    if (!model_) {
        return;
    }
    const int32_t value = static_cast<SeekEvent&>(subject).GetValue();
    if (&subject == model_->GetPlaybackPosition().get()) {
        Fire([value](ITimelineControlEvents& sink) { sink.OnPlaying(value); });
    }
    if (&subject == model_->GetPlaybackCompleted().get()) {
        Fire([](ITimelineControlEvents& sink) { sink.OnPlayingCompleted(); });
    }
    if (&subject == model_->GetConvertProgress().get()) {
        Fire([value](ITimelineControlEvents& sink) { sink.OnConvertProgress(value); });
    }
    if (&subject == model_->GetConvertCompleted().get()) {
        Fire([](ITimelineControlEvents& sink) { sink.OnConvertCompleted(); });
    }
}

void CTimelineControl::Repaint() {
    if (window_ != nullptr) {
        window_->Invalidate();
    }
}

void CTimelineControl::SetCursor(ControlCursor cursor) {
    if (window_ != nullptr) {
        window_->SetCursor(cursor);
    }
}

ITrack* CTimelineControl::Track(int32_t index) const {
    return model_ ? model_->GetTrack(index) : nullptr;
}

IContent* CTimelineControl::ContentOf(int32_t trackIndex, ContentKind kind,
                                      int32_t contentIndex) const {
    ITrack* track = Track(trackIndex);
    if (track == nullptr || !track->AcceptsKind(kind)) {
        return nullptr;
    }
    return track->GetContentAt(contentIndex);
}

int32_t CTimelineControl::ApplyEdit(const Edit& edit, bool adding) {
    if (TextOf(edit.name).empty()) {
        return kEmptyName;
    }
    if (edit.takesFile && !FileExists(edit.name)) {
        return kNoFile;
    }
    if (edit.stop <= edit.start) {  // a NaN in either passes, as any float comparison says
        return kBadTimes;
    }
    ITrack* track = Track(edit.track);
    if (track == nullptr || !track->AcceptsKind(edit.kind)) {
        return kBadTrack;
    }
    IContent* content = adding ? nullptr : track->GetContentAt(edit.contentIndex);
    if (!adding && content == nullptr) {
        return kNoContentOrMediaTrack;
    }
    ITrack* mediaTrack = nullptr;
    if (edit.mediaTrack != nullptr) {
        const int32_t index = *edit.mediaTrack;
        mediaTrack = Track(index);
        const bool acceptable =
            mediaTrack != nullptr &&
            ((index == kVideo2Track && mediaTrack->AcceptsKind(ContentKind::Video)) ||
             (index == kImageTrack && mediaTrack->AcceptsKind(ContentKind::Image)));
        if (!acceptable) {
            return adding ? kNoContentOrMediaTrack : kBadMediaTrack;
        }
    }
    if (edit.waitCursor) {
        SetCursor(ControlCursor::Wait);
    }
    int32_t result = kChanged;
    try {
        if (adding) {
            content = track->CreateContent();
        }
        content->GetSegment()->SetStart(edit.start);
        content->GetSegment()->SetStop(edit.stop);
        edit.fill(*content, mediaTrack, adding);
        content->Update();
        result = adding ? track->GetContentCount() - 1 : kChanged;
        Repaint();
    } catch (...) {
        // The content stays as far as it was made, as the host's next read will show.
        result = kSetupFailed;
    }
    // Back to the arrow whatever happened, so a failure does not leave the wait cursor.
    if (edit.waitCursor) {
        SetCursor(ControlCursor::Arrow);
    }
    return result;
}

HResult CTimelineControl::Apply(const Edit& edit, bool adding, int32_t* result) {
    return Guarded([&] { Write(result, ApplyEdit(edit, adding)); });
}

// Clips.

CTimelineControl::Edit CTimelineControl::MediaClipEdit(ContentKind kind, int32_t track,
                                                       const wchar_t* fileName, float start,
                                                       float stop, float mediaTime,
                                                       const float* volume) {
    Edit edit(fileName, true, start, stop, track, kind);
    edit.fill = [this, fileName, start, stop, mediaTime, volume](IContent& content, ITrack*,
                                                                 bool adding) {
        auto& clip = static_cast<IClip&>(content);
        clip.SetSource(TextOf(fileName));
        if (auto* video = dynamic_cast<VideoClip*>(&clip); video != nullptr && adding) {
            video->SetSkipBlackPosterFrame(skipBlackPosterFrame_ != 0);
        }
        clip.GetMediaSegment()->SetStart(mediaTime);
        // The media stop comes from the floats, not from the converted times.
        clip.GetMediaSegment()->SetStop(stop - start + mediaTime);
        if (volume != nullptr) {
            static_cast<AudioClip&>(clip).SetVolume(*volume);
        }
    };
    return edit;
}

HResult CTimelineControl::AddVideoClip(int32_t trackIndex, const wchar_t* fileName,
                                       float clipStartTime, float clipStopTime, float mediaTime,
                                       int32_t* clipIndex) {
    return Apply(MediaClipEdit(ContentKind::Video, VideoTrackOf(trackIndex), fileName,
                               clipStartTime, clipStopTime, mediaTime, nullptr),
                 true, clipIndex);
}

HResult CTimelineControl::ChangeVideoClip(int32_t trackIndex, int32_t clipIndex,
                                          const wchar_t* fileName, float clipStartTime,
                                          float clipStopTime, float mediaTime, int32_t* result) {
    Edit edit = MediaClipEdit(ContentKind::Video, VideoTrackOf(trackIndex), fileName, clipStartTime,
                              clipStopTime, mediaTime, nullptr);
    edit.contentIndex = clipIndex;
    return Apply(edit, false, result);
}

HResult CTimelineControl::AddAudioClip(int32_t trackIndex, const wchar_t* fileName,
                                       float clipStartTime, float clipStopTime, float mediaTime,
                                       float volume, int32_t* clipIndex) {
    Edit edit = MediaClipEdit(ContentKind::Audio, AudioTrackOf(trackIndex), fileName, clipStartTime,
                              clipStopTime, mediaTime, &volume);
    edit.waitCursor = true;
    return Apply(edit, true, clipIndex);
}

HResult CTimelineControl::ChangeAudioClip(int32_t trackIndex, int32_t clipIndex,
                                          const wchar_t* fileName, float clipStartTime,
                                          float clipStopTime, float mediaTime, float volume,
                                          int32_t* result) {
    Edit edit = MediaClipEdit(ContentKind::Audio, AudioTrackOf(trackIndex), fileName, clipStartTime,
                              clipStopTime, mediaTime, &volume);
    edit.contentIndex = clipIndex;
    return Apply(edit, false, result);
}

CTimelineControl::Edit CTimelineControl::ImageEdit(const wchar_t* fileName, float start,
                                                   float stop) {
    Edit edit(fileName, true, start, stop, kImageTrack, ContentKind::Image);
    edit.fill = [fileName](IContent& content, ITrack*, bool) {
        static_cast<IClip&>(content).SetSource(TextOf(fileName));
    };
    return edit;
}

HResult CTimelineControl::AddImageClip(int32_t /*trackIndex*/, const wchar_t* fileName,
                                       float clipStartTime, float clipStopTime,
                                       int32_t* clipIndex) {
    return Apply(ImageEdit(fileName, clipStartTime, clipStopTime), true, clipIndex);
}

HResult CTimelineControl::ChangeImageClip(int32_t /*trackIndex*/, int32_t clipIndex,
                                          const wchar_t* fileName, float clipStartTime,
                                          float clipStopTime, int32_t* result) {
    Edit edit = ImageEdit(fileName, clipStartTime, clipStopTime);
    edit.contentIndex = clipIndex;
    return Apply(edit, false, result);
}

CTimelineControl::Edit CTimelineControl::TextEdit(const wchar_t* text, float start, float stop,
                                                  int32_t font, int32_t x, int32_t y,
                                                  uint32_t color) {
    Edit edit(text, false, start, stop, kTextTrack, ContentKind::Text);
    edit.fill = [this, text, font, x, y, color](IContent& content, ITrack*, bool adding) {
        auto& clip = static_cast<TextClip&>(content);
        clip.SetFont(font);
        if (adding) {  // a clip keeps the canvas size it was made with
            clip.SetVideoTrackSize(videoWidth_, videoHeight_);
        }
        clip.SetXPos(x);
        clip.SetYPos(y);
        clip.SetColor(color);
        clip.SetSource(TextOf(text));
    };
    return edit;
}

HResult CTimelineControl::AddTextClip(int32_t /*trackIndex*/, const wchar_t* text,
                                      float clipStartTime, float clipStopTime, int32_t font,
                                      int32_t x, int32_t y, uint32_t color, int32_t* clipIndex) {
    return Apply(TextEdit(text, clipStartTime, clipStopTime, font, x, y, color), true, clipIndex);
}

HResult CTimelineControl::AddTextClip2(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                                       float clipStopTime, int32_t font, int32_t x, int32_t y,
                                       int32_t red, int32_t green, int32_t blue,
                                       int32_t* clipIndex) {
    return AddTextClip(trackIndex, text, clipStartTime, clipStopTime, font, x, y,
                       ColorOf(red, green, blue), clipIndex);
}

HResult CTimelineControl::ChangeTextClip(int32_t /*trackIndex*/, int32_t clipIndex,
                                         const wchar_t* text, float clipStartTime,
                                         float clipStopTime, int32_t font, int32_t x, int32_t y,
                                         uint32_t color, int32_t* result) {
    Edit edit = TextEdit(text, clipStartTime, clipStopTime, font, x, y, color);
    edit.contentIndex = clipIndex;
    return Apply(edit, false, result);
}

HResult CTimelineControl::ChangeTextClip2(int32_t trackIndex, int32_t clipIndex,
                                          const wchar_t* text, float clipStartTime,
                                          float clipStopTime, int32_t font, int32_t x, int32_t y,
                                          int32_t red, int32_t green, int32_t blue,
                                          int32_t* result) {
    return ChangeTextClip(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font, x, y,
                          ColorOf(red, green, blue), result);
}

HResult CTimelineControl::GetVideoClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                       float* clipStartTime, float* clipStopTime,
                                       float* mediaTime) {
    return ReadMediaClip(trackIndex, ContentKind::Video, clipIndex, fileName, clipStartTime,
                         clipStopTime, mediaTime, nullptr);
}

HResult CTimelineControl::GetAudioClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                       float* clipStartTime, float* clipStopTime, float* mediaTime,
                                       float* volume) {
    return ReadMediaClip(trackIndex, ContentKind::Audio, clipIndex, fileName, clipStartTime,
                         clipStopTime, mediaTime, volume);
}

HResult CTimelineControl::ReadMediaClip(int32_t trackIndex, ContentKind kind, int32_t clipIndex,
                                        OutString* fileName, float* clipStartTime,
                                        float* clipStopTime, float* mediaTime, float* volume) {
    return Guarded([&] {
        const auto* clip = static_cast<const IClip*>(ContentOf(trackIndex, kind, clipIndex));
        WriteTimes(clip, clipStartTime, clipStopTime);
        Write(fileName, clip != nullptr ? OutString(clip->GetSource()) : std::nullopt);
        Write(mediaTime,
              clip != nullptr ? MillisecondsToSeconds(clip->GetMediaSegment()->GetStart()) : 0.0f);
        if (volume != nullptr) {  // only audio clips are asked for their volume
            *volume = clip != nullptr ? static_cast<const AudioClip*>(clip)->GetVolume() : 0.0f;
        }
    });
}

void CTimelineControl::WriteTimes(const IContent* content, float* start, float* stop) {
    Write(start,
          content != nullptr ? MillisecondsToSeconds(content->GetSegment()->GetStart()) : 0.0f);
    Write(stop,
          content != nullptr ? MillisecondsToSeconds(content->GetSegment()->GetStop()) : 0.0f);
}

HResult CTimelineControl::GetTextClip(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                      float* clipStartTime, float* clipStopTime, int32_t* font,
                                      int32_t* x, int32_t* y, uint32_t* color) {
    return Guarded([&] {
        const TextClip* clip =
            ReadTextClip(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font, x, y);
        Write(color, clip != nullptr ? clip->GetColor() : 0u);
    });
}

HResult CTimelineControl::GetTextClip2(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                       float* clipStartTime, float* clipStopTime, int32_t* font,
                                       int32_t* x, int32_t* y, int32_t* red, int32_t* green,
                                       int32_t* blue) {
    return Guarded([&] {
        const TextClip* clip =
            ReadTextClip(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font, x, y);
        const uint32_t color = clip != nullptr ? clip->GetColor() : 0u;
        Write(red, static_cast<int32_t>(color & 0xFF));
        Write(green, static_cast<int32_t>((color >> 8) & 0xFF));
        Write(blue, static_cast<int32_t>((color >> 16) & 0xFF));
    });
}

const TextClip* CTimelineControl::ReadTextClip(int32_t trackIndex, int32_t clipIndex,
                                               OutString* text, float* start, float* stop,
                                               int32_t* font, int32_t* x, int32_t* y) {
    const auto* clip =
        static_cast<const TextClip*>(ContentOf(trackIndex, ContentKind::Text, clipIndex));
    WriteTimes(clip, start, stop);
    Write(text, clip != nullptr ? OutString(clip->GetSource()) : std::nullopt);
    // The host owns the new handle; none is made for an output it did not ask for.
    Write(font, clip != nullptr && font != nullptr ? clip->GetFont() : 0);
    Write(x, clip != nullptr ? clip->GetXPos() : 0);
    Write(y, clip != nullptr ? clip->GetYPos() : 0);
    return clip;
}

HResult CTimelineControl::GetImageClip(int32_t /*trackIndex*/, int32_t clipIndex,
                                       OutString* fileName, float* clipStartTime,
                                       float* clipStopTime) {
    return Guarded([&] {
        const auto* clip =
            static_cast<const IClip*>(ContentOf(kImageTrack, ContentKind::Image, clipIndex));
        WriteTimes(clip, clipStartTime, clipStopTime);
        Write(fileName, clip != nullptr ? OutString(clip->GetSource()) : std::nullopt);
    });
}

HResult CTimelineControl::DeleteClip(int32_t trackIndex, int32_t clipIndex) {
    return Guarded([&] {
        ITrack* track = Track(trackIndex);
        if (track != nullptr && track->RemoveContentAt(clipIndex)) {
            Repaint();
        }
    });
}

// Transitions and effects.

CTimelineControl::Edit CTimelineControl::EffectEdit(int32_t track, ContentKind kind,
                                                    const wchar_t* name, float start, float stop,
                                                    const wchar_t* params) {
    Edit edit(name, false, start, stop, track, kind);
    edit.fill = [name, params](IContent& content, ITrack*, bool) {
        auto& effect = static_cast<IEffect&>(content);
        effect.SetSource(TextOf(name));
        effect.SetParams(TextOf(params));
    };
    return edit;
}

CTimelineControl::Edit CTimelineControl::TransitionEdit(const wchar_t* name, float start,
                                                        float stop, const wchar_t* params,
                                                        const int32_t& mediaTrackIndex,
                                                        int32_t reverseDirection) {
    Edit edit = EffectEdit(kTransitionTrack, ContentKind::Transition, name, start, stop, params);
    edit.mediaTrack = &mediaTrackIndex;
    edit.fill = [fillEffect = edit.fill, reverseDirection](IContent& content, ITrack* mediaTrack,
                                                           bool adding) {
        fillEffect(content, mediaTrack, adding);
        auto& transition = static_cast<TransitionEffect&>(content);
        transition.SetReverse(reverseDirection != 0);
        transition.SetMediaTrack(mediaTrack);
    };
    return edit;
}

HResult CTimelineControl::AddTransition(int32_t /*trackIndex*/, const wchar_t* name,
                                        float startTime, float stopTime, const wchar_t* params,
                                        int32_t mediaTrackIndex, int32_t reverseDirection,
                                        int32_t* transitionIndex) {
    return Apply(
        TransitionEdit(name, startTime, stopTime, params, mediaTrackIndex, reverseDirection), true,
        transitionIndex);
}

HResult CTimelineControl::ChangeTransition(int32_t /*trackIndex*/, int32_t transitionIndex,
                                           const wchar_t* name, float startTime, float stopTime,
                                           const wchar_t* params, int32_t mediaTrackIndex,
                                           int32_t reverseDirection, int32_t* result) {
    Edit edit =
        TransitionEdit(name, startTime, stopTime, params, mediaTrackIndex, reverseDirection);
    edit.contentIndex = transitionIndex;
    return Apply(edit, false, result);
}

HResult CTimelineControl::GetTransition(int32_t /*trackIndex*/, int32_t transitionIndex,
                                        OutString* name, float* startTime, float* stopTime,
                                        OutString* params, int32_t* mediaTrackIndex,
                                        int32_t* reverseDirection) {
    return Guarded([&] {
        const auto* transition = static_cast<const TransitionEffect*>(
            ContentOf(kTransitionTrack, ContentKind::Transition, transitionIndex));
        ReadEffect(transition, name, startTime, stopTime, params);
        Write(mediaTrackIndex,
              transition != nullptr ? model_->IndexOfTrack(transition->GetMediaTrack()) : 0);
        Write(reverseDirection, transition != nullptr && transition->GetReverse() ? 1 : 0);
    });
}

void CTimelineControl::ReadEffect(const IEffect* effect, OutString* name, float* start, float* stop,
                                  OutString* params) {
    WriteTimes(effect, start, stop);
    Write(name, effect != nullptr ? OutString(effect->GetSource()) : std::nullopt);
    Write(params, effect != nullptr ? OutString(effect->GetParams()) : std::nullopt);
}

HResult CTimelineControl::DeleteTransition(int32_t trackIndex, int32_t transitionIndex) {
    return DeleteClip(trackIndex, transitionIndex);
}

HResult CTimelineControl::AddEffect(int32_t /*trackIndex*/, const wchar_t* name, float startTime,
                                    float stopTime, const wchar_t* params, int32_t* effectIndex) {
    return Apply(EffectEdit(kEffectTrack, ContentKind::Effect, name, startTime, stopTime, params),
                 true, effectIndex);
}

HResult CTimelineControl::ChangeEffect(int32_t /*trackIndex*/, int32_t effectIndex,
                                       const wchar_t* name, float startTime, float stopTime,
                                       const wchar_t* params, int32_t* result) {
    Edit edit = EffectEdit(kEffectTrack, ContentKind::Effect, name, startTime, stopTime, params);
    edit.contentIndex = effectIndex;
    return Apply(edit, false, result);
}

HResult CTimelineControl::GetEffect(int32_t /*trackIndex*/, int32_t effectIndex, OutString* name,
                                    float* startTime, float* stopTime, OutString* params) {
    return Guarded([&] {
        ReadEffect(
            static_cast<const IEffect*>(ContentOf(kEffectTrack, ContentKind::Effect, effectIndex)),
            name, startTime, stopTime, params);
    });
}

HResult CTimelineControl::DeleteEffect(int32_t trackIndex, int32_t effectIndex) {
    return DeleteClip(trackIndex, effectIndex);
}

// Counts, tracks, view.

HResult CTimelineControl::GetTrackCount(int32_t* trackCount) {
    return Guarded([&] { Write(trackCount, model_ ? model_->GetTrackCount() : 0); });
}

HResult CTimelineControl::GetClipCount(int32_t trackIndex, int32_t* clipCount) {
    return Guarded([&] {
        const ITrack* track = Track(trackIndex);
        Write(clipCount, track != nullptr ? track->GetContentCount() : -1);
    });
}

HResult CTimelineControl::GetTransitionCount(int32_t trackIndex, int32_t* transitionCount) {
    return GetClipCount(trackIndex, transitionCount);
}

HResult CTimelineControl::GetEffectCount(int32_t trackIndex, int32_t* effectCount) {
    return GetClipCount(trackIndex, effectCount);
}

HResult CTimelineControl::Clear() {
    return Guarded([&] {
        if (model_) {
            model_->Clear();
            Repaint();
        }
    });
}

HResult CTimelineControl::SetTrackVisible(int32_t trackIndex, int32_t visibility) {
    return Guarded([&] {
        if (model_) {
            model_->SetVisible(trackIndex, visibility != 0);
            Repaint();
        }
    });
}

HResult CTimelineControl::SetScale(float scale) {
    return Guarded([&] {
        if (model_) {
            model_->GetTimeScale()->SetScale(scale);
            Repaint();
        }
    });
}

HResult CTimelineControl::GetScale(float* scale) {
    return Guarded([&] { Write(scale, model_ ? model_->GetTimeScale()->GetScale() : 0.0f); });
}

HResult CTimelineControl::GetVideo1TrackIndex(int32_t* index) {
    Write(index, static_cast<int32_t>(kVideo1Track));
    return kOk;
}

HResult CTimelineControl::GetVideo2TrackIndex(int32_t* index) {
    Write(index, static_cast<int32_t>(kVideo2Track));
    return kOk;
}

HResult CTimelineControl::GetImageTrackIndex(int32_t* index) {
    Write(index, static_cast<int32_t>(kImageTrack));
    return kOk;
}

HResult CTimelineControl::GetTextTrackIndex(int32_t* index) {
    Write(index, static_cast<int32_t>(kTextTrack));
    return kOk;
}

HResult CTimelineControl::GetTransitionTrackIndex(int32_t* index) {
    Write(index, static_cast<int32_t>(kTransitionTrack));
    return kOk;
}

HResult CTimelineControl::GetEffectTrackIndex(int32_t* index) {
    Write(index, static_cast<int32_t>(kEffectTrack));
    return kOk;
}

HResult CTimelineControl::GetAudio1TrackIndex(int32_t* index) {
    Write(index, static_cast<int32_t>(kAudio1Track));
    return kOk;
}

HResult CTimelineControl::GetAudio2TrackIndex(int32_t* index) {
    Write(index, static_cast<int32_t>(kAudio2Track));
    return kOk;
}

HResult CTimelineControl::GetDESTransition(int32_t index, OutString* name) {
    return Guarded([&] {
        Write(name, OutString(model_ ? model_->GetDesTimeline()->GetTransitionName(index)
                                     : std::wstring()));
    });
}

HResult CTimelineControl::GetDESEffect(int32_t index, OutString* name) {
    return Guarded([&] {
        Write(name,
              OutString(model_ ? model_->GetDesTimeline()->GetEffectName(index) : std::wstring()));
    });
}

HResult CTimelineControl::SetVideoTrackResolution(int32_t width, int32_t height) {
    return Guarded([&] {
        videoWidth_ = width;
        videoHeight_ = height;
        if (model_) {
            model_->SetVideoTrackResolution(width, height);
        }
    });
}

HResult CTimelineControl::SetVideoTrackFrameRate(float frameRate) {
    return Guarded([&] {
        if (model_) {
            model_->SetVideoTrackFrameRate(frameRate);
        }
    });
}

HResult CTimelineControl::get_SkipBlackPosterFrame(VariantBool* value) {
    Write(value, static_cast<VariantBool>(skipBlackPosterFrame_));
    return kOk;
}

HResult CTimelineControl::put_SkipBlackPosterFrame(VariantBool value) {
    skipBlackPosterFrame_ = value;  // sign-extended: true given as -1 stays -1
    return kOk;
}

HResult CTimelineControl::ChangeTrackImage(int32_t index, const wchar_t* imageFile) {
    return Guarded([&] {
        std::ifstream file(ToPath(TextOf(imageFile)), std::ios::binary);
        if (!file || file.peek() == std::ifstream::traits_type::eof() || Track(index) == nullptr) {
            return;  // a file that cannot be read or is empty changes nothing
        }
        // The title images are the views'; the model tells them that one changed.
        model_->FireTrackImageChanged(index);
        Repaint();
    });
}

// Preview.

HResult CTimelineControl::SetPreviewWnd(int32_t window) {
    return Guarded([&] {
        if (model_) {
            // Window ids are unsigned; the interface carries them in an int.
            model_->SetPreviewWindow(static_cast<NativeWindow>(static_cast<uint32_t>(window)));
        }
    });
}

HResult CTimelineControl::Play() {
    return Guarded([&] {
        if (model_) {
            model_->Play();
            Repaint();
        }
    });
}

HResult CTimelineControl::Pause() {
    return Guarded([&] {
        if (model_) {
            model_->Pause();
            Repaint();
        }
    });
}

HResult CTimelineControl::Stop() {
    return Guarded([&] {
        if (model_) {
            model_->Stop();
            Repaint();
        }
    });
}

HResult CTimelineControl::get_IsPlaying(VariantBool* value) {
    Write(value, static_cast<VariantBool>(model_ && model_->IsPlaying() ? 1 : 0));
    return kOk;
}

HResult CTimelineControl::get_IsPause(VariantBool* value) {
    Write(value, static_cast<VariantBool>(model_ && model_->IsPaused() ? 1 : 0));
    return kOk;
}

// Projects.

HResult CTimelineControl::LoadProject(const wchar_t* fileName, int32_t* result) {
    return Guarded([&] {
        const std::wstring name = TextOf(fileName);
        if (name.empty() || !FileExists(name) || !model_) {
            Write(result, 0);
            return;
        }
        SetCursor(ControlCursor::Wait);
        const bool loaded = model_->LoadProject(name);
        SetCursor(ControlCursor::Arrow);
        if (loaded) {
            Repaint();
        }
        Write(result, loaded ? 1 : 0);
    });
}

HResult CTimelineControl::SaveProject(const wchar_t* fileName, int32_t* result) {
    return Guarded([&] {
        const std::wstring name = TextOf(fileName);
        Write(result, !name.empty() && model_ && model_->SaveProject(name) ? 1 : 0);
    });
}

// Media information.

HResult CTimelineControl::GetMediaDuration(const wchar_t* mediaFile, float* duration) {
    return Guarded([&] {
        MediaFile file;
        if (!file.open(TextOf(mediaFile).c_str())) {
            Write(duration, 0.0f);
        }
        Write(duration, DurationSeconds(file.getDuration()));
        file.close();
    });
}

HResult CTimelineControl::GetMediaInfo(const wchar_t* mediaFile, float* duration, int32_t* width,
                                       int32_t* height, float* frameRate, int32_t* videoBitRate,
                                       int32_t* audioBitRate, int32_t* audioSampleRate,
                                       int32_t* audioChannels, int32_t* videoStreamCount,
                                       int32_t* audioStreamCount, OutString* container,
                                       OutString* videoStreamFormat, OutString* audioStreamFormat) {
    return Guarded([&] {
        MediaFile file;
        if (!file.open(TextOf(mediaFile).c_str())) {
            Write(duration, 0.0f);
        }
        Write(duration, DurationSeconds(file.getDuration()));
        Write(height, file.getHeight());
        Write(width, file.getWidth());
        Write(frameRate, static_cast<float>(file.getFrameRate()));
        Write(audioBitRate, Kilobits(file.getAudioBitRate()));
        Write(videoBitRate, Kilobits(file.getVideoBitRate()));
        Write(audioSampleRate, file.getAudioSampleRate() / 1000);
        Write(audioChannels, file.getAudioChannel());
        Write(videoStreamCount, file.getContainerVideoStreamCount());
        Write(audioStreamCount, file.getContainerAudioStreamCount());
        Write(container, NameOf(file, &MediaFile::getContainer));
        Write(videoStreamFormat, StreamNameOf(file, &MediaFile::getContainerVideoStreamName));
        Write(audioStreamFormat, StreamNameOf(file, &MediaFile::getContainerAudioStreamName));
        file.close();
    });
}

// Conversion.

HResult CTimelineControl::Save(const wchar_t* fileName, int32_t* result) {
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
        if (model_) {
            request.wmvProfileId = model_->GetWMVProfileId(conversionSettings_.WMVProfile);
        }
        Write(result, model_ && model_->StartConversion(request) ? kSaveStarted : kSaveNotStarted);
    });
}

HResult CTimelineControl::StopConversion() {
    return Guarded([&] {
        if (model_) {
            model_->StopConversion();
        }
        Repaint();
    });
}

HResult CTimelineControl::GetVideoEncoder(int32_t index, OutString* name) {
    return Guarded(
        [&] { Write(name, OutString(model_ ? model_->GetVideoEncoderName(index) : L"")); });
}

HResult CTimelineControl::GetAudioEncoder(int32_t index, OutString* name) {
    return Guarded(
        [&] { Write(name, OutString(model_ ? model_->GetAudioEncoderName(index) : L"")); });
}

HResult CTimelineControl::GetWMVProfile(int32_t index, OutString* name) {
    return Guarded(
        [&] { Write(name, OutString(model_ ? model_->GetWMVProfileName(index) : L"")); });
}

#define VORTREL_DEFINE_PROPERTY(Type, Name, DispId, Default, Storage)  \
    HResult CTimelineControl::get_##Name(Type* value) {                \
        Write(value, static_cast<Type>(settings_.Name));               \
        return kOk;                                                    \
    }                                                                  \
    HResult CTimelineControl::put_##Name(Type value) {                 \
        settings_.Name = static_cast<decltype(settings_.Name)>(value); \
        return kOk;                                                    \
    }
VORTREL_OUTPUT_PROPERTIES(VORTREL_DEFINE_PROPERTY)
#undef VORTREL_DEFINE_PROPERTY

}  // namespace vortrel

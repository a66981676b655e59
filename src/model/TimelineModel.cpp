#include "model/TimelineModel.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "base/Utf8.h"
#include "editing/DesGroup.h"
#include "editing/DesRenderer.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "model/ClipTrack.h"
#include "model/EffectTrack.h"
#include "model/IClip.h"
#include "model/IObserver.h"
#include "model/ProjectFile.h"
#include "model/TextTrack.h"
#include "model/TimeRules.h"
#include "model/TimerDispatcher.h"
#include "model/TransitionTrack.h"
#include "ports/IConverter.h"
#include "ports/IDeviceCatalog.h"

namespace vortrel {

// Gives every content added to a track the model's zoom, so that it can turn pixels into time.
class ContentAddedEventHandler : public IObserver {
  public:
    explicit ContentAddedEventHandler(TimelineModel* owner) : owner_(owner) {}
    void Handle(ISubject& subject) override {
        if (IContent* content = static_cast<ContentEvent&>(subject).GetContent()) {
            content->GetSegment()->SetScale(owner_->timeScale_->GetScaleField());
        }
    }

  private:
    TimelineModel* owner_;
};

// Passes a track's visibility change on to the model's own subject.
class VisibilityChangedEventHandler : public IObserver {
  public:
    explicit VisibilityChangedEventHandler(TimelineModel* owner) : owner_(owner) {}
    void Handle(ISubject& subject) override {
        owner_->trackVisibilityChanged_->Notify(static_cast<VisibilityEvent&>(subject).IsVisible());
    }

  private:
    TimelineModel* owner_;
};

// Hands every timer tick of the process to the model, which picks out its own timers.
class PreviewTimerEventHandler : public IObserver {
  public:
    explicit PreviewTimerEventHandler(TimelineModel* owner) : owner_(owner) {}
    void Handle(ISubject& subject) override {
        owner_->OnTimer(static_cast<TimerEvent&>(subject).GetTimerId());
    }

  private:
    TimelineModel* owner_;
};

namespace {

template <typename T>
T ElementAt(const std::vector<T>& list, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) {
        return T{};
    }
    return list[static_cast<size_t>(index)];
}

void AppendNames(IDeviceCatalog& devices, DeviceCategory category,
                 std::vector<std::wstring>& names) {
    const IDeviceCatalog::Listing listing = devices.List(category);
    if (listing.failure != IDeviceCatalog::Failure::None) {
        return;
    }
    for (const DeviceMoniker& device : listing.devices) {
        if (device.bound && device.friendlyName) {
            names.push_back(*device.friendlyName);
        }
    }
}

}  // namespace

TimelineModel::TimelineModel(IDeviceCatalog& devices, std::shared_ptr<EditFailures> failures)
    : timeScale_(std::make_shared<TimeScale>()),
      videoTrackAdded_(std::make_shared<TrackEvent>()),
      audioTrackAdded_(std::make_shared<TrackEvent>()),
      textTrackAdded_(std::make_shared<TrackEvent>()),
      imageTrackAdded_(std::make_shared<TrackEvent>()),
      transitionTrackAdded_(std::make_shared<TrackEvent>()),
      effectTrackAdded_(std::make_shared<TrackEvent>()),
      trackVisibilityChanged_(std::make_shared<VisibilityEvent>()),
      playbackPosition_(std::make_shared<SeekEvent>()),
      playbackCompleted_(std::make_shared<SeekEvent>()),
      convertProgress_(std::make_shared<SeekEvent>()),
      convertCompleted_(std::make_shared<SeekEvent>()),
      desTimeline_(std::make_shared<DesTimeline>(devices, std::move(failures))),
      desVideoGroup_(std::make_shared<DesVideoGroup>(desTimeline_.get(), 320, 240, 15.0f)),
      desAudioGroup_(std::make_shared<DesAudioGroup>(desTimeline_.get(), 44100)),
      previewRenderer_(std::make_shared<DesRenderer>(desTimeline_.get())),
      converter_(ConverterFactory::Create()),
      windows_(NativeWindowsFactory::Create()),
      previewTimerHandler_(std::make_shared<PreviewTimerEventHandler>(this)),
      contentAddedHandler_(std::make_shared<ContentAddedEventHandler>(this)),
      visibilityChangedHandler_(std::make_shared<VisibilityChangedEventHandler>(this)) {
    TimerDispatcher& timers = TimerDispatcher::Instance();
    previewTimerId_ = timers.TakeTimerId();
    convertTimerId_ = timers.TakeTimerId();
    timers.GetTimerEvent()->Attach(previewTimerHandler_.get());
    FillEncoderLists(devices);
}

TimelineModel::~TimelineModel() {
    StopConversion();
    // The dispatcher outlives every model: it must not call a handler that is gone.
    TimerDispatcher& timers = TimerDispatcher::Instance();
    timers.KillTimer(previewTimerId_);
    timers.KillTimer(convertTimerId_);
    timers.GetTimerEvent()->Detach(previewTimerHandler_.get());
    tracks_.clear();
}

void TimelineModel::FillEncoderLists(IDeviceCatalog& devices) {
    AppendNames(devices, DeviceCategory::VideoCompressors, videoEncoderNames_);
    AppendNames(devices, DeviceCategory::AudioCompressors, audioEncoderNames_);
    for (const OutputProfile& profile : devices.ListOutputProfiles()) {
        if (profile.videoStreams == 0 && profile.audioStreams == 1) {
            continue;  // audio only
        }
        wmvProfileNames_.push_back(profile.name);
        const std::optional<Guid> id = Guid::Parse(profile.id);
        if (id && *id != Guid{}) {
            wmvProfiles_.push_back(id->ToBytes());
        }
    }
}

void TimelineModel::BuildTracks() {
    DesVideoGroup& video = *desVideoGroup_;
    DesAudioGroup& audio = *desAudioGroup_;
    tracks_.clear();
    tracks_.reserve(kTrackCount);
    const std::pair<std::shared_ptr<ITrack>, TrackEvent*> made[] = {
        {std::make_shared<TransitionTrack>(), transitionTrackAdded_.get()},
        {std::make_shared<VideoTrack>(std::make_shared<DesTrack>(video)), videoTrackAdded_.get()},
        {std::make_shared<VideoTrack>(std::make_shared<DesTrack>(video)), videoTrackAdded_.get()},
        {std::make_shared<ImageTrack>(std::make_shared<DesTrack>(video)), imageTrackAdded_.get()},
        {std::make_shared<EffectTrack>(&video), effectTrackAdded_.get()},
        {std::make_shared<AudioTrack>(std::make_shared<DesTrack>(audio)), audioTrackAdded_.get()},
        {std::make_shared<AudioTrack>(std::make_shared<DesTrack>(audio)), audioTrackAdded_.get()},
        {std::make_shared<TextTrack>(std::make_shared<DesTrack>(video)), textTrackAdded_.get()},
    };
    for (const auto& [track, added] : made) {
        const auto index = static_cast<int32_t>(tracks_.size());
        tracks_.push_back(track);
        track->GetContentAdded()->Attach(contentAddedHandler_.get());
        track->GetVisibilityChanged()->Attach(visibilityChangedHandler_.get());
        added->Notify(track.get(), index);
    }
    SetVisible(kAudio2Track, false);
    SetVisible(kVideo2Track, false);
}

ITrack* TimelineModel::GetTrack(int32_t index) const {
    return ElementAt(tracks_, index).get();
}

int32_t TimelineModel::IndexOfTrack(const ITrack* track) const {
    for (size_t i = 0; track != nullptr && i < tracks_.size(); ++i) {
        if (tracks_[i].get() == track) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

bool TimelineModel::FindContent(const IContent* content, int32_t& position,
                                int32_t& trackIndex) const {
    for (int32_t t = 0; content != nullptr && t < GetTrackCount(); ++t) {
        const ITrack& track = *tracks_[static_cast<size_t>(t)];
        for (int32_t p = 0; p < track.GetContentCount(); ++p) {
            if (track.GetContentAt(p) == content) {
                position = p;
                trackIndex = t;
                return true;
            }
        }
    }
    return false;
}

void TimelineModel::SetVisible(int32_t index, bool visible) {
    ITrack* track = GetTrack(index);
    if (track == nullptr) {
        return;
    }
    // The track announces its change, which reaches trackVisibilityChanged once through the
    // model's handler; the model then announces it a second time itself.
    track->SetVisible(visible);
    trackVisibilityChanged_->Notify(visible);
}

void TimelineModel::FireTrackImageChanged(int32_t index) {
    if (ITrack* track = GetTrack(index)) {
        track->GetImageChanged()->Notify(track, index);
    }
}

void TimelineModel::Clear() {
    Stop();
    for (const auto& track : tracks_) {
        track->RemoveAllContents();
    }
}

namespace {

// The style of the video window: a child window that does not draw over its siblings.
constexpr uint32_t kVideoWindowStyle = 0x44000000;
constexpr int32_t kPreviewTickMilliseconds = 1000;

int32_t ToMilliseconds(int64_t referenceTime) {
    return TruncateToInt32(static_cast<double>(referenceTime / kReferenceTimePerMillisecond));
}

}  // namespace

WindowRect PlaceVideo(const WindowRect& area, int32_t videoWidth, int32_t videoHeight) {
    const int32_t width = area.Width();
    const int32_t height = area.Height();
    const double shape = static_cast<double>(videoWidth) / static_cast<double>(videoHeight);
    int32_t placedWidth = width;
    int32_t placedHeight = height;
    // Degenerate sizes give an infinite or undefined shape; the conversions saturate, so the
    // video then fills the area instead of landing anywhere.
    if (std::isfinite(shape) && shape > 0.0) {
        if (static_cast<double>(width) / static_cast<double>(height) > shape) {
            placedWidth = TruncateToInt32(shape * height);
        } else {
            placedHeight = TruncateToInt32(width / shape);
        }
    }
    WindowRect placed;
    placed.left = area.left + (width - placedWidth) / 2;
    placed.top = area.top + (height - placedHeight) / 2;
    placed.right = placed.left + placedWidth;
    placed.bottom = placed.top + placedHeight;
    return placed;
}

void TimelineModel::SetPreviewWindow(NativeWindow window) {
    previewParent_ = 0;
    previewRect_ = WindowRect{};
    if (!windows_) {
        return;  // no window system: the preview shows no video window
    }
    previewParent_ = windows_->GetParent(window);
    WindowRect client;
    if (windows_->GetClientRectInParent(window, client)) {
        previewRect_ =
            WindowRect{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
    }
}

void TimelineModel::Play() {
    if (previewRenderer_->ConnectTimeline() < 0) {
        return;  // the graph cannot be built: nothing plays and nothing is reported
    }
    IFilterGraph* graph = previewRenderer_->GetFilterGraph();
    if (graph == nullptr) {
        return;
    }
    if (graph->GetState() == GraphState::Stopped) {
        if (previewParent_ != 0) {
            graph->SetOwner(previewParent_);
            graph->SetWindowStyle(kVideoWindowStyle);
            int32_t width = 0;
            int32_t height = 0;
            graph->GetVideoSize(width, height);
            const WindowRect placed = PlaceVideo(previewRect_, width, height);
            graph->SetWindowPosition(placed.left, placed.top, placed.Width(), placed.Height());
        }
        playbackPosition_->Notify(0);
        // The host may have stopped the preview from inside the notification.
        graph = previewRenderer_->GetFilterGraph();
        if (graph == nullptr) {
            return;
        }
    }
    graph->Run();
    TimerDispatcher::Instance().SetTimer(previewTimerId_, kPreviewTickMilliseconds);
    playbackEnded_ = false;
    playing_ = true;
    paused_ = false;
}

void TimelineModel::Pause() {
    IFilterGraph* graph = previewRenderer_->GetFilterGraph();
    if (graph == nullptr) {
        return;
    }
    graph->Pause();
    TimerDispatcher::Instance().KillTimer(previewTimerId_);
    int64_t current = 0;
    int64_t stop = 0;
    graph->GetPositions(current, stop);
    playbackPosition_->Notify(ToMilliseconds(current));
    if (previewRenderer_->IsConnected()) {  // unless the host stopped it meanwhile
        playing_ = false;
        paused_ = true;
    }
}

void TimelineModel::Seek(int32_t milliseconds) {
    IFilterGraph* graph = previewRenderer_->GetFilterGraph();
    if (graph == nullptr) {
        return;  // before the first play a click on the ruler moves nothing here
    }
    graph->SetPositions(static_cast<int64_t>(milliseconds) * kReferenceTimePerMillisecond);
    playbackPosition_->Notify(milliseconds);
    Pause();
}

void TimelineModel::Stop() {
    IFilterGraph* graph = previewRenderer_->GetFilterGraph();
    // A host that stops the preview when told of a position would otherwise be told of the
    // stop's own positions and stop again without end.
    if (graph == nullptr || stopping_) {
        return;
    }
    stopping_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{stopping_};
    TimerDispatcher::Instance().KillTimer(previewTimerId_);
    Seek(0);
    // An observer of the position may have stopped the preview already.
    graph = previewRenderer_->GetFilterGraph();
    if (graph != nullptr) {
        graph->Stop();
        if (previewParent_ != 0) {
            graph->SetVisible(false);
            graph->SetOwner(0);
        }
        previewRenderer_->Reset();
    }
    playing_ = false;
    paused_ = false;
}

void TimelineModel::PreviewTick() {
    IFilterGraph* graph = previewRenderer_->GetFilterGraph();
    if (graph == nullptr) {
        // A tick can only come while playing; a stray one has nothing to report.
        TimerDispatcher::Instance().KillTimer(previewTimerId_);
        return;
    }
    if (playbackEnded_) {
        TimerDispatcher::Instance().KillTimer(previewTimerId_);
        playbackCompleted_->Notify(0);
        Stop();
        return;
    }
    int64_t current = 0;
    int64_t stop = 0;
    graph->GetPositions(current, stop);
    playbackPosition_->Notify(ToMilliseconds(current));
    // The host may have paused or stopped the preview from inside the notification.
    graph = previewRenderer_->GetFilterGraph();
    if (graph != nullptr && graph->IsComplete()) {
        playbackEnded_ = true;
    }
}

void TimelineModel::SetVideoTrackResolution(int32_t width, int32_t height) {
    desVideoGroup_->SetResolution(*desVideoGroup_->GetGroupObject(), width, height);
}

void TimelineModel::SetVideoTrackFrameRate(float frameRate) {
    desVideoGroup_->SetFrameRate(frameRate);
}

std::wstring TimelineModel::GetVideoEncoderName(int32_t index) const {
    return ElementAt(videoEncoderNames_, index);
}

std::wstring TimelineModel::GetAudioEncoderName(int32_t index) const {
    return ElementAt(audioEncoderNames_, index);
}

std::wstring TimelineModel::GetWMVProfileName(int32_t index) const {
    return ElementAt(wmvProfileNames_, index);
}

std::array<uint8_t, 16> TimelineModel::GetWMVProfileId(int32_t index) const {
    return ElementAt(wmvProfiles_, index);
}

void TimelineModel::OnTimer(int32_t timerId) {
    if (timerId == previewTimerId_) {
        PreviewTick();
    }
    if (timerId == convertTimerId_) {
        ConversionTick();
    }
}

bool TimelineModel::UsesMediaFile(const std::wstring& fileName) const {
    const std::filesystem::path file = ToPath(fileName);
    for (const int32_t index :
         {kVideo1Track, kVideo2Track, kImageTrack, kAudio1Track, kAudio2Track}) {
        const ITrack* track = GetTrack(index);
        for (int32_t item = 0; track != nullptr && item < track->GetContentCount(); ++item) {
            const auto* clip = static_cast<const IClip*>(track->GetContentAt(item));
            std::error_code error;
            // By identity: another name of the same file (a link, a relative path) counts.
            if (std::filesystem::equivalent(file, ToPath(clip->GetSource()), error)) {
                return true;
            }
        }
    }
    return false;
}

bool TimelineModel::StartConversion(const ConversionRequest& request) {
    if (!converter_ || converter_->IsConnected()) {
        return false;
    }
    if (UsesMediaFile(request.fileName)) {
        return false;  // rendering over a source would destroy it while it is read
    }
    if (!converter_->Start(desTimeline_->GetTimeline(), request)) {
        converter_->Reset();
        return false;
    }
    TimerDispatcher::Instance().SetTimer(convertTimerId_, 1000);
    return true;
}

void TimelineModel::ConversionTick() {
    if (!converter_ || !converter_->IsConnected()) {
        return;
    }
    int64_t current = 0;
    int64_t duration = 0;
    if (converter_->GetProgress(current, duration) && duration != 0) {
        current = std::min(current, duration);
        // Whole milliseconds of each, then their ratio as a percentage, truncated.
        const int64_t done = current / kReferenceTimePerMillisecond;
        const int64_t total = duration / kReferenceTimePerMillisecond;
        if (total != 0) {
            convertProgress_->Notify(
                TruncateToInt32(static_cast<double>(done) / static_cast<double>(total) * 100.0));
        }
    }
    const bool complete = converter_->IsComplete();
    if (complete || converter_->HasFailed()) {
        TimerDispatcher::Instance().KillTimer(convertTimerId_);
        converter_->Stop();
        converter_->Reset();
        // A failed conversion still ends, so that no host waits for ever; hosts that read
        // the progress learn of the failure from its value.
        if (!complete) {
            convertProgress_->Notify(kConversionFailed);
        }
        convertCompleted_->Notify(0);
    }
}

void TimelineModel::StopConversion() {
    if (converter_ && converter_->IsConnected()) {
        TimerDispatcher::Instance().KillTimer(convertTimerId_);
        converter_->Stop();
        converter_->Reset();
    }
}

bool TimelineModel::SaveProject(const std::wstring& fileName) const {
    return ProjectFile::Save(*this, fileName);
}

bool TimelineModel::LoadProject(const std::wstring& fileName) {
    return ProjectFile::Load(*this, fileName);
}

}  // namespace vortrel

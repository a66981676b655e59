#include "model/TimelineModel.h"

#include <algorithm>

#include "engine/des/DesGroup.h"
#include "engine/des/DesTimeline.h"
#include "engine/des/DesTrack.h"
#include "engine/des/IConverter.h"
#include "engine/des/IDeviceCatalog.h"
#include "model/ClipTrack.h"
#include "model/EffectTrack.h"
#include "model/IObserver.h"
#include "model/ProjectFile.h"
#include "model/TextTrack.h"
#include "model/TimeRules.h"
#include "model/TimerDispatcher.h"
#include "model/TransitionTrack.h"

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
      converter_(ConverterFactory::Create()),
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

void TimelineModel::Play() {
    // Without a player there is no graph to build: playing does not start.
}

void TimelineModel::Pause() {
    // Nothing plays, so there is nothing to pause.
}

void TimelineModel::Stop() {
    playing_ = false;
    paused_ = false;
    playbackEnded_ = false;
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
    if (timerId == convertTimerId_) {
        ConversionTick();
    }
}

bool TimelineModel::StartConversion(const ConversionRequest& request) {
    if (!converter_ || converter_->IsConnected()) {
        return false;
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
    if (converter_->IsComplete()) {
        TimerDispatcher::Instance().KillTimer(convertTimerId_);
        converter_->Stop();
        converter_->Reset();
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

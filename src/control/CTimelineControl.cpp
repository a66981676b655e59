#include "control/CTimelineControl.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "base/FileAccess.h"
#include "base/Utf8.h"
#include "control/MediaInformation.h"
#include "control/MemberBoundary.h"
#include "control/WindowHandlers.h"
#include "editing/DesTimeline.h"
#include "model/ITrack.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "ports/Platform.h"
#include "resources/Resources.h"
#include "views/TimelineView.h"

namespace vortrel {

CTimelineControl::CTimelineControl(const Platform& platform, std::shared_ptr<EditFailures> failures)
    : devices_(*platform.devices),
      failures_(std::move(failures)),
      editor_(context_),
      output_(context_) {}

CTimelineControl::~CTimelineControl() {
    OnDestroy();
    if (model_) {
        for (const auto& subject : ObservedSubjects()) {
            subject->Detach(this);
        }
    }
}

std::vector<ISubject*> CTimelineControl::ObservedSubjects() const {
    std::vector<ISubject*> subjects = {
        model_->GetPlaybackPosition().get(), model_->GetPlaybackCompleted().get(),
        model_->GetConvertProgress().get(), model_->GetConvertCompleted().get()};
    // An initialisation that failed may have left the model without its view.
    if (view_) {
        subjects.insert(subjects.begin(), view_->GetSelectionEvent().get());
    }
    return subjects;
}

void CTimelineControl::Initialize() {
    model_ = std::make_unique<TimelineModel>(devices_, failures_);
    context_.model = model_.get();
    view_ = std::make_unique<TimelineView>(*model_);
    windowHandlers_ = std::make_unique<WindowHandlers>(*view_, view_->GetMouseDispatcher());
    windowHandlers_->SetWindow(context_.window);
    // One image per track index, in index order; a picture missing from the resources adds
    // none.
    for (const int id : kTrackImageIds) {
        if (const auto bytes = ResourceBytes(id)) {
            view_->AddTrackImage(MakeTrackImageBytes(*bytes));
        }
    }
    context_.skipBlackPosterFrame = 1;
    context_.videoWidth = 320;
    context_.videoHeight = 240;
    model_->BuildTracks();
    for (ISubject* subject : ObservedSubjects()) {
        subject->Attach(this);
    }
}

void CTimelineControl::OnCreate(IControlWindow* window, ITimerHost* timers) {
    output_.ResetSettings();
    context_.window = window;
    if (windowHandlers_) {
        windowHandlers_->SetWindow(window);
    }
    timers_ = timers;
    TimerDispatcher::Instance().RegisterHost(timers);
}

void CTimelineControl::OnDestroy() {
    if (timers_ != nullptr) {
        TimerDispatcher::Instance().UnregisterHost(timers_);
    }
    timers_ = nullptr;
    context_.window = nullptr;
    if (windowHandlers_) {
        windowHandlers_->SetWindow(nullptr);
    }
}

void CTimelineControl::OnSize(int16_t width, int16_t height) {
    if (windowHandlers_) {
        windowHandlers_->OnSize(width, height);
    }
}

void CTimelineControl::OnPaint(IDrawContext& target, int32_t clientWidth, int32_t clientHeight,
                               const DrawRect& update) {
    if (windowHandlers_) {
        windowHandlers_->OnPaint(target, clientWidth, clientHeight, update);
    }
}

template <typename Message>
void CTimelineControl::DispatchMouse(const Message& message) {
    if (!windowHandlers_) {
        return;
    }
    {
        dispatchingMouse_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{dispatchingMouse_};
        message(*windowHandlers_);
    }
    for (; pendingSelections_ > 0; --pendingSelections_) {
        FireSelection();
    }
}

void CTimelineControl::OnLeftButtonDown(int16_t x, int16_t y) {
    DispatchMouse([x, y](WindowHandlers& handlers) { handlers.OnLeftButtonDown(x, y); });
}

void CTimelineControl::OnLeftButtonUp(int16_t x, int16_t y) {
    DispatchMouse([x, y](WindowHandlers& handlers) { handlers.OnLeftButtonUp(x, y); });
}

void CTimelineControl::OnMouseMove(int16_t x, int16_t y) {
    DispatchMouse([x, y](WindowHandlers& handlers) { handlers.OnMouseMove(x, y); });
}

void CTimelineControl::OnTimer(int32_t timerId) {
    if (windowHandlers_) {
        windowHandlers_->OnTimer(timerId);
    }
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

void CTimelineControl::FireSelection() {
    Fire([](ITimelineControlEvents& sink) { sink.OnUpdate(); });
    // Read after OnUpdate: a sink may have removed the clip, which clears the selection.
    int32_t position = 0;
    int32_t trackIndex = 0;
    const IContent* content = view_->SelectedContent();
    if (content != nullptr && model_->FindContent(content, position, trackIndex)) {
        Fire([trackIndex, position](ITimelineControlEvents& sink) {
            sink.OnClickClip(trackIndex, position);
        });
    }
}

void CTimelineControl::Handle(ISubject& subject) {
    if (view_ && &subject == view_->GetSelectionEvent().get()) {
        if (dispatchingMouse_) {
            ++pendingSelections_;
        } else {
            FireSelection();
        }
        return;
    }
    Fire([](ITimelineControlEvents& sink) { sink.OnUpdate(); });
    if (!model_) {
        return;
    }
    if (&subject == model_->GetPlaybackPosition().get()) {
        const int32_t position = model_->GetPlaybackPosition()->GetValue();
        Fire([position](ITimelineControlEvents& sink) { sink.OnPlaying(position); });
    }
    if (&subject == model_->GetPlaybackCompleted().get()) {
        Fire([](ITimelineControlEvents& sink) { sink.OnPlayingCompleted(); });
    }
    if (&subject == model_->GetConvertProgress().get()) {
        const int32_t progress = model_->GetConvertProgress()->GetValue();
        Fire([progress](ITimelineControlEvents& sink) { sink.OnConvertProgress(progress); });
    }
    if (&subject == model_->GetConvertCompleted().get()) {
        Fire([](ITimelineControlEvents& sink) { sink.OnConvertCompleted(); });
    }
}

// Editing.

HResult CTimelineControl::AddVideoClip(int32_t trackIndex, const wchar_t* fileName,
                                       float clipStartTime, float clipStopTime, float mediaTime,
                                       int32_t* clipIndex) {
    return editor_.AddVideoClip(trackIndex, fileName, clipStartTime, clipStopTime, mediaTime,
                                clipIndex);
}

HResult CTimelineControl::AddAudioClip(int32_t trackIndex, const wchar_t* fileName,
                                       float clipStartTime, float clipStopTime, float mediaTime,
                                       float volume, int32_t* clipIndex) {
    return editor_.AddAudioClip(trackIndex, fileName, clipStartTime, clipStopTime, mediaTime,
                                volume, clipIndex);
}

HResult CTimelineControl::AddTextClip(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                                      float clipStopTime, int32_t font, int32_t x, int32_t y,
                                      uint32_t color, int32_t* clipIndex) {
    return editor_.AddTextClip(trackIndex, text, clipStartTime, clipStopTime, font, x, y, color,
                               clipIndex);
}

HResult CTimelineControl::AddTextClip2(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                                       float clipStopTime, int32_t font, int32_t x, int32_t y,
                                       int32_t red, int32_t green, int32_t blue,
                                       int32_t* clipIndex) {
    return editor_.AddTextClip2(trackIndex, text, clipStartTime, clipStopTime, font, x, y, red,
                                green, blue, clipIndex);
}

HResult CTimelineControl::AddImageClip(int32_t trackIndex, const wchar_t* fileName,
                                       float clipStartTime, float clipStopTime,
                                       int32_t* clipIndex) {
    return editor_.AddImageClip(trackIndex, fileName, clipStartTime, clipStopTime, clipIndex);
}

HResult CTimelineControl::ChangeVideoClip(int32_t trackIndex, int32_t clipIndex,
                                          const wchar_t* fileName, float clipStartTime,
                                          float clipStopTime, float mediaTime, int32_t* result) {
    return editor_.ChangeVideoClip(trackIndex, clipIndex, fileName, clipStartTime, clipStopTime,
                                   mediaTime, result);
}

HResult CTimelineControl::ChangeAudioClip(int32_t trackIndex, int32_t clipIndex,
                                          const wchar_t* fileName, float clipStartTime,
                                          float clipStopTime, float mediaTime, float volume,
                                          int32_t* result) {
    return editor_.ChangeAudioClip(trackIndex, clipIndex, fileName, clipStartTime, clipStopTime,
                                   mediaTime, volume, result);
}

HResult CTimelineControl::ChangeTextClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* text,
                                         float clipStartTime, float clipStopTime, int32_t font,
                                         int32_t x, int32_t y, uint32_t color, int32_t* result) {
    return editor_.ChangeTextClip(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font, x,
                                  y, color, result);
}

HResult CTimelineControl::ChangeTextClip2(int32_t trackIndex, int32_t clipIndex,
                                          const wchar_t* text, float clipStartTime,
                                          float clipStopTime, int32_t font, int32_t x, int32_t y,
                                          int32_t red, int32_t green, int32_t blue,
                                          int32_t* result) {
    return editor_.ChangeTextClip2(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font,
                                   x, y, red, green, blue, result);
}

HResult CTimelineControl::ChangeImageClip(int32_t trackIndex, int32_t clipIndex,
                                          const wchar_t* fileName, float clipStartTime,
                                          float clipStopTime, int32_t* result) {
    return editor_.ChangeImageClip(trackIndex, clipIndex, fileName, clipStartTime, clipStopTime,
                                   result);
}

HResult CTimelineControl::GetVideoClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                       float* clipStartTime, float* clipStopTime,
                                       float* mediaTime) {
    return editor_.GetVideoClip(trackIndex, clipIndex, fileName, clipStartTime, clipStopTime,
                                mediaTime);
}

HResult CTimelineControl::GetAudioClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                       float* clipStartTime, float* clipStopTime, float* mediaTime,
                                       float* volume) {
    return editor_.GetAudioClip(trackIndex, clipIndex, fileName, clipStartTime, clipStopTime,
                                mediaTime, volume);
}

HResult CTimelineControl::GetTextClip(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                      float* clipStartTime, float* clipStopTime, int32_t* font,
                                      int32_t* x, int32_t* y, uint32_t* color) {
    return editor_.GetTextClip(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font, x, y,
                               color);
}

HResult CTimelineControl::GetTextClip2(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                       float* clipStartTime, float* clipStopTime, int32_t* font,
                                       int32_t* x, int32_t* y, int32_t* red, int32_t* green,
                                       int32_t* blue) {
    return editor_.GetTextClip2(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font, x,
                                y, red, green, blue);
}

HResult CTimelineControl::GetImageClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                       float* clipStartTime, float* clipStopTime) {
    return editor_.GetImageClip(trackIndex, clipIndex, fileName, clipStartTime, clipStopTime);
}

HResult CTimelineControl::DeleteClip(int32_t trackIndex, int32_t clipIndex) {
    return editor_.DeleteClip(trackIndex, clipIndex);
}

HResult CTimelineControl::AddTransition(int32_t trackIndex, const wchar_t* name, float startTime,
                                        float stopTime, const wchar_t* params,
                                        int32_t mediaTrackIndex, int32_t reverseDirection,
                                        int32_t* transitionIndex) {
    return editor_.AddTransition(trackIndex, name, startTime, stopTime, params, mediaTrackIndex,
                                 reverseDirection, transitionIndex);
}

HResult CTimelineControl::ChangeTransition(int32_t trackIndex, int32_t transitionIndex,
                                           const wchar_t* name, float startTime, float stopTime,
                                           const wchar_t* params, int32_t mediaTrackIndex,
                                           int32_t reverseDirection, int32_t* result) {
    return editor_.ChangeTransition(trackIndex, transitionIndex, name, startTime, stopTime, params,
                                    mediaTrackIndex, reverseDirection, result);
}

HResult CTimelineControl::GetTransition(int32_t trackIndex, int32_t transitionIndex,
                                        OutString* name, float* startTime, float* stopTime,
                                        OutString* params, int32_t* mediaTrackIndex,
                                        int32_t* reverseDirection) {
    return editor_.GetTransition(trackIndex, transitionIndex, name, startTime, stopTime, params,
                                 mediaTrackIndex, reverseDirection);
}

HResult CTimelineControl::DeleteTransition(int32_t trackIndex, int32_t transitionIndex) {
    return editor_.DeleteTransition(trackIndex, transitionIndex);
}

HResult CTimelineControl::AddEffect(int32_t trackIndex, const wchar_t* name, float startTime,
                                    float stopTime, const wchar_t* params, int32_t* effectIndex) {
    return editor_.AddEffect(trackIndex, name, startTime, stopTime, params, effectIndex);
}

HResult CTimelineControl::ChangeEffect(int32_t trackIndex, int32_t effectIndex, const wchar_t* name,
                                       float startTime, float stopTime, const wchar_t* params,
                                       int32_t* result) {
    return editor_.ChangeEffect(trackIndex, effectIndex, name, startTime, stopTime, params, result);
}

HResult CTimelineControl::GetEffect(int32_t trackIndex, int32_t effectIndex, OutString* name,
                                    float* startTime, float* stopTime, OutString* params) {
    return editor_.GetEffect(trackIndex, effectIndex, name, startTime, stopTime, params);
}

HResult CTimelineControl::DeleteEffect(int32_t trackIndex, int32_t effectIndex) {
    return editor_.DeleteEffect(trackIndex, effectIndex);
}

HResult CTimelineControl::GetClipCount(int32_t trackIndex, int32_t* clipCount) {
    return editor_.GetClipCount(trackIndex, clipCount);
}

HResult CTimelineControl::GetTransitionCount(int32_t trackIndex, int32_t* transitionCount) {
    return editor_.GetTransitionCount(trackIndex, transitionCount);
}

HResult CTimelineControl::GetEffectCount(int32_t trackIndex, int32_t* effectCount) {
    return editor_.GetEffectCount(trackIndex, effectCount);
}

// Counts, tracks, view.

HResult CTimelineControl::GetTrackCount(int32_t* trackCount) {
    return Guarded([&] { Write(trackCount, model_ ? model_->GetTrackCount() : 0); });
}

HResult CTimelineControl::Clear() {
    return Guarded([&] {
        if (model_) {
            model_->Clear();
            context_.Repaint();
        }
    });
}

HResult CTimelineControl::SetTrackVisible(int32_t trackIndex, int32_t visibility) {
    return Guarded([&] {
        if (model_) {
            model_->SetVisible(trackIndex, visibility != 0);
            context_.Repaint();
        }
    });
}

HResult CTimelineControl::SetScale(float scale) {
    return Guarded([&] {
        if (model_) {
            model_->GetTimeScale()->SetScale(scale);
            context_.Repaint();
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
        context_.videoWidth = width;
        context_.videoHeight = height;
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
    Write(value, static_cast<VariantBool>(context_.skipBlackPosterFrame));
    return kOk;
}

HResult CTimelineControl::put_SkipBlackPosterFrame(VariantBool value) {
    context_.skipBlackPosterFrame = value;  // sign-extended: true given as -1 stays -1
    return kOk;
}

HResult CTimelineControl::ChangeTrackImage(int32_t index, const wchar_t* imageFile) {
    return Guarded([&] {
        // Only a regular file is read: a pipe named here would hold the control for ever.
        UniqueFile file = OpenRegularFile(ToPath(TextOf(imageFile)));
        std::vector<uint8_t> bytes;
        if (file != nullptr) {
            uint8_t block[16384];
            size_t read = 0;
            while ((read = std::fread(block, 1, sizeof block, file.get())) > 0) {
                bytes.insert(bytes.end(), block, block + read);
            }
            if (std::ferror(file.get()) != 0) {
                bytes.clear();
            }
        }
        if (bytes.empty() || !view_) {
            return;  // a file that cannot be read or is empty changes nothing
        }
        // The view keeps the picture and tells the model, whose tracks tell their rows.
        view_->SetTrackImage(index, MakeTrackImageBytes(bytes));
        context_.Repaint();
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
            context_.Repaint();
        }
    });
}

HResult CTimelineControl::Pause() {
    return Guarded([&] {
        if (model_) {
            model_->Pause();
            context_.Repaint();
        }
    });
}

HResult CTimelineControl::Stop() {
    return Guarded([&] {
        if (model_) {
            model_->Stop();
            context_.Repaint();
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
        context_.SetCursor(ControlCursor::Wait);
        const bool loaded = model_->LoadProject(name);
        context_.SetCursor(ControlCursor::Arrow);
        if (loaded) {
            context_.Repaint();
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
    return ReadMediaDuration(mediaFile, duration);
}

HResult CTimelineControl::GetMediaInfo(const wchar_t* mediaFile, float* duration, int32_t* width,
                                       int32_t* height, float* frameRate, int32_t* videoBitRate,
                                       int32_t* audioBitRate, int32_t* audioSampleRate,
                                       int32_t* audioChannels, int32_t* videoStreamCount,
                                       int32_t* audioStreamCount, OutString* container,
                                       OutString* videoStreamFormat, OutString* audioStreamFormat) {
    return ReadMediaInfo(mediaFile, duration, width, height, frameRate, videoBitRate, audioBitRate,
                         audioSampleRate, audioChannels, videoStreamCount, audioStreamCount,
                         container, videoStreamFormat, audioStreamFormat);
}

// Output settings and conversion.

HResult CTimelineControl::Save(const wchar_t* fileName, int32_t* result) {
    return output_.Save(fileName, result);
}

HResult CTimelineControl::StopConversion() {
    return output_.StopConversion();
}

HResult CTimelineControl::GetVideoEncoder(int32_t index, OutString* name) {
    return output_.GetVideoEncoder(index, name);
}

HResult CTimelineControl::GetAudioEncoder(int32_t index, OutString* name) {
    return output_.GetAudioEncoder(index, name);
}

HResult CTimelineControl::GetWMVProfile(int32_t index, OutString* name) {
    return output_.GetWMVProfile(index, name);
}

#define VORTREL_FORWARD_PROPERTY(Type, Name, DispId, Default, Storage) \
    HResult CTimelineControl::get_##Name(Type* value) {                \
        return output_.get_##Name(value);                              \
    }                                                                  \
    HResult CTimelineControl::put_##Name(Type value) {                 \
        return output_.put_##Name(value);                              \
    }
VORTREL_OUTPUT_PROPERTIES(VORTREL_FORWARD_PROPERTY)
#undef VORTREL_FORWARD_PROPERTY

}  // namespace vortrel

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "control/ContentEditor.h"
#include "control/ControlContext.h"
#include "control/ControlOutput.h"
#include "control/ITimelineControl.h"
#include "model/IObserver.h"
#include "ports/IControlWindow.h"
#include "ports/IDrawContext.h"

namespace vortrel {

class EditFailures;
class IDeviceCatalog;
class ISubject;
class ITimerHost;
struct Platform;
class TimelineModel;
class TimelineView;
class WindowHandlers;

// The timeline control: the front of every member of ITimelineControl, written once for
// every build. It owns the timeline model, its lifecycle, preview and projects, turns the
// model's notifications into host events and asks its window to repaint after each change;
// the editing members, media information, output settings and window messages are parts of
// their own. The platform shells only host it: they make it, initialise it, give it a window
// and translate that window's messages into the On… calls below.
class CTimelineControl : public ITimelineControl, public IObserver {
  public:
    /// A control on an installed platform, whose model lists the platform's catalogue;
    /// failures is the editing timeline's failure plan (none: nothing fails).
    explicit CTimelineControl(const Platform& platform,
                              std::shared_ptr<EditFailures> failures = nullptr);
    ~CTimelineControl() override;

    /// Makes the model, the timeline view with the built-in title images and the tracks, and
    /// starts listening to the view's selection and the model; raises when the model cannot
    /// be made (the host's creation then fails).
    void Initialize();
    /// The control's window exists: the output settings take their defaults and the
    /// process's timers run on the window's timer host.
    void OnCreate(IControlWindow* window, ITimerHost* timers);
    /// The control's window is going: no more repaints or timers on it.
    void OnDestroy();

    /// Connects an event sink; events go to the sinks in the order they were connected.
    void Advise(ITimelineControlEvents* sink);
    /// Disconnects an event sink.
    void Unadvise(ITimelineControlEvents* sink);

    /// The model, once initialised.
    TimelineModel* GetModel() const { return model_.get(); }
    /// The view tree's root, once initialised.
    TimelineView* GetView() const { return view_.get(); }

    // The window's messages, in client pixels; each does nothing before initialisation.
    /// The client area has a new size (ignored when below 1 either way).
    void OnSize(int16_t width, int16_t height);
    /// Paints the part `update` of the client area onto the window's context.
    void OnPaint(IDrawContext& target, int32_t clientWidth, int32_t clientHeight,
                 const DrawRect& update);
    /// The left button went down.
    void OnLeftButtonDown(int16_t x, int16_t y);
    /// The left button came up.
    void OnLeftButtonUp(int16_t x, int16_t y);
    /// The mouse moved.
    void OnMouseMove(int16_t x, int16_t y);
    /// A timer of the window ticked: the timers' owners hear of it, then the window repaints.
    void OnTimer(int32_t timerId);

    /// Turns a notification of the model or a selection in the view into host events
    /// (OnUpdate first).
    void Handle(ISubject& subject) override;

    // ITimelineControl.
    HResult AddVideoClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                         float clipStopTime, float mediaTime, int32_t* clipIndex) override;
    HResult AddAudioClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                         float clipStopTime, float mediaTime, float volume,
                         int32_t* clipIndex) override;
    HResult AddTextClip(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                        float clipStopTime, int32_t font, int32_t x, int32_t y, uint32_t color,
                        int32_t* clipIndex) override;
    HResult AddTextClip2(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                         float clipStopTime, int32_t font, int32_t x, int32_t y, int32_t red,
                         int32_t green, int32_t blue, int32_t* clipIndex) override;
    HResult AddImageClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                         float clipStopTime, int32_t* clipIndex) override;
    HResult ChangeVideoClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                            float clipStartTime, float clipStopTime, float mediaTime,
                            int32_t* result) override;
    HResult ChangeAudioClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                            float clipStartTime, float clipStopTime, float mediaTime, float volume,
                            int32_t* result) override;
    HResult ChangeTextClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* text,
                           float clipStartTime, float clipStopTime, int32_t font, int32_t x,
                           int32_t y, uint32_t color, int32_t* result) override;
    HResult ChangeTextClip2(int32_t trackIndex, int32_t clipIndex, const wchar_t* text,
                            float clipStartTime, float clipStopTime, int32_t font, int32_t x,
                            int32_t y, int32_t red, int32_t green, int32_t blue,
                            int32_t* result) override;
    HResult ChangeImageClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                            float clipStartTime, float clipStopTime, int32_t* result) override;
    HResult GetVideoClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                         float* clipStartTime, float* clipStopTime, float* mediaTime) override;
    HResult GetAudioClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                         float* clipStartTime, float* clipStopTime, float* mediaTime,
                         float* volume) override;
    HResult GetTextClip(int32_t trackIndex, int32_t clipIndex, OutString* text,
                        float* clipStartTime, float* clipStopTime, int32_t* font, int32_t* x,
                        int32_t* y, uint32_t* color) override;
    HResult GetTextClip2(int32_t trackIndex, int32_t clipIndex, OutString* text,
                         float* clipStartTime, float* clipStopTime, int32_t* font, int32_t* x,
                         int32_t* y, int32_t* red, int32_t* green, int32_t* blue) override;
    HResult GetImageClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                         float* clipStartTime, float* clipStopTime) override;
    HResult DeleteClip(int32_t trackIndex, int32_t clipIndex) override;
    HResult AddTransition(int32_t trackIndex, const wchar_t* name, float startTime, float stopTime,
                          const wchar_t* params, int32_t mediaTrackIndex, int32_t reverseDirection,
                          int32_t* transitionIndex) override;
    HResult ChangeTransition(int32_t trackIndex, int32_t transitionIndex, const wchar_t* name,
                             float startTime, float stopTime, const wchar_t* params,
                             int32_t mediaTrackIndex, int32_t reverseDirection,
                             int32_t* result) override;
    HResult GetTransition(int32_t trackIndex, int32_t transitionIndex, OutString* name,
                          float* startTime, float* stopTime, OutString* params,
                          int32_t* mediaTrackIndex, int32_t* reverseDirection) override;
    HResult DeleteTransition(int32_t trackIndex, int32_t transitionIndex) override;
    HResult AddEffect(int32_t trackIndex, const wchar_t* name, float startTime, float stopTime,
                      const wchar_t* params, int32_t* effectIndex) override;
    HResult ChangeEffect(int32_t trackIndex, int32_t effectIndex, const wchar_t* name,
                         float startTime, float stopTime, const wchar_t* params,
                         int32_t* result) override;
    HResult GetEffect(int32_t trackIndex, int32_t effectIndex, OutString* name, float* startTime,
                      float* stopTime, OutString* params) override;
    HResult DeleteEffect(int32_t trackIndex, int32_t effectIndex) override;
    HResult GetTrackCount(int32_t* trackCount) override;
    HResult GetClipCount(int32_t trackIndex, int32_t* clipCount) override;
    HResult GetTransitionCount(int32_t trackIndex, int32_t* transitionCount) override;
    HResult GetEffectCount(int32_t trackIndex, int32_t* effectCount) override;
    HResult Clear() override;
    HResult SetTrackVisible(int32_t trackIndex, int32_t visibility) override;
    HResult SetScale(float scale) override;
    HResult GetScale(float* scale) override;
    HResult GetVideo1TrackIndex(int32_t* index) override;
    HResult GetVideo2TrackIndex(int32_t* index) override;
    HResult GetImageTrackIndex(int32_t* index) override;
    HResult GetTextTrackIndex(int32_t* index) override;
    HResult GetTransitionTrackIndex(int32_t* index) override;
    HResult GetEffectTrackIndex(int32_t* index) override;
    HResult GetAudio1TrackIndex(int32_t* index) override;
    HResult GetAudio2TrackIndex(int32_t* index) override;
    HResult GetDESTransition(int32_t index, OutString* name) override;
    HResult GetDESEffect(int32_t index, OutString* name) override;
    HResult SetVideoTrackResolution(int32_t width, int32_t height) override;
    HResult SetVideoTrackFrameRate(float frameRate) override;
    HResult get_SkipBlackPosterFrame(VariantBool* value) override;
    HResult put_SkipBlackPosterFrame(VariantBool value) override;
    HResult ChangeTrackImage(int32_t index, const wchar_t* imageFile) override;
    HResult SetPreviewWnd(int32_t window) override;
    HResult Play() override;
    HResult Pause() override;
    HResult Stop() override;
    HResult get_IsPlaying(VariantBool* value) override;
    HResult get_IsPause(VariantBool* value) override;
    HResult LoadProject(const wchar_t* fileName, int32_t* result) override;
    HResult SaveProject(const wchar_t* fileName, int32_t* result) override;
    HResult GetMediaDuration(const wchar_t* mediaFile, float* duration) override;
    HResult GetMediaInfo(const wchar_t* mediaFile, float* duration, int32_t* width, int32_t* height,
                         float* frameRate, int32_t* videoBitRate, int32_t* audioBitRate,
                         int32_t* audioSampleRate, int32_t* audioChannels,
                         int32_t* videoStreamCount, int32_t* audioStreamCount, OutString* container,
                         OutString* videoStreamFormat, OutString* audioStreamFormat) override;
    HResult Save(const wchar_t* fileName, int32_t* result) override;
    HResult StopConversion() override;
    HResult GetVideoEncoder(int32_t index, OutString* name) override;
    HResult GetAudioEncoder(int32_t index, OutString* name) override;
    HResult GetWMVProfile(int32_t index, OutString* name) override;
#define VORTREL_OVERRIDE_PROPERTY(Type, Name, DispId, Default, Storage) \
    HResult get_##Name(Type* value) override;                           \
    HResult put_##Name(Type value) override;
    VORTREL_OUTPUT_PROPERTIES(VORTREL_OVERRIDE_PROPERTY)
#undef VORTREL_OVERRIDE_PROPERTY

  private:
    std::vector<ISubject*> ObservedSubjects() const;
    // Runs a mouse message through the window's handlers, then tells the host of the
    // selections it made.
    template <typename Message>
    void DispatchMouse(const Message& message);
    void FireSelection();
    void Fire(const std::function<void(ITimelineControlEvents&)>& event);

    IDeviceCatalog& devices_;
    std::shared_ptr<EditFailures> failures_;
    std::unique_ptr<TimelineModel> model_;
    // After the model: the view observes it and goes first.
    std::unique_ptr<TimelineView> view_;
    std::unique_ptr<WindowHandlers> windowHandlers_;
    ControlContext context_;
    ContentEditor editor_;
    ControlOutput output_;
    ITimerHost* timers_ = nullptr;
    std::vector<ITimelineControlEvents*> sinks_;
    // A host may edit the timeline from OnUpdate and OnClickClip, deleting the very clip
    // whose press is being handled; so while the views handle a mouse message, selections
    // are counted here and told once they are done.
    bool dispatchingMouse_ = false;
    int32_t pendingSelections_ = 0;
};

}  // namespace vortrel

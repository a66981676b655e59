#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/SeekEvent.h"
#include "model/TimeScale.h"
#include "model/TrackEvent.h"
#include "model/VisibilityEvent.h"
#include "ports/INativeWindows.h"

namespace vortrel {

class DesAudioGroup;
class DesRenderer;
class DesTimeline;
class DesVideoGroup;
class EditFailures;
class IContent;
class IDeviceCatalog;
class ITrack;
class IConverter;
struct ConversionRequest;
class ContentAddedEventHandler;
class VisibilityChangedEventHandler;
class PreviewTimerEventHandler;

/// Track indices, the same at the control's interface and in project files.
enum TrackIndex : int32_t {
    kTransitionTrack = 0,
    kVideo1Track = 1,
    kVideo2Track = 2,
    kImageTrack = 3,
    kEffectTrack = 4,
    kAudio1Track = 5,
    kAudio2Track = 6,
    kTextTrack = 7,
    kTrackCount = 8,
};

/// The progress announced just before the completion of a conversion that failed (its file
/// could not be written); what was written is removed.
inline constexpr int32_t kConversionFailed = -1;

// The timeline model of one control: the eight tracks with their contents, the zoom, the
// editing timeline they are mirrored into, the lists of installed encoders and output
// profiles, and the subjects through which views and control learn of tracks, visibility,
// playback and conversion.
class TimelineModel {
  public:
    /// Makes the model: scale, subjects, the editing timeline with its video group (320 x
    /// 240, 15 fps) and audio group (44100 Hz), handlers, timer ids, and the encoder and
    /// profile lists from the platform's catalogue. The tracks come with BuildTracks.
    explicit TimelineModel(IDeviceCatalog& devices,
                           std::shared_ptr<EditFailures> failures = nullptr);
    TimelineModel(const TimelineModel&) = delete;
    TimelineModel& operator=(const TimelineModel&) = delete;
    ~TimelineModel();

    /// Makes the eight tracks, announces each, then hides the second audio and video tracks.
    void BuildTracks();
    /// Number of tracks (8 once built).
    int32_t GetTrackCount() const { return static_cast<int32_t>(tracks_.size()); }
    /// The track at an index, or none.
    ITrack* GetTrack(int32_t index) const;
    /// The index of a track, or -1 when it is none or not in the list.
    int32_t IndexOfTrack(const ITrack* track) const;
    /// Finds a content: its position on its track and the track's index.
    bool FindContent(const IContent* content, int32_t& position, int32_t& trackIndex) const;
    /// Shows or hides a track (muting it in the editing timeline); out-of-range does nothing.
    void SetVisible(int32_t index, bool visible);
    /// Announces that the image in a track's title changed.
    void FireTrackImageChanged(int32_t index);
    /// Stops playback and empties every track.
    void Clear();
    /// Starts the preview (building its graph on the first play) or resumes it.
    void Play();
    /// Pauses the preview and reports where it stands; nothing before the first play.
    void Pause();
    /// Moves the preview to a time in milliseconds and leaves it paused; nothing before the
    /// first play.
    void Seek(int32_t milliseconds);
    /// Stops the preview and scraps its graph; nothing before the first play.
    void Stop();
    /// Takes the host's preview window: the video is later shown in the window's parent, laid
    /// over the window's client area less one pixel on each side.
    void SetPreviewWindow(NativeWindow window);
    /// The window the video is shown in, 0 for none.
    NativeWindow GetPreviewParent() const { return previewParent_; }
    /// Where the video may lie in the preview parent.
    const WindowRect& GetPreviewRect() const { return previewRect_; }
    /// The render engine of the preview.
    const std::shared_ptr<DesRenderer>& GetPreviewRenderer() const { return previewRenderer_; }

    /// The zoom shared by the timeline.
    const std::shared_ptr<TimeScale>& GetTimeScale() const { return timeScale_; }
    /// Gives the video group a new picture size (and the frame rate stored last).
    void SetVideoTrackResolution(int32_t width, int32_t height);
    /// Stores the frame rate for the next SetVideoTrackResolution.
    void SetVideoTrackFrameRate(float frameRate);

    /// Names of the installed video compressors; empty out of range.
    std::wstring GetVideoEncoderName(int32_t index) const;
    /// Names of the installed audio compressors; empty out of range.
    std::wstring GetAudioEncoderName(int32_t index) const;
    /// Names of the output profiles for Windows Media files; empty out of range.
    std::wstring GetWMVProfileName(int32_t index) const;
    /// The id of an output profile; sixteen zero bytes out of range.
    std::array<uint8_t, 16> GetWMVProfileId(int32_t index) const;

    const std::shared_ptr<DesTimeline>& GetDesTimeline() const { return desTimeline_; }
    const std::shared_ptr<DesVideoGroup>& GetDesVideoGroup() const { return desVideoGroup_; }
    const std::shared_ptr<DesAudioGroup>& GetDesAudioGroup() const { return desAudioGroup_; }

    bool IsPlaying() const { return playing_; }
    bool IsPaused() const { return paused_; }
    int32_t GetPreviewTimerId() const { return previewTimerId_; }
    int32_t GetConvertTimerId() const { return convertTimerId_; }
    /// Runs the preview and conversion ticks whose timer this is.
    void OnTimer(int32_t timerId);

    /// Starts rendering the timeline to a file; false when it cannot start, or while another
    /// conversion runs (that one goes on untouched).
    bool StartConversion(const ConversionRequest& request);
    /// Ends a running conversion early, without announcing its completion.
    void StopConversion();
    /// Whether a clip of the timeline plays this file (under this or any other name).
    bool UsesMediaFile(const std::wstring& fileName) const;

    // Subjects.
    const std::shared_ptr<TrackEvent>& GetVideoTrackAdded() const { return videoTrackAdded_; }
    const std::shared_ptr<TrackEvent>& GetAudioTrackAdded() const { return audioTrackAdded_; }
    const std::shared_ptr<TrackEvent>& GetTextTrackAdded() const { return textTrackAdded_; }
    const std::shared_ptr<TrackEvent>& GetImageTrackAdded() const { return imageTrackAdded_; }
    const std::shared_ptr<TrackEvent>& GetTransitionTrackAdded() const {
        return transitionTrackAdded_;
    }
    const std::shared_ptr<TrackEvent>& GetEffectTrackAdded() const { return effectTrackAdded_; }
    const std::shared_ptr<VisibilityEvent>& GetTrackVisibilityChanged() const {
        return trackVisibilityChanged_;
    }
    const std::shared_ptr<SeekEvent>& GetPlaybackPosition() const { return playbackPosition_; }
    const std::shared_ptr<SeekEvent>& GetPlaybackCompleted() const { return playbackCompleted_; }
    const std::shared_ptr<SeekEvent>& GetConvertProgress() const { return convertProgress_; }
    const std::shared_ptr<SeekEvent>& GetConvertCompleted() const { return convertCompleted_; }

    /// Writes the model to a project file; false (leaving any earlier file intact) when it
    /// cannot be written.
    bool SaveProject(const std::wstring& fileName) const;
    /// Replaces the contents from a project file; false, with the model untouched, when the
    /// file cannot be read or is not a whole project.
    bool LoadProject(const std::wstring& fileName);

  private:
    friend class ContentAddedEventHandler;
    friend class VisibilityChangedEventHandler;

    void FillEncoderLists(IDeviceCatalog& devices);
    void ConversionTick();
    void PreviewTick();

    bool playing_ = false;
    bool paused_ = false;
    std::vector<std::shared_ptr<ITrack>> tracks_;
    std::shared_ptr<TimeScale> timeScale_;
    NativeWindow previewParent_ = 0;
    WindowRect previewRect_;
    int32_t previewTimerId_ = 0;
    int32_t convertTimerId_ = 0;
    bool playbackEnded_ = false;
    bool stopping_ = false;
    std::vector<std::wstring> videoEncoderNames_;
    std::vector<std::wstring> audioEncoderNames_;
    std::vector<std::wstring> wmvProfileNames_;
    std::vector<std::array<uint8_t, 16>> wmvProfiles_;
    std::shared_ptr<TrackEvent> videoTrackAdded_;
    std::shared_ptr<TrackEvent> audioTrackAdded_;
    std::shared_ptr<TrackEvent> textTrackAdded_;
    std::shared_ptr<TrackEvent> imageTrackAdded_;
    std::shared_ptr<TrackEvent> transitionTrackAdded_;
    std::shared_ptr<TrackEvent> effectTrackAdded_;
    std::shared_ptr<VisibilityEvent> trackVisibilityChanged_;
    std::shared_ptr<SeekEvent> playbackPosition_;
    std::shared_ptr<SeekEvent> playbackCompleted_;
    std::shared_ptr<SeekEvent> convertProgress_;
    std::shared_ptr<SeekEvent> convertCompleted_;
    std::shared_ptr<DesTimeline> desTimeline_;
    std::shared_ptr<DesVideoGroup> desVideoGroup_;
    std::shared_ptr<DesAudioGroup> desAudioGroup_;
    std::shared_ptr<DesRenderer> previewRenderer_;
    std::unique_ptr<IConverter> converter_;
    std::unique_ptr<INativeWindows> windows_;
    std::shared_ptr<PreviewTimerEventHandler> previewTimerHandler_;
    std::shared_ptr<ContentAddedEventHandler> contentAddedHandler_;
    std::shared_ptr<VisibilityChangedEventHandler> visibilityChangedHandler_;
};

/// Where a video of a size goes in an area: as large as fits with its shape kept, centred.
WindowRect PlaceVideo(const WindowRect& area, int32_t videoWidth, int32_t videoHeight);

}  // namespace vortrel

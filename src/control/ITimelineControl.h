#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ports/OutputProperties.h"

namespace vortrel {

/// A member's result as the host sees it; every member returns kOk.
using HResult = int32_t;
inline constexpr HResult kOk = 0;
/// A 16-bit flag as hosts pass it (true may arrive as 1 or -1).
using VariantBool = int16_t;
/// A string handed back to the host: none for a null string.
using OutString = std::optional<std::wstring>;

// The one interface through which a host edits, plays, renders and asks about the timeline.
// Strings come in as wide C strings (null is an empty string) and go out as OutStrings; out
// parameters are pointers and a null one is never written. Every member returns kOk and
// reports its outcome through its outputs, as the result codes of the editing members say.
class ITimelineControl {
  public:
    virtual ~ITimelineControl() = default;

    // Editing: clips.
    virtual HResult AddVideoClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                                 float clipStopTime, float mediaTime, int32_t* clipIndex) = 0;
    virtual HResult AddAudioClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                                 float clipStopTime, float mediaTime, float volume,
                                 int32_t* clipIndex) = 0;
    virtual HResult AddTextClip(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                                float clipStopTime, int32_t font, int32_t x, int32_t y,
                                uint32_t color, int32_t* clipIndex) = 0;
    virtual HResult AddTextClip2(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                                 float clipStopTime, int32_t font, int32_t x, int32_t y,
                                 int32_t red, int32_t green, int32_t blue, int32_t* clipIndex) = 0;
    virtual HResult AddImageClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                                 float clipStopTime, int32_t* clipIndex) = 0;
    virtual HResult ChangeVideoClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                                    float clipStartTime, float clipStopTime, float mediaTime,
                                    int32_t* result) = 0;
    virtual HResult ChangeAudioClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                                    float clipStartTime, float clipStopTime, float mediaTime,
                                    float volume, int32_t* result) = 0;
    virtual HResult ChangeTextClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* text,
                                   float clipStartTime, float clipStopTime, int32_t font, int32_t x,
                                   int32_t y, uint32_t color, int32_t* result) = 0;
    virtual HResult ChangeTextClip2(int32_t trackIndex, int32_t clipIndex, const wchar_t* text,
                                    float clipStartTime, float clipStopTime, int32_t font,
                                    int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue,
                                    int32_t* result) = 0;
    virtual HResult ChangeImageClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                                    float clipStartTime, float clipStopTime, int32_t* result) = 0;
    virtual HResult GetVideoClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                 float* clipStartTime, float* clipStopTime, float* mediaTime) = 0;
    virtual HResult GetAudioClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                 float* clipStartTime, float* clipStopTime, float* mediaTime,
                                 float* volume) = 0;
    virtual HResult GetTextClip(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                float* clipStartTime, float* clipStopTime, int32_t* font,
                                int32_t* x, int32_t* y, uint32_t* color) = 0;
    virtual HResult GetTextClip2(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                 float* clipStartTime, float* clipStopTime, int32_t* font,
                                 int32_t* x, int32_t* y, int32_t* red, int32_t* green,
                                 int32_t* blue) = 0;
    virtual HResult GetImageClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                 float* clipStartTime, float* clipStopTime) = 0;
    virtual HResult DeleteClip(int32_t trackIndex, int32_t clipIndex) = 0;

    // Editing: transitions and effects.
    virtual HResult AddTransition(int32_t trackIndex, const wchar_t* name, float startTime,
                                  float stopTime, const wchar_t* params, int32_t mediaTrackIndex,
                                  int32_t reverseDirection, int32_t* transitionIndex) = 0;
    virtual HResult ChangeTransition(int32_t trackIndex, int32_t transitionIndex,
                                     const wchar_t* name, float startTime, float stopTime,
                                     const wchar_t* params, int32_t mediaTrackIndex,
                                     int32_t reverseDirection, int32_t* result) = 0;
    virtual HResult GetTransition(int32_t trackIndex, int32_t transitionIndex, OutString* name,
                                  float* startTime, float* stopTime, OutString* params,
                                  int32_t* mediaTrackIndex, int32_t* reverseDirection) = 0;
    virtual HResult DeleteTransition(int32_t trackIndex, int32_t transitionIndex) = 0;
    virtual HResult AddEffect(int32_t trackIndex, const wchar_t* name, float startTime,
                              float stopTime, const wchar_t* params, int32_t* effectIndex) = 0;
    virtual HResult ChangeEffect(int32_t trackIndex, int32_t effectIndex, const wchar_t* name,
                                 float startTime, float stopTime, const wchar_t* params,
                                 int32_t* result) = 0;
    virtual HResult GetEffect(int32_t trackIndex, int32_t effectIndex, OutString* name,
                              float* startTime, float* stopTime, OutString* params) = 0;
    virtual HResult DeleteEffect(int32_t trackIndex, int32_t effectIndex) = 0;

    // Counts, tracks, view.
    virtual HResult GetTrackCount(int32_t* trackCount) = 0;
    virtual HResult GetClipCount(int32_t trackIndex, int32_t* clipCount) = 0;
    virtual HResult GetTransitionCount(int32_t trackIndex, int32_t* transitionCount) = 0;
    virtual HResult GetEffectCount(int32_t trackIndex, int32_t* effectCount) = 0;
    virtual HResult Clear() = 0;
    virtual HResult SetTrackVisible(int32_t trackIndex, int32_t visibility) = 0;
    virtual HResult SetScale(float scale) = 0;
    virtual HResult GetScale(float* scale) = 0;
    virtual HResult GetVideo1TrackIndex(int32_t* index) = 0;
    virtual HResult GetVideo2TrackIndex(int32_t* index) = 0;
    virtual HResult GetImageTrackIndex(int32_t* index) = 0;
    virtual HResult GetTextTrackIndex(int32_t* index) = 0;
    virtual HResult GetTransitionTrackIndex(int32_t* index) = 0;
    virtual HResult GetEffectTrackIndex(int32_t* index) = 0;
    virtual HResult GetAudio1TrackIndex(int32_t* index) = 0;
    virtual HResult GetAudio2TrackIndex(int32_t* index) = 0;
    virtual HResult GetDESTransition(int32_t index, OutString* name) = 0;
    virtual HResult GetDESEffect(int32_t index, OutString* name) = 0;
    virtual HResult SetVideoTrackResolution(int32_t width, int32_t height) = 0;
    virtual HResult SetVideoTrackFrameRate(float frameRate) = 0;
    virtual HResult get_SkipBlackPosterFrame(VariantBool* value) = 0;
    virtual HResult put_SkipBlackPosterFrame(VariantBool value) = 0;
    virtual HResult ChangeTrackImage(int32_t index, const wchar_t* imageFile) = 0;

    // Preview.
    virtual HResult SetPreviewWnd(int32_t window) = 0;
    virtual HResult Play() = 0;
    virtual HResult Pause() = 0;
    virtual HResult Stop() = 0;
    virtual HResult get_IsPlaying(VariantBool* value) = 0;
    virtual HResult get_IsPause(VariantBool* value) = 0;

    // Projects.
    virtual HResult LoadProject(const wchar_t* fileName, int32_t* result) = 0;
    virtual HResult SaveProject(const wchar_t* fileName, int32_t* result) = 0;

    // Media information.
    virtual HResult GetMediaDuration(const wchar_t* mediaFile, float* duration) = 0;
    virtual HResult GetMediaInfo(const wchar_t* mediaFile, float* duration, int32_t* width,
                                 int32_t* height, float* frameRate, int32_t* videoBitRate,
                                 int32_t* audioBitRate, int32_t* audioSampleRate,
                                 int32_t* audioChannels, int32_t* videoStreamCount,
                                 int32_t* audioStreamCount, OutString* container,
                                 OutString* videoStreamFormat, OutString* audioStreamFormat) = 0;

    // Conversion.
    virtual HResult Save(const wchar_t* fileName, int32_t* result) = 0;
    virtual HResult StopConversion() = 0;
    virtual HResult GetVideoEncoder(int32_t index, OutString* name) = 0;
    virtual HResult GetAudioEncoder(int32_t index, OutString* name) = 0;
    virtual HResult GetWMVProfile(int32_t index, OutString* name) = 0;
#define VORTREL_DECLARE_PROPERTY(Type, Name, DispId, Default, Storage) \
    virtual HResult get_##Name(Type* value) = 0;                       \
    virtual HResult put_##Name(Type value) = 0;
    VORTREL_OUTPUT_PROPERTIES(VORTREL_DECLARE_PROPERTY)
#undef VORTREL_DECLARE_PROPERTY
};

// What the control tells its host: the outgoing events, fired synchronously on the control's
// thread, OnUpdate first for every notification.
class ITimelineControlEvents {
  public:
    virtual ~ITimelineControlEvents() = default;

    virtual void OnClickClip(int32_t trackIndex, int32_t clipIndex) = 0;
    virtual void OnUpdate() = 0;
    virtual void OnPlaying(int32_t currentPosition) = 0;
    virtual void OnPlayingCompleted() = 0;
    virtual void OnConvertProgress(int32_t progress) = 0;
    virtual void OnConvertCompleted() = 0;
};

}  // namespace vortrel

#pragma once

#include <cstdint>

#include "control/ITimelineControl.h"

namespace vortrel {

class IContent;
class IEffect;
class ITrack;
class TextClip;
struct ControlContext;
enum class ContentKind : int32_t;

// The editing members of the control: every add and change request runs its checks in
// order (name, file, times, track, content, media track) and then fills the content; the
// reads, deletes and counts answer for a content that is not there as the host expects.
class ContentEditor {
  public:
    /// An editor on the control's shared context.
    explicit ContentEditor(ControlContext& context) : context_(context) {}

    HResult AddVideoClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                         float clipStopTime, float mediaTime, int32_t* clipIndex);
    HResult AddAudioClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                         float clipStopTime, float mediaTime, float volume, int32_t* clipIndex);
    HResult AddTextClip(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                        float clipStopTime, int32_t font, int32_t x, int32_t y, uint32_t color,
                        int32_t* clipIndex);
    HResult AddTextClip2(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                         float clipStopTime, int32_t font, int32_t x, int32_t y, int32_t red,
                         int32_t green, int32_t blue, int32_t* clipIndex);
    HResult AddImageClip(int32_t trackIndex, const wchar_t* fileName, float clipStartTime,
                         float clipStopTime, int32_t* clipIndex);
    HResult ChangeVideoClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                            float clipStartTime, float clipStopTime, float mediaTime,
                            int32_t* result);
    HResult ChangeAudioClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                            float clipStartTime, float clipStopTime, float mediaTime, float volume,
                            int32_t* result);
    HResult ChangeTextClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* text,
                           float clipStartTime, float clipStopTime, int32_t font, int32_t x,
                           int32_t y, uint32_t color, int32_t* result);
    HResult ChangeTextClip2(int32_t trackIndex, int32_t clipIndex, const wchar_t* text,
                            float clipStartTime, float clipStopTime, int32_t font, int32_t x,
                            int32_t y, int32_t red, int32_t green, int32_t blue, int32_t* result);
    HResult ChangeImageClip(int32_t trackIndex, int32_t clipIndex, const wchar_t* fileName,
                            float clipStartTime, float clipStopTime, int32_t* result);
    HResult GetVideoClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                         float* clipStartTime, float* clipStopTime, float* mediaTime);
    HResult GetAudioClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                         float* clipStartTime, float* clipStopTime, float* mediaTime,
                         float* volume);
    HResult GetTextClip(int32_t trackIndex, int32_t clipIndex, OutString* text,
                        float* clipStartTime, float* clipStopTime, int32_t* font, int32_t* x,
                        int32_t* y, uint32_t* color);
    HResult GetTextClip2(int32_t trackIndex, int32_t clipIndex, OutString* text,
                         float* clipStartTime, float* clipStopTime, int32_t* font, int32_t* x,
                         int32_t* y, int32_t* red, int32_t* green, int32_t* blue);
    HResult GetImageClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                         float* clipStartTime, float* clipStopTime);
    HResult DeleteClip(int32_t trackIndex, int32_t clipIndex);
    HResult AddTransition(int32_t trackIndex, const wchar_t* name, float startTime, float stopTime,
                          const wchar_t* params, int32_t mediaTrackIndex, int32_t reverseDirection,
                          int32_t* transitionIndex);
    HResult ChangeTransition(int32_t trackIndex, int32_t transitionIndex, const wchar_t* name,
                             float startTime, float stopTime, const wchar_t* params,
                             int32_t mediaTrackIndex, int32_t reverseDirection, int32_t* result);
    HResult GetTransition(int32_t trackIndex, int32_t transitionIndex, OutString* name,
                          float* startTime, float* stopTime, OutString* params,
                          int32_t* mediaTrackIndex, int32_t* reverseDirection);
    HResult DeleteTransition(int32_t trackIndex, int32_t transitionIndex);
    HResult AddEffect(int32_t trackIndex, const wchar_t* name, float startTime, float stopTime,
                      const wchar_t* params, int32_t* effectIndex);
    HResult ChangeEffect(int32_t trackIndex, int32_t effectIndex, const wchar_t* name,
                         float startTime, float stopTime, const wchar_t* params, int32_t* result);
    HResult GetEffect(int32_t trackIndex, int32_t effectIndex, OutString* name, float* startTime,
                      float* stopTime, OutString* params);
    HResult DeleteEffect(int32_t trackIndex, int32_t effectIndex);
    HResult GetClipCount(int32_t trackIndex, int32_t* clipCount);
    HResult GetTransitionCount(int32_t trackIndex, int32_t* transitionCount);
    HResult GetEffectCount(int32_t trackIndex, int32_t* effectCount);

  private:
    struct Edit;

    IContent* ContentOf(int32_t trackIndex, ContentKind kind, int32_t contentIndex) const;

    // The one way every add and change member goes: checks in order, then the content.
    int32_t ApplyEdit(const Edit& edit, bool adding);
    HResult Apply(const Edit& edit, bool adding, int32_t* result);
    Edit MediaClipEdit(ContentKind kind, int32_t track, const wchar_t* fileName, float start,
                       float stop, float mediaTime, const float* volume);
    Edit ImageEdit(const wchar_t* fileName, float start, float stop);
    Edit TextEdit(const wchar_t* text, float start, float stop, int32_t font, int32_t x, int32_t y,
                  uint32_t color);
    Edit EffectEdit(int32_t track, ContentKind kind, const wchar_t* name, float start, float stop,
                    const wchar_t* params);
    Edit TransitionEdit(const wchar_t* name, float start, float stop, const wchar_t* params,
                        const int32_t& mediaTrackIndex, int32_t reverseDirection);

    HResult ReadMediaClip(int32_t trackIndex, ContentKind kind, int32_t clipIndex,
                          OutString* fileName, float* clipStartTime, float* clipStopTime,
                          float* mediaTime, float* volume);
    const TextClip* ReadTextClip(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                 float* start, float* stop, int32_t* font, int32_t* x, int32_t* y);
    static void WriteTimes(const IContent* content, float* start, float* stop);
    static void ReadEffect(const IEffect* effect, OutString* name, float* start, float* stop,
                           OutString* params);

    ControlContext& context_;
};

}  // namespace vortrel

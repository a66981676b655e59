#include "control/ContentEditor.h"

#include <functional>

#include "control/ControlContext.h"
#include "control/MemberBoundary.h"
#include "model/AudioClip.h"
#include "model/ContentKind.h"
#include "model/ITrack.h"
#include "model/ImageClip.h"
#include "model/MediaEffect.h"
#include "model/TextClip.h"
#include "model/TimeRules.h"
#include "model/TimelineModel.h"
#include "model/TransitionEffect.h"
#include "model/VideoClip.h"

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

}  // namespace

// One add or change request: what the checks need and how to fill the content's own fields.
struct ContentEditor::Edit {
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

IContent* ContentEditor::ContentOf(int32_t trackIndex, ContentKind kind,
                                   int32_t contentIndex) const {
    ITrack* track = context_.Track(trackIndex);
    if (track == nullptr || !track->AcceptsKind(kind)) {
        return nullptr;
    }
    return track->GetContentAt(contentIndex);
}

int32_t ContentEditor::ApplyEdit(const Edit& edit, bool adding) {
    if (TextOf(edit.name).empty()) {
        return kEmptyName;
    }
    if (edit.takesFile && !FileExists(edit.name)) {
        return kNoFile;
    }
    if (edit.stop <= edit.start) {  // a NaN in either passes, as any float comparison says
        return kBadTimes;
    }
    ITrack* track = context_.Track(edit.track);
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
        mediaTrack = context_.Track(index);
        const bool acceptable =
            mediaTrack != nullptr &&
            ((index == kVideo2Track && mediaTrack->AcceptsKind(ContentKind::Video)) ||
             (index == kImageTrack && mediaTrack->AcceptsKind(ContentKind::Image)));
        if (!acceptable) {
            return adding ? kNoContentOrMediaTrack : kBadMediaTrack;
        }
    }
    if (edit.waitCursor) {
        context_.SetCursor(ControlCursor::Wait);
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
        context_.Repaint();
    } catch (...) {
        // The content stays as far as it was made, as the host's next read will show.
        result = kSetupFailed;
    }
    // Back to the arrow whatever happened, so a failure does not leave the wait cursor.
    if (edit.waitCursor) {
        context_.SetCursor(ControlCursor::Arrow);
    }
    return result;
}

HResult ContentEditor::Apply(const Edit& edit, bool adding, int32_t* result) {
    return Guarded([&] { Write(result, ApplyEdit(edit, adding)); });
}

// Clips.

ContentEditor::Edit ContentEditor::MediaClipEdit(ContentKind kind, int32_t track,
                                                 const wchar_t* fileName, float start, float stop,
                                                 float mediaTime, const float* volume) {
    Edit edit(fileName, true, start, stop, track, kind);
    edit.fill = [this, fileName, start, stop, mediaTime, volume](IContent& content, ITrack*,
                                                                 bool adding) {
        auto& clip = static_cast<IClip&>(content);
        clip.SetSource(TextOf(fileName));
        if (auto* video = dynamic_cast<VideoClip*>(&clip); video != nullptr && adding) {
            video->SetSkipBlackPosterFrame(context_.skipBlackPosterFrame != 0);
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

HResult ContentEditor::AddVideoClip(int32_t trackIndex, const wchar_t* fileName,
                                    float clipStartTime, float clipStopTime, float mediaTime,
                                    int32_t* clipIndex) {
    return Apply(MediaClipEdit(ContentKind::Video, VideoTrackOf(trackIndex), fileName,
                               clipStartTime, clipStopTime, mediaTime, nullptr),
                 true, clipIndex);
}

HResult ContentEditor::ChangeVideoClip(int32_t trackIndex, int32_t clipIndex,
                                       const wchar_t* fileName, float clipStartTime,
                                       float clipStopTime, float mediaTime, int32_t* result) {
    Edit edit = MediaClipEdit(ContentKind::Video, VideoTrackOf(trackIndex), fileName, clipStartTime,
                              clipStopTime, mediaTime, nullptr);
    edit.contentIndex = clipIndex;
    return Apply(edit, false, result);
}

HResult ContentEditor::AddAudioClip(int32_t trackIndex, const wchar_t* fileName,
                                    float clipStartTime, float clipStopTime, float mediaTime,
                                    float volume, int32_t* clipIndex) {
    Edit edit = MediaClipEdit(ContentKind::Audio, AudioTrackOf(trackIndex), fileName, clipStartTime,
                              clipStopTime, mediaTime, &volume);
    edit.waitCursor = true;
    return Apply(edit, true, clipIndex);
}

HResult ContentEditor::ChangeAudioClip(int32_t trackIndex, int32_t clipIndex,
                                       const wchar_t* fileName, float clipStartTime,
                                       float clipStopTime, float mediaTime, float volume,
                                       int32_t* result) {
    Edit edit = MediaClipEdit(ContentKind::Audio, AudioTrackOf(trackIndex), fileName, clipStartTime,
                              clipStopTime, mediaTime, &volume);
    edit.contentIndex = clipIndex;
    return Apply(edit, false, result);
}

ContentEditor::Edit ContentEditor::ImageEdit(const wchar_t* fileName, float start, float stop) {
    Edit edit(fileName, true, start, stop, kImageTrack, ContentKind::Image);
    edit.fill = [fileName](IContent& content, ITrack*, bool) {
        static_cast<IClip&>(content).SetSource(TextOf(fileName));
    };
    return edit;
}

HResult ContentEditor::AddImageClip(int32_t /*trackIndex*/, const wchar_t* fileName,
                                    float clipStartTime, float clipStopTime, int32_t* clipIndex) {
    return Apply(ImageEdit(fileName, clipStartTime, clipStopTime), true, clipIndex);
}

HResult ContentEditor::ChangeImageClip(int32_t /*trackIndex*/, int32_t clipIndex,
                                       const wchar_t* fileName, float clipStartTime,
                                       float clipStopTime, int32_t* result) {
    Edit edit = ImageEdit(fileName, clipStartTime, clipStopTime);
    edit.contentIndex = clipIndex;
    return Apply(edit, false, result);
}

ContentEditor::Edit ContentEditor::TextEdit(const wchar_t* text, float start, float stop,
                                            int32_t font, int32_t x, int32_t y, uint32_t color) {
    Edit edit(text, false, start, stop, kTextTrack, ContentKind::Text);
    edit.fill = [this, text, font, x, y, color](IContent& content, ITrack*, bool adding) {
        auto& clip = static_cast<TextClip&>(content);
        clip.SetFont(font);
        if (adding) {  // a clip keeps the canvas size it was made with
            clip.SetVideoTrackSize(context_.videoWidth, context_.videoHeight);
        }
        clip.SetXPos(x);
        clip.SetYPos(y);
        clip.SetColor(color);
        clip.SetSource(TextOf(text));
    };
    return edit;
}

HResult ContentEditor::AddTextClip(int32_t /*trackIndex*/, const wchar_t* text, float clipStartTime,
                                   float clipStopTime, int32_t font, int32_t x, int32_t y,
                                   uint32_t color, int32_t* clipIndex) {
    return Apply(TextEdit(text, clipStartTime, clipStopTime, font, x, y, color), true, clipIndex);
}

HResult ContentEditor::AddTextClip2(int32_t trackIndex, const wchar_t* text, float clipStartTime,
                                    float clipStopTime, int32_t font, int32_t x, int32_t y,
                                    int32_t red, int32_t green, int32_t blue, int32_t* clipIndex) {
    return AddTextClip(trackIndex, text, clipStartTime, clipStopTime, font, x, y,
                       ColorOf(red, green, blue), clipIndex);
}

HResult ContentEditor::ChangeTextClip(int32_t /*trackIndex*/, int32_t clipIndex,
                                      const wchar_t* text, float clipStartTime, float clipStopTime,
                                      int32_t font, int32_t x, int32_t y, uint32_t color,
                                      int32_t* result) {
    Edit edit = TextEdit(text, clipStartTime, clipStopTime, font, x, y, color);
    edit.contentIndex = clipIndex;
    return Apply(edit, false, result);
}

HResult ContentEditor::ChangeTextClip2(int32_t trackIndex, int32_t clipIndex, const wchar_t* text,
                                       float clipStartTime, float clipStopTime, int32_t font,
                                       int32_t x, int32_t y, int32_t red, int32_t green,
                                       int32_t blue, int32_t* result) {
    return ChangeTextClip(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font, x, y,
                          ColorOf(red, green, blue), result);
}

HResult ContentEditor::GetVideoClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                    float* clipStartTime, float* clipStopTime, float* mediaTime) {
    return ReadMediaClip(trackIndex, ContentKind::Video, clipIndex, fileName, clipStartTime,
                         clipStopTime, mediaTime, nullptr);
}

HResult ContentEditor::GetAudioClip(int32_t trackIndex, int32_t clipIndex, OutString* fileName,
                                    float* clipStartTime, float* clipStopTime, float* mediaTime,
                                    float* volume) {
    return ReadMediaClip(trackIndex, ContentKind::Audio, clipIndex, fileName, clipStartTime,
                         clipStopTime, mediaTime, volume);
}

HResult ContentEditor::ReadMediaClip(int32_t trackIndex, ContentKind kind, int32_t clipIndex,
                                     OutString* fileName, float* clipStartTime, float* clipStopTime,
                                     float* mediaTime, float* volume) {
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

void ContentEditor::WriteTimes(const IContent* content, float* start, float* stop) {
    Write(start,
          content != nullptr ? MillisecondsToSeconds(content->GetSegment()->GetStart()) : 0.0f);
    Write(stop,
          content != nullptr ? MillisecondsToSeconds(content->GetSegment()->GetStop()) : 0.0f);
}

HResult ContentEditor::GetTextClip(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                   float* clipStartTime, float* clipStopTime, int32_t* font,
                                   int32_t* x, int32_t* y, uint32_t* color) {
    return Guarded([&] {
        const TextClip* clip =
            ReadTextClip(trackIndex, clipIndex, text, clipStartTime, clipStopTime, font, x, y);
        Write(color, clip != nullptr ? clip->GetColor() : 0u);
    });
}

HResult ContentEditor::GetTextClip2(int32_t trackIndex, int32_t clipIndex, OutString* text,
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

const TextClip* ContentEditor::ReadTextClip(int32_t trackIndex, int32_t clipIndex, OutString* text,
                                            float* start, float* stop, int32_t* font, int32_t* x,
                                            int32_t* y) {
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

HResult ContentEditor::GetImageClip(int32_t /*trackIndex*/, int32_t clipIndex, OutString* fileName,
                                    float* clipStartTime, float* clipStopTime) {
    return Guarded([&] {
        const auto* clip =
            static_cast<const IClip*>(ContentOf(kImageTrack, ContentKind::Image, clipIndex));
        WriteTimes(clip, clipStartTime, clipStopTime);
        Write(fileName, clip != nullptr ? OutString(clip->GetSource()) : std::nullopt);
    });
}

HResult ContentEditor::DeleteClip(int32_t trackIndex, int32_t clipIndex) {
    return Guarded([&] {
        ITrack* track = context_.Track(trackIndex);
        if (track != nullptr && track->RemoveContentAt(clipIndex)) {
            context_.Repaint();
        }
    });
}

// Transitions and effects.

ContentEditor::Edit ContentEditor::EffectEdit(int32_t track, ContentKind kind, const wchar_t* name,
                                              float start, float stop, const wchar_t* params) {
    Edit edit(name, false, start, stop, track, kind);
    edit.fill = [name, params](IContent& content, ITrack*, bool) {
        auto& effect = static_cast<IEffect&>(content);
        effect.SetSource(TextOf(name));
        effect.SetParams(TextOf(params));
    };
    return edit;
}

ContentEditor::Edit ContentEditor::TransitionEdit(const wchar_t* name, float start, float stop,
                                                  const wchar_t* params,
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

HResult ContentEditor::AddTransition(int32_t /*trackIndex*/, const wchar_t* name, float startTime,
                                     float stopTime, const wchar_t* params, int32_t mediaTrackIndex,
                                     int32_t reverseDirection, int32_t* transitionIndex) {
    return Apply(
        TransitionEdit(name, startTime, stopTime, params, mediaTrackIndex, reverseDirection), true,
        transitionIndex);
}

HResult ContentEditor::ChangeTransition(int32_t /*trackIndex*/, int32_t transitionIndex,
                                        const wchar_t* name, float startTime, float stopTime,
                                        const wchar_t* params, int32_t mediaTrackIndex,
                                        int32_t reverseDirection, int32_t* result) {
    Edit edit =
        TransitionEdit(name, startTime, stopTime, params, mediaTrackIndex, reverseDirection);
    edit.contentIndex = transitionIndex;
    return Apply(edit, false, result);
}

HResult ContentEditor::GetTransition(int32_t /*trackIndex*/, int32_t transitionIndex,
                                     OutString* name, float* startTime, float* stopTime,
                                     OutString* params, int32_t* mediaTrackIndex,
                                     int32_t* reverseDirection) {
    return Guarded([&] {
        const auto* transition = static_cast<const TransitionEffect*>(
            ContentOf(kTransitionTrack, ContentKind::Transition, transitionIndex));
        ReadEffect(transition, name, startTime, stopTime, params);
        Write(mediaTrackIndex, transition != nullptr
                                   ? context_.model->IndexOfTrack(transition->GetMediaTrack())
                                   : 0);
        Write(reverseDirection, transition != nullptr && transition->GetReverse() ? 1 : 0);
    });
}

void ContentEditor::ReadEffect(const IEffect* effect, OutString* name, float* start, float* stop,
                               OutString* params) {
    WriteTimes(effect, start, stop);
    Write(name, effect != nullptr ? OutString(effect->GetSource()) : std::nullopt);
    Write(params, effect != nullptr ? OutString(effect->GetParams()) : std::nullopt);
}

HResult ContentEditor::DeleteTransition(int32_t trackIndex, int32_t transitionIndex) {
    return DeleteClip(trackIndex, transitionIndex);
}

HResult ContentEditor::AddEffect(int32_t /*trackIndex*/, const wchar_t* name, float startTime,
                                 float stopTime, const wchar_t* params, int32_t* effectIndex) {
    return Apply(EffectEdit(kEffectTrack, ContentKind::Effect, name, startTime, stopTime, params),
                 true, effectIndex);
}

HResult ContentEditor::ChangeEffect(int32_t /*trackIndex*/, int32_t effectIndex,
                                    const wchar_t* name, float startTime, float stopTime,
                                    const wchar_t* params, int32_t* result) {
    Edit edit = EffectEdit(kEffectTrack, ContentKind::Effect, name, startTime, stopTime, params);
    edit.contentIndex = effectIndex;
    return Apply(edit, false, result);
}

HResult ContentEditor::GetEffect(int32_t /*trackIndex*/, int32_t effectIndex, OutString* name,
                                 float* startTime, float* stopTime, OutString* params) {
    return Guarded([&] {
        ReadEffect(
            static_cast<const IEffect*>(ContentOf(kEffectTrack, ContentKind::Effect, effectIndex)),
            name, startTime, stopTime, params);
    });
}

HResult ContentEditor::DeleteEffect(int32_t trackIndex, int32_t effectIndex) {
    return DeleteClip(trackIndex, effectIndex);
}

HResult ContentEditor::GetClipCount(int32_t trackIndex, int32_t* clipCount) {
    return Guarded([&] {
        const ITrack* track = context_.Track(trackIndex);
        Write(clipCount, track != nullptr ? track->GetContentCount() : -1);
    });
}

HResult ContentEditor::GetTransitionCount(int32_t trackIndex, int32_t* transitionCount) {
    return GetClipCount(trackIndex, transitionCount);
}

HResult ContentEditor::GetEffectCount(int32_t trackIndex, int32_t* effectCount) {
    return GetClipCount(trackIndex, effectCount);
}

}  // namespace vortrel

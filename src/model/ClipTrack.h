#pragma once

#include <memory>

#include "model/AudioClip.h"
#include "model/ITrack.h"
#include "model/ImageClip.h"
#include "model/VideoClip.h"

namespace vortrel {

// A track of media clips of one kind, each placed on the track's own editing-timeline track.
template <typename Clip, ContentKind Kind>
class ClipTrack : public ITrack {
  public:
    explicit ClipTrack(std::shared_ptr<DesTrack> desTrack) : ITrack(std::move(desTrack)) {}

    bool AcceptsKind(ContentKind kind) const override { return kind == Kind; }

    std::shared_ptr<IContent> MakeContent(bool placed) const override {
        return std::make_shared<Clip>(placed ? GetDesTrack().get() : nullptr);
    }
};

// A track of video clips (the first and second video tracks).
class VideoTrack : public ClipTrack<VideoClip, ContentKind::Video> {
  public:
    using ClipTrack::ClipTrack;
};

// The track of still images.
class ImageTrack : public ClipTrack<ImageClip, ContentKind::Image> {
  public:
    using ClipTrack::ClipTrack;
};

// A track of audio clips (the first and second audio tracks).
class AudioTrack : public ClipTrack<AudioClip, ContentKind::Audio> {
  public:
    using ClipTrack::ClipTrack;
};

}  // namespace vortrel

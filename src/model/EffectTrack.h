#pragma once

#include <memory>

#include "model/ITrack.h"
#include "model/MediaEffect.h"

namespace vortrel {

class DesVideoGroup;

// The track of video effects. Its effects act on the whole video composition, so they are
// placed on the video group rather than on a track.
class EffectTrack : public ITrack {
  public:
    explicit EffectTrack(DesVideoGroup* videoGroup) : ITrack(nullptr), videoGroup_(videoGroup) {}

    bool AcceptsKind(ContentKind kind) const override { return kind == ContentKind::Effect; }
    std::shared_ptr<IContent> MakeContent(bool placed) const override {
        return std::make_shared<MediaEffect>(placed ? videoGroup_ : nullptr);
    }

  private:
    DesVideoGroup* videoGroup_;
};

}  // namespace vortrel

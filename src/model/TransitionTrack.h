#pragma once

#include <memory>

#include "model/ITrack.h"
#include "model/TransitionEffect.h"

namespace vortrel {

// The track of transitions. It has no editing-timeline track of its own: each transition is
// placed on the track of the clips it blends.
class TransitionTrack : public ITrack {
  public:
    TransitionTrack() : ITrack(nullptr) {}

    bool AcceptsKind(ContentKind kind) const override { return kind == ContentKind::Transition; }
    std::shared_ptr<DesTrack> GetDesTrack() const override { return nullptr; }
    std::shared_ptr<IContent> MakeContent(bool /*placed*/) const override {
        return std::make_shared<TransitionEffect>();
    }
};

}  // namespace vortrel

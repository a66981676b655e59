#pragma once

#include <memory>

#include "model/IObserver.h"
#include "model/ITrack.h"

namespace vortrel {

class DesTransition;

// The track of text clips. The text bitmaps are keyed over the video by one overlay
// transition on the track's editing-timeline track, whose span the track stretches to the
// latest stop of its text clips whenever one of them has changed.
class TextTrack : public ITrack, public IObserver {
  public:
    /// Makes the track and its overlay key transition on the given editing-timeline track.
    explicit TextTrack(std::shared_ptr<DesTrack> desTrack);

    IContent* CreateContent() override;
    bool AcceptsKind(ContentKind kind) const override { return kind == ContentKind::Text; }
    std::shared_ptr<IContent> MakeContent(bool placed) const override;

    /// A text clip has changed: the overlay span follows.
    void Handle(ISubject& subject) override;
    /// Sets the overlay's span to 0 .. the latest stop of the text clips; raises DesError
    /// "Could not set transition times" when the timeline refuses it.
    void UpdateOverlaySpan();

    /// The overlay transition.
    const std::shared_ptr<DesTransition>& GetOverlay() const { return overlay_; }

  private:
    std::shared_ptr<DesTransition> overlay_;
};

}  // namespace vortrel

#pragma once

#include "model/IObserver.h"

namespace vortrel {

class ITrack;

// A track's watch over its own contents: when one of them is about to take a new state,
// the track moves it so that it overlaps none of the others.
class ContentChangingEventHandler : public IObserver {
  public:
    explicit ContentChangingEventHandler(ITrack* owner) : owner_(owner) {}

    /// Keeps the content that the changing subject carries clear of the track's others.
    void Handle(ISubject& subject) override;

  private:
    ITrack* owner_;
};

}  // namespace vortrel

#pragma once

#include "views/IContentView.h"

namespace vortrel {

class MouseDispatcher;

class TransitionEffect;

// A transition on the transition track, drawn as the plain body.
class TransitionView : public IContentView {
  public:
    /// A view of a content (not owned) at the zoom of a time scale (not owned).
    TransitionView(TransitionEffect* content, TimeScale* timeScale, MouseDispatcher& mouse);

    /// The body.
    void Draw(IDrawContext& context) override;
    /// Follows the content's times.
    void OnContentChanged() override;
};

}  // namespace vortrel

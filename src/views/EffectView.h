#pragma once

#include "views/IContentView.h"

namespace vortrel {

class MouseDispatcher;

class MediaEffect;

// A video effect on the effect track, drawn as the plain body.
class EffectView : public IContentView {
  public:
    /// A view of a content (not owned) at the zoom of a time scale (not owned).
    EffectView(MediaEffect* content, TimeScale* timeScale, MouseDispatcher& mouse);

    /// The body.
    void Draw(IDrawContext& context) override;
    /// Follows the content's times.
    void OnContentChanged() override;
};

}  // namespace vortrel

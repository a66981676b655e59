#pragma once

#include <string>

#include "views/IContentView.h"

namespace vortrel {

class MouseDispatcher;

class TextClip;

// A text clip drawn as its text centred over the body. The text is read when the clip
// announces a change, so a new clip shows its text after its first update.
class PageView : public IContentView {
  public:
    /// A view of a clip (not owned) at the zoom of a time scale (not owned).
    PageView(TextClip* clip, TimeScale* timeScale, MouseDispatcher& mouse);

    /// The body and the text, on several lines when it holds a line break.
    void Draw(IDrawContext& context) override;
    /// Reads the clip's text and follows its times.
    void OnContentChanged() override;

    /// The text as last read.
    const std::wstring& GetText() const { return text_; }

  private:
    TextClip* clip_;
    std::wstring text_;
};

}  // namespace vortrel

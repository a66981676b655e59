#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "views/LabelView.h"
#include "views/StackPanel.h"
#include "views/ToolTipEvent.h"
#include "views/ViewEventHandler.h"

namespace vortrel {

class MouseDispatcher;

// A small yellow tip with one label that floats above the other views. It follows every
// mouse move: a move without the button hides it (and, for a timer-driven tip, waits 800 ms
// for the pointer to rest), a drag or the end of the wait asks its owner for a text through
// toolTipEvent and shows it when there is one.
class ToolTipView : public StackPanel {
  public:
    /// Milliseconds the pointer must rest before a timer-driven tip shows.
    static constexpr int32_t kHoverDelay = 800;
    /// How far below the pointer a timer-driven tip shows.
    static constexpr int32_t kPointerGap = 20;

    /// A hidden tip following the pointer moves of a dispatcher that outlives it; a
    /// timer-driven one shows on its own after the pointer rests.
    ToolTipView(bool timerDriven, MouseDispatcher& mouse);
    ~ToolTipView() override;

    /// Draws the raised frame, then the text.
    void Draw(IDrawContext& context) override;
    /// Shows the tip when its hover wait ends.
    void OnTimeElapsed(int32_t timerId) override;

    /// Follows the pointer; true when the tip's visibility may have changed.
    bool Hover(int32_t x, int32_t y, bool buttonDown);
    /// Asks for a text at the anchor and shows the tip round it if one came.
    void Show(bool whileDragging);
    /// Sets the text; a line break makes the label multi-line.
    void SetText(const std::wstring& text);
    /// Moves the anchor (the handlers of toolTipEvent may).
    void SetAnchor(int32_t x, int32_t y);

    LabelView* GetLabel() const { return label_; }
    int32_t GetAnchorX() const { return anchorX_; }
    int32_t GetAnchorY() const { return anchorY_; }
    bool IsTimerDriven() const { return timerDriven_; }
    /// Notified when the tip wants its text: anchor and whether a drag is in progress.
    const std::shared_ptr<ToolTipEvent>& GetToolTipEvent() const { return toolTipEvent_; }
    /// The hover timer's id (0 for a tip that is not timer-driven).
    int32_t GetTimerId() const { return timerId_; }

  private:
    MouseDispatcher& mouse_;
    LabelView* label_ = nullptr;
    int32_t anchorX_ = 0;
    int32_t anchorY_ = 0;
    bool timerDriven_;
    std::shared_ptr<ToolTipEvent> toolTipEvent_;
    int32_t timerId_ = 0;
    IEventHandler* activeHandler_ = nullptr;
};

// Hands every press, release and move to a tool tip's Hover, and marks the input handled
// when the tip changed so that the window repaints.
class MouseActiveEventHandler : public IEventHandler {
  public:
    explicit MouseActiveEventHandler(ToolTipView* toolTip) : toolTip_(toolTip) {}
    /// Runs Hover with the event's point and button.
    void Handle(ISubject& subject) override;

  private:
    ToolTipView* toolTip_;
};

}  // namespace vortrel

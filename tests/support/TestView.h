#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "views/IView.h"
#include "views/MouseDispatcher.h"

namespace vortrel::testing {

/// Places a view (its laid-out fields) in one call.
inline void Place(IView& view, int32_t x, int32_t y, int32_t width, int32_t height) {
    view.SetX(x);
    view.SetY(y);
    view.SetWidth(width);
    view.SetHeight(height);
}

// A plain view for the framework's tests: it fills its rectangle with one colour, writes
// every input it receives into a shared log under its name, and may subscribe to the presses
// of a dispatcher as the concrete views do (leaving the subscription again when it goes).
class TestView : public IView {
  public:
    TestView(std::string name, std::shared_ptr<std::vector<std::string>> log = nullptr,
             MouseDispatcher* presses = nullptr)
        : name_(std::move(name)), log_(std::move(log)), presses_(presses) {
        if (presses_ != nullptr) {
            presses_->GetDown()->Attach(GetMouseDownEventHandler());
        }
    }
    ~TestView() override {
        if (presses_ != nullptr) {
            presses_->GetDown()->Detach(GetMouseDownEventHandler());
        }
        Write("destroyed");
    }

    /// Places the view (laid-out fields) in one call.
    TestView& At(int32_t x, int32_t y, int32_t width, int32_t height) {
        Place(*this, x, y, width, height);
        return *this;
    }

    void Draw(IDrawContext& context) override {
        ++draws;
        context.SetPen(color, 1);
        context.SetBrush(color);
        context.Rectangle(GetBounds());
    }
    void DrawOverlay(IDrawContext& context) override {
        ++overlays;
        context.SetPen(0x0000FF, 1);
        context.SetNullBrush();
        context.Rectangle(GetBounds());
    }
    void OnMouseDown(int32_t x, int32_t y) override {
        Write("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnMouseUp() override { Write("up"); }
    void OnMouseDragged(int32_t dx, int32_t dy) override {
        Write("dragged " + std::to_string(dx) + "," + std::to_string(dy));
    }
    void OnTimeElapsed(int32_t timerId) override { Write("timer " + std::to_string(timerId)); }

    ColorRef color = 0x336699;
    int draws = 0;
    int overlays = 0;

  private:
    void Write(const std::string& line) {
        if (log_) {
            log_->push_back(name_ + " " + line);
        }
    }

    std::string name_;
    std::shared_ptr<std::vector<std::string>> log_;
    MouseDispatcher* presses_;
};

}  // namespace vortrel::testing

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>

#include "TimerPump.h"
#include "control/ITimelineControl.h"
#include "ports/IControlWindow.h"
#include "ports/ITimerHost.h"

namespace vortrel::script {

// The off-screen host of a control that a call script drives: it stands in for the
// control's window (it counts repaint requests and remembers the cursor and the client
// area's size), for the window the process's timers run on (it remembers which timers
// run and how often, and ticks only while pumped), and for the host's event sink (it prints
// each event as a script line and counts the events by name).
class ScriptHost : public IControlWindow, public ITimerHost, public ITimelineControlEvents {
  public:
    /// The client area's size until a script gives another.
    static constexpr int32_t kInitialWidth = 800;
    static constexpr int32_t kInitialHeight = 400;

    explicit ScriptHost(std::ostream& out) : out_(out) {}

    // IControlWindow.
    void Invalidate() override { ++repaints_; }
    void SetCursor(ControlCursor cursor) override { cursor_ = cursor; }
    // Every message of a script reaches the control, wherever its point lies.
    void SetCapture() override {}
    void ReleaseCapture() override {}

    // ITimerHost.
    void SetTimer(int32_t timerId, int32_t milliseconds) override {
        timers_.SetTimer(timerId, milliseconds);
    }
    void KillTimer(int32_t timerId) override { timers_.KillTimer(timerId); }

    // ITimelineControlEvents: one "event NAME ARG…" line each.
    void OnClickClip(int32_t trackIndex, int32_t clipIndex) override {
        Event("OnClickClip") << " " << trackIndex << " " << clipIndex << "\n";
    }
    void OnUpdate() override { Event("OnUpdate") << "\n"; }
    void OnPlaying(int32_t currentPosition) override {
        Event("OnPlaying") << " " << currentPosition << "\n";
    }
    void OnPlayingCompleted() override { Event("OnPlayingCompleted") << "\n"; }
    void OnConvertProgress(int32_t progress) override {
        Event("OnConvertProgress") << " " << progress << "\n";
    }
    void OnConvertCompleted() override { Event("OnConvertCompleted") << "\n"; }

    /// The client area's size as the last size message gave it.
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    /// Notes the size a size message gives the client area.
    void Resize(int32_t width, int32_t height) {
        width_ = width;
        height_ = height;
    }

    /// How many times the control asked for a repaint.
    int64_t Repaints() const { return repaints_; }
    /// The cursor the control showed last.
    ControlCursor Cursor() const { return cursor_; }
    /// The running timers: id → period in milliseconds.
    const std::map<int32_t, int32_t>& Timers() const { return timers_.Periods(); }
    /// Delivers every timer tick to a handler of the window from now on.
    void SetTickHandler(std::function<void(int32_t)> handler) {
        timers_.SetTickHandler(std::move(handler));
    }
    /// Runs the timers for a span, or until done() holds; true when it did.
    bool Pump(std::chrono::milliseconds span, const std::function<bool()>& done = {}) {
        return timers_.Pump(span, done);
    }
    /// How many times an event (by its name, such as "OnConvertCompleted") fired.
    int64_t EventCount(const std::string& name) const {
        auto it = events_.find(name);
        return it == events_.end() ? 0 : it->second;
    }

  private:
    std::ostream& Event(const std::string& name) {
        ++events_[name];
        return out_ << "event " << name;
    }

    std::ostream& out_;
    int64_t repaints_ = 0;
    ControlCursor cursor_ = ControlCursor::Arrow;
    int32_t width_ = kInitialWidth;
    int32_t height_ = kInitialHeight;
    TimerPump timers_;
    std::map<std::string, int64_t> events_;
};

}  // namespace vortrel::script

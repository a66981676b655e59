#pragma once

#include <cstdint>
#include <map>
#include <ostream>

#include "control/IControlWindow.h"
#include "control/ITimelineControl.h"
#include "model/ITimerHost.h"

namespace vortrel::script {

// The off-screen host of a control that a call script drives: it stands in for the
// control's window (it counts repaint requests and remembers the cursor), for the window
// the process's timers run on (it remembers which timers run and how often, and ticks only
// when told to), and for the host's event sink (it prints each event as a script line).
class ScriptHost : public IControlWindow, public ITimerHost, public ITimelineControlEvents {
  public:
    explicit ScriptHost(std::ostream& out) : out_(out) {}

    // IControlWindow.
    void Invalidate() override { ++repaints_; }
    void SetCursor(ControlCursor cursor) override { cursor_ = cursor; }

    // ITimerHost.
    void SetTimer(int32_t timerId, int32_t milliseconds) override {
        timers_[timerId] = milliseconds;
    }
    void KillTimer(int32_t timerId) override { timers_.erase(timerId); }

    // ITimelineControlEvents: one "event NAME ARG…" line each.
    void OnClickClip(int32_t trackIndex, int32_t clipIndex) override {
        out_ << "event OnClickClip " << trackIndex << " " << clipIndex << "\n";
    }
    void OnUpdate() override { out_ << "event OnUpdate\n"; }
    void OnPlaying(int32_t currentPosition) override {
        out_ << "event OnPlaying " << currentPosition << "\n";
    }
    void OnPlayingCompleted() override { out_ << "event OnPlayingCompleted\n"; }
    void OnConvertProgress(int32_t progress) override {
        out_ << "event OnConvertProgress " << progress << "\n";
    }
    void OnConvertCompleted() override { out_ << "event OnConvertCompleted\n"; }

    /// How many times the control asked for a repaint.
    int64_t Repaints() const { return repaints_; }
    /// The cursor the control showed last.
    ControlCursor Cursor() const { return cursor_; }
    /// The running timers: id → period in milliseconds.
    const std::map<int32_t, int32_t>& Timers() const { return timers_; }

  private:
    std::ostream& out_;
    int64_t repaints_ = 0;
    ControlCursor cursor_ = ControlCursor::Arrow;
    std::map<int32_t, int32_t> timers_;
};

}  // namespace vortrel::script

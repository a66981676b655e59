#pragma once

#include <csignal>
#include <memory>
#include <ostream>
#include <string>

#include "control/CTimelineControl.h"

namespace vortrel {

class IControlWindow;
class ITimerHost;

// A control on the Linux back ends as a command hosts it: created in the host's window with
// its timers, telling the host's sink its events, until it goes out of scope.
class HostedControl {
  public:
    HostedControl(IControlWindow& window, ITimerHost& timers, ITimelineControlEvents& sink);
    ~HostedControl();
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    CTimelineControl& operator*() const { return *control_; }
    CTimelineControl* operator->() const { return control_.get(); }

  private:
    std::unique_ptr<CTimelineControl> control_;
    ITimelineControlEvents& sink_;
};

/// Loads a project into a control; false, with a one-line message naming the command, when
/// the file is missing or is not a project.
bool LoadProjectInto(CTimelineControl& control, const std::string& project, std::ostream& err,
                     const char* command);

// Notes an interrupt from the terminal (Ctrl-C) while it lives, instead of ending the
// process, so that a command can stop its work and clean up.
class InterruptWatch {
  public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    /// Whether an interrupt came.
    bool Interrupted() const;

  private:
    void (*previous_)(int);
};

}  // namespace vortrel

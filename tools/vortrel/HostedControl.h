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

/// What a command does with a project whose clips lack their media.
enum class MissingMedia {
    Refuse,  // name each such clip and fail
    Allow,   // name each such clip and go on
};

/// Loads a project into a control and settles its media names against the project's folder
/// (SettleProjectMedia); false, with a one-line message naming the command, when the file is
/// missing or is not a project, or when a clip lacks its media and the policy refuses it.
bool LoadProjectInto(CTimelineControl& control, const std::string& project, std::ostream& err,
                     const char* command, MissingMedia missing);

// Notes an interrupt (SIGINT, Ctrl-C at the terminal) or a request to end (SIGTERM) while it
// lives, instead of ending the process, so that a command can stop its work and clean up.
class InterruptWatch {
  public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    /// Whether either signal came.
    bool Interrupted() const;
    /// The exit code of a process that a signal stopped: 128 and the signal's number
    /// (130 for SIGINT, 143 for SIGTERM).
    int ExitCode() const;
    /// The signal's name, SIGINT or SIGTERM.
    const char* SignalName() const;

  private:
    void (*previousInterrupt_)(int);
    void (*previousTerminate_)(int);
};

}  // namespace vortrel

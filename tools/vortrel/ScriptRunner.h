#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ScriptChecker.h"
#include "ScriptHost.h"
#include "ScriptSyntax.h"
#include "control/ControlMembers.h"

namespace vortrel {
class CTimelineControl;
}

namespace vortrel::script {

// What a running statement works with: the control, its off-screen host, the captured
// values and the output.
class ScriptSession {
  public:
    ScriptSession(CTimelineControl& control, ScriptHost& host, std::ostream& out)
        : control_(control), host_(host), out_(out) {}

    CTimelineControl& Control() { return control_; }
    ScriptHost& Host() { return host_; }
    std::ostream& Out() { return out_; }

    /// Remembers a value under a capture name (replacing an earlier one).
    void SetCapture(const std::string& name, ValueType type, const ControlValue& value) {
        captures_.Set(name, type, value);
    }
    /// The value of an argument as a type: a literal, or the captured value it names.
    ControlValue Resolve(const Token& token, ValueType type, int line) const {
        return captures_.Resolve(token, type, line);
    }

  private:
    CTimelineControl& control_;
    ScriptHost& host_;
    std::ostream& out_;
    CaptureTable captures_;
};

// A directive of the call scripts (a line starting with !): its rule, checked before the
// script starts, and the action. Each prints its own "!NAME ->" line.
struct Directive : DirectiveRule {
    std::function<void(const Statement&, ScriptSession&)> run;
};

// Runs call scripts against a fresh control hosted as a host program would host it: made
// and initialised on the Linux back ends, given an off-screen window of 800 x 400 and timer
// host, with an event sink that prints the events. The whole script is checked before anything
// runs, so a mistake on any line stops it before the first call. One output line per statement.
class ScriptRunner {
  public:
    /// A runner that knows the built-in directives (!testsrc, !font, !wait, !await, and the
    /// window's !size, !mouse, !pixel, !snapshot) and prints to out.
    explicit ScriptRunner(std::ostream& out);

    /// Adds (or replaces) a directive, named with its !.
    void AddDirective(const std::string& name, Directive directive);

    /// Checks every statement; raises ScriptError at the first fault.
    void Check(const std::vector<Statement>& statements) const;
    /// Checks the script, then runs it on a fresh control in the current directory; raises
    /// ScriptError for a fault of the script or a failure while it runs.
    void Run(const std::vector<Statement>& statements);

  private:
    void Execute(const Statement& statement, ScriptSession& session) const;

    std::ostream& out_;
    std::map<std::string, Directive> directives_;
};

}  // namespace vortrel::script

#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "ScriptChecker.h"
#include "ScriptSyntax.h"

namespace vortrel::com {

class ComScriptSession;

// Runs call scripts against the control as a host program on Windows meets it: the server
// is registered for the current user, the control is made by its program id and driven only
// through IDispatch by member name, and an event sink connected to its connection point
// prints the events. It prints what vortrel's runner prints. Media a script names with
// !testsrc is made by the host beforehand. A script with window directives gets the control
// hosted in place in a container window, whose mouse messages and pixels they drive.
class ComScriptRunner {
  public:
    /// A runner that prints to out.
    explicit ComScriptRunner(std::ostream& out);

    /// Checks every statement; raises script::ScriptError at the first fault.
    void Check(const std::vector<script::Statement>& statements) const;
    /// Checks the script, registers the server at serverPath for this user, then runs the
    /// script on a fresh control; raises script::ScriptError for a fault of the script or a
    /// failure while it runs.
    void Run(const std::vector<script::Statement>& statements, const std::wstring& serverPath);

  private:
    struct Directive : script::DirectiveRule {
        std::function<void(const script::Statement&, ComScriptSession&)> run;
    };

    std::ostream& out_;
    std::map<std::string, Directive> directives_;
};

}  // namespace vortrel::com

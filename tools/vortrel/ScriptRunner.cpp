#include "ScriptRunner.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <memory>
#include <utility>

#include "TestSource.h"
#include "WindowPicture.h"
#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "model/FontTable.h"
#include "platform/linux/LinuxPlatform.h"
#include "ports/LogFont.h"

namespace vortrel::script {

namespace {

// !testsrc PATH SECONDS KIND [WxH]: the file and its shape.
std::pair<std::filesystem::path, TestSourceSpec> TestSourceOf(const Statement& statement) {
    const std::string path = TextArgument(statement, 0, "a file name");
    TestSourceSpec spec;
    spec.seconds = NumberArgument<double>(statement, 1, "a length in seconds");
    try {
        spec.kind = ParseTestSourceKind(TextArgument(statement, 2, "a kind"));
        if (statement.args.size() > 3) {
            ParseFrameSize(TextArgument(statement, 3, "a size WxH"), spec.width, spec.height);
        }
        CheckTestSource(path, spec);
    } catch (const TestSourceRequestError& error) {
        throw ScriptError(statement.line, error.what());
    }
    return {ToPath(FromUtf8(path)), spec};
}

Directive TestSourceDirective() {
    Directive directive;
    directive.minArgs = 3;
    directive.maxArgs = 4;
    directive.usage = "!testsrc PATH SECONDS KIND [WxH]";
    directive.check = [](const Statement& statement, ScriptScope&) { TestSourceOf(statement); };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        const auto [path, spec] = TestSourceOf(statement);
        try {
            WriteTestSource(path, spec);
        } catch (const TestSourceWriteError& error) {
            throw ScriptError(statement.line, error.what(), ScriptError::Kind::Failure);
        }
        session.Out() << "!testsrc ->\n";
    };
    return directive;
}

Directive FontDirective() {
    Directive directive;
    directive.minArgs = 4;
    directive.maxArgs = 4;
    directive.usage = "!font $name \"FACE\" HEIGHT WEIGHT";
    directive.check = [](const Statement& statement, ScriptScope& scope) {
        scope.Declare(FontArguments(statement).first, ValueType::Font);
    };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        const auto [name, font] = FontArguments(statement);
        session.SetCapture(name, ValueType::Font, FontTable::Create(font));
        session.Out() << "!font ->\n";
    };
    return directive;
}

// !wait MS: runs the process's timers and Qt's events for a while, as a host's message
// loop would between two calls.
Directive WaitDirective() {
    Directive directive;
    directive.minArgs = 1;
    directive.maxArgs = 1;
    directive.usage = "!wait MS";
    directive.check = [](const Statement& statement, ScriptScope&) { SpanArgument(statement, 0); };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        session.Host().Pump(SpanArgument(statement, 0));
        session.Out() << "!wait ->\n";
    };
    return directive;
}

// !await EVENT TIMEOUT_MS: runs the timers and events until the control fires the event
// (ok) or the time is up (timeout).
Directive AwaitDirective() {
    Directive directive;
    directive.minArgs = 2;
    directive.maxArgs = 2;
    directive.usage = "!await EVENT TIMEOUT_MS";
    directive.check = [](const Statement& statement, ScriptScope&) {
        EventArgument(statement, 0);
        SpanArgument(statement, 1);
    };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        const std::string event = EventArgument(statement, 0);
        ScriptHost& host = session.Host();
        const int64_t before = host.EventCount(event);
        const bool fired =
            host.Pump(SpanArgument(statement, 1), [&] { return host.EventCount(event) > before; });
        session.Out() << "!await " << event << " -> " << (fired ? "ok" : "timeout") << "\n";
    };
    return directive;
}

// !size W H: the window's client area takes a new size, as a size message tells it.
Directive SizeDirective() {
    Directive directive;
    directive.minArgs = 2;
    directive.maxArgs = 2;
    directive.usage = "!size W H";
    directive.check = [](const Statement& statement, ScriptScope&) {
        WindowArgument(statement, 0, "a width");
        WindowArgument(statement, 1, "a height");
    };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        const int16_t width = WindowArgument(statement, 0, "a width");
        const int16_t height = WindowArgument(statement, 1, "a height");
        session.Host().Resize(width, height);
        session.Control().OnSize(width, height);
        session.Out() << "!size ->\n";
    };
    return directive;
}

// The mouse messages a script sends.
enum class MouseAction { Down, Move, Up };

MouseAction MouseActionArgument(const Statement& statement) {
    const std::string action = TextArgument(statement, 0, "down, move or up");
    if (action == "down") {
        return MouseAction::Down;
    }
    if (action == "move") {
        return MouseAction::Move;
    }
    if (action == "up") {
        return MouseAction::Up;
    }
    throw ScriptError(statement.line, "expected down, move or up, got '" + action + "'");
}

// !mouse down|move|up X Y: the left button goes down, the mouse moves, or the button comes
// up, at a client point.
Directive MouseDirective() {
    Directive directive;
    directive.minArgs = 3;
    directive.maxArgs = 3;
    directive.usage = "!mouse down|move|up X Y";
    directive.check = [](const Statement& statement, ScriptScope&) {
        MouseActionArgument(statement);
        WindowArgument(statement, 1, "an x");
        WindowArgument(statement, 2, "a y");
    };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        const int16_t x = WindowArgument(statement, 1, "an x");
        const int16_t y = WindowArgument(statement, 2, "a y");
        switch (MouseActionArgument(statement)) {
            case MouseAction::Down:
                session.Control().OnLeftButtonDown(x, y);
                break;
            case MouseAction::Move:
                session.Control().OnMouseMove(x, y);
                break;
            case MouseAction::Up:
                session.Control().OnLeftButtonUp(x, y);
                break;
        }
        session.Out() << "!mouse ->\n";
    };
    return directive;
}

// !pixel X Y: the colour a paint of the window draws now at a client point, as #RRGGBB;
// none outside the client area.
Directive PixelDirective() {
    Directive directive;
    directive.minArgs = 2;
    directive.maxArgs = 2;
    directive.usage = "!pixel X Y";
    directive.check = [](const Statement& statement, ScriptScope&) {
        NumberArgument<int32_t>(statement, 0, "an x");
        NumberArgument<int32_t>(statement, 1, "a y");
    };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        const auto x = NumberArgument<int32_t>(statement, 0, "an x");
        const auto y = NumberArgument<int32_t>(statement, 1, "a y");
        const ScriptHost& host = session.Host();
        const bool inside = x >= 0 && y >= 0 && x < host.Width() && y < host.Height();
        const std::unique_ptr<IDrawSurface> window =
            inside ? PaintWindow(session.Control(), host.Width(), host.Height()) : nullptr;
        session.Out() << "!pixel -> " << (window ? FormatColor(window->PixelAt(x, y)) : "none")
                      << "\n";
    };
    return directive;
}

// !snapshot PATH: the window as a paint draws it now, written as a PNG file.
Directive SnapshotDirective() {
    Directive directive;
    directive.minArgs = 1;
    directive.maxArgs = 1;
    directive.usage = "!snapshot PATH";
    directive.check = [](const Statement& statement, ScriptScope&) {
        TextArgument(statement, 0, "a file name");
    };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        const std::string path = TextArgument(statement, 0, "a file name");
        const ScriptHost& host = session.Host();
        const std::unique_ptr<IDrawSurface> window =
            PaintWindow(session.Control(), host.Width(), host.Height());
        std::string error = "the window has no client area to paint";
        if (!window || !WritePng(*window, ToPath(FromUtf8(path)), error)) {
            throw ScriptError(statement.line, "cannot write " + path + ": " + error,
                              ScriptError::Kind::Failure);
        }
        session.Out() << "!snapshot ->\n";
    };
    return directive;
}

}  // namespace

ScriptRunner::ScriptRunner(std::ostream& out) : out_(out) {
    AddDirective("!testsrc", TestSourceDirective());
    AddDirective("!font", FontDirective());
    AddDirective("!wait", WaitDirective());
    AddDirective("!await", AwaitDirective());
    AddDirective("!size", SizeDirective());
    AddDirective("!mouse", MouseDirective());
    AddDirective("!pixel", PixelDirective());
    AddDirective("!snapshot", SnapshotDirective());
}

void ScriptRunner::AddDirective(const std::string& name, Directive directive) {
    directives_[name] = std::move(directive);
}

void ScriptRunner::Check(const std::vector<Statement>& statements) const {
    std::map<std::string, const DirectiveRule*> rules;
    for (const auto& [name, directive] : directives_) {
        rules[name] = &directive;
    }
    ScriptChecker(std::move(rules)).Check(statements);
}

void ScriptRunner::Execute(const Statement& statement, ScriptSession& session) const {
    if (statement.kind == Statement::Kind::Directive) {
        directives_.at(statement.name).run(statement, session);
        return;
    }
    const ControlMember& member = *FindMember(statement);
    std::vector<ControlValue> ins;
    ins.reserve(member.ins.size());
    for (size_t i = 0; i < member.ins.size(); ++i) {
        ins.push_back(session.Resolve(statement.args[i], member.ins[i], statement.line));
    }
    std::vector<ControlValue> outs;
    member.invoke(session.Control(), ins, outs);

    // Events fired during the call have been printed already; the call's own line follows.
    session.Out() << ResultLine(statement, member, outs) << "\n";
    if (statement.capture && !outs.empty()) {
        session.SetCapture(*statement.capture, member.outs.front(), outs.front());
    }
}

void ScriptRunner::Run(const std::vector<Statement>& statements) {
    Check(statements);

    ScriptHost host(out_);
    std::unique_ptr<CTimelineControl> control = CreateLinuxControl();
    control->OnCreate(&host, &host);
    CTimelineControl* window = control.get();
    host.SetTickHandler([window](int32_t timerId) { window->OnTimer(timerId); });
    control->OnSize(ScriptHost::kInitialWidth, ScriptHost::kInitialHeight);
    control->Advise(&host);
    // The host lets the control go as a host program does, whether or not the script ran
    // to its end.
    struct Closer {
        CTimelineControl& control;
        ScriptHost& host;
        ~Closer() {
            control.OnDestroy();
            control.Unadvise(&host);
        }
    } closer{*control, host};

    ScriptSession session(*control, host, out_);
    for (const Statement& statement : statements) {
        Execute(statement, session);
    }
    out_.flush();
}

}  // namespace vortrel::script

#include "ScriptRunner.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <memory>
#include <utility>

#include "NameSuggestions.h"
#include "TestSource.h"
#include "WindowPicture.h"
#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "model/FontTable.h"
#include "platform/linux/LinuxPlatform.h"
#include "ports/LogFont.h"

namespace vortrel::script {

namespace {

std::string Plural(size_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The statement as its output line starts: the member's name, or get/put and the name.
std::string Prefix(const Statement& statement) {
    switch (statement.kind) {
        case Statement::Kind::Get:
            return "get " + statement.name;
        case Statement::Kind::Put:
            return "put " + statement.name;
        default:
            return statement.name;
    }
}

// A literal argument of a directive: a quoted string or a bare word.
std::string TextArgument(const Statement& statement, size_t index, const char* what) {
    const Token& token = statement.args.at(index);
    if (token.kind != Token::Kind::String && token.kind != Token::Kind::Word) {
        throw ScriptError(statement.line,
                          std::string("expected ") + what + ", got '" + token.text + "'");
    }
    return token.text;
}

template <typename T>
T NumberArgument(const Statement& statement, size_t index, const char* what) {
    const Token& token = statement.args.at(index);
    T value{};
    const std::string& text = token.text;
    const bool number = token.kind == Token::Kind::Integer || token.kind == Token::Kind::Float;
    const char* begin = text.data() + (!text.empty() && text.front() == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (!number || error != std::errc() || end != text.data() + text.size()) {
        throw ScriptError(statement.line,
                          std::string("expected ") + what + ", got '" + token.text + "'");
    }
    return value;
}

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

// !font $name "FACE" HEIGHT WEIGHT: the capture name and the font record.
std::pair<std::string, LogFont> FontOf(const Statement& statement) {
    if (statement.args[0].kind != Token::Kind::Capture) {
        throw ScriptError(statement.line, "!font names its capture first, as $name");
    }
    if (statement.args[1].kind != Token::Kind::String) {
        throw ScriptError(statement.line, "!font takes the face name in quotes");
    }
    LogFont font;
    font.SetFaceName(FromUtf8(statement.args[1].text));
    font.height = NumberArgument<int32_t>(statement, 2, "a font height");
    font.weight = NumberArgument<int32_t>(statement, 3, "a font weight");
    return {statement.args[0].text, font};
}

Directive FontDirective() {
    Directive directive;
    directive.minArgs = 4;
    directive.maxArgs = 4;
    directive.usage = "!font $name \"FACE\" HEIGHT WEIGHT";
    directive.check = [](const Statement& statement, ScriptScope& scope) {
        scope.Declare(FontOf(statement).first, ValueType::Font);
    };
    directive.run = [](const Statement& statement, ScriptSession& session) {
        const auto [name, font] = FontOf(statement);
        session.SetCapture(name, ValueType::Font, FontTable::Create(font));
        session.Out() << "!font ->\n";
    };
    return directive;
}

// The events a host hears from the control, by name.
constexpr const char* kEventNames[] = {"OnClickClip",       "OnUpdate",
                                       "OnPlaying",         "OnPlayingCompleted",
                                       "OnConvertProgress", "OnConvertCompleted"};

// A span in milliseconds: a whole number from 0 to ten minutes.
std::chrono::milliseconds SpanArgument(const Statement& statement, size_t index) {
    const auto milliseconds = NumberArgument<int64_t>(statement, index, "milliseconds");
    constexpr int64_t kLongest = 600'000;
    if (milliseconds < 0 || milliseconds > kLongest) {
        throw ScriptError(statement.line, "expected milliseconds from 0 to " +
                                              std::to_string(kLongest) + ", got " +
                                              std::to_string(milliseconds));
    }
    return std::chrono::milliseconds(milliseconds);
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

std::string EventArgument(const Statement& statement, size_t index) {
    const std::string name = TextArgument(statement, index, "an event name");
    if (std::find(std::begin(kEventNames), std::end(kEventNames), name) == std::end(kEventNames)) {
        throw ScriptError(statement.line, "unknown event '" + name + "'");
    }
    return name;
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

// A coordinate or size of a window message, which carries it as a signed 16-bit value.
int16_t WindowArgument(const Statement& statement, size_t index, const char* what) {
    const auto value = NumberArgument<int32_t>(statement, index, what);
    if (value < INT16_MIN || value > INT16_MAX) {
        throw ScriptError(statement.line, std::string("expected ") + what + " from " +
                                              std::to_string(INT16_MIN) + " to " +
                                              std::to_string(INT16_MAX) + ", got " +
                                              std::to_string(value));
    }
    return static_cast<int16_t>(value);
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

std::optional<ValueType> ScriptScope::Find(const std::string& name) const {
    auto it = types_.find(name);
    if (it == types_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void ScriptSession::SetCapture(const std::string& name, ValueType type, const ControlValue& value) {
    captures_[name] = Captured{type, value};
}

ControlValue ScriptSession::Resolve(const Token& token, ValueType type, int line) const {
    try {
        if (token.kind != Token::Kind::Capture) {
            return ToControlValue(token, type);
        }
        auto it = captures_.find(token.text);
        if (it == captures_.end()) {
            throw ValueError("$" + token.text + " holds no value");
        }
        return ToControlValue(ToToken(it->second.type, it->second.value), type);
    } catch (const ValueError& error) {
        throw ScriptError(line, error.what());
    }
}

const ControlMember* FindMember(const Statement& statement) {
    switch (statement.kind) {
        case Statement::Kind::Call:
            return FindControlMember(statement.name, MemberKind::Method);
        case Statement::Kind::Get:
            return FindControlMember(statement.name, MemberKind::PropertyGet);
        case Statement::Kind::Put:
            return FindControlMember(statement.name, MemberKind::PropertyPut);
        case Statement::Kind::Directive:
            break;
    }
    return nullptr;
}

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

namespace {

// The names of the control's members of one kind, in the member table's order.
std::vector<std::string> MemberNames(MemberKind kind) {
    std::vector<std::string> names;
    for (const ControlMember& member : ControlMembers()) {
        if (member.kind == kind) {
            names.emplace_back(member.name);
        }
    }
    return names;
}

}  // namespace

void ScriptRunner::Check(const std::vector<Statement>& statements) const {
    ScriptScope scope;
    for (const Statement& statement : statements) {
        CheckStatement(statement, scope);
    }
}

void ScriptRunner::CheckStatement(const Statement& statement, ScriptScope& scope) const {
    const int line = statement.line;
    if (statement.kind == Statement::Kind::Directive) {
        auto it = directives_.find(statement.name);
        if (it == directives_.end()) {
            std::vector<std::string> names;
            for (const auto& [name, known] : directives_) {
                names.push_back(name);
            }
            throw ScriptError(line, "unknown directive '" + statement.name + "'" +
                                        DidYouMean(statement.name, names));
        }
        const Directive& directive = it->second;
        if (statement.args.size() < directive.minArgs ||
            statement.args.size() > directive.maxArgs) {
            throw ScriptError(line, "usage: " + directive.usage);
        }
        if (statement.capture) {
            throw ScriptError(line, statement.name + " has no output to capture");
        }
        if (directive.check) {
            directive.check(statement, scope);
        }
        return;
    }

    const ControlMember* member = FindMember(statement);
    if (member == nullptr) {
        if (statement.kind == Statement::Kind::Call) {
            throw ScriptError(line,
                              "unknown member '" + statement.name + "'" +
                                  DidYouMean(statement.name, MemberNames(MemberKind::Method)));
        }
        const bool get = statement.kind == Statement::Kind::Get;
        const MemberKind other = get ? MemberKind::PropertyPut : MemberKind::PropertyGet;
        if (FindControlMember(statement.name, other) != nullptr) {
            throw ScriptError(
                line, "property '" + statement.name + "' cannot be " + (get ? "read" : "written"));
        }
        throw ScriptError(
            line, "unknown property '" + statement.name + "'" +
                      DidYouMean(statement.name, MemberNames(get ? MemberKind::PropertyGet
                                                                 : MemberKind::PropertyPut)));
    }
    if (statement.args.size() != member->ins.size()) {
        throw ScriptError(line, Prefix(statement) + " takes " +
                                    Plural(member->ins.size(), "argument") + ", got " +
                                    std::to_string(statement.args.size()));
    }
    for (size_t i = 0; i < statement.args.size(); ++i) {
        const Token& arg = statement.args[i];
        const ValueType type = member->ins[i];
        const std::string where = "argument " + std::to_string(i + 1) + " of " + statement.name;
        if (arg.kind == Token::Kind::Capture) {
            const std::optional<ValueType> held = scope.Find(arg.text);
            if (!held) {
                throw ScriptError(line, where + ": $" + arg.text + " is not captured before");
            }
            if (!Assignable(*held, type)) {
                throw ScriptError(line, where + ": $" + arg.text + " holds " + TypeName(*held) +
                                            ", not " + TypeName(type));
            }
            continue;
        }
        try {
            ToControlValue(arg, type);
        } catch (const ValueError& error) {
            throw ScriptError(line, where + ": " + error.what());
        }
    }
    if (statement.capture) {
        if (member->outs.empty()) {
            throw ScriptError(line, Prefix(statement) + " has no output to capture");
        }
        scope.Declare(*statement.capture, member->outs.front());
    }
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
    std::string text = Prefix(statement) + " ->";
    for (size_t i = 0; i < outs.size() && i < member.outs.size(); ++i) {
        text += " " + FormatValue(member.outs[i], outs[i]);
    }
    session.Out() << text << "\n";
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

#pragma once

#include <charconv>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "ScriptSyntax.h"
#include "control/ControlMembers.h"
#include "ports/LogFont.h"

namespace vortrel::script {

// The captures a script declares as it is checked, line by line: the name and the type of
// value each will hold when the script runs.
class ScriptScope {
  public:
    void Declare(const std::string& name, ValueType type) { types_[name] = type; }
    std::optional<ValueType> Find(const std::string& name) const;

  private:
    std::map<std::string, ValueType> types_;
};

// The values a running script has captured, by name.
class CaptureTable {
  public:
    /// Remembers a value under a capture name (replacing an earlier one).
    void Set(const std::string& name, ValueType type, const ControlValue& value);
    /// The value of an argument as a type: a literal, or the captured value it names.
    ControlValue Resolve(const Token& token, ValueType type, int line) const;

  private:
    struct Captured {
        ValueType type;
        ControlValue value;
    };
    std::map<std::string, Captured> captures_;
};

// What every runner knows of a directive (a line starting with !) before it runs: its
// argument counts, the usage shown when they are wrong, and a check that validates literal
// arguments and declares the captures the directive makes.
struct DirectiveRule {
    size_t minArgs = 0;
    size_t maxArgs = 0;
    std::string usage;
    std::function<void(const Statement&, ScriptScope&)> check;
};

// Checks call scripts against the control's member table and a runner's directives, so
// every runner refuses the same scripts with the same messages before the first call.
class ScriptChecker {
  public:
    /// A checker that knows these directives, by name with their !.
    explicit ScriptChecker(std::map<std::string, const DirectiveRule*> directives)
        : directives_(std::move(directives)) {}

    /// Checks every statement; raises ScriptError at the first fault.
    void Check(const std::vector<Statement>& statements) const;
    /// Checks one statement, declaring the captures it makes.
    void CheckStatement(const Statement& statement, ScriptScope& scope) const;

  private:
    std::map<std::string, const DirectiveRule*> directives_;
};

/// The member a call, get or put statement names, or null.
const ControlMember* FindMember(const Statement& statement);

/// The statement as its output line starts: the member's name, or get/put and the name.
std::string StatementPrefix(const Statement& statement);

/// The output line of a member call without its line end: the prefix, " ->" and each
/// output as FormatValue prints it.
std::string ResultLine(const Statement& statement, const ControlMember& member,
                       const std::vector<ControlValue>& outs);

/// The events a host hears from the control, by name, in the event interface's order.
const std::vector<std::string>& EventNames();

// Arguments of directives; each raises ScriptError naming what was expected.

/// A literal argument: a quoted string or a bare word.
std::string TextArgument(const Statement& statement, size_t index, const char* what);

/// A number argument of a type.
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

/// A span in milliseconds: a whole number from 0 to ten minutes.
std::chrono::milliseconds SpanArgument(const Statement& statement, size_t index);

/// The name of an event of the control.
std::string EventArgument(const Statement& statement, size_t index);

/// A coordinate or size of a window message, which carries it as a signed 16-bit value.
int16_t WindowArgument(const Statement& statement, size_t index, const char* what);

/// !font $name "FACE" HEIGHT WEIGHT: the capture name and the font record.
std::pair<std::string, LogFont> FontArguments(const Statement& statement);

}  // namespace vortrel::script

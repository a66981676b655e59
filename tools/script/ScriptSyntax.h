#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ScriptValue.h"

namespace vortrel::script {

/// A fault of a script at a line. A script fault (an unknown member, a wrong argument
/// count, a value that does not parse or fit) makes the tool exit with 2; a failure while
/// running (a file that cannot be written) with 1.
class ScriptError : public std::runtime_error {
  public:
    enum class Kind { Script, Failure };

    ScriptError(int line, const std::string& message, Kind kind = Kind::Script)
        : std::runtime_error(message), line_(line), kind_(kind) {}

    int Line() const { return line_; }
    Kind GetKind() const { return kind_; }

  private:
    int line_;
    Kind kind_;
};

// One line of a call script that does something: a member call (NAME ARG…), a property
// read (get NAME) or write (put NAME VALUE), or a directive of the runner (!NAME ARG…),
// each optionally followed by => $name to capture its first output.
struct Statement {
    enum class Kind { Call, Get, Put, Directive };

    int line = 0;
    Kind kind = Kind::Call;
    std::string name;  // member or property name; for a directive the name with its !
    std::vector<Token> args;
    std::optional<std::string> capture;
};

/// The statement of one line, or none for a blank line or a comment (# first).
std::optional<Statement> ParseStatement(std::string_view line, int number);

/// Every statement of a script, lines counted from 1; raises ScriptError at the first line
/// that does not parse.
std::vector<Statement> ParseScript(std::string_view text);

}  // namespace vortrel::script

#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "control/ControlMembers.h"
#include "ports/LogFont.h"

namespace vortrel::script {

/// A value that does not fit where a script puts it; the runner adds the line number.
class ValueError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One word of a script line as the lexer reads it. Numbers keep their text so that a float
// is read once, straight into the type the member takes; strings hold their UTF-8 text with
// the escapes resolved.
struct Token {
    enum class Kind {
        Integer,  // [+-]digits
        Float,    // a decimal with a point or an exponent, nan, inf, -inf
        String,   // "..." with \" \\ \n \r \t
        Null,     // null: a null string
        Capture,  // $name; text is the name without the $
        Arrow,    // =>
        Word,     // anything else: directive words such as av or 320x240, member names
    };
    Kind kind = Kind::Word;
    std::string text;

    bool operator==(const Token&) const = default;
};

/// Splits a line into tokens at spaces and tabs; raises ValueError for an unterminated
/// string, an unknown escape, text glued to a closing quote or a malformed capture name.
std::vector<Token> Tokenize(std::string_view line);

/// The value of a token as a parameter of a type; raises ValueError when it does not fit.
/// Integers fill every integer type within its range (and floats); strings and null fill
/// strings.
ControlValue ToControlValue(const Token& token, ValueType type);

/// Whether a value of one type (as captured) can stand where another type is taken.
bool Assignable(ValueType from, ValueType to);

/// The token that reads back as a value: how a captured value is used as an argument.
Token ToToken(ValueType type, const ControlValue& value);

/// A value as the script output shows it: integers in decimal, floats at their shortest,
/// strings quoted (null for none), fonts as font("FACE",HEIGHT,WEIGHT,ITALIC,UNDERLINE,
/// STRIKEOUT) when the font table knows the handle.
std::string FormatValue(ValueType type, const ControlValue& value);

/// Reads the record of a font handle for FormatValue. The font table's by default; a runner
/// whose control takes the platform's own font handles sets the platform's reader.
using FontReader = bool (*)(int32_t handle, LogFont& font);
void SetFontReader(FontReader reader);

/// The shortest decimal that reads back as the same float; nan, inf and -inf spelled so.
std::string FormatFloat(float value);

/// A wide string in double quotes with ", \, line feeds, returns and tabs escaped.
std::string QuoteString(const std::wstring& text);

/// The name of a value type as messages show it.
const char* TypeName(ValueType type);

}  // namespace vortrel::script

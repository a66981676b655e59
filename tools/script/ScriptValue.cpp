#include "ScriptValue.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

#include "base/Utf8.h"
#include "model/FontTable.h"
#include "ports/LogFont.h"

namespace vortrel::script {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}

// Digits after an optional sign; the sign is allowed so that -1 and +1 read alike.
std::string_view Unsigned(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    return text;
}

bool IsIntegerText(std::string_view text) {
    const std::string_view digits = Unsigned(text);
    if (digits.empty()) {
        return false;
    }
    for (char c : digits) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

// A decimal with a point, an exponent or both: 1.5, .5, 5., 1e3, -2.5E-3.
bool IsDecimalText(std::string_view text) {
    std::string_view rest = Unsigned(text);
    size_t digits = 0;
    size_t i = 0;
    while (i < rest.size() && IsDigit(rest[i])) {
        ++i;
        ++digits;
    }
    bool point = false;
    if (i < rest.size() && rest[i] == '.') {
        point = true;
        ++i;
        while (i < rest.size() && IsDigit(rest[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    bool exponent = false;
    if (i < rest.size() && (rest[i] == 'e' || rest[i] == 'E')) {
        ++i;
        if (i < rest.size() && (rest[i] == '+' || rest[i] == '-')) {
            ++i;
        }
        const size_t start = i;
        while (i < rest.size() && IsDigit(rest[i])) {
            ++i;
        }
        if (i == start) {
            return false;
        }
        exponent = true;
    }
    return i == rest.size() && (point || exponent);
}

Token Classify(std::string_view word) {
    if (word == "=>") {
        return {Token::Kind::Arrow, std::string(word)};
    }
    if (word == "null") {
        return {Token::Kind::Null, std::string(word)};
    }
    if (word.front() == '$') {
        const std::string_view name = word.substr(1);
        bool valid = !name.empty() && IsNameStart(name.front());
        for (char c : name) {
            valid = valid && IsNameChar(c);
        }
        if (!valid) {
            throw ValueError("'" + std::string(word) +
                             "' is not a capture name (a $ and a letter, then letters, digits "
                             "or _)");
        }
        return {Token::Kind::Capture, std::string(name)};
    }
    if (IsIntegerText(word)) {
        return {Token::Kind::Integer, std::string(word)};
    }
    if (IsDecimalText(word) || word == "nan" || word == "inf" || word == "-inf" || word == "+inf") {
        return {Token::Kind::Float, std::string(word)};
    }
    return {Token::Kind::Word, std::string(word)};
}

// Reads a quoted string starting at the quote; returns the position after the closing quote.
size_t ReadString(std::string_view line, size_t at, std::string& text) {
    for (size_t i = at + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            return i + 1;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i == line.size()) {
            break;
        }
        switch (line[i]) {
            case '"':
                text += '"';
                break;
            case '\\':
                text += '\\';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            default:
                throw ValueError(std::string("unknown escape \\") + line[i] +
                                 " in a string (\\\" \\\\ \\n \\r \\t)");
        }
    }
    throw ValueError("a string is not closed");
}

template <typename T>
T IntegerIn(const Token& token, ValueType type) {
    if (token.kind != Token::Kind::Integer) {
        throw ValueError(std::string("expected ") + TypeName(type) + ", got '" + token.text + "'");
    }
    const std::string_view digits =
        token.text.front() == '+' ? std::string_view(token.text).substr(1) : token.text;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() ||
        value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        throw ValueError(std::string("'") + token.text + "' is out of the range of " +
                         TypeName(type));
    }
    return static_cast<T>(value);
}

float FloatIn(const Token& token) {
    if (token.kind != Token::Kind::Integer && token.kind != Token::Kind::Float) {
        throw ValueError("expected a float, got '" + token.text + "'");
    }
    if (token.text == "nan") {
        return std::numeric_limits<float>::quiet_NaN();
    }
    if (token.text == "inf" || token.text == "+inf") {
        return std::numeric_limits<float>::infinity();
    }
    if (token.text == "-inf") {
        return -std::numeric_limits<float>::infinity();
    }
    const std::string_view digits =
        token.text.front() == '+' ? std::string_view(token.text).substr(1) : token.text;
    float value = 0.0f;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        throw ValueError("'" + token.text + "' is out of the range of a float");
    }
    return value;
}

enum class Family { Integer, Float, String };

FontReader& InstalledFontReader() {
    static FontReader reader = &FontTable::Get;
    return reader;
}

Family FamilyOf(ValueType type) {
    switch (type) {
        case ValueType::Float:
            return Family::Float;
        case ValueType::String:
            return Family::String;
        default:
            return Family::Integer;
    }
}

}  // namespace

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        if (IsSpace(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            Token token{Token::Kind::String, {}};
            i = ReadString(line, i, token.text);
            if (i < line.size() && !IsSpace(line[i])) {
                throw ValueError("text follows a closing quote without a space");
            }
            tokens.push_back(std::move(token));
            continue;
        }
        const size_t start = i;
        while (i < line.size() && !IsSpace(line[i])) {
            if (line[i] == '"') {
                throw ValueError("a quote inside a word: '" +
                                 std::string(line.substr(start, i - start + 1)) + "'");
            }
            ++i;
        }
        tokens.push_back(Classify(line.substr(start, i - start)));
    }
    return tokens;
}

ControlValue ToControlValue(const Token& token, ValueType type) {
    switch (type) {
        case ValueType::Int:
        case ValueType::Font:
            return IntegerIn<int32_t>(token, type);
        case ValueType::UInt:
            return IntegerIn<uint32_t>(token, type);
        case ValueType::Bool:
            return IntegerIn<int16_t>(token, type);
        case ValueType::Float:
            return FloatIn(token);
        case ValueType::String:
            if (token.kind == Token::Kind::Null) {
                return OutString();
            }
            if (token.kind == Token::Kind::String) {
                return OutString(FromUtf8(token.text));
            }
            throw ValueError("expected a string in quotes or null, got '" + token.text + "'");
    }
    throw ValueError("unknown value type");
}

bool Assignable(ValueType from, ValueType to) {
    const Family source = FamilyOf(from);
    const Family target = FamilyOf(to);
    return source == target || (source == Family::Integer && target == Family::Float);
}

Token ToToken(ValueType type, const ControlValue& value) {
    if (type == ValueType::String) {
        const OutString* text = std::get_if<OutString>(&value);
        if (text == nullptr || !text->has_value()) {
            return {Token::Kind::Null, "null"};
        }
        return {Token::Kind::String, ToUtf8(**text)};
    }
    if (const float* number = std::get_if<float>(&value)) {
        return {Token::Kind::Float, FormatFloat(*number)};
    }
    return std::visit(
        [](const auto& v) -> Token {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_integral_v<T>) {
                return {Token::Kind::Integer, std::to_string(v)};
            } else {
                return {Token::Kind::Null, "null"};
            }
        },
        value);
}

void SetFontReader(FontReader reader) {
    InstalledFontReader() = reader != nullptr ? reader : &FontTable::Get;
}

std::string FormatFloat(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string("?");
}

std::string QuoteString(const std::wstring& text) {
    const std::string utf8 = ToUtf8(text);
    std::string quoted = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + "\"";
}

std::string FormatValue(ValueType type, const ControlValue& value) {
    if (type == ValueType::Font) {
        const int32_t* handle = std::get_if<int32_t>(&value);
        LogFont font;
        if (handle != nullptr && InstalledFontReader()(*handle, font)) {
            return "font(" + QuoteString(font.GetFaceName()) + "," + std::to_string(font.height) +
                   "," + std::to_string(font.weight) + "," + std::to_string(font.italic) + "," +
                   std::to_string(font.underline) + "," + std::to_string(font.strikeOut) + ")";
        }
    }
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, OutString>) {
                return v ? QuoteString(*v) : std::string("null");
            } else if constexpr (std::is_same_v<T, float>) {
                return FormatFloat(v);
            } else {
                return std::to_string(v);
            }
        },
        value);
}

const char* TypeName(ValueType type) {
    switch (type) {
        case ValueType::Int:
            return "an integer";
        case ValueType::UInt:
            return "an unsigned integer";
        case ValueType::Float:
            return "a float";
        case ValueType::Bool:
            return "a 16-bit flag";
        case ValueType::String:
            return "a string";
        case ValueType::Font:
            return "a font handle";
    }
    return "a value";
}

}  // namespace vortrel::script

#include "ScriptChecker.h"

#include <algorithm>

#include "NameSuggestions.h"
#include "base/Utf8.h"

namespace vortrel::script {

namespace {

std::string Plural(size_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

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

std::optional<ValueType> ScriptScope::Find(const std::string& name) const {
    auto it = types_.find(name);
    if (it == types_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void CaptureTable::Set(const std::string& name, ValueType type, const ControlValue& value) {
    captures_[name] = Captured{type, value};
}

ControlValue CaptureTable::Resolve(const Token& token, ValueType type, int line) const {
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

std::string StatementPrefix(const Statement& statement) {
    switch (statement.kind) {
        case Statement::Kind::Get:
            return "get " + statement.name;
        case Statement::Kind::Put:
            return "put " + statement.name;
        default:
            return statement.name;
    }
}

std::string ResultLine(const Statement& statement, const ControlMember& member,
                       const std::vector<ControlValue>& outs) {
    std::string text = StatementPrefix(statement) + " ->";
    for (size_t i = 0; i < outs.size() && i < member.outs.size(); ++i) {
        text += " " + FormatValue(member.outs[i], outs[i]);
    }
    return text;
}

const std::vector<std::string>& EventNames() {
    static const std::vector<std::string> names = {"OnClickClip",       "OnUpdate",
                                                   "OnPlaying",         "OnPlayingCompleted",
                                                   "OnConvertProgress", "OnConvertCompleted"};
    return names;
}

std::string TextArgument(const Statement& statement, size_t index, const char* what) {
    const Token& token = statement.args.at(index);
    if (token.kind != Token::Kind::String && token.kind != Token::Kind::Word) {
        throw ScriptError(statement.line,
                          std::string("expected ") + what + ", got '" + token.text + "'");
    }
    return token.text;
}

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

std::string EventArgument(const Statement& statement, size_t index) {
    const std::string name = TextArgument(statement, index, "an event name");
    const std::vector<std::string>& names = EventNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        throw ScriptError(statement.line, "unknown event '" + name + "'");
    }
    return name;
}

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

std::pair<std::string, LogFont> FontArguments(const Statement& statement) {
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

void ScriptChecker::Check(const std::vector<Statement>& statements) const {
    ScriptScope scope;
    for (const Statement& statement : statements) {
        CheckStatement(statement, scope);
    }
}

void ScriptChecker::CheckStatement(const Statement& statement, ScriptScope& scope) const {
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
        const DirectiveRule& directive = *it->second;
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
        throw ScriptError(line, StatementPrefix(statement) + " takes " +
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
            throw ScriptError(line, StatementPrefix(statement) + " has no output to capture");
        }
        scope.Declare(*statement.capture, member->outs.front());
    }
}

}  // namespace vortrel::script

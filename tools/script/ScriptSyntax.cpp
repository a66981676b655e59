#include "ScriptSyntax.h"

#include <cctype>

namespace vortrel::script {

namespace {

bool IsMemberName(const std::string& text) {
    if (text.empty() || !(std::isalpha(static_cast<unsigned char>(text.front())) != 0)) {
        return false;
    }
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '_') {
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<Statement> ParseStatement(std::string_view line, int number) {
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() == '#') {
        return std::nullopt;
    }
    std::vector<Token> tokens;
    try {
        tokens = Tokenize(text);
    } catch (const ValueError& error) {
        throw ScriptError(number, error.what());
    }

    Statement statement;
    statement.line = number;
    // A trailing "=> $name" captures the first output.
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Token::Kind::Arrow) {
            continue;
        }
        if (i + 2 != tokens.size() || tokens[i + 1].kind != Token::Kind::Capture) {
            throw ScriptError(number, "=> must be followed by one $name at the end of the line");
        }
        statement.capture = tokens[i + 1].text;
        tokens.resize(i);
        break;
    }
    if (tokens.empty()) {
        throw ScriptError(number, "a capture without a call");
    }

    const Token& head = tokens.front();
    size_t first = 1;
    if (head.kind == Token::Kind::Word && head.text.size() > 1 && head.text.front() == '!') {
        statement.kind = Statement::Kind::Directive;
        statement.name = head.text;
    } else if (head.kind == Token::Kind::Word && (head.text == "get" || head.text == "put")) {
        statement.kind = head.text == "get" ? Statement::Kind::Get : Statement::Kind::Put;
        if (tokens.size() < 2 || !IsMemberName(tokens[1].text) ||
            tokens[1].kind != Token::Kind::Word) {
            throw ScriptError(number, head.text + " must be followed by a property name");
        }
        statement.name = tokens[1].text;
        first = 2;
    } else if (head.kind == Token::Kind::Word && IsMemberName(head.text)) {
        statement.kind = Statement::Kind::Call;
        statement.name = head.text;
    } else {
        throw ScriptError(number, "'" + head.text + "' is not a member name");
    }
    statement.args.assign(tokens.begin() + static_cast<std::ptrdiff_t>(first), tokens.end());
    return statement;
}

std::vector<Statement> ParseScript(std::string_view text) {
    std::vector<Statement> statements;
    int number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++number;
        if (auto statement = ParseStatement(text.substr(start, end - start), number)) {
            statements.push_back(std::move(*statement));
        }
        start = end + 1;
    }
    return statements;
}

}  // namespace vortrel::script

#include "platform/windows/com/RegistryScript.h"

#include <cwctype>

namespace vortrel::com {

namespace {

std::string Narrow(std::wstring_view text) {
    std::string narrow;
    for (wchar_t c : text) {
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return narrow;
}

bool SameWord(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) {
            return false;
        }
    }
    return true;
}

std::wstring Replace(std::wstring_view text, const RegistryScript::Replacements& replacements) {
    std::wstring result;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != L'%') {
            result += text[i++];
            continue;
        }
        const size_t end = text.find(L'%', i + 1);
        if (end == std::wstring_view::npos) {
            throw RegistryScriptError("a % without its closing %");
        }
        const std::wstring_view name = text.substr(i + 1, end - i - 1);
        if (name.empty()) {
            result += L'%';
        } else {
            bool found = false;
            for (const auto& [key, value] : replacements) {
                if (SameWord(key, name)) {
                    result += value;
                    found = true;
                    break;
                }
            }
            if (!found) {
                throw RegistryScriptError("no replacement for %" + Narrow(name) + "%");
            }
        }
        i = end + 1;
    }
    return result;
}

// One word of a script: a brace, an equals sign, a quoted text or a bare word.
struct Token {
    std::wstring text;
    bool quoted = false;
    bool Is(std::wstring_view word) const { return !quoted && SameWord(text, word); }
};

std::vector<Token> Tokenize(std::wstring_view text) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
        if (std::iswspace(text[i]) != 0) {
            ++i;
            continue;
        }
        Token token;
        if (text[i] == L'\'') {
            token.quoted = true;
            for (++i;; ++i) {
                if (i == text.size()) {
                    throw RegistryScriptError("a quoted text is not closed");
                }
                if (text[i] == L'\'') {
                    if (i + 1 < text.size() && text[i + 1] == L'\'') {
                        token.text += L'\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                token.text += text[i];
            }
        } else {
            while (i < text.size() && std::iswspace(text[i]) == 0) {
                token.text += text[i++];
            }
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

}  // namespace

class RegistryScript::Parser {
  public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    std::vector<Block> Blocks() {
        std::vector<Block> blocks;
        while (!AtEnd()) {
            Block block;
            block.root = Root(Next());
            Expect(L"{");
            while (!Peek().Is(L"}")) {
                block.keys.push_back(ParseKey());
            }
            Expect(L"}");
            blocks.push_back(std::move(block));
        }
        return blocks;
    }

  private:
    bool AtEnd() const { return at_ == tokens_.size(); }
    const Token& Peek() const {
        if (AtEnd()) {
            throw RegistryScriptError("the script ends inside a block");
        }
        return tokens_[at_];
    }
    const Token& Next() {
        const Token& token = Peek();
        ++at_;
        return token;
    }
    void Expect(std::wstring_view word) {
        const Token& token = Next();
        if (!token.Is(word)) {
            throw RegistryScriptError("expected '" + Narrow(word) + "', got '" +
                                      Narrow(token.text) + "'");
        }
    }

    static HKEY Root(const Token& token) {
        if (token.Is(L"HKCR") || token.Is(L"HKEY_CLASSES_ROOT")) {
            return nullptr;
        }
        if (token.Is(L"HKCU") || token.Is(L"HKEY_CURRENT_USER")) {
            return HKEY_CURRENT_USER;
        }
        if (token.Is(L"HKLM") || token.Is(L"HKEY_LOCAL_MACHINE")) {
            return HKEY_LOCAL_MACHINE;
        }
        throw RegistryScriptError("unknown root key '" + Narrow(token.text) + "'");
    }

    // = s 'text' or = d NUMBER, after a name.
    Value ParseValue() {
        Expect(L"=");
        const Token& type = Next();
        const Token& data = Next();
        Value value;
        if (type.Is(L"s")) {
            value.type = REG_SZ;
            value.text = data.text;
        } else if (type.Is(L"d")) {
            value.type = REG_DWORD;
            try {
                size_t used = 0;
                const unsigned long number = std::stoul(data.text, &used, 0);
                if (used != data.text.size() || number > 0xFFFFFFFFul) {
                    throw std::out_of_range("dword");
                }
                value.number = static_cast<DWORD>(number);
            } catch (const std::logic_error&) {
                throw RegistryScriptError("'" + Narrow(data.text) + "' is not a number");
            }
        } else {
            throw RegistryScriptError("unknown value type '" + Narrow(type.text) + "'");
        }
        return value;
    }

    Key ParseKey() {
        Key key;
        const Token* name = &Next();
        if (name->Is(L"NoRemove")) {
            key.mode = Key::Mode::NoRemove;
        } else if (name->Is(L"ForceRemove")) {
            key.mode = Key::Mode::ForceRemove;
        } else if (name->Is(L"Delete")) {
            key.mode = Key::Mode::Delete;
        }
        if (key.mode != Key::Mode::Plain) {
            name = &Next();
        }
        if (!name->quoted && (name->text == L"{" || name->text == L"}" || name->text == L"=")) {
            throw RegistryScriptError("expected a key name, got '" + Narrow(name->text) + "'");
        }
        key.name = name->text;
        if (!AtEnd() && Peek().Is(L"=")) {
            key.value = ParseValue();
        }
        if (!AtEnd() && Peek().Is(L"{")) {
            Next();
            while (!Peek().Is(L"}")) {
                if (Peek().Is(L"val")) {
                    Next();
                    std::wstring valueName = Next().text;
                    key.namedValues.emplace_back(std::move(valueName), ParseValue());
                } else {
                    key.subkeys.push_back(ParseKey());
                }
            }
            Next();
        }
        return key;
    }

    std::vector<Token> tokens_;
    size_t at_ = 0;
};

RegistryScript RegistryScript::Parse(std::wstring_view text, const Replacements& replacements) {
    RegistryScript script;
    script.blocks_ = Parser(Tokenize(Replace(text, replacements))).Blocks();
    return script;
}

HKEY RegistryScript::RootOf(const Block& block, HKEY classesRoot) const {
    return block.root != nullptr ? block.root : classesRoot;
}

namespace {

LSTATUS SetValue(HKEY key, const wchar_t* name, DWORD type, const std::wstring& text,
                 DWORD number) {
    if (type == REG_DWORD) {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                              sizeof number);
    }
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool Missing(LSTATUS status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

}  // namespace

LSTATUS RegistryScript::Write(HKEY parent, const Key& key) {
    if (key.mode == Key::Mode::Delete || key.mode == Key::Mode::ForceRemove) {
        const LSTATUS status = RegDeleteTreeW(parent, key.name.c_str());
        if (status != ERROR_SUCCESS && !Missing(status)) {
            return status;
        }
        if (key.mode == Key::Mode::Delete) {
            return ERROR_SUCCESS;
        }
    }
    HKEY handle = nullptr;
    LSTATUS status = RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                     nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (key.value) {
        status = SetValue(handle, nullptr, key.value->type, key.value->text, key.value->number);
    }
    for (const auto& [name, value] : key.namedValues) {
        if (status == ERROR_SUCCESS) {
            status = SetValue(handle, name.c_str(), value.type, value.text, value.number);
        }
    }
    for (const Key& subkey : key.subkeys) {
        if (status == ERROR_SUCCESS) {
            status = Write(handle, subkey);
        }
    }
    RegCloseKey(handle);
    return status;
}

LSTATUS RegistryScript::Remove(HKEY parent, const Key& key) {
    if (key.mode == Key::Mode::Delete) {
        return ERROR_SUCCESS;
    }
    if (key.mode == Key::Mode::ForceRemove) {
        const LSTATUS status = RegDeleteTreeW(parent, key.name.c_str());
        return Missing(status) ? ERROR_SUCCESS : status;
    }
    HKEY handle = nullptr;
    LSTATUS status = RegOpenKeyExW(parent, key.name.c_str(), 0, KEY_READ | KEY_WRITE, &handle);
    if (Missing(status)) {
        return ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    for (const Key& subkey : key.subkeys) {
        if (status == ERROR_SUCCESS) {
            status = Remove(handle, subkey);
        }
    }
    for (const auto& [name, value] : key.namedValues) {
        const LSTATUS removed = RegDeleteValueW(handle, name.c_str());
        if (status == ERROR_SUCCESS && removed != ERROR_SUCCESS && !Missing(removed)) {
            status = removed;
        }
    }
    DWORD subkeys = 0;
    const LSTATUS counted = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                             nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    // A key that others filled as well keeps what they put there.
    if (status == ERROR_SUCCESS && key.mode == Key::Mode::Plain && counted == ERROR_SUCCESS &&
        subkeys == 0) {
        const LSTATUS removed = RegDeleteKeyW(parent, key.name.c_str());
        status = Missing(removed) ? ERROR_SUCCESS : removed;
    }
    return status;
}

HRESULT RegistryScript::Register(HKEY classesRoot) const {
    for (const Block& block : blocks_) {
        for (const Key& key : block.keys) {
            const LSTATUS status = Write(RootOf(block, classesRoot), key);
            if (status != ERROR_SUCCESS) {
                return HRESULT_FROM_WIN32(status);
            }
        }
    }
    return S_OK;
}

HRESULT RegistryScript::Unregister(HKEY classesRoot) const {
    HRESULT result = S_OK;
    for (const Block& block : blocks_) {
        for (const Key& key : block.keys) {
            const LSTATUS status = Remove(RootOf(block, classesRoot), key);
            if (status != ERROR_SUCCESS && SUCCEEDED(result)) {
                result = HRESULT_FROM_WIN32(status);
            }
        }
    }
    return result;
}

}  // namespace vortrel::com

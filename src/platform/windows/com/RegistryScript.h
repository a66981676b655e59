#pragma once

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vortrel::com {

/// A registry script that does not parse; the message names the fault.
class RegistryScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A registry script: blocks of keys under a root (HKCR, HKCU or HKLM), each key with an
// optional default value, named values (val NAME = s 'text' or = d NUMBER) and subkeys.
// NoRemove keys survive unregistration, ForceRemove keys are deleted with their whole
// subtree before they are written and on unregistration, Delete keys are deleted when
// registering. %NAME% is replaced before parsing (%% is a percent sign).
class RegistryScript {
  public:
    using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;

    /// Parses a script after the replacements; raises RegistryScriptError.
    static RegistryScript Parse(std::wstring_view text, const Replacements& replacements);

    /// Writes every key and value; HKCR blocks go under classesRoot. The first failure ends
    /// it and is returned.
    HRESULT Register(HKEY classesRoot) const;
    /// Removes what Register wrote (keys that are not NoRemove and are left empty, and
    /// ForceRemove subtrees); keys already gone are no fault.
    HRESULT Unregister(HKEY classesRoot) const;

  private:
    struct Value {
        DWORD type = REG_SZ;
        std::wstring text;
        DWORD number = 0;
    };
    struct Key {
        enum class Mode { Plain, NoRemove, ForceRemove, Delete };
        Mode mode = Mode::Plain;
        std::wstring name;
        std::optional<Value> value;
        std::vector<std::pair<std::wstring, Value>> namedValues;
        std::vector<Key> subkeys;
    };
    struct Block {
        HKEY root = nullptr;  // null: the classes root given to Register
        std::vector<Key> keys;
    };
    class Parser;

    static LSTATUS Write(HKEY parent, const Key& key);
    static LSTATUS Remove(HKEY parent, const Key& key);
    HKEY RootOf(const Block& block, HKEY classesRoot) const;

    std::vector<Block> blocks_;
};

}  // namespace vortrel::com

#include "platform/windows/com/VortrelModule.h"

#include <oleauto.h>

#include <string>

#include <VortrelLib.h>
#include "platform/windows/com/ComIds.h"
#include "platform/windows/com/RegistryScript.h"

// The per-user type library calls are in oleaut32 but not in the headers we build with.
extern "C" {
WINOLEAUTAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpFolder);
WINOLEAUTAPI UnRegisterTypeLibForUser(REFGUID library, WORD major, WORD minor, LCID locale,
                                      SYSKIND kind);
}

namespace vortrel::com {

namespace {

// The user's own classes, or the machine's for a machine-wide registration.
class ClassesRoot {
  public:
    explicit ClassesRoot(bool perUser) {
        if (!perUser) {
            key_ = HKEY_CLASSES_ROOT;
            return;
        }
        status_ = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0,
                                  KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
        owned_ = status_ == ERROR_SUCCESS;
    }
    ~ClassesRoot() {
        if (owned_) {
            RegCloseKey(key_);
        }
    }
    ClassesRoot(const ClassesRoot&) = delete;
    ClassesRoot& operator=(const ClassesRoot&) = delete;

    HKEY Key() const { return key_; }
    LSTATUS Status() const { return status_; }

  private:
    HKEY key_ = nullptr;
    LSTATUS status_ = ERROR_SUCCESS;
    bool owned_ = false;
};

// The text of a REGISTRY resource; an empty optional when the module has none.
bool ScriptText(HINSTANCE module, int id, std::wstring& text) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const char* bytes =
        loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (bytes == nullptr) {
        return false;
    }
    const int size = static_cast<int>(SizeofResource(module, found));
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0);
    text.assign(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, size, text.data(), length);
    return true;
}

constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

}  // namespace

CVortrelModule& CVortrelModule::Instance() {
    static CVortrelModule module;
    return module;
}

std::wstring CVortrelModule::Path() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(instance_, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HRESULT CVortrelModule::ApplyScript(int resourceId, bool install) {
    std::wstring text;
    if (!ScriptText(instance_, resourceId, text)) {
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    const RegistryScript::Replacements replacements = {
        {L"MODULE", Path()},
        {L"APPID", kAppId},
        {L"OLEMISC", std::to_wstring(kOleMiscStatus)},
    };
    try {
        const RegistryScript script = RegistryScript::Parse(text, replacements);
        const ClassesRoot root(perUser_);
        if (root.Status() != ERROR_SUCCESS) {
            return HRESULT_FROM_WIN32(root.Status());
        }
        return install ? script.Register(root.Key()) : script.Unregister(root.Key());
    } catch (const RegistryScriptError&) {
        return E_UNEXPECTED;  // a script of our own resources that does not parse
    }
}

HRESULT CVortrelModule::RegisterTypeLibrary() {
    const std::wstring path = Path();
    ITypeLib* library = nullptr;
    HRESULT result = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (FAILED(result)) {
        return result;
    }
    // The library's folder goes with it, as the help folder.
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    std::wstring file = path;
    OLECHAR* helpFolder = folder.empty() ? nullptr : folder.data();
    result = perUser_ ? RegisterTypeLibForUser(library, file.data(), helpFolder)
                      : RegisterTypeLib(library, file.data(), helpFolder);
    library->Release();
    return result;
}

HRESULT CVortrelModule::UnregisterTypeLibrary() {
    // A library that is not registered is already as unregistration leaves it (some systems
    // answer E_INVALIDARG when asked to unregister it).
    BSTR registered = nullptr;
    if (FAILED(QueryPathOfRegTypeLib(LIBID_VortrelLib, 1, 0, 0, &registered))) {
        return S_OK;
    }
    SysFreeString(registered);
    const HRESULT result = perUser_ ? UnRegisterTypeLibForUser(LIBID_VortrelLib, 1, 0, 0, kSysKind)
                                    : UnRegisterTypeLib(LIBID_VortrelLib, 1, 0, 0, kSysKind);
    if (result == TYPE_E_REGISTRYACCESS || result == TYPE_E_LIBNOTREGISTERED) {
        return S_OK;
    }
    return result;
}

HRESULT CVortrelModule::RegisterServer() {
    HRESULT result = ApplyScript(kModuleScriptResource, true);
    if (SUCCEEDED(result)) {
        result = ApplyScript(kControlScriptResource, true);
    }
    if (SUCCEEDED(result)) {
        result = RegisterTypeLibrary();
    }
    return result;
}

HRESULT CVortrelModule::UnregisterServer() {
    HRESULT result = ApplyScript(kControlScriptResource, false);
    const HRESULT module = ApplyScript(kModuleScriptResource, false);
    const HRESULT library = UnregisterTypeLibrary();
    if (SUCCEEDED(result)) {
        result = FAILED(module) ? module : library;
    }
    return result;
}

}  // namespace vortrel::com

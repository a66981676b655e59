// The entry points of Vortrel.dll, exported by ordinal (Vortrel.def).
#include <windows.h>

// The ids of the type library's header are defined in this file, once.
#include <initguid.h>

#include <cwctype>

#include <VortrelLib.h>
#include "platform/windows/com/TimelineControlFactory.h"
#include "platform/windows/com/VortrelModule.h"

using vortrel::com::CVortrelModule;

namespace {

// "user" in any letter case, and nothing more, asks for a registration for this user only.
bool IsUserSwitch(const wchar_t* commandLine) {
    static constexpr wchar_t kUser[] = L"user";
    if (commandLine == nullptr) {
        return false;
    }
    size_t i = 0;
    for (; kUser[i] != L'\0'; ++i) {
        if (std::towlower(commandLine[i]) != kUser[i]) {
            return false;
        }
    }
    return commandLine[i] == L'\0';
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        CVortrelModule::Instance().SetHandle(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return CVortrelModule::Instance().LockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!IsEqualCLSID(classId, CLSID_TimelineControl)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return vortrel::com::TimelineControlFactory::Instance().QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return CVortrelModule::Instance().RegisterServer();
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return CVortrelModule::Instance().UnregisterServer();
}

extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
    CVortrelModule& module = CVortrelModule::Instance();
    // The switch holds for this call only: a later DllRegisterServer in the same process
    // registers machine-wide again, as it would in any other.
    const bool before = module.PerUser();
    if (IsUserSwitch(commandLine)) {
        module.SetPerUser(true);
    }
    HRESULT result;
    if (!install) {
        result = module.UnregisterServer();
    } else {
        result = module.RegisterServer();
        if (FAILED(result)) {
            module.UnregisterServer();
        }
    }
    module.SetPerUser(before);
    return result;
}

#pragma once

#include <windows.h>

#include <string>

namespace vortrel::com {

// The in-process server as a whole: its module handle, the count of locks that keep it
// loaded (live objects, held class factories, LockServer calls), and its registration —
// the registry scripts of its resources and its type library, machine-wide under
// HKEY_CLASSES_ROOT or, for one user, under HKEY_CURRENT_USER\Software\Classes.
class CVortrelModule {
  public:
    /// The process's one module.
    static CVortrelModule& Instance();

    /// Remembers the module handle when the library is loaded.
    void SetHandle(HINSTANCE instance) { instance_ = instance; }
    HINSTANCE Handle() const { return instance_; }
    /// The module's full path.
    std::wstring Path() const;

    /// Takes a lock on the module; returns the new count.
    LONG Lock() { return InterlockedIncrement(&locks_); }
    /// Releases a lock; returns the new count.
    LONG Unlock() { return InterlockedDecrement(&locks_); }
    /// The number of locks held now.
    LONG LockCount() const { return locks_; }

    /// Whether registration goes to the current user only.
    bool PerUser() const { return perUser_; }
    void SetPerUser(bool perUser) { perUser_ = perUser; }

    /// Writes the module's and the control's registry entries and registers the type
    /// library.
    HRESULT RegisterServer();
    /// Removes what RegisterServer wrote and unregisters the type library.
    HRESULT UnregisterServer();

  private:
    HRESULT ApplyScript(int resourceId, bool install);
    HRESULT RegisterTypeLibrary();
    HRESULT UnregisterTypeLibrary();

    HINSTANCE instance_ = nullptr;
    volatile LONG locks_ = 0;
    bool perUser_ = false;
};

}  // namespace vortrel::com

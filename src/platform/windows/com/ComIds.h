#pragma once

#include <windows.h>

namespace vortrel::com {

// The names and numbers by which hosts and the registry know the server. The interface,
// class and library ids themselves come from the type library's generated header.

/// The module's application id.
inline constexpr wchar_t kAppId[] = L"{6B0D549B-6F03-475A-9600-A35A099950D8}";
/// The control class id in the registry's braced form.
inline constexpr wchar_t kClassIdText[] = L"{D23F0824-128B-4F33-8C5C-7FD0A6A3A450}";
/// The type library id in the registry's braced form.
inline constexpr wchar_t kLibraryIdText[] = L"{6513270E-269E-4D37-B2A7-4DE452E6B438}";
/// The version-dependent and the version-independent program ids.
inline constexpr wchar_t kProgId[] = L"Vortrel.TimelineControl.1";
inline constexpr wchar_t kVersionIndependentProgId[] = L"Vortrel.TimelineControl";
/// The control's OLE miscellaneous status: set client site first, activate when visible,
/// inside-out, can't link inside, recompose on resize.
inline constexpr DWORD kOleMiscStatus = 131473;

// Resource ids of the module.
inline constexpr int kTypeLibraryResource = 1;
inline constexpr int kProjectNameString = 100;
inline constexpr int kModuleScriptResource = 101;
inline constexpr int kToolboxBitmapResource = 106;
inline constexpr int kControlScriptResource = 107;

}  // namespace vortrel::com

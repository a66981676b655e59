// The server as hosts and installers meet it: its exports, registration, creation, the
// rules of QueryInterface and aggregation, and the lock that keeps it loaded.
#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

// The ids of the type library's header are defined in this file.
#include <initguid.h>

#include <VortrelLib.h>

#include <string>
#include <vector>

namespace {

using Install = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
using Plain = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

constexpr wchar_t kClassKey[] = L"CLSID\\{D23F0824-128B-4F33-8C5C-7FD0A6A3A450}";
constexpr wchar_t kLibraryKey[] = L"TypeLib\\{6513270E-269E-4D37-B2A7-4DE452E6B438}\\1.0";

std::wstring ServerPath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Vortrel.dll";
}

// The text of a value under a root, or none when the key or value is missing.
bool ReadText(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& text) {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    text = buffer;
    return true;
}

// Whether the type library is registered where this user finds it. (Wine registers a
// library for the machine when asked to register it for the user.)
bool LibraryRegistered() {
    ITypeLib* library = nullptr;
    if (FAILED(LoadRegTypeLib(LIBID_VortrelLib, 1, 0, 0, &library))) {
        return false;
    }
    library->Release();
    return true;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(handle);
    return true;
}

// The server loaded as COM loads it, its entry points found by their ordinals.
class ComServerTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        module_ = LoadLibraryW(ServerPath().c_str());
        ASSERT_NE(module_, nullptr);
        canUnload_ = Export<Plain>(1);
        getClassObject_ = Export<GetClassObject>(2);
        install_ = Export<Install>(3);
        register_ = Export<Plain>(4);
        unregister_ = Export<Plain>(5);
    }
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
        CoUninitialize();
    }

    template <typename T>
    T Export(int ordinal) {
        return reinterpret_cast<T>(reinterpret_cast<void*>(
            GetProcAddress(module_, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ordinal)))));
    }

    // No registration of the server is left, for this user or the machine.
    void Unregister() {
        ASSERT_EQ(install_(FALSE, L"user"), S_OK);
        ASSERT_EQ(unregister_(), S_OK);
    }

    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(getClassObject_(CLSID_TimelineControl, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory)),
                  S_OK);
        return factory;
    }

    HMODULE module_ = nullptr;
    Plain canUnload_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
    Install install_ = nullptr;
    Plain register_ = nullptr;
    Plain unregister_ = nullptr;
};

TEST_F(ComServerTest, ExportsEachEntryPointAtItsOrdinal) {
    const char* names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllInstall",
                           "DllRegisterServer", "DllUnregisterServer"};
    for (int ordinal = 1; ordinal <= 5; ++ordinal) {
        EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module_, names[ordinal - 1])),
                  Export<void*>(ordinal))
            << names[ordinal - 1];
    }
}

TEST_F(ComServerTest, CarriesItsResources) {
    const struct {
        const wchar_t* type;
        int id;
    } rows[] = {{L"TYPELIB", 1}, {L"REGISTRY", 101}, {L"REGISTRY", 107},
                {L"PNG", 204},   {L"PNG", 205},      {L"PNG", 206},
                {L"PNG", 207},   {L"PNG", 208},      {L"PNG", 209}};
    for (const auto& row : rows) {
        EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(row.id), row.type), nullptr) << row.id;
    }
    HBITMAP toolbox = static_cast<HBITMAP>(
        LoadImageW(module_, MAKEINTRESOURCEW(106), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(toolbox, nullptr);
    BITMAP bitmap = {};
    GetObjectW(toolbox, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 24);
    EXPECT_EQ(bitmap.bmHeight, 24);
    EXPECT_EQ(bitmap.bmBitsPixel, 32);
    DeleteObject(toolbox);
    wchar_t name[16] = {};
    EXPECT_EQ(LoadStringW(module_, 100, name, 16), 7);
    EXPECT_STREQ(name, L"Vortrel");
}

// Which command lines of DllInstall register for the current user only.
TEST_F(ComServerTest, DllInstallRegistersPerUserOnlyForTheWordUser) {
    Unregister();
    HKEY user = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_READ,
                              nullptr, &user, nullptr),
              ERROR_SUCCESS);
    const struct {
        const wchar_t* commandLine;
        bool perUser;
    } rows[] = {{L"user", true}, {L"USER", true}, {L"users", false}, {nullptr, false}};
    for (const auto& row : rows) {
        const std::wstring label = row.commandLine ? row.commandLine : L"(none)";
        SCOPED_TRACE(std::string(label.begin(), label.end()));
        ASSERT_EQ(install_(TRUE, row.commandLine), S_OK);
        HKEY root = row.perUser ? user : HKEY_LOCAL_MACHINE;
        const std::wstring prefix = row.perUser ? L"" : L"Software\\Classes\\";
        std::wstring text;
        ASSERT_TRUE(ReadText(root, prefix + kClassKey + L"\\InprocServer32", nullptr, text));
        EXPECT_EQ(text, ServerPath());
        EXPECT_TRUE(LibraryRegistered());
        // The other place stays empty.
        HKEY other = row.perUser ? HKEY_LOCAL_MACHINE : user;
        const std::wstring otherPrefix = row.perUser ? L"Software\\Classes\\" : L"";
        EXPECT_FALSE(KeyExists(other, otherPrefix + kClassKey));

        ASSERT_EQ(install_(FALSE, row.commandLine), S_OK);
        EXPECT_FALSE(KeyExists(root, prefix + kClassKey));
        EXPECT_FALSE(KeyExists(root, prefix + L"Vortrel.TimelineControl"));
        EXPECT_FALSE(KeyExists(root, prefix + L"Vortrel.TimelineControl.1"));
        EXPECT_FALSE(LibraryRegistered());
        EXPECT_TRUE(KeyExists(root, prefix + L"CLSID"));  // never removed as a whole
    }
    RegCloseKey(user);
}

// regsvr32 writes every key and value of the control, and takes them all away again.
TEST_F(ComServerTest, RegistersEveryKeyWithRegsvr32AndRemovesThem) {
    auto run = [](const std::wstring& arguments) {
        std::wstring command = L"regsvr32.exe /s " + arguments + L" \"" + ServerPath() + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            return DWORD(-1);
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return code;
    };
    Unregister();
    ASSERT_EQ(run(L""), 0u);

    const std::wstring clsid = kClassKey;
    const std::wstring module = ServerPath();
    const struct {
        std::wstring key;
        const wchar_t* name;
        std::wstring value;
    } values[] = {
        {L"Vortrel.TimelineControl.1\\CLSID", nullptr, L"{D23F0824-128B-4F33-8C5C-7FD0A6A3A450}"},
        {L"Vortrel.TimelineControl\\CLSID", nullptr, L"{D23F0824-128B-4F33-8C5C-7FD0A6A3A450}"},
        {L"Vortrel.TimelineControl\\CurVer", nullptr, L"Vortrel.TimelineControl.1"},
        {clsid + L"\\ProgID", nullptr, L"Vortrel.TimelineControl.1"},
        {clsid + L"\\VersionIndependentProgID", nullptr, L"Vortrel.TimelineControl"},
        {clsid + L"\\InprocServer32", nullptr, module},
        {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsid + L"\\ToolboxBitmap32", nullptr, module + L", 106"},
        {clsid + L"\\MiscStatus", nullptr, L"0"},
        {clsid + L"\\MiscStatus\\1", nullptr, L"131473"},
        {clsid + L"\\TypeLib", nullptr, L"{6513270E-269E-4D37-B2A7-4DE452E6B438}"},
        {clsid + L"\\Version", nullptr, L"1.0"},
    };
    for (const auto& row : values) {
        std::wstring text;
        EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, row.key, row.name, text))
            << std::string(row.key.begin(), row.key.end());
        EXPECT_EQ(text, row.value) << std::string(row.key.begin(), row.key.end());
    }
    for (const wchar_t* empty : {L"\\Programmable", L"\\Control", L"\\Insertable"}) {
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, clsid + empty));
    }
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"Vortrel.TimelineControl.1\\Insertable"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kLibraryKey));
    CLSID found{};
    EXPECT_EQ(CLSIDFromProgID(L"Vortrel.TimelineControl", &found), S_OK);
    EXPECT_TRUE(IsEqualCLSID(found, CLSID_TimelineControl));

    ASSERT_EQ(run(L"/u"), 0u);
    for (const std::wstring& gone :
         {clsid, std::wstring(L"Vortrel.TimelineControl"),
          std::wstring(L"Vortrel.TimelineControl.1"), std::wstring(kLibraryKey)}) {
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, gone)) << std::string(gone.begin(), gone.end());
    }
    EXPECT_NE(CLSIDFromProgID(L"Vortrel.TimelineControl", &found), S_OK);
}

TEST_F(ComServerTest, GivesNoFactoryForAnotherClass) {
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject_(IID_IDispatch, IID_IClassFactory, &factory),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
}

// Every interface of the object leads to every other and to one identity.
TEST_F(ComServerTest, QueryInterfaceKeepsOneIdentity) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    IUnknown* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)),
              S_OK);
    factory->Release();
    const IID supported[] = {IID_IUnknown,
                             IID_IDispatch,
                             IID_ITimelineControl,
                             IID_ISupportErrorInfo,
                             IID_IProvideClassInfo,
                             IID_IProvideClassInfo2,
                             IID_IConnectionPointContainer,
                             IID_IOleObject,
                             IID_IOleInPlaceObject,
                             IID_IOleInPlaceActiveObject,
                             IID_IOleControl,
                             IID_IViewObjectEx,
                             IID_IPersistStreamInit,
                             IID_IPersistStorage,
                             IID_IQuickActivate,
                             IID_IDataObject};
    for (const IID& from : supported) {
        IUnknown* first = nullptr;
        ASSERT_EQ(object->QueryInterface(from, reinterpret_cast<void**>(&first)), S_OK);
        for (const IID& to : supported) {
            IUnknown* second = nullptr;
            ASSERT_EQ(first->QueryInterface(to, reinterpret_cast<void**>(&second)), S_OK);
            IUnknown* identity = nullptr;
            ASSERT_EQ(second->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)),
                      S_OK);
            EXPECT_EQ(identity, object);
            identity->Release();
            second->Release();
        }
        first->Release();
    }
    void* none = reinterpret_cast<void*>(1);
    // Always windowed.
    EXPECT_EQ(object->QueryInterface(IID_IOleInPlaceObjectWindowless, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    IProvideClassInfo2* info = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)),
              S_OK);
    GUID events{};
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualIID(events, DIID__ITimelineControlEvents));
    ITypeInfo* coclass = nullptr;
    ASSERT_EQ(info->GetClassInfo(&coclass), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualCLSID(attributes->guid, CLSID_TimelineControl));
    coclass->ReleaseTypeAttr(attributes);
    coclass->Release();
    info->Release();
    object->Release();
}

// An outer object that counts the references its inner object passes on to it.
class Outer : public IUnknown {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner->QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
    IUnknown* inner = nullptr;
};

TEST_F(ComServerTest, AggregatesUnderAnOuterObject) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    Outer outer;
    void* refused = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_ITimelineControl, &refused),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(refused, nullptr);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    factory->Release();
    EXPECT_NE(static_cast<IUnknown*>(&outer), outer.inner);

    // The inner object's interfaces count on the outer object and answer for its identity.
    ITimelineControl* control = nullptr;
    ASSERT_EQ(outer.QueryInterface(IID_ITimelineControl, reinterpret_cast<void**>(&control)), S_OK);
    EXPECT_EQ(outer.refs, 2u);
    IUnknown* identity = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    identity->Release();
    int tracks = 0;
    EXPECT_EQ(control->GetTrackCount(&tracks), S_OK);
    EXPECT_EQ(tracks, 8);
    control->Release();
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(outer.inner->Release(), 0u);
}

TEST_F(ComServerTest, StaysLoadedWhileAnObjectOrTheFactoryLives) {
    EXPECT_EQ(canUnload_(), S_OK);
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(canUnload_(), S_FALSE);
    IDispatch* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)),
              S_OK);
    factory->Release();
    EXPECT_EQ(canUnload_(), S_FALSE);
    object->Release();
    EXPECT_EQ(canUnload_(), S_OK);
    ASSERT_EQ(getClassObject_(CLSID_TimelineControl, IID_IClassFactory,
                              reinterpret_cast<void**>(&factory)),
              S_OK);
    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(canUnload_(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(canUnload_(), S_OK);
}

// A member called through IDispatch by name, its result read from the type library's
// return value, as a script host calls it.
TEST_F(ComServerTest, DispatchCallsMembersByName) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    IDispatch* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)),
              S_OK);
    factory->Release();
    const struct {
        const wchar_t* name;
        DISPID id;
        WORD flags;
        int result;
    } rows[] = {{L"GetTrackCount", 0x13, DISPATCH_METHOD, 8},
                {L"GetTextTrackIndex", 0x2a, DISPATCH_METHOD, 7},
                {L"OutputType", 0x39, DISPATCH_PROPERTYGET, 0},
                {L"Pause", 0x60020013, DISPATCH_METHOD, -1}};
    for (const auto& row : rows) {
        LPOLESTR name = const_cast<LPOLESTR>(row.name);
        DISPID id = 0;
        ASSERT_EQ(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        EXPECT_EQ(id, row.id);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        ASSERT_EQ(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, row.flags, &none, &result,
                                 nullptr, nullptr),
                  S_OK);
        if (row.result >= 0) {
            ASSERT_EQ(VariantChangeType(&result, &result, 0, VT_I4), S_OK);
            EXPECT_EQ(V_I4(&result), row.result);
        }
        VariantClear(&result);
    }
    ISupportErrorInfo* errors = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&errors)),
              S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_ITimelineControl), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    errors->Release();
    object->Release();
}

}  // namespace

// The control as a container hosts it: in AtlAxWin of the system's atl.dll, sized by its host,
// driven by mouse messages and timer time, with its OLE interfaces and its failure to start.
#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "axhost/AxHost.h"

namespace vortrel::test {
namespace {

using axhost::AxHost;
using axhost::ProgramFolder;

// An event sink that notes each event's DISPID and integer arguments, in order.
class RecordingSink : public IDispatch {
  public:
    std::vector<std::pair<DISPID, std::vector<int>>> events;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, DIID__ITimelineControlEvents)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        std::vector<int> arguments;
        for (UINT i = parameters->cArgs; i > 0; --i) {
            arguments.push_back(parameters->rgvarg[i - 1].lVal);
        }
        events.emplace_back(id, arguments);
        return S_OK;
    }
};

// An effect's start and stop in seconds, read through IDispatch as a script host reads them.
std::pair<float, float> EffectTimes(ITimelineControl* control, int track, int index) {
    DISPID id = 0;
    OLECHAR name[] = L"GetEffect";
    LPOLESTR names[] = {name};
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    BSTR effectName = nullptr;
    BSTR params = nullptr;
    float start = -1;
    float stop = -1;
    VARIANT arguments[6];
    for (VARIANT& argument : arguments) {
        VariantInit(&argument);
    }
    arguments[5].vt = VT_I4;
    arguments[5].lVal = track;
    arguments[4].vt = VT_I4;
    arguments[4].lVal = index;
    arguments[3].vt = VT_BYREF | VT_BSTR;
    arguments[3].pbstrVal = &effectName;
    arguments[2].vt = VT_BYREF | VT_R4;
    arguments[2].pfltVal = &start;
    arguments[1].vt = VT_BYREF | VT_R4;
    arguments[1].pfltVal = &stop;
    arguments[0].vt = VT_BYREF | VT_BSTR;
    arguments[0].pbstrVal = &params;
    DISPPARAMS parameters{arguments, nullptr, 6, 0};
    EXPECT_EQ(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                              nullptr, nullptr, nullptr),
              S_OK);
    SysFreeString(effectName);
    SysFreeString(params);
    return {start, stop};
}

// The box around the pixels that differ between two pictures of one size.
RECT Changed(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after, int width) {
    RECT box{width, 1 << 30, -1, -1};
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            const int x = static_cast<int>(i % width);
            const int y = static_cast<int>(i / width);
            box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                   std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
        }
    }
    return box;
}

// Loads the demo project zoomed out to show all of it, and returns the box of its effect
// (track 4, 6 to 8 s): where the window changes when the project is loaded again after the
// effect was deleted.
RECT LoadDemoAndFindEffect(AxHost& host) {
    ITimelineControl* control = host.Control();
    BSTR project = SysAllocString(VORTREL_DEMO_PROJECT);
    LONG loaded = 0;
    control->LoadProject(project, &loaded);
    EXPECT_EQ(loaded, 1);
    control->SetScale(0.25f);
    control->DeleteEffect(4, 0);
    int width = 0;
    int height = 0;
    const auto before = host.Capture(width, height);
    control->LoadProject(project, &loaded);
    control->SetScale(0.25f);
    SysFreeString(project);
    return Changed(before, host.Capture(width, height), width);
}

// How many pixels have the tool tip's fill.
long TipPixels(const std::vector<uint32_t>& pixels) {
    return static_cast<long>(std::count(pixels.begin(), pixels.end(), 0xFFFF64u));
}

class ControlHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        ASSERT_TRUE(host_.Open(800, 400, why)) << why;
    }

    AxHost host_;
};

TEST_F(ControlHostTest, TakesItsSizeFromTheContainer) {
    RECT client{};
    GetClientRect(host_.ControlWindow(), &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 400);
    const LONG style = GetWindowLongW(host_.ControlWindow(), GWL_STYLE);
    const LONG wanted = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    EXPECT_EQ(style & wanted, wanted);
    host_.Resize(640, 300);
    GetClientRect(host_.ControlWindow(), &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 300);
}

TEST_F(ControlHostTest, ClickDragAndRestingPointerReachTheViews) {
    ITimelineControl* control = host_.Control();
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer,
                                      reinterpret_cast<void**>(&container)),
              S_OK);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(DIID__ITimelineControlEvents, &point), S_OK);
    container->Release();
    RecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

    const RECT clip = LoadDemoAndFindEffect(host_);
    ASSERT_GT(clip.right - clip.left, 20) << "the effect was not painted";
    const int x = (clip.left + clip.right) / 2;
    const int y = (clip.top + clip.bottom) / 2;

    sink.events.clear();
    host_.Mouse(WM_LBUTTONDOWN, x, y, true);
    ASSERT_GE(sink.events.size(), 2u)
        << clip.left << "," << clip.top << "-" << clip.right << "," << clip.bottom;
    EXPECT_EQ(sink.events[0].first, 6);  // OnUpdate first
    EXPECT_EQ(sink.events[1].first, 2);  // then OnClickClip (track, clip)
    EXPECT_EQ(sink.events[1].second, (std::vector<int>{4, 0}));
    EXPECT_EQ(GetCapture(), host_.ControlWindow());

    // A drag to the right moves the clip later and keeps its length.
    host_.Mouse(WM_MOUSEMOVE, x + 40, y, true);
    host_.Mouse(WM_MOUSEMOVE, x + 80, y, true);
    host_.Mouse(WM_LBUTTONUP, x + 80, y, false);
    EXPECT_EQ(GetCapture(), nullptr);
    const auto [start, stop] = EffectTimes(control, 4, 0);
    EXPECT_GT(start, 6.0f);
    EXPECT_NEAR(stop - start, 2.0f, 0.002f);

    // A pointer resting on the clip shows its tip once the hover timer ticked.
    int width = 0;
    int height = 0;
    const auto plain = host_.Capture(width, height);
    host_.Mouse(WM_MOUSEMOVE, x + 81, y + 1, false);
    host_.Mouse(WM_MOUSEMOVE, x + 82, y + 1, false);
    AxHost::Pump(1500);
    const auto tipped = host_.Capture(width, height);
    EXPECT_GT(TipPixels(tipped), TipPixels(plain) + 100) << "no tip after resting";

    point->Unadvise(cookie);
    point->Release();
}

// The process's timers run on the window of the control made last; a tip of the first
// control, whose hover timer ticks there, still shows.
TEST_F(ControlHostTest, ATipShowsWhenItsTimerRunsOnAnotherControlsWindow) {
    const RECT clip = LoadDemoAndFindEffect(host_);
    ASSERT_GT(clip.right - clip.left, 20) << "the effect was not painted";
    AxHost second;
    std::string why;
    ASSERT_TRUE(second.Open(200, 100, why)) << why;
    const int x = (clip.left + clip.right) / 2;
    const int y = (clip.top + clip.bottom) / 2;
    int width = 0;
    int height = 0;
    const auto plain = host_.Capture(width, height);
    host_.Mouse(WM_MOUSEMOVE, x, y, false);
    host_.Mouse(WM_MOUSEMOVE, x + 1, y, false);
    ValidateRect(host_.ControlWindow(), nullptr);  // only the tick may ask for a paint now
    AxHost::Pump(1500);
    const auto tipped = host_.Capture(width, height);
    EXPECT_GT(TipPixels(tipped), TipPixels(plain) + 100) << "no tip after resting";
}

TEST_F(ControlHostTest, OleInterfacesKeepTheirStandardForm) {
    IUnknown* unknown = host_.Control();
    IOleObject* object = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    DWORD status = 0;
    EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);

    // Drawing for the host succeeds and leaves the target as it was.
    IViewObject* view = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)), S_OK);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    SelectObject(memory, bitmap);
    std::fill_n(static_cast<uint32_t*>(bits), 32 * 32, 0x00123456u);
    const RECTL bounds{0, 0, 32, 32};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    GdiFlush();
    EXPECT_EQ(std::count(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 32 * 32,
                         0x00123456u),
              32 * 32);
    DeleteDC(memory);
    DeleteObject(bitmap);
    view->Release();

    // The extent is all a stream keeps.
    SIZEL extent{};
    SIZEL changed{1234, 567};
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &changed), S_OK);
    IPersistStreamInit* persist = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)),
              S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    EXPECT_EQ(persist->Save(stream, TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, 8u);

    IUnknown* other = nullptr;
    CLSID id{};
    ASSERT_EQ(persist->GetClassID(&id), S_OK);
    ASSERT_EQ(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&other)),
              S_OK);
    IPersistStreamInit* loader = nullptr;
    IOleObject* loaded = nullptr;
    ASSERT_EQ(other->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&loader)),
              S_OK);
    ASSERT_EQ(other->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&loaded)), S_OK);
    EXPECT_EQ(loaded->GetExtent(DVASPECT_CONTENT, &extent), S_OK);  // a new control's
    EXPECT_EQ(extent.cx, 5080);
    EXPECT_EQ(extent.cy, 5080);
    // A stream too short for both values is refused and changes nothing.
    const LARGE_INTEGER origin{};
    ULARGE_INTEGER end{};
    end.QuadPart = 5;
    IStream* shortStream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &shortStream), S_OK);
    shortStream->SetSize(end);
    EXPECT_NE(loader->Load(shortStream), S_OK);
    EXPECT_EQ(loaded->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 5080);
    shortStream->Release();
    stream->Seek(origin, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(loader->Load(stream), S_OK);
    EXPECT_EQ(loaded->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 1234);
    EXPECT_EQ(extent.cy, 567);
    loaded->Release();
    loader->Release();
    other->Release();
    stream->Release();
    persist->Release();
    object->Release();
}

// Closes every "Error" box that shows while it watches, counting them and keeping their text.
class ErrorBoxWatch {
  public:
    ErrorBoxWatch()
        : thread_([this] {
              while (!stop_) {
                  HWND box = FindWindowW(L"#32770", L"Error");
                  if (box != nullptr && std::find(seen_.begin(), seen_.end(), box) == seen_.end()) {
                      seen_.push_back(box);
                      EnumChildWindows(box, &ErrorBoxWatch::KeepText,
                                       reinterpret_cast<LPARAM>(&text_));
                      PostMessageW(box, WM_COMMAND, IDOK, 0);
                  }
                  Sleep(20);
              }
          }) {}
    ~ErrorBoxWatch() {
        stop_ = true;
        thread_.join();
    }
    size_t Count() const { return seen_.size(); }
    const std::wstring& Text() const { return text_; }

  private:
    // Keeps the longest text of the box's static controls: its message.
    static BOOL CALLBACK KeepText(HWND child, LPARAM found) {
        wchar_t name[16] = {};
        wchar_t text[512] = {};
        GetClassNameW(child, name, 16);
        GetWindowTextW(child, text, 512);
        auto& kept = *reinterpret_cast<std::wstring*>(found);
        if (lstrcmpiW(name, L"Static") == 0 && wcslen(text) > kept.size()) {
            kept = text;
        }
        return TRUE;
    }

    std::atomic<bool> stop_{false};
    std::vector<HWND> seen_;
    std::wstring text_;
    std::thread thread_;
};

BOOL CALLBACK FirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

TEST(ControlStartTest, AFailedStartShowsOneBoxAndFailsTheCreation) {
    // A copy of the server whose type library is spoilt cannot start.
    const std::wstring copy = ProgramFolder() + L"VortrelSpoilt.dll";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"Vortrel.dll").c_str(), copy.c_str(), FALSE));
    WORD language = 0;
    HMODULE data = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    EnumResourceLanguagesW(data, L"TYPELIB", MAKEINTRESOURCEW(1), FirstLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    FreeLibrary(data);
    HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    char junk[16] = "not a library";
    ASSERT_TRUE(
        UpdateResourceW(update, L"TYPELIB", MAKEINTRESOURCEW(1), language, junk, sizeof junk));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    HMODULE server = LoadLibraryW(copy.c_str());
    ASSERT_NE(server, nullptr);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(server, "DllGetClassObject")));
    ASSERT_NE(getClassObject, nullptr);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject(CLSID_TimelineControl, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
              S_OK);
    IUnknown* object = reinterpret_cast<IUnknown*>(1);
    {
        ErrorBoxWatch watch;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)),
                  E_FAIL);
        Sleep(200);
        EXPECT_EQ(watch.Count(), 1u);
        EXPECT_EQ(watch.Text(), L"Could not load the type library");
    }
    EXPECT_EQ(object, nullptr);
    factory->Release();
    CoUninitialize();
}

}  // namespace
}  // namespace vortrel::test

// The connection point of the events: sinks hear each event in the order they connected,
// with the arguments as Invoke takes them, and a failing sink stops no other.
#include <windows.h>

#include <gtest/gtest.h>
#include <olectl.h>

// The ids of the type library's header are defined in this file.
#include <initguid.h>

#include <VortrelLib.h>

#include <string>
#include <vector>

#include "platform/windows/com/EventConnectionPoint.h"

namespace {

using vortrel::com::EventConnectionPoint;

// A container that only counts references, as the control object does for its point.
class CountingContainer : public IConnectionPointContainer {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint**) override {
        return E_NOTIMPL;
    }
    ULONG refs = 1;
};

// A sink that writes each call into a shared log as "NAME:DISPID:ARG,ARG".
class RecordingSink : public IDispatch {
  public:
    RecordingSink(std::string name, std::vector<std::string>& log, HRESULT answer = S_OK)
        : name_(std::move(name)), log_(log), answer_(answer) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, DIID__ITimelineControlEvents)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        std::string entry = name_ + ":" + std::to_string(id) + ":";
        for (UINT i = 0; i < parameters->cArgs; ++i) {
            const VARIANTARG& value = parameters->rgvarg[i];
            entry += (i ? "," : "") +
                     (V_VT(&value) == VT_I4 ? std::to_string(V_I4(&value)) : std::string("?"));
        }
        EXPECT_EQ(flags, DISPATCH_METHOD);
        EXPECT_EQ(result, nullptr);
        log_.push_back(entry);
        return answer_;
    }
    ULONG refs = 1;

  private:
    std::string name_;
    std::vector<std::string>& log_;
    HRESULT answer_;
};

TEST(EventConnectionPointTest, FiresToSinksInConnectionOrderWithArgumentsLastFirst) {
    CountingContainer container;
    std::vector<std::string> log;
    RecordingSink failing("a", log, E_FAIL), second("b", log), third("c", log);
    {
        EventConnectionPoint point(container);
        DWORD a = 0, b = 0, c = 0;
        ASSERT_EQ(point.Advise(&failing, &a), S_OK);
        ASSERT_EQ(point.Advise(&second, &b), S_OK);
        ASSERT_EQ(point.Advise(&third, &c), S_OK);
        EXPECT_EQ(second.refs, 2u);

        point.OnClickClip(3, 5);
        point.OnUpdate();
        ASSERT_EQ(point.Unadvise(b), S_OK);
        EXPECT_EQ(point.Unadvise(b), CONNECT_E_NOCONNECTION);
        EXPECT_EQ(point.Unadvise(99), CONNECT_E_NOCONNECTION);
        point.OnPlaying(1500);
        point.OnConvertProgress(25);
        point.OnPlayingCompleted();
        point.OnConvertCompleted();
        EXPECT_EQ(log, (std::vector<std::string>{
                           "a:2:5,3", "b:2:5,3", "c:2:5,3", "a:6:", "b:6:", "c:6:", "a:8:1500",
                           "c:8:1500", "a:10:25", "c:10:25", "a:9:", "c:9:", "a:11:", "c:11:"}));

        IEnumConnections* connections = nullptr;
        ASSERT_EQ(point.EnumConnections(&connections), S_OK);
        CONNECTDATA data[3] = {};
        ULONG fetched = 0;
        EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
        ASSERT_EQ(fetched, 2u);
        EXPECT_EQ(data[0].dwCookie, a);
        EXPECT_EQ(data[1].dwCookie, c);
        data[0].pUnk->Release();
        data[1].pUnk->Release();
        connections->Release();

        IID iid{};
        EXPECT_EQ(point.GetConnectionInterface(&iid), S_OK);
        EXPECT_TRUE(IsEqualIID(iid, DIID__ITimelineControlEvents));
    }
    // The point lets its sinks go with it and never held its container.
    EXPECT_EQ(failing.refs, 1u);
    EXPECT_EQ(third.refs, 1u);
    EXPECT_EQ(container.refs, 1u);
}

}  // namespace

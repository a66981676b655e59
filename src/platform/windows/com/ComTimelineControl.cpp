#include "platform/windows/com/ComTimelineControl.h"

#include <cstdint>
#include <exception>
#include <new>
#include <optional>
#include <string>

#include "control/CTimelineControl.h"
#include "platform/windows/WindowsPlatform.h"
#include "platform/windows/com/ComIds.h"
#include "platform/windows/com/VortrelModule.h"

namespace vortrel::com {

namespace {

// Runs a member; the control answers for every outcome, so only a lack of memory for an
// output becomes a failure of the call.
template <typename Body>
HRESULT Boundary(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return S_OK;
    }
}

// An out parameter of one type at the interface and another in the control: the control
// writes the local value, which goes to the host's pointer when the call is done (never to
// a null one).
template <typename Host, typename Local>
class OutValue {
  public:
    explicit OutValue(Host* target) : target_(target) {}
    ~OutValue() {
        if (target_ != nullptr) {
            *target_ = static_cast<Host>(value_);
        }
    }
    OutValue(const OutValue&) = delete;
    OutValue& operator=(const OutValue&) = delete;
    operator Local*() { return target_ != nullptr ? &value_ : nullptr; }

  private:
    Host* target_;
    Local value_{};
};

// An out string: a new BSTR for a string, none for none.
class OutBstr {
  public:
    explicit OutBstr(BSTR* target) : target_(target) {}
    ~OutBstr() {
        if (target_ == nullptr) {
            return;
        }
        *target_ =
            value_ ? SysAllocStringLen(value_->data(), static_cast<UINT>(value_->size())) : nullptr;
    }
    OutBstr(const OutBstr&) = delete;
    OutBstr& operator=(const OutBstr&) = delete;
    operator OutString*() { return target_ != nullptr ? &value_ : nullptr; }

  private:
    BSTR* target_;
    OutString value_;
};

// Out parameters whose types agree pass straight through.
int32_t* Out(int* value) {
    return value;
}
float* Out(float* value) {
    return value;
}
int16_t* Out(VARIANT_BOOL* value) {
    return value;
}
OutValue<LONG, int32_t> Out(LONG* value) {
    return OutValue<LONG, int32_t>(value);
}
OutValue<ULONG, uint32_t> Out(ULONG* value) {
    return OutValue<ULONG, uint32_t>(value);
}
OutBstr Out(BSTR* value) {
    return OutBstr(value);
}

// Shows why the control could not start, as a host sees a failed creation.
void ShowStartFailure(const char* message) {
    const int length = MultiByteToWideChar(CP_ACP, 0, message, -1, nullptr, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, message, -1, text.data(), length);
    MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK | MB_ICONERROR);
}

}  // namespace

HRESULT ComTimelineControl::Create(IUnknown* outer, IUnknown** inner) {
    if (inner == nullptr) {
        return E_POINTER;
    }
    *inner = nullptr;
    ComTimelineControl* object = new (std::nothrow) ComTimelineControl(outer);
    if (object == nullptr) {
        return E_OUTOFMEMORY;
    }
    try {
        object->Initialize();
    } catch (const std::bad_alloc&) {
        object->inner_.Release();
        return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
        ShowStartFailure(error.what());
        object->inner_.Release();
        return E_FAIL;
    } catch (...) {
        object->inner_.Release();
        return E_FAIL;
    }
    *inner = &object->inner_;
    return S_OK;
}

ComTimelineControl::ComTimelineControl(IUnknown* outer)
    : inner_(*this),
      outer_(outer != nullptr ? outer : &inner_),
      events_(*static_cast<IConnectionPointContainer*>(this)) {
    CVortrelModule::Instance().Lock();
}

ComTimelineControl::~ComTimelineControl() {
    if (ole_) {
        ole_->Close();  // the window goes while the control is whole
        ole_.reset();
    }
    if (control_) {
        control_->Unadvise(&events_);
    }
    control_.reset();
    if (typeInfo_ != nullptr) {
        typeInfo_->Release();
    }
    if (library_ != nullptr) {
        library_->Release();
    }
    CVortrelModule::Instance().Unlock();
}

void ComTimelineControl::Initialize() {
    const std::wstring path = CVortrelModule::Instance().Path();
    if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library_)) ||
        FAILED(library_->GetTypeInfoOfGuid(IID_ITimelineControl, &typeInfo_))) {
        throw std::runtime_error("Could not load the type library");
    }
    control_ = std::make_unique<CTimelineControl>(InstallWindowsPlatform());
    control_->Initialize();
    control_->Advise(&events_);
    ole_ = std::make_unique<OleControlParts>(*outer_, *control_, events_);
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::InnerUnknown::QueryInterface(REFIID iid,
                                                                           void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    ComTimelineControl& self = object_;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IUnknown*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_ITimelineControl)) {
        *object = static_cast<::ITimelineControl*>(&self);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
        *object = static_cast<ISupportErrorInfo*>(&self);
    } else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2)) {
        *object = static_cast<IProvideClassInfo2*>(&self);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *object = static_cast<IConnectionPointContainer*>(&self);
    } else if (IUnknown* part = self.ole_ ? self.ole_->Find(iid) : nullptr) {
        *object = part;
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ComTimelineControl::InnerUnknown::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&object_.refs_));
}

ULONG STDMETHODCALLTYPE ComTimelineControl::InnerUnknown::Release() {
    const LONG left = InterlockedDecrement(&object_.refs_);
    if (left == 0) {
        // A reference taken and dropped while the object goes must not delete it twice.
        object_.refs_ = 1;
        delete &object_;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::QueryInterface(REFIID iid, void** object) {
    return outer_->QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE ComTimelineControl::AddRef() {
    return outer_->AddRef();
}

ULONG STDMETHODCALLTYPE ComTimelineControl::Release() {
    return outer_->Release();
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    typeInfo_->AddRef();
    *info = typeInfo_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                                            LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    return DispGetIDsOfNames(typeInfo_, names, count, ids);
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                                     DISPPARAMS* parameters, VARIANT* result,
                                                     EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    return typeInfo_->Invoke(static_cast<::ITimelineControl*>(this), id, flags, parameters, result,
                             exception, argumentError);
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_ITimelineControl) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetClassInfo(ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    return library_->GetTypeInfoOfGuid(CLSID_TimelineControl, info);
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetGUID(DWORD kind, GUID* guid) {
    if (guid == nullptr) {
        return E_POINTER;
    }
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = DIID__ITimelineControlEvents;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points == nullptr) {
        return E_POINTER;
    }
    *points = new (std::nothrow) ConnectionPointEnumerator(&events_);
    return *points != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::FindConnectionPoint(REFIID iid,
                                                                  IConnectionPoint** point) {
    if (point == nullptr) {
        return E_POINTER;
    }
    if (!IsEqualIID(iid, DIID__ITimelineControlEvents)) {
        *point = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    events_.AddRef();
    *point = &events_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::AddVideoClip(int trackIndex, BSTR fileName,
                                                           float clipStartTime, float clipStopTime,
                                                           float mediaTime, int* clipIndex) {
    return Boundary([&] {
        return control_->AddVideoClip(trackIndex, fileName, clipStartTime, clipStopTime, mediaTime,
                                      Out(clipIndex));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::AddAudioClip(int trackIndex, BSTR fileName,
                                                           float clipStartTime, float clipStopTime,
                                                           float mediaTime, float volume,
                                                           int* clipIndex) {
    return Boundary([&] {
        return control_->AddAudioClip(trackIndex, fileName, clipStartTime, clipStopTime, mediaTime,
                                      volume, Out(clipIndex));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::AddTextClip(int trackIndex, BSTR text,
                                                          float clipStartTime, float clipStopTime,
                                                          int font, int x, int y, ULONG color,
                                                          int* clipIndex) {
    return Boundary([&] {
        return control_->AddTextClip(trackIndex, text, clipStartTime, clipStopTime, font, x, y,
                                     color, Out(clipIndex));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::DeleteClip(int trackIndex, int clipIndex) {
    return Boundary([&] { return control_->DeleteClip(trackIndex, clipIndex); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetVideoClip(int trackIndex, int clipIndex,
                                                           BSTR* fileName, float* clipStartTime,
                                                           float* clipStopTime, float* mediaTime) {
    return Boundary([&] {
        return control_->GetVideoClip(trackIndex, clipIndex, Out(fileName), Out(clipStartTime),
                                      Out(clipStopTime), Out(mediaTime));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetAudioClip(int trackIndex, int clipIndex,
                                                           BSTR* fileName, float* clipStartTime,
                                                           float* clipStopTime, float* mediaTime,
                                                           float* volume) {
    return Boundary([&] {
        return control_->GetAudioClip(trackIndex, clipIndex, Out(fileName), Out(clipStartTime),
                                      Out(clipStopTime), Out(mediaTime), Out(volume));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTextClip(int trackIndex, int clipIndex, BSTR* text,
                                                          float* clipStartTime, float* clipStopTime,
                                                          int* font, int* x, int* y, ULONG* color) {
    return Boundary([&] {
        return control_->GetTextClip(trackIndex, clipIndex, Out(text), Out(clipStartTime),
                                     Out(clipStopTime), Out(font), Out(x), Out(y), Out(color));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::AddTransition(int trackIndex, BSTR name,
                                                            float startTime, float stopTime,
                                                            BSTR params, int mediaTrackIndex,
                                                            LONG reverseDirection,
                                                            int* transitionIndex) {
    return Boundary([&] {
        return control_->AddTransition(trackIndex, name, startTime, stopTime, params,
                                       mediaTrackIndex, reverseDirection, Out(transitionIndex));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::DeleteTransition(int trackIndex,
                                                               int transitionIndex) {
    return Boundary([&] { return control_->DeleteTransition(trackIndex, transitionIndex); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTransition(int trackIndex, int transitionIndex,
                                                            BSTR* name, float* startTime,
                                                            float* stopTime, BSTR* params,
                                                            int* mediaTrackIndex,
                                                            LONG* reverseDirection) {
    return Boundary([&] {
        return control_->GetTransition(trackIndex, transitionIndex, Out(name), Out(startTime),
                                       Out(stopTime), Out(params), Out(mediaTrackIndex),
                                       Out(reverseDirection));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::AddEffect(int trackIndex, BSTR name, float startTime,
                                                        float stopTime, BSTR params,
                                                        int* effectIndex) {
    return Boundary([&] {
        return control_->AddEffect(trackIndex, name, startTime, stopTime, params, Out(effectIndex));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::DeleteEffect(int trackIndex, int effectIndex) {
    return Boundary([&] { return control_->DeleteEffect(trackIndex, effectIndex); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetEffect(int trackIndex, int effectIndex, BSTR* name,
                                                        float* startTime, float* stopTime,
                                                        BSTR* params) {
    return Boundary([&] {
        return control_->GetEffect(trackIndex, effectIndex, Out(name), Out(startTime),
                                   Out(stopTime), Out(params));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTrackCount(int* trackCount) {
    return Boundary([&] { return control_->GetTrackCount(Out(trackCount)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetClipCount(int trackIndex, int* clipCount) {
    return Boundary([&] { return control_->GetClipCount(trackIndex, Out(clipCount)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTransitionCount(int trackIndex,
                                                                 int* transitionCount) {
    return Boundary([&] { return control_->GetTransitionCount(trackIndex, Out(transitionCount)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetEffectCount(int trackIndex, int* effectCount) {
    return Boundary([&] { return control_->GetEffectCount(trackIndex, Out(effectCount)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::SetPreviewWnd(int hwnd) {
    return Boundary([&] { return control_->SetPreviewWnd(hwnd); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::Play() {
    return Boundary([&] { return control_->Play(); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::Pause() {
    return Boundary([&] { return control_->Pause(); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::Stop() {
    return Boundary([&] { return control_->Stop(); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::Clear() {
    return Boundary([&] { return control_->Clear(); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::SetTrackVisible(int trackIndex, LONG visibility) {
    return Boundary([&] { return control_->SetTrackVisible(trackIndex, visibility); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::SetScale(float scale) {
    return Boundary([&] { return control_->SetScale(scale); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetScale(float* scale) {
    return Boundary([&] { return control_->GetScale(Out(scale)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetVideo1TrackIndex(int* index) {
    return Boundary([&] { return control_->GetVideo1TrackIndex(Out(index)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetImageTrackIndex(int* index) {
    return Boundary([&] { return control_->GetImageTrackIndex(Out(index)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTextTrackIndex(int* index) {
    return Boundary([&] { return control_->GetTextTrackIndex(Out(index)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTransitionTrackIndex(int* index) {
    return Boundary([&] { return control_->GetTransitionTrackIndex(Out(index)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetEffectTrackIndex(int* index) {
    return Boundary([&] { return control_->GetEffectTrackIndex(Out(index)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetAudio1TrackIndex(int* index) {
    return Boundary([&] { return control_->GetAudio1TrackIndex(Out(index)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetAudio2TrackIndex(int* index) {
    return Boundary([&] { return control_->GetAudio2TrackIndex(Out(index)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::AddImageClip(int trackIndex, BSTR fileName,
                                                           float clipStartTime, float clipStopTime,
                                                           int* clipIndex) {
    return Boundary([&] {
        return control_->AddImageClip(trackIndex, fileName, clipStartTime, clipStopTime,
                                      Out(clipIndex));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetImageClip(int trackIndex, int clipIndex,
                                                           BSTR* fileName, float* clipStartTime,
                                                           float* clipStopTime) {
    return Boundary([&] {
        return control_->GetImageClip(trackIndex, clipIndex, Out(fileName), Out(clipStartTime),
                                      Out(clipStopTime));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetDESTransition(int index, BSTR* name) {
    return Boundary([&] { return control_->GetDESTransition(index, Out(name)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetDESEffect(int index, BSTR* name) {
    return Boundary([&] { return control_->GetDESEffect(index, Out(name)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetVideo2TrackIndex(int* index) {
    return Boundary([&] { return control_->GetVideo2TrackIndex(Out(index)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetAudioEncoder(int index, BSTR* name) {
    return Boundary([&] { return control_->GetAudioEncoder(index, Out(name)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVIVideoCompressor(int* value) {
    return Boundary([&] { return control_->get_AVIVideoCompressor(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVIVideoCompressor(int value) {
    return Boundary([&] { return control_->put_AVIVideoCompressor(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVIAudioCompressor(int* value) {
    return Boundary([&] { return control_->get_AVIAudioCompressor(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVIAudioCompressor(int value) {
    return Boundary([&] { return control_->put_AVIAudioCompressor(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_OutputType(int* value) {
    return Boundary([&] { return control_->get_OutputType(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_OutputType(int value) {
    return Boundary([&] { return control_->put_OutputType(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGAspectRatio(int* value) {
    return Boundary([&] { return control_->get_MPEGAspectRatio(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGAspectRatio(int value) {
    return Boundary([&] { return control_->put_MPEGAspectRatio(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGAC3(VARIANT_BOOL* value) {
    return Boundary([&] { return control_->get_MPEGAC3(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGAC3(VARIANT_BOOL value) {
    return Boundary([&] { return control_->put_MPEGAC3(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGAudioChannels(int* value) {
    return Boundary([&] { return control_->get_MPEGAudioChannels(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGAudioChannels(int value) {
    return Boundary([&] { return control_->put_MPEGAudioChannels(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGAudioSampleRate(LONG* value) {
    return Boundary([&] { return control_->get_MPEGAudioSampleRate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGAudioSampleRate(LONG value) {
    return Boundary([&] { return control_->put_MPEGAudioSampleRate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGHeight(int* value) {
    return Boundary([&] { return control_->get_MPEGHeight(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGHeight(int value) {
    return Boundary([&] { return control_->put_MPEGHeight(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGWidth(int* value) {
    return Boundary([&] { return control_->get_MPEGWidth(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGWidth(int value) {
    return Boundary([&] { return control_->put_MPEGWidth(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGVideoBitrate(LONG* value) {
    return Boundary([&] { return control_->get_MPEGVideoBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGVideoBitrate(LONG value) {
    return Boundary([&] { return control_->put_MPEGVideoBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGAudioBitrate(LONG* value) {
    return Boundary([&] { return control_->get_MPEGAudioBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGAudioBitrate(LONG value) {
    return Boundary([&] { return control_->put_MPEGAudioBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGFrameRate(float* value) {
    return Boundary([&] { return control_->get_MPEGFrameRate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGFrameRate(float value) {
    return Boundary([&] { return control_->put_MPEGFrameRate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGBufferSize(LONG* value) {
    return Boundary([&] { return control_->get_MPEGBufferSize(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGBufferSize(LONG value) {
    return Boundary([&] { return control_->put_MPEGBufferSize(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGVideoMaxBitrate(LONG* value) {
    return Boundary([&] { return control_->get_MPEGVideoMaxBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGVideoMaxBitrate(LONG value) {
    return Boundary([&] { return control_->put_MPEGVideoMaxBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MPEGVideoMinBitrate(LONG* value) {
    return Boundary([&] { return control_->get_MPEGVideoMinBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MPEGVideoMinBitrate(LONG value) {
    return Boundary([&] { return control_->put_MPEGVideoMinBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVCHDAspectRatio(int* value) {
    return Boundary([&] { return control_->get_AVCHDAspectRatio(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVCHDAspectRatio(int value) {
    return Boundary([&] { return control_->put_AVCHDAspectRatio(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVCHDAudioBitrate(LONG* value) {
    return Boundary([&] { return control_->get_AVCHDAudioBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVCHDAudioBitrate(LONG value) {
    return Boundary([&] { return control_->put_AVCHDAudioBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVCHDAudioChannels(int* value) {
    return Boundary([&] { return control_->get_AVCHDAudioChannels(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVCHDAudioChannels(int value) {
    return Boundary([&] { return control_->put_AVCHDAudioChannels(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVCHDAudioSampleRate(LONG* value) {
    return Boundary([&] { return control_->get_AVCHDAudioSampleRate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVCHDAudioSampleRate(LONG value) {
    return Boundary([&] { return control_->put_AVCHDAudioSampleRate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVCHDHeight(int* value) {
    return Boundary([&] { return control_->get_AVCHDHeight(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVCHDHeight(int value) {
    return Boundary([&] { return control_->put_AVCHDHeight(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVCHDVideoBitrate(LONG* value) {
    return Boundary([&] { return control_->get_AVCHDVideoBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVCHDVideoBitrate(LONG value) {
    return Boundary([&] { return control_->put_AVCHDVideoBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVCHDVideoFrameRate(float* value) {
    return Boundary([&] { return control_->get_AVCHDVideoFrameRate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVCHDVideoFrameRate(float value) {
    return Boundary([&] { return control_->put_AVCHDVideoFrameRate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_AVCHDWidth(int* value) {
    return Boundary([&] { return control_->get_AVCHDWidth(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_AVCHDWidth(int value) {
    return Boundary([&] { return control_->put_AVCHDWidth(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_FLVAudioBitrate(LONG* value) {
    return Boundary([&] { return control_->get_FLVAudioBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_FLVAudioBitrate(LONG value) {
    return Boundary([&] { return control_->put_FLVAudioBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_FLVAudioChannels(int* value) {
    return Boundary([&] { return control_->get_FLVAudioChannels(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_FLVAudioChannels(int value) {
    return Boundary([&] { return control_->put_FLVAudioChannels(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_FLVAudioSampleRate(LONG* value) {
    return Boundary([&] { return control_->get_FLVAudioSampleRate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_FLVAudioSampleRate(LONG value) {
    return Boundary([&] { return control_->put_FLVAudioSampleRate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_FLVFrameRate(float* value) {
    return Boundary([&] { return control_->get_FLVFrameRate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_FLVFrameRate(float value) {
    return Boundary([&] { return control_->put_FLVFrameRate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_FLVHeight(int* value) {
    return Boundary([&] { return control_->get_FLVHeight(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_FLVHeight(int value) {
    return Boundary([&] { return control_->put_FLVHeight(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_FLVVideoBitrate(LONG* value) {
    return Boundary([&] { return control_->get_FLVVideoBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_FLVVideoBitrate(LONG value) {
    return Boundary([&] { return control_->put_FLVVideoBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_FLVWidth(int* value) {
    return Boundary([&] { return control_->get_FLVWidth(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_FLVWidth(int value) {
    return Boundary([&] { return control_->put_FLVWidth(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetMediaDuration(BSTR strMediaFile,
                                                               float* iDuration) {
    return Boundary([&] { return control_->GetMediaDuration(strMediaFile, Out(iDuration)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetMediaInfo(
    BSTR strMediaFile, float* iDuration, LONG* iWidth, LONG* iHeight, float* iFrameRate,
    LONG* iVideoBitRate, LONG* iAudioBitRate, LONG* iAudioSampleRate, LONG* iAudioChannels,
    LONG* iVideoStreamCount, LONG* iAudioStreamCount, BSTR* strMediaContainer,
    BSTR* strVideoStreamFormat, BSTR* strAudioStreamFormat) {
    return Boundary([&] {
        return control_->GetMediaInfo(
            strMediaFile, Out(iDuration), Out(iWidth), Out(iHeight), Out(iFrameRate),
            Out(iVideoBitRate), Out(iAudioBitRate), Out(iAudioSampleRate), Out(iAudioChannels),
            Out(iVideoStreamCount), Out(iAudioStreamCount), Out(strMediaContainer),
            Out(strVideoStreamFormat), Out(strAudioStreamFormat));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::ChangeVideoClip(int trackIndex, int clipIndex,
                                                              BSTR fileName, float clipStartTime,
                                                              float clipStopTime, float mediaTime,
                                                              int* result) {
    return Boundary([&] {
        return control_->ChangeVideoClip(trackIndex, clipIndex, fileName, clipStartTime,
                                         clipStopTime, mediaTime, Out(result));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::ChangeAudioClip(int trackIndex, int clipIndex,
                                                              BSTR fileName, float clipStartTime,
                                                              float clipStopTime, float mediaTime,
                                                              float volume, int* result) {
    return Boundary([&] {
        return control_->ChangeAudioClip(trackIndex, clipIndex, fileName, clipStartTime,
                                         clipStopTime, mediaTime, volume, Out(result));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::ChangeTextClip(int trackIndex, int clipIndex,
                                                             BSTR text, float clipStartTime,
                                                             float clipStopTime, int font, int x,
                                                             int y, ULONG color, int* result) {
    return Boundary([&] {
        return control_->ChangeTextClip(trackIndex, clipIndex, text, clipStartTime, clipStopTime,
                                        font, x, y, color, Out(result));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::ChangeTransition(int trackIndex, int transitionIndex,
                                                               BSTR name, float startTime,
                                                               float stopTime, BSTR params,
                                                               int mediaTrackIndex,
                                                               LONG reverseDirection, int* result) {
    return Boundary([&] {
        return control_->ChangeTransition(trackIndex, transitionIndex, name, startTime, stopTime,
                                          params, mediaTrackIndex, reverseDirection, Out(result));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::ChangeEffect(int trackIndex, int effectIndex,
                                                           BSTR name, float startTime,
                                                           float stopTime, BSTR params,
                                                           int* result) {
    return Boundary([&] {
        return control_->ChangeEffect(trackIndex, effectIndex, name, startTime, stopTime, params,
                                      Out(result));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::ChangeImageClip(int trackIndex, int clipIndex,
                                                              BSTR fileName, float clipStartTime,
                                                              float clipStopTime, int* result) {
    return Boundary([&] {
        return control_->ChangeImageClip(trackIndex, clipIndex, fileName, clipStartTime,
                                         clipStopTime, Out(result));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::LoadProject(BSTR fileName, LONG* result) {
    return Boundary([&] { return control_->LoadProject(fileName, Out(result)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::SaveProject(BSTR fileName, LONG* result) {
    return Boundary([&] { return control_->SaveProject(fileName, Out(result)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4AspectRatio(int* value) {
    return Boundary([&] { return control_->get_MP4AspectRatio(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4AspectRatio(int value) {
    return Boundary([&] { return control_->put_MP4AspectRatio(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4AudioBitrate(LONG* value) {
    return Boundary([&] { return control_->get_MP4AudioBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4AudioBitrate(LONG value) {
    return Boundary([&] { return control_->put_MP4AudioBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4AudioChannels(int* value) {
    return Boundary([&] { return control_->get_MP4AudioChannels(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4AudioChannels(int value) {
    return Boundary([&] { return control_->put_MP4AudioChannels(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4AudioSampleRate(LONG* value) {
    return Boundary([&] { return control_->get_MP4AudioSampleRate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4AudioSampleRate(LONG value) {
    return Boundary([&] { return control_->put_MP4AudioSampleRate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4Framerate(float* value) {
    return Boundary([&] { return control_->get_MP4Framerate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4Framerate(float value) {
    return Boundary([&] { return control_->put_MP4Framerate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4Height(int* value) {
    return Boundary([&] { return control_->get_MP4Height(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4Height(int value) {
    return Boundary([&] { return control_->put_MP4Height(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4VideoBitrate(LONG* value) {
    return Boundary([&] { return control_->get_MP4VideoBitrate(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4VideoBitrate(LONG value) {
    return Boundary([&] { return control_->put_MP4VideoBitrate(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4Width(int* value) {
    return Boundary([&] { return control_->get_MP4Width(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4Width(int value) {
    return Boundary([&] { return control_->put_MP4Width(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_MP4H264Preset(int* value) {
    return Boundary([&] { return control_->get_MP4H264Preset(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_MP4H264Preset(int value) {
    return Boundary([&] { return control_->put_MP4H264Preset(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::Save(BSTR fileName, int* result) {
    return Boundary([&] { return control_->Save(fileName, Out(result)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::ChangeTrackImage(int index, BSTR strImage) {
    return Boundary([&] { return control_->ChangeTrackImage(index, strImage); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::StopConversion() {
    return Boundary([&] { return control_->StopConversion(); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetWMVProfile(int index, BSTR* strName) {
    return Boundary([&] { return control_->GetWMVProfile(index, Out(strName)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_WMVProfile(int* value) {
    return Boundary([&] { return control_->get_WMVProfile(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_WMVProfile(int value) {
    return Boundary([&] { return control_->put_WMVProfile(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetVideoEncoder(int index, BSTR* name) {
    return Boundary([&] { return control_->GetVideoEncoder(index, Out(name)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::SetVideoTrackResolution(int iWidth, int iHeight) {
    return Boundary([&] { return control_->SetVideoTrackResolution(iWidth, iHeight); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_IsPlaying(VARIANT_BOOL* value) {
    return Boundary([&] { return control_->get_IsPlaying(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_IsPause(VARIANT_BOOL* value) {
    return Boundary([&] { return control_->get_IsPause(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::AddTextClip2(int trackIndex, BSTR text,
                                                           float clipStartTime, float clipStopTime,
                                                           int font, int x, int y, int red,
                                                           int green, int blue, int* clipIndex) {
    return Boundary([&] {
        return control_->AddTextClip2(trackIndex, text, clipStartTime, clipStopTime, font, x, y,
                                      red, green, blue, Out(clipIndex));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::ChangeTextClip2(int trackIndex, int clipIndex,
                                                              BSTR text, float clipStartTime,
                                                              float clipStopTime, int font, int x,
                                                              int y, int red, int green, int blue,
                                                              int* result) {
    return Boundary([&] {
        return control_->ChangeTextClip2(trackIndex, clipIndex, text, clipStartTime, clipStopTime,
                                         font, x, y, red, green, blue, Out(result));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::GetTextClip2(int trackIndex, int clipIndex,
                                                           BSTR* text, float* clipStartTime,
                                                           float* clipStopTime, int* font, int* x,
                                                           int* y, int* red, int* green,
                                                           int* blue) {
    return Boundary([&] {
        return control_->GetTextClip2(trackIndex, clipIndex, Out(text), Out(clipStartTime),
                                      Out(clipStopTime), Out(font), Out(x), Out(y), Out(red),
                                      Out(green), Out(blue));
    });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::get_SkipBlackPosterFrame(VARIANT_BOOL* value) {
    return Boundary([&] { return control_->get_SkipBlackPosterFrame(Out(value)); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::put_SkipBlackPosterFrame(VARIANT_BOOL value) {
    return Boundary([&] { return control_->put_SkipBlackPosterFrame(value); });
}

HRESULT STDMETHODCALLTYPE ComTimelineControl::SetVideoTrackFrameRate(float iFrameRate) {
    return Boundary([&] { return control_->SetVideoTrackFrameRate(iFrameRate); });
}
}  // namespace vortrel::com

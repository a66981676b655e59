#include "platform/windows/DirectShowCatalog.h"

// windows.h first: the other system headers build on it.
#include <windows.h>

#include <dshow.h>
#include <wmsdkidl.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/windows/ComRef.h"

namespace vortrel {

namespace {

// The categories of the system device enumerator, and the WMVCore media-type GUIDs, written
// out here: not every import library of the toolchain carries them.
constexpr GUID kSystemDeviceEnum = {
    0x62BE5D10, 0x60EB, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kCreateDevEnum = {
    0x29840822, 0x5B84, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kVideoEffects1Category = {
    0xCC7BFB42, 0xF175, 0x11D1, {0xA3, 0x92, 0x00, 0xE0, 0x29, 0x1F, 0x39, 0x59}};
constexpr GUID kVideoEffects2Category = {
    0xCC7BFB43, 0xF175, 0x11D1, {0xA3, 0x92, 0x00, 0xE0, 0x29, 0x1F, 0x39, 0x59}};
constexpr GUID kVideoCompressorCategory = {
    0x33D9A760, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kAudioCompressorCategory = {
    0x33D9A761, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kPropertyBag = {
    0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
constexpr GUID kProfileManager2 = {
    0x7A924E51, 0x73C1, 0x494D, {0x80, 0x19, 0x23, 0xD3, 0x7E, 0xD9, 0xB8, 0x9A}};
constexpr GUID kProfile2 = {
    0x07E72D33, 0xD94E, 0x4BE7, {0x88, 0x43, 0x60, 0xAE, 0x5F, 0xF7, 0xE5, 0xF5}};
constexpr GUID kMediaProps = {
    0x96406BCE, 0x2B2B, 0x11D3, {0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF}};
constexpr GUID kMediaTypeVideo = {
    0x73646976, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kMediaTypeAudio = {
    0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kFormatVideoInfo = {
    0x05589F80, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
constexpr GUID kFormatWaveFormatEx = {
    0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};

// COM for the length of one call, where the calling thread has none yet (a host's thread
// has it already, and keeps its own apartment).
class ComScope {
  public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool initialised_;
};

const GUID& CategoryGuid(DeviceCategory category) {
    switch (category) {
        case DeviceCategory::VideoEffects:
            return kVideoEffects1Category;
        case DeviceCategory::VideoTransitions:
            return kVideoEffects2Category;
        case DeviceCategory::VideoCompressors:
            return kVideoCompressorCategory;
        case DeviceCategory::AudioCompressors:
            break;
    }
    return kAudioCompressorCategory;
}

// A string property of a device's property bag; none when it is missing or not a string.
std::optional<std::wstring> ReadString(IPropertyBag& bag, const wchar_t* name) {
    VARIANT value;
    VariantInit(&value);
    std::optional<std::wstring> text;
    if (SUCCEEDED(bag.Read(name, &value, nullptr)) && value.vt == VT_BSTR) {
        text = std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
    }
    VariantClear(&value);
    return text;
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// Reads one WMVCore media type's stream settings into the profile.
void ReadStreamType(IWMStreamConfig& stream, OutputProfile& profile) {
    ComRef<IWMMediaProps> props;
    if (FAILED(stream.QueryInterface(kMediaProps, props.OutVoid()))) {
        return;
    }
    DWORD size = 0;
    if (FAILED(props->GetMediaType(nullptr, &size)) || size < sizeof(WM_MEDIA_TYPE)) {
        return;
    }
    std::vector<uint8_t> buffer(size);
    auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
    if (FAILED(props->GetMediaType(type, &size)) || type->pbFormat == nullptr) {
        return;
    }
    DWORD bitrate = 0;
    stream.GetBitrate(&bitrate);
    if (IsEqualGUID(type->majortype, kMediaTypeVideo) &&
        IsEqualGUID(type->formattype, kFormatVideoInfo) &&
        type->cbFormat >= sizeof(VIDEOINFOHEADER)) {
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
        profile.width = info->bmiHeader.biWidth;
        profile.height =
            info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
        profile.frameRate = info->AvgTimePerFrame > 0 ? 1.0e7 / info->AvgTimePerFrame : 0.0;
        profile.videoBitrate = static_cast<int32_t>(bitrate);
    } else if (IsEqualGUID(type->majortype, kMediaTypeAudio) &&
               IsEqualGUID(type->formattype, kFormatWaveFormatEx) &&
               type->cbFormat >= sizeof(WAVEFORMATEX) - sizeof(WORD)) {
        const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
        profile.audioSampleRate = static_cast<int32_t>(wave->nSamplesPerSec);
        profile.audioChannels = wave->nChannels;
        profile.audioBitrate = static_cast<int32_t>(bitrate);
    }
}

std::wstring ReadProfileText(IWMProfile& profile, bool description) {
    DWORD length = 0;
    HRESULT result =
        description ? profile.GetDescription(nullptr, &length) : profile.GetName(nullptr, &length);
    if (FAILED(result) || length == 0) {
        return L"";
    }
    std::wstring text(length, L'\0');
    result = description ? profile.GetDescription(text.data(), &length)
                         : profile.GetName(text.data(), &length);
    if (FAILED(result)) {
        return L"";
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

}  // namespace

IDeviceCatalog::Listing DirectShowCatalog::List(DeviceCategory category) {
    ComScope com;
    Listing listing;
    ComRef<ICreateDevEnum> enumerator;
    if (FAILED(CoCreateInstance(kSystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, kCreateDevEnum,
                                enumerator.OutVoid()))) {
        listing.failure = Failure::SystemDeviceEnum;
        return listing;
    }
    ComRef<IEnumMoniker> monikers;
    const HRESULT result =
        enumerator->CreateClassEnumerator(CategoryGuid(category), monikers.Out(), 0);
    if (FAILED(result)) {
        listing.failure = Failure::ClassEnumerator;
        return listing;
    }
    if (result == S_FALSE || !monikers) {
        return listing;  // an empty category has no enumerator
    }
    ComRef<IBindCtx> context;
    if (FAILED(CreateBindCtx(0, context.Out()))) {
        listing.failure = Failure::BindContext;
        return listing;
    }
    ComRef<IMoniker> moniker;
    while (monikers->Next(1, moniker.Out(), nullptr) == S_OK) {
        DeviceMoniker device;
        ComRef<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(context.Get(), nullptr, kPropertyBag, bag.OutVoid()))) {
            device.bound = false;
        } else {
            device.friendlyName = ReadString(*bag.Get(), L"FriendlyName");
            device.guid = ReadString(*bag.Get(), L"guid");
            if (!device.guid) {
                device.guid = ReadString(*bag.Get(), L"CLSID");  // compressors name their filter so
            }
        }
        listing.devices.push_back(std::move(device));
    }
    return listing;
}

std::vector<OutputProfile> DirectShowCatalog::ListOutputProfiles() {
    ComScope com;
    std::vector<OutputProfile> profiles;
    // WMVCore is not on every system (nor in every Wine): it is looked up at run time.
    HMODULE library = LoadLibraryW(L"wmvcore.dll");
    if (library == nullptr) {
        return profiles;
    }
    using CreateProfileManager = HRESULT(WINAPI*)(IWMProfileManager**);
    auto create = reinterpret_cast<CreateProfileManager>(
        reinterpret_cast<void*>(GetProcAddress(library, "WMCreateProfileManager")));
    ComRef<IWMProfileManager> manager;
    if (create == nullptr || FAILED(create(manager.Out())) || !manager) {
        manager.Reset();
        FreeLibrary(library);
        return profiles;
    }
    ComRef<IWMProfileManager2> manager2;
    if (SUCCEEDED(manager->QueryInterface(kProfileManager2, manager2.OutVoid()))) {
        manager2->SetSystemProfileVersion(WMT_VER_8_0);
    }
    DWORD count = 0;
    if (FAILED(manager->GetSystemProfileCount(&count))) {
        count = 0;
    }
    for (DWORD index = 0; index < count; ++index) {
        ComRef<IWMProfile> loaded;
        if (FAILED(manager->LoadSystemProfile(index, loaded.Out())) || !loaded) {
            break;  // a profile that cannot be loaded ends the list
        }
        OutputProfile profile;
        profile.name = ReadProfileText(*loaded.Get(), false);
        profile.description = ReadProfileText(*loaded.Get(), true);
        GUID id = GUID_NULL;
        ComRef<IWMProfile2> loaded2;
        if (SUCCEEDED(loaded->QueryInterface(kProfile2, loaded2.OutVoid()))) {
            loaded2->GetProfileID(&id);
        }
        profile.id = GuidText(id);
        DWORD streams = 0;
        loaded->GetStreamCount(&streams);
        for (DWORD s = 0; s < streams; ++s) {
            ComRef<IWMStreamConfig> stream;
            GUID type = GUID_NULL;
            if (FAILED(loaded->GetStream(s, stream.Out())) ||
                FAILED(stream->GetStreamType(&type))) {
                continue;
            }
            if (IsEqualGUID(type, kMediaTypeVideo)) {
                ++profile.videoStreams;
            } else if (IsEqualGUID(type, kMediaTypeAudio)) {
                ++profile.audioStreams;
            }
            ReadStreamType(*stream.Get(), profile);
        }
        profiles.push_back(std::move(profile));
    }
    manager2.Reset();
    manager.Reset();
    FreeLibrary(library);
    return profiles;
}

}  // namespace vortrel

#include "platform/windows/com/OlePersistence.h"

#include <cstdint>

#include <VortrelLib.h>

namespace vortrel::com {

namespace {

constexpr wchar_t kStreamName[] = L"Contents";
constexpr ULONG kSize = 2 * sizeof(uint32_t);

}  // namespace

HRESULT STDMETHODCALLTYPE OlePersistence::GetClassID(CLSID* id) {
    if (id == nullptr) {
        return E_POINTER;
    }
    *id = CLSID_TimelineControl;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OlePersistence::IsDirty() {
    return core_.Dirty() ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE OlePersistence::Load(LPSTREAM stream) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    uint32_t values[2] = {};
    ULONG read = 0;
    const HRESULT result = stream->Read(values, kSize, &read);
    if (FAILED(result)) {
        return result;
    }
    // A short stream is not ours: the extent stays as it was.
    if (read != kSize) {
        return E_FAIL;
    }
    core_.SetExtent({static_cast<LONG>(values[0]), static_cast<LONG>(values[1])});
    core_.SetDirty(false);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OlePersistence::Save(LPSTREAM stream, BOOL clearDirty) {
    if (stream == nullptr) {
        return E_POINTER;
    }
    const SIZEL extent = core_.Extent();
    const uint32_t values[2] = {static_cast<uint32_t>(extent.cx), static_cast<uint32_t>(extent.cy)};
    ULONG written = 0;
    const HRESULT result = stream->Write(values, kSize, &written);
    if (FAILED(result)) {
        return result;
    }
    if (written != kSize) {
        return STG_E_MEDIUMFULL;
    }
    if (clearDirty) {
        core_.SetDirty(false);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OlePersistence::GetSizeMax(ULARGE_INTEGER* size) {
    if (size == nullptr) {
        return E_POINTER;
    }
    size->QuadPart = kSize;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OlePersistence::InitNew() {
    core_.SetExtent({OleControlCore::kInitialExtent, OleControlCore::kInitialExtent});
    core_.SetDirty(false);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OlePersistence::InitNew(IStorage* storage) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    return InitNew();
}

HRESULT STDMETHODCALLTYPE OlePersistence::Load(IStorage* storage) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    IStream* stream = nullptr;
    const HRESULT opened =
        storage->OpenStream(kStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
    if (FAILED(opened)) {
        return opened;
    }
    const HRESULT result = Load(stream);
    stream->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE OlePersistence::Save(IStorage* storage, BOOL) {
    if (storage == nullptr) {
        return E_POINTER;
    }
    IStream* stream = nullptr;
    const HRESULT made = storage->CreateStream(
        kStreamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
    if (FAILED(made)) {
        return made;
    }
    const HRESULT result = Save(stream, TRUE);
    stream->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE OlePersistence::SaveCompleted(IStorage*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OlePersistence::HandsOffStorage() {
    return S_OK;
}

}  // namespace vortrel::com

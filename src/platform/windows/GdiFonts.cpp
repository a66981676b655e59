#include "platform/windows/GdiFonts.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>
#include <string>

#include "platform/windows/WindowsFonts.h"

namespace vortrel {

namespace {

constexpr int32_t kMaxHeight = 4096;

int CALLBACK NoteFace(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                      LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

// Whether a face is installed (not merely substituted by the font mapper).
bool FaceInstalled(const std::wstring& face) {
    static std::mutex mutex;
    static std::map<std::wstring, bool> known;
    const std::lock_guard<std::mutex> lock(mutex);
    if (auto it = known.find(face); it != known.end()) {
        return it->second;
    }
    bool found = false;
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
        EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
        DeleteDC(dc);
    }
    known[face] = found;
    return found;
}

bool SameFace(const std::wstring& a, const wchar_t* b) {
    return std::equal(a.begin(), a.end(), b, b + wcslen(b), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
    });
}

// The faces programs name most, and the faces of the same metrics that stand in for them where
// they are missing (as on Wine); the other build names the same stand-ins.
std::wstring InstalledFace(const std::wstring& face) {
    static const std::pair<const wchar_t*, const wchar_t*> kFaces[] = {
        {L"Arial", L"Liberation Sans"},
        {L"Helvetica", L"Liberation Sans"},
        {L"Times New Roman", L"Liberation Serif"},
        {L"Courier New", L"Liberation Mono"},
    };
    for (auto [named, standIn] : kFaces) {
        if (SameFace(face, named)) {
            return !FaceInstalled(face) && FaceInstalled(standIn) ? standIn : face;
        }
    }
    return face;
}

}  // namespace

LOGFONTW ToDrawingLogFont(const LogFont& font) {
    LOGFONTW record = ToLogFontW(font);
    record.lfHeight = std::clamp(font.height, -kMaxHeight, kMaxHeight);
    record.lfWidth = std::clamp(font.width, 0, kMaxHeight);
    // Coverage in grey levels, never per colour channel, as in the other build.
    record.lfQuality =
        font.quality == NONANTIALIASED_QUALITY ? NONANTIALIASED_QUALITY : ANTIALIASED_QUALITY;
    const std::wstring face = InstalledFace(font.GetFaceName());
    std::fill(std::begin(record.lfFaceName), std::end(record.lfFaceName), L'\0');
    face.copy(record.lfFaceName, LF_FACESIZE - 1);
    return record;
}

HFONT CreateGdiFont(const LogFont& font) {
    const LOGFONTW record = ToDrawingLogFont(font);
    return CreateFontIndirectW(&record);
}

}  // namespace vortrel

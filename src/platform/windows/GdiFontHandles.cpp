#include "platform/windows/GdiFontHandles.h"

#include <windows.h>

#include "platform/windows/WindowsFonts.h"

namespace vortrel {

namespace {

// A font handle from the 32-bit value a host passes (sign-extended, as the system's own
// handle conversions do), and back.
HFONT ToFont(int32_t handle) {
    return static_cast<HFONT>(LongToHandle(handle));
}

int32_t FromFont(HFONT font) {
    return HandleToLong(font);
}

bool IsFont(int32_t handle) {
    return handle != 0 && GetObjectType(ToFont(handle)) == OBJ_FONT;
}

}  // namespace

int32_t GdiFontHandles::Create(const LogFont& font) {
    const LOGFONTW record = ToLogFontW(font);
    HFONT made = CreateFontIndirectW(&record);
    return made == nullptr ? 0 : FromFont(made);
}

bool GdiFontHandles::Get(int32_t handle, LogFont& font) {
    LOGFONTW record{};
    if (!IsFont(handle) || GetObjectW(ToFont(handle), sizeof record, &record) == 0) {
        return false;
    }
    font = FromLogFontW(record);
    return true;
}

bool GdiFontHandles::Delete(int32_t handle) {
    return IsFont(handle) && DeleteObject(ToFont(handle)) != 0;
}

}  // namespace vortrel

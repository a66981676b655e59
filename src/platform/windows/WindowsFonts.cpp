#include "platform/windows/WindowsFonts.h"

#include <algorithm>

namespace vortrel {

LOGFONTW ToLogFontW(const LogFont& font) {
    LOGFONTW record{};
    record.lfHeight = font.height;
    record.lfWidth = font.width;
    record.lfEscapement = font.escapement;
    record.lfOrientation = font.orientation;
    record.lfWeight = font.weight;
    record.lfItalic = font.italic;
    record.lfUnderline = font.underline;
    record.lfStrikeOut = font.strikeOut;
    record.lfCharSet = font.charSet;
    record.lfOutPrecision = font.outPrecision;
    record.lfClipPrecision = font.clipPrecision;
    record.lfQuality = font.quality;
    record.lfPitchAndFamily = font.pitchAndFamily;
    static_assert(sizeof record.lfFaceName / sizeof record.lfFaceName[0] == 32);
    std::transform(font.faceName.begin(), font.faceName.end(), record.lfFaceName,
                   [](char16_t unit) { return static_cast<WCHAR>(unit); });
    record.lfFaceName[31] = 0;
    return record;
}

LogFont FromLogFontW(const LOGFONTW& record) {
    LogFont font;
    font.height = record.lfHeight;
    font.width = record.lfWidth;
    font.escapement = record.lfEscapement;
    font.orientation = record.lfOrientation;
    font.weight = record.lfWeight;
    font.italic = record.lfItalic;
    font.underline = record.lfUnderline;
    font.strikeOut = record.lfStrikeOut;
    font.charSet = record.lfCharSet;
    font.outPrecision = record.lfOutPrecision;
    font.clipPrecision = record.lfClipPrecision;
    font.quality = record.lfQuality;
    font.pitchAndFamily = record.lfPitchAndFamily;
    std::transform(std::begin(record.lfFaceName), std::end(record.lfFaceName),
                   font.faceName.begin(), [](WCHAR unit) { return static_cast<char16_t>(unit); });
    font.faceName[31] = 0;
    return font;
}

}  // namespace vortrel

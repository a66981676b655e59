#include "model/TextClip.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <variant>

#include <tinyxml2.h>

#include "base/FileAccess.h"
#include "base/Utf8.h"
#include "editing/DesError.h"
#include "editing/DesSource.h"
#include "editing/EditNode.h"
#include "model/BitmapFile.h"
#include "model/ContentTime.h"
#include "model/FontTable.h"
#include "model/TimeRules.h"
#include "model/XmlFields.h"
#include "ports/ITextRasteriser.h"

namespace vortrel {

namespace {

constexpr size_t kDescriptionLimit = 50;  // UTF-16 units before "..." cuts the text
constexpr int32_t kMaxCanvasSide = 16384;
constexpr uint8_t kAntialiasedQuality = 4;
// Names already taken are skipped by moving to the next number; give up after this many.
constexpr int kMaxNameAttempts = 10000;

// How much smaller than its canvas a text is drawn. The engine stretches the bitmap over the
// picture of the video group the clip plays in, so a bitmap needs no more pixels than that
// picture has along either side, and never more than the largest picture.
double DrawingScale(const EditNode* node, int32_t canvasWidth, int32_t canvasHeight) {
    double scale = 1.0;
    for (; node != nullptr; node = node->GetParent()) {
        if (const auto* type = std::get_if<VideoMediaType>(&node->GetMediaType())) {
            const double across = static_cast<double>(type->width) / canvasWidth;
            const double down = std::abs(static_cast<double>(type->height)) / canvasHeight;
            if (across > 0.0 && down > 0.0) {
                scale = std::min(scale, std::max(across, down));
            }
            break;
        }
    }
    return std::min(scale,
                    static_cast<double>(kMaxPictureSide) / std::max(canvasWidth, canvasHeight));
}

int32_t Scaled(int32_t value, double scale) {
    return scale == 1.0 ? value : static_cast<int32_t>(std::lround(value * scale));
}

// Milliseconds since an arbitrary start, wrapping at 32 bits like the platform's tick count.
uint32_t TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// Creates a file that did not exist before, so that no two live clips ever share one.
std::FILE* CreateUniqueBitmapFile(std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        return nullptr;
    }
    uint32_t number = TickCount();
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt, ++number) {
        path = folder / ("text_" + std::to_string(number) + ".bmp");
        // Made exclusively: fail rather than open a file that another clip (or process) made.
        if (UniqueFile file = CreateNewFile(path)) {
            return file.release();
        }
        if (!std::filesystem::exists(path, error)) {
            return nullptr;  // the folder refuses new files: no other name will do better
        }
    }
    return nullptr;
}

// The Font element's attributes, in the order they are written.
struct FontField {
    const char* name;
    int32_t LogFont::*wide;
    uint8_t LogFont::*narrow;
};
constexpr FontField kFontFields[] = {
    {"Height", &LogFont::height, nullptr},
    {"Width", &LogFont::width, nullptr},
    {"Escapement", &LogFont::escapement, nullptr},
    {"Orientation", &LogFont::orientation, nullptr},
    {"Weight", &LogFont::weight, nullptr},
    {"Italic", nullptr, &LogFont::italic},
    {"Underline", nullptr, &LogFont::underline},
    {"StrikeOut", nullptr, &LogFont::strikeOut},
    {"CharSet", nullptr, &LogFont::charSet},
    {"OutPrecision", nullptr, &LogFont::outPrecision},
    {"ClipPrecision", nullptr, &LogFont::clipPrecision},
    {"Quality", nullptr, &LogFont::quality},
    {"PitchAndFamily", nullptr, &LogFont::pitchAndFamily},
};

// Reads the Font element: all thirteen attributes, byte fields taking the low byte. A font
// without a face name is written without text, so the text may be missing.
bool ReadFont(const tinyxml2::XMLElement& parent, LogFont& font) {
    const tinyxml2::XMLElement* element = parent.FirstChildElement("Font");
    if (element == nullptr) {
        return false;
    }
    for (const FontField& field : kFontFields) {
        int32_t value = 0;
        if (!xml::ReadIntAttribute(*element, field.name, value)) {
            return false;
        }
        if (field.wide != nullptr) {
            font.*field.wide = value;
        } else {
            font.*field.narrow = static_cast<uint8_t>(value & 0xFF);
        }
    }
    font.SetFaceName(FromUtf8(element->GetText() != nullptr ? element->GetText() : ""));
    return true;
}

void WriteFont(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& parent, const LogFont& font) {
    tinyxml2::XMLElement* element = xml::WriteText(document, parent, "Font", font.GetFaceName());
    for (const FontField& field : kFontFields) {
        element->SetAttribute(field.name,
                              field.wide != nullptr ? font.*field.wide : font.*field.narrow);
    }
}

[[noreturn]] void FailSetup() {
    throw DesError("Could not setup text clip");
}

}  // namespace

TextClip::TextClip(DesTrack* track) : IClip(MakeDesSource(track)) {}

TextClip::~TextClip() {
    DeleteBitmapFile();
}

void TextClip::GetDescription(std::wstring& title, std::wstring& text) const {
    title = L"Text";
    text = L"Clip: ";
    size_t units = text.size();
    for (wchar_t c : GetSource()) {
        if (c != L'\n' && c != L'\r' && c != L'\t') {
            text.push_back(c);
            // Counted in UTF-16 units, so every build cuts a text at the same place.
            const uint32_t code = static_cast<uint32_t>(c);
            units += code > 0xFFFF ? 2 : 1;
        }
        if (units > kDescriptionLimit) {
            text += L"...";
            break;
        }
    }
    text += DescribeTimes(*GetSegment());
}

void TextClip::SetupDes() {
    DeleteBitmapFile();
    EditNode* node = GetDesSource() ? GetDesSource()->GetSourceObject().get() : nullptr;
    if (node == nullptr) {
        FailSetup();
    }
    const TimeSegment& at = *GetSegment();
    bool placed = node->SetStartStop(MillisecondsToReferenceTime(at.GetStart()),
                                     MillisecondsToReferenceTime(at.GetStop()));
    const std::wstring bitmap = RenderToBitmapFile();
    placed = node->SetMediaName(bitmap) && placed;
    placed = node->SetMediaTimes(0, at.GetLength() * kReferenceTimePerMillisecond) && placed;
    if (!placed) {
        FailSetup();
    }
}

bool TextClip::ReadFields(const tinyxml2::XMLElement& element) {
    if (!ReadClipFields(element, false)) {
        return false;
    }
    uint32_t color = 0;
    if (!xml::ReadUnsigned(element, "Color", color)) {
        return false;
    }
    color_ = color;
    const std::pair<const char*, int32_t*> numbers[] = {
        {"XPos", &xPos_},
        {"YPos", &yPos_},
        {"VideoTrackWidth", &videoTrackWidth_},
        {"VideoTrackHeight", &videoTrackHeight_},
    };
    for (auto [name, field] : numbers) {
        if (!xml::ReadInt(element, name, *field)) {
            return false;
        }
    }
    return ReadFont(element, font_);
}

void TextClip::WriteFields(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const {
    WriteClipFields(document, element, false);
    xml::WriteUnsigned(document, element, "Color", color_);
    xml::WriteInt(document, element, "XPos", xPos_);
    xml::WriteInt(document, element, "YPos", yPos_);
    xml::WriteInt(document, element, "VideoTrackWidth", videoTrackWidth_);
    xml::WriteInt(document, element, "VideoTrackHeight", videoTrackHeight_);
    WriteFont(document, element, font_);
}

void TextClip::SetFont(int32_t fontHandle) {
    font_ = LogFont{};
    FontTable::Get(fontHandle, font_);
}

int32_t TextClip::GetFont() const {
    return FontTable::Create(font_);
}

void TextClip::SetVideoTrackSize(int32_t width, int32_t height) {
    videoTrackWidth_ = width;
    videoTrackHeight_ = height;
}

std::wstring TextClip::RenderToBitmapFile() {
    std::shared_ptr<ITextRasteriser> rasteriser = GetTextRasteriser();
    if (!rasteriser || videoTrackWidth_ <= 0 || videoTrackHeight_ <= 0 ||
        videoTrackWidth_ > kMaxCanvasSide || videoTrackHeight_ > kMaxCanvasSide) {
        FailSetup();
    }
    // The canvas drawn smaller keeps the text's place and size on the picture it is shown on.
    const EditNode* node = GetDesSource() ? GetDesSource()->GetSourceObject().get() : nullptr;
    const double scale = DrawingScale(node, videoTrackWidth_, videoTrackHeight_);
    const int32_t width = std::max(1, Scaled(videoTrackWidth_, scale));
    const int32_t height = std::max(1, Scaled(videoTrackHeight_, scale));
    LogFont font = font_;
    font.quality = kAntialiasedQuality;
    font.height = Scaled(font.height, scale);
    font.width = Scaled(font.width, scale);
    std::vector<uint8_t> coverage;
    if (!rasteriser->Render(GetSource(), font, Scaled(xPos_, scale), Scaled(yPos_, scale), width,
                            height, coverage) ||
        coverage.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        FailSetup();
    }

    // Every pixel has the text colour; the fourth byte carries the coverage.
    std::vector<uint8_t> pixels(coverage.size() * 4);
    for (size_t i = 0; i < coverage.size(); ++i) {
        pixels[4 * i] = static_cast<uint8_t>(color_ >> 16);     // blue
        pixels[4 * i + 1] = static_cast<uint8_t>(color_ >> 8);  // green
        pixels[4 * i + 2] = static_cast<uint8_t>(color_);       // red
        pixels[4 * i + 3] = coverage[i];
    }
    const std::vector<uint8_t> file = EncodeBitmapFile32(width, height, pixels);

    std::filesystem::path path;
    std::FILE* out = CreateUniqueBitmapFile(path);
    if (out == nullptr) {
        FailSetup();
    }
    const bool written =
        !file.empty() && std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        FailSetup();
    }
    bitmapPath_ = FromPath(path);
    return bitmapPath_;
}

void TextClip::DeleteBitmapFile() {
    if (!bitmapPath_.empty()) {
        std::error_code ignored;  // a file that cannot be deleted is left behind
        std::filesystem::remove(ToPath(bitmapPath_), ignored);
        bitmapPath_.clear();
    }
}

}  // namespace vortrel

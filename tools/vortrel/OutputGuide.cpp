#include "OutputGuide.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <string_view>

#include "ScriptValue.h"
#include "ports/OutputProperties.h"

namespace vortrel {

namespace {

const char* KindOf(int32_t) {
    return "integer";
}
const char* KindOf(int16_t) {
    return "flag";
}
const char* KindOf(float) {
    return "float";
}

std::string TextOf(int32_t value) {
    return std::to_string(value);
}
std::string TextOf(float value) {
    return script::FormatFloat(value);
}

// The ranges in which the encoders write a file that plays; values outside them make
// render say why it cannot start.
const std::map<std::string_view, const char*>& Ranges() {
    static const std::map<std::string_view, const char*> ranges = {
        {"AVIVideoCompressor", "-1 (uncompressed) or a video compressor's position (catalog)"},
        {"AVIAudioCompressor", "-1 (16-bit PCM) or an audio compressor's position (catalog)"},
        {"OutputType", "0 to 12, the output types above (render sets it from --type)"},
        {"MPEGAspectRatio", "1 square pixels, 2 4:3, 3 16:9, 4 2.21:1; others keep the profile's"},
        {"MPEGAC3", "0 MPEG audio layer II, else AC-3"},
        {"MPEGAudioChannels", "1 to 8 (profiles 6 and 7)"},
        {"MPEGAudioSampleRate", "8000 to 192000 Hz, as the encoder takes it (profiles 6 and 7)"},
        {"MPEGHeight", "even, 16 to 4096 (profiles 6 and 7)"},
        {"MPEGWidth", "even, 16 to 4096 (profiles 6 and 7)"},
        {"MPEGVideoBitrate", "1 to 2147483647 bit/s (profiles 6 and 7)"},
        {"MPEGAudioBitrate", "1 to 2147483647 bit/s, as the encoder takes it (profiles 6 and 7)"},
        {"MPEGFrameRate", "1 to 240 frames per second (profiles 6 and 7)"},
        {"MPEGBufferSize", "1 to 2147483647 bits (profiles 6 and 7)"},
        {"MPEGVideoMaxBitrate", "kept, not applied: the profiles use MPEGVideoBitrate"},
        {"MPEGVideoMinBitrate", "kept, not applied: the profiles use MPEGVideoBitrate"},
        {"AVCHDAspectRatio", "0 square pixels, else 16:9"},
        {"AVCHDAudioBitrate", "1 to 2147483 kbit/s, as the encoder takes it"},
        {"AVCHDAudioChannels", "1 to 8"},
        {"AVCHDAudioSampleRate", "8000 to 192000 Hz, as the encoder takes it"},
        {"AVCHDHeight", "even, 16 to 4096"},
        {"AVCHDVideoBitrate", "1 to 2147483 kbit/s"},
        {"AVCHDVideoFrameRate", "1 to 240 frames per second"},
        {"AVCHDWidth", "even, 16 to 4096"},
        {"FLVAudioBitrate", "1 to 2147483647 bit/s, as the encoder takes it"},
        {"FLVAudioChannels", "1 or 2"},
        {"FLVAudioSampleRate", "11025, 22050 or 44100 Hz"},
        {"FLVFrameRate", "1 to 240 frames per second"},
        {"FLVHeight", "even, 16 to 4096"},
        {"FLVVideoBitrate", "1 to 2147483647 bit/s"},
        {"FLVWidth", "even, 16 to 4096"},
        {"MP4AspectRatio", "0 square pixels, else 16:9"},
        {"MP4AudioBitrate", "1 to 2147483647 bit/s, as the encoder takes it"},
        {"MP4AudioChannels", "1 to 8"},
        {"MP4AudioSampleRate", "8000 to 192000 Hz, as the encoder takes it"},
        {"MP4Framerate", "1 to 240 frames per second, applied as a whole number"},
        {"MP4Height", "even, 16 to 4096"},
        {"MP4VideoBitrate", "1 to 2147483647 bit/s"},
        {"MP4Width", "even, 16 to 4096"},
        {"MP4H264Preset",
         "0 superfast, 1 veryfast, 2 faster, 3 fast, 4 medium, 5 slow, 6 slower, 7 veryslow; "
         "others: the encoder's own"},
        {"WMVProfile", "a WMV profile's position (catalog)"},
    };
    return ranges;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

const std::vector<OutputTypeGuide>& OutputTypeGuides() {
    const std::vector<std::string> mpeg = {".mpg", ".mpeg", ".vob"};
    static const std::vector<OutputTypeGuide> types = {
        {0,
         "AVI",
         {".avi"},
         "video from AVIVideoCompressor (-1: uncompressed), audio from AVIAudioCompressor "
         "(-1: PCM), at the timeline's picture size and rate"},
        {1,
         "WMV",
         {".wmv", ".asf"},
         "WMV video and WMA audio, as the profile WMVProfile sets them"},
        {2, "MP4", {".mp4", ".m4v"}, "H.264 video and AAC audio, from the MP4 properties"},
        {3, "MPEG profile 0", mpeg, "MPEG-1 352x288, 25 fps (VCD)"},
        {4, "MPEG profile 1", mpeg, "MPEG-1 352x240, 29.97 fps (VCD)"},
        {5, "MPEG profile 2", mpeg, "MPEG-2 480x576, 25 fps (SVCD)"},
        {6, "MPEG profile 3", mpeg, "MPEG-2 480x480, 29.97 fps (SVCD)"},
        {7, "MPEG profile 4", mpeg, "MPEG-2 720x576, 25 fps (DVD)"},
        {8, "MPEG profile 5", mpeg, "MPEG-2 720x480, 29.97 fps (DVD)"},
        {9, "MPEG profile 6", mpeg, "MPEG-1 from the MPEG properties"},
        {10, "MPEG profile 7", mpeg, "MPEG-2 from the MPEG properties"},
        {11,
         "M2TS",
         {".m2ts", ".mts", ".ts"},
         "H.264 video and AC-3 audio in an MPEG transport stream (AVCHD), from the AVCHD "
         "properties"},
        {12, "FLV", {".flv"}, "Sorenson H.263 video and MP3 audio, from the FLV properties"},
    };
    return types;
}

std::vector<OutputPropertyGuide> OutputPropertyGuides() {
    std::vector<OutputPropertyGuide> properties;
#define VORTREL_GUIDE_PROPERTY(Type, Name, DispId, Default, Storage)                 \
    properties.push_back({#Name, KindOf(Type{}), TextOf(static_cast<Type>(Default)), \
                          Ranges().count(#Name) != 0 ? Ranges().at(#Name) : ""});
    VORTREL_OUTPUT_PROPERTIES(VORTREL_GUIDE_PROPERTY)
#undef VORTREL_GUIDE_PROPERTY
    return properties;
}

void PrintOutputGuide(std::ostream& out) {
    out << "output types (--type; MPEG audio is AC-3 when MPEGAC3 is set, else layer II):\n";
    for (const OutputTypeGuide& type : OutputTypeGuides()) {
        out << "  " << type.type << " " << type.name << " (" << type.extensions.front()
            << "): " << type.writes << "\n";
    }
    out << "output properties (--set NAME=VALUE):\n";
    for (const OutputPropertyGuide& property : OutputPropertyGuides()) {
        out << "  " << property.name << " (" << property.kind << ", default "
            << property.defaultValue << "): " << property.range << "\n";
    }
}

std::string ExtensionWarning(int32_t type, const std::string& fileName) {
    const auto& types = OutputTypeGuides();
    const auto entry = std::find_if(types.begin(), types.end(),
                                    [type](const OutputTypeGuide& t) { return t.type == type; });
    if (entry == types.end()) {
        return {};
    }
    const std::string extension = Lower(std::filesystem::path(fileName).extension().string());
    if (std::find(entry->extensions.begin(), entry->extensions.end(), extension) !=
        entry->extensions.end()) {
        return {};
    }
    return fileName + " does not end in " + entry->extensions.front() + ": output type " +
           std::to_string(type) + " writes " + entry->name;
}

}  // namespace vortrel

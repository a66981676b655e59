// The info command: what the control's GetMediaInfo reports about a file, for people (with
// units) or as one JSON object.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "Commands.h"
#include "ScriptValue.h"
#include "base/Utf8.h"
#include "control/CTimelineControl.h"
#include "mediafile/MediaFile.h"
#include "platform/linux/LinuxPlatform.h"

namespace vortrel {

namespace {

// One fact with the unit the control reports it in; no unit for counts and names.
struct Fact {
    const char* name;
    std::variant<int32_t, float, std::string> value;
    const char* unit = "";
};

std::string Plain(const OutString& text) {
    return text ? ToUtf8(*text) : std::string();
}

std::vector<Fact> ReadFacts(const std::string& file) {
    std::unique_ptr<CTimelineControl> control = CreateLinuxControl();
    float duration = 0.0f;
    float frameRate = 0.0f;
    int32_t width = 0;
    int32_t height = 0;
    int32_t videoBitRate = 0;
    int32_t audioBitRate = 0;
    int32_t audioSampleRate = 0;
    int32_t audioChannels = 0;
    int32_t videoStreams = 0;
    int32_t audioStreams = 0;
    OutString container;
    OutString videoFormat;
    OutString audioFormat;
    control->GetMediaInfo(FromUtf8(file).c_str(), &duration, &width, &height, &frameRate,
                          &videoBitRate, &audioBitRate, &audioSampleRate, &audioChannels,
                          &videoStreams, &audioStreams, &container, &videoFormat, &audioFormat);
    return {{"duration", duration, "s"},
            {"width", width, "px"},
            {"height", height, "px"},
            {"frameRate", frameRate, "fps"},
            {"videoBitRate", videoBitRate, "kbit/s"},
            {"audioBitRate", audioBitRate, "kbit/s"},
            {"audioSampleRate", audioSampleRate, "kHz"},
            {"audioChannels", audioChannels},
            {"videoStreams", videoStreams},
            {"audioStreams", audioStreams},
            {"container", Plain(container)},
            {"videoFormat", Plain(videoFormat)},
            {"audioFormat", Plain(audioFormat)}};
}

// A JSON string: quotes, backslashes and control characters escaped, UTF-8 kept.
std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

struct JsonValue {
    std::string operator()(int32_t number) const { return std::to_string(number); }
    // JSON has no infinities or NaN.
    std::string operator()(float number) const {
        return std::isfinite(number) ? script::FormatFloat(number) : "null";
    }
    std::string operator()(const std::string& text) const { return JsonString(text); }
};

struct PlainValue {
    std::string operator()(int32_t number) const { return std::to_string(number); }
    std::string operator()(float number) const { return script::FormatFloat(number); }
    std::string operator()(const std::string& text) const { return text; }
};

void PrintJson(const std::vector<Fact>& facts, std::ostream& out) {
    out << "{";
    for (size_t i = 0; i < facts.size(); ++i) {
        out << (i == 0 ? "\n  " : ",\n  ") << JsonString(facts[i].name) << ": "
            << std::visit(JsonValue{}, facts[i].value);
    }
    out << "\n}\n";
}

void PrintLines(const std::vector<Fact>& facts, std::ostream& out) {
    for (const Fact& fact : facts) {
        out << fact.name << ": " << std::visit(PlainValue{}, fact.value);
        if (*fact.unit != '\0') {
            out << " " << fact.unit;
        }
        out << "\n";
    }
}

}  // namespace

int RunInfoCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(file), error)) {
        err << "vortrel: no such file: " << file << "\n";
        return kExitFailure;
    }
    if (std::filesystem::is_regular_file(file, error) && !std::ifstream(file).is_open()) {
        err << "vortrel: cannot read " << file << "\n";
        return kExitFailure;
    }
    // The control reports zeros for anything it cannot read; the tool says so instead.
    if (MediaFile probe; !probe.open(FromUtf8(file).c_str())) {
        err << "vortrel: " << file << " is not a media file\n";
        return kExitFailure;
    }
    const std::vector<Fact> facts = ReadFacts(file);
    json ? PrintJson(facts, out) : PrintLines(facts, out);
    return kExitOk;
}

}  // namespace vortrel

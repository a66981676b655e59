// Fuzz target of media probing: the input is a media file, read by the media-probing
// component (open, every getter, close) and by the FFmpeg media detector (streams, lengths,
// picture sizes and a few poster frames). Each read has a deadline of its own, so every run
// ends; a crash, undefined behaviour, a leak or an answer out of its contract is a finding.
extern "C" {
#include <libavutil/log.h>
}

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "base/Utf8.h"
#include "mediafile/MediaFile.h"
#include "platform/av/AvMediaDetector.h"

namespace {

using namespace vortrel;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "media probing: %s\n", what);
        std::abort();
    }
}

// A name getter with a buffer of exactly the capacity it is told, so a write past it is seen.
template <typename Getter>
void ReadName(Getter getter, int capacity) {
    std::vector<wchar_t> buffer(static_cast<size_t>(capacity), L'\x7f');
    const int written = getter(capacity == 0 ? nullptr : buffer.data(), capacity);
    Require(written >= 0 && (capacity == 0 || written < capacity), "a name longer than its buffer");
    if (capacity > 0) {
        Require(buffer[static_cast<size_t>(written)] == L'\0', "a name without its terminator");
        Require(std::wcslen(buffer.data()) == static_cast<size_t>(written),
                "a name whose length is not the count given");
    }
}

void ProbeMediaFile(const std::wstring& path) {
    MediaFile file;
    if (file.open(path.c_str())) {
        const double duration = file.getDuration();
        Require(!std::isnan(duration), "a length that is not a number");
        (void)file.getWidth();
        (void)file.getHeight();
        (void)file.getFrameRate();
        (void)file.getVideoBitRate();
        (void)file.getAudioBitRate();
        (void)file.getAudioSampleRate();
        (void)file.getAudioChannel();
        const int videos = file.getContainerVideoStreamCount();
        const int audios = file.getContainerAudioStreamCount();
        Require(videos >= 0 && audios >= 0, "a negative stream count");
        for (int capacity : {0, 1, 3, 64}) {
            ReadName([&](wchar_t* b, int c) { return file.getContainer(b, c); }, capacity);
        }
        for (int stream = -1; stream <= videos; ++stream) {
            ReadName(
                [&](wchar_t* b, int c) { return file.getContainerVideoStreamName(stream, b, c); },
                stream == 0 ? 2 : 32);
        }
        for (int stream = -1; stream <= audios; ++stream) {
            ReadName(
                [&](wchar_t* b, int c) { return file.getContainerAudioStreamName(stream, b, c); },
                stream == 0 ? 2 : 32);
        }
    }
    file.close();
    Require(
        file.getDuration() == 0 && file.getWidth() == 0 && file.getContainerVideoStreamCount() == 0,
        "answers after close");
}

void ProbeMediaDetector(const std::wstring& path) {
    AvMediaDetector detector;
    if (!detector.SetFilename(path)) {
        return;
    }
    int32_t count = 0;
    // A file of subtitles or data alone opens with no streams to show.
    Require(detector.GetOutputStreams(count) && count >= 0, "a stream count below zero");
    double longest = 0;
    for (int32_t index = 0; index < count && index < 8; ++index) {
        if (!detector.SetCurrentStream(index)) {
            continue;
        }
        MediaStreamType type{};
        (void)detector.GetStreamType(type);
        double seconds = 0;
        if (detector.GetStreamLength(seconds)) {
            Require(std::isfinite(seconds) && seconds >= 0, "a length out of range");
            longest = std::max(longest, seconds);
        }
        int32_t width = 0;
        int32_t height = 0;
        if (detector.GetVideoFormat(width, height)) {
            Require(width > 0 && height > 0, "a picture without size");
        }
    }
    (void)detector.SetCurrentStream(count);  // past the end: refused, nothing else
    std::vector<uint8_t> bitmap;
    for (double seconds : {0.0, longest / 2, 0.0, longest}) {
        const int32_t width = 16;
        const int32_t height = 12;
        if (detector.GetBitmapBits(seconds, width, height, bitmap)) {
            const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
            Require(bitmap.size() == kBitmapInfoHeaderSize + stride * height,
                    "a bitmap of the wrong size");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::FuzzInput folder("media");
    const std::wstring path = FromPath(folder.Write("input.dat", data, size));
    ProbeMediaFile(path);
    ProbeMediaDetector(path);
    return 0;
}

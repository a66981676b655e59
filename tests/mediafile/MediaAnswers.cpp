// vortrel-media-answers FILE...: prints every answer the media probing gives about each file
// (MediaFile's properties, the media detector's streams, lengths, formats and frames, the
// audio decoder's samples), frames and samples as checksums, one file after another. Built
// for Linux and for Windows, the two outputs on the same files must be the same, but for the
// samples of lossy audio: FFmpeg's float decoders and resampler round differently with and
// without its SIMD code, so those are also summed up by peak and RMS, to be compared loosely.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "mediafile/MediaFile.h"
#include "platform/av/AvAudioDecoder.h"
#include "platform/av/AvMediaDetector.h"

namespace {

using vortrel::ToUtf8;

// FNV-1a, 64 bits.
uint64_t Checksum(const void* data, size_t size) {
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211ull;
    }
    return hash;
}

std::string Name(const vortrel::MediaFile& file, int which) {
    wchar_t text[64] = {};
    which == 0   ? file.getContainer(text, 64)
    : which == 1 ? file.getContainerVideoStreamName(0, text, 64)
                 : file.getContainerAudioStreamName(0, text, 64);
    return ToUtf8(text);
}

void PrintMediaFile(const std::wstring& path) {
    vortrel::MediaFile file;
    if (!file.open(path.c_str())) {
        std::printf("  mediafile: refused\n");
        return;
    }
    std::printf(
        "  mediafile: %.6f ms, %dx%d, %.6f fps, video %d bit/s, audio %d bit/s, %d Hz,"
        " %d channels, %d video and %d audio streams, %s/%s/%s\n",
        file.getDuration(), file.getWidth(), file.getHeight(), file.getFrameRate(),
        file.getVideoBitRate(), file.getAudioBitRate(), file.getAudioSampleRate(),
        file.getAudioChannel(), file.getContainerVideoStreamCount(),
        file.getContainerAudioStreamCount(), Name(file, 0).c_str(), Name(file, 1).c_str(),
        Name(file, 2).c_str());
}

void PrintDetector(const std::wstring& path) {
    vortrel::AvMediaDetector detector;
    int32_t streams = 0;
    if (!detector.SetFilename(path) || !detector.GetOutputStreams(streams)) {
        std::printf("  detector: refused\n");
        return;
    }
    std::printf("  detector: %d streams\n", streams);
    double videoLength = -1.0;
    for (int32_t index = 0; index < streams; ++index) {
        vortrel::MediaStreamType type = vortrel::MediaStreamType::Other;
        double seconds = -1.0;
        int32_t width = 0, height = 0;
        detector.SetCurrentStream(index);
        detector.GetStreamType(type);
        const bool length = detector.GetStreamLength(seconds);
        const bool format = detector.GetVideoFormat(width, height);
        std::printf("  stream %d: type %d, length %s%.6f s, format %s%dx%d\n", index,
                    static_cast<int>(type), length ? "" : "(none) ", seconds,
                    format ? "" : "(none) ", width, height);
        if (type == vortrel::MediaStreamType::Video && length) {
            videoLength = seconds;
        }
    }
    if (videoLength < 0.0) {
        return;
    }
    for (double at : {0.0, videoLength / 2, videoLength * 0.9, videoLength}) {
        std::vector<uint8_t> bitmap;
        if (detector.GetBitmapBits(at, 32, 24, bitmap)) {
            std::printf("  frame at %.3f s: %zu bytes, checksum %016llx\n", at, bitmap.size(),
                        static_cast<unsigned long long>(Checksum(bitmap.data(), bitmap.size())));
        } else {
            std::printf("  frame at %.3f s: none\n", at);
        }
    }
}

void PrintAudio(const std::wstring& path) {
    vortrel::AvAudioDecoder decoder;
    auto result = decoder.Open(path);
    if (result != vortrel::IAudioDecoder::Result::Ok) {
        std::printf("  audio: open %d\n", static_cast<int>(result));
        return;
    }
    std::vector<int16_t> samples;
    result = decoder.Decode(0, 600000000, [&](const int16_t* data, size_t count) {
        samples.insert(samples.end(), data, data + count);
    });
    double squares = 0.0;
    int peak = 0;
    for (int16_t sample : samples) {
        squares += static_cast<double>(sample) * sample;
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    const double rms = samples.empty() ? 0.0 : std::sqrt(squares / samples.size());
    std::printf("  audio: decode %d, %zu samples, peak %d, rms %.3f, checksum %016llx\n",
                static_cast<int>(result), samples.size(), peak, rms,
                static_cast<unsigned long long>(
                    Checksum(samples.data(), samples.size() * sizeof(int16_t))));
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring path = vortrel::FromUtf8(argv[i]);
        std::printf("%s\n", argv[i]);
        PrintMediaFile(path);
        PrintDetector(path);
        PrintAudio(path);
    }
    return 0;
}

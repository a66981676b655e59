#include "editing/WaveformExtractor.h"

#include <memory>

#include "editing/AudioGrabberCallback.h"
#include "editing/DesError.h"
#include "ports/IAudioDecoder.h"

namespace vortrel {

namespace {

// Media times are in 100-ns units.
constexpr int64_t kUnitsPerMs = 10000;

}  // namespace

void ExtractWaveform(const std::wstring& source, std::vector<double>& levels, int32_t mediaStartMs,
                     int32_t mediaStopMs) {
    AudioGrabberCallback callback(&levels);
    const std::unique_ptr<IAudioDecoder> decoder = AudioDecoderFactory::Create();
    if (!decoder) {
        throw DesError("Could not create filter graph");
    }
    switch (decoder->Open(source)) {
        case IAudioDecoder::Result::Ok:
            break;
        case IAudioDecoder::Result::NoSource:
            throw DesError("Could not add source filter");
        default:
            // The file is media, but nothing of it decodes to the samples the levels need.
            throw DesError("Could not connect: source <-> grabber");
    }
    const IAudioDecoder::Result decoded = decoder->Decode(
        int64_t{mediaStartMs} * kUnitsPerMs, int64_t{mediaStopMs} * kUnitsPerMs,
        [&callback](const int16_t* samples, size_t count) { callback.SampleCB(samples, count); });
    if (decoded != IAudioDecoder::Result::Ok) {
        throw DesError("Could not run filter graph");
    }
    callback.NormalizeLevels();
}

}  // namespace vortrel

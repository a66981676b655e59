#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/PortFactory.h"

namespace vortrel {

// The platform's audio decoding for waveforms: opens a media file and delivers a span of its
// first audio stream as 16-bit stereo PCM at 22 050 Hz, interleaved, buffer by buffer. Each
// failure point has its own answer, so that the extraction can name it.
class IAudioDecoder {
  public:
    enum class Result {
        Ok,
        NoSource,      // the file cannot be opened as media
        NoAudio,       // it has no audio stream that decodes to the requested format
        DecodeFailed,  // decoding stopped on an error before the end of the span
    };

    virtual ~IAudioDecoder() = default;

    /// Opens a file and finds its first decodable audio stream.
    virtual Result Open(const std::wstring& path) = 0;
    /// Decodes [start, stop) in 100-ns units (as far as the stream reaches) and hands each
    /// buffer of interleaved samples to the consumer, in order, on the calling thread.
    virtual Result Decode(
        int64_t start, int64_t stop,
        const std::function<void(const int16_t* samples, size_t count)>& consumer) = 0;
};

/// The maker of the platform's audio decoders.
using AudioDecoderFactory = PortFactory<IAudioDecoder>;

}  // namespace vortrel

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ports/IAudioDecoder.h"

namespace vortrel {

// The audio decoder of the Linux back end, on FFmpeg's libraries: decodes the first audio
// stream of a local file and resamples it to interleaved 16-bit stereo at 22 050 Hz. A span
// starts on its exact sample: decoding begins a little before it and drops what precedes it.
class AvAudioDecoder final : public IAudioDecoder {
  public:
    AvAudioDecoder();
    ~AvAudioDecoder() override;
    AvAudioDecoder(const AvAudioDecoder&) = delete;
    AvAudioDecoder& operator=(const AvAudioDecoder&) = delete;

    /// Opens a local regular file and the decoder of its first decodable audio stream.
    Result Open(const std::wstring& path) override;
    /// Decodes [start, stop) in 100-ns units, one buffer per decoded frame, in order.
    Result Decode(
        int64_t start, int64_t stop,
        const std::function<void(const int16_t* samples, size_t count)>& consumer) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vortrel

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ports/IAudioDecoder.h"
#include "support/ScopedPort.h"

namespace vortrel::testing {

// What the fake platform answers, and what it was asked. Shared by every decoder that the
// factory makes, so a test can read it after the extraction has released the decoder.
struct AudioDecoderScript {
    bool createSucceeds = true;
    IAudioDecoder::Result openResult = IAudioDecoder::Result::Ok;
    // The buffers delivered in order, then the answer of Decode.
    std::vector<std::vector<int16_t>> buffers;
    IAudioDecoder::Result decodeResult = IAudioDecoder::Result::Ok;

    std::vector<std::wstring> openedPaths;
    std::vector<std::pair<int64_t, int64_t>> spans;
    int created = 0;
    int destroyed = 0;
};

// An audio decoder that answers from a script.
class FakeAudioDecoder : public IAudioDecoder {
  public:
    explicit FakeAudioDecoder(std::shared_ptr<AudioDecoderScript> script)
        : script_(std::move(script)) {
        ++script_->created;
    }
    ~FakeAudioDecoder() override { ++script_->destroyed; }

    Result Open(const std::wstring& path) override {
        script_->openedPaths.push_back(path);
        return script_->openResult;
    }
    Result Decode(
        int64_t start, int64_t stop,
        const std::function<void(const int16_t* samples, size_t count)>& consumer) override {
        script_->spans.emplace_back(start, stop);
        for (const std::vector<int16_t>& buffer : script_->buffers) {
            consumer(buffer.data(), buffer.size());
        }
        return script_->decodeResult;
    }

  private:
    std::shared_ptr<AudioDecoderScript> script_;
};

using ScopedFakeAudioDecoder = ScopedFake<IAudioDecoder, FakeAudioDecoder, AudioDecoderScript>;

}  // namespace vortrel::testing

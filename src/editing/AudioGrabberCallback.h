#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vortrel {

// Reduces the decoded samples of a waveform extraction to pairs of (highest, lowest) values:
// one pair per millisecond of 16-bit stereo audio at 22 050 Hz, plus one for the first value
// of every buffer. It also keeps the loudest magnitude seen, by which the levels are
// normalised at the end. It lives on the stack of one extraction.
class AudioGrabberCallback {
  public:
    /// The format every decoder delivers: interleaved 16-bit values.
    static constexpr int32_t kChannels = 2;
    static constexpr int32_t kSampleRate = 22050;

    /// Starts a reduction that appends its pairs to levels.
    explicit AudioGrabberCallback(std::vector<double>* target) : levels(target) {}

    /// Reduces one buffer of interleaved values; an empty buffer changes nothing.
    void SampleCB(const int16_t* samples, size_t count);
    /// Divides every level by the loudest magnitude seen, unless all was silence.
    void NormalizeLevels();

    std::vector<double>* levels;
    /// Values per pair: one millisecond of both channels (integer division, as the
    /// platform's own rate arithmetic does).
    const int32_t samplesPerLevel = kChannels * kSampleRate / 1000;
    /// The largest magnitude of any value seen so far (32 768 for a value of -32 768).
    int32_t peak = 0;
    /// The position in the current buffer; back at 0 between buffers.
    int32_t sampleIndex = 0;
};

}  // namespace vortrel

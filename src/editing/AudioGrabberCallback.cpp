#include "editing/AudioGrabberCallback.h"

#include <algorithm>
#include <cmath>

namespace vortrel {

void AudioGrabberCallback::SampleCB(const int16_t* samples, size_t count) {
    if (count == 0 || samples == nullptr) {
        return;
    }
    const auto group = static_cast<size_t>(samplesPerLevel);
    // The index only ever comes back as a remainder, so it is never negative; the guard keeps
    // a damaged state from reading before the buffer.
    size_t index = sampleIndex > 0 ? static_cast<size_t>(sampleIndex) : 0;
    // Low starts at -0.0 and only moves on a strictly smaller value, so silence keeps the
    // pair (0, -0) the levels have always shown.
    float high = 0.0f;
    float low = -0.0f;
    float loudest = static_cast<float>(peak);
    // A pair closes at every index that is a multiple of the group size: the first value of
    // a buffer alone, then each following full group. The next closing index is tracked
    // instead of taking a remainder per value.
    size_t closing = (index + group - 1) / group * group;
    while (index < count) {
        const size_t end = std::min(closing + 1, count);
        for (; index < end; ++index) {
            const auto value = static_cast<float>(samples[index]);
            loudest = std::max(loudest, std::fabs(value));
            if (value > high) {
                high = value;
            }
            if (value < low) {
                low = value;
            }
        }
        if (index == closing + 1) {
            levels->push_back(high);
            levels->push_back(low);
            high = 0.0f;
            low = -0.0f;
            closing += group;
        }
        // Values after the last full group of the buffer make no pair: the next buffer
        // starts its own.
    }
    peak = static_cast<int32_t>(loudest);
    sampleIndex = static_cast<int32_t>(index % count);
}

void AudioGrabberCallback::NormalizeLevels() {
    if (peak == 0) {
        return;
    }
    const auto divisor = static_cast<double>(peak);
    for (double& level : *levels) {
        level /= divisor;  // a division, so that the loudest value becomes exactly 1
    }
}

}  // namespace vortrel

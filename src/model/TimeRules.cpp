#include "model/TimeRules.h"

#include <cmath>
#include <limits>

namespace vortrel {

namespace {

// Added before truncation so that a value a hair below a whole pixel or millisecond,
// the result of float arithmetic, still lands on it.
constexpr double kTruncationBias = 0.0005;

}  // namespace

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double truncated = std::trunc(value);
    if (truncated >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (truncated <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(truncated);
}

int32_t ClampToInt32(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

int32_t SecondsToMilliseconds(float seconds) {
    return TruncateToInt32(static_cast<double>(seconds) * 1000.0);
}

float MillisecondsToSeconds(int32_t milliseconds) {
    return static_cast<float>(milliseconds / 1000.0);
}

int64_t MillisecondsToReferenceTime(int32_t milliseconds) {
    return static_cast<int64_t>(milliseconds) * kReferenceTimePerMillisecond;
}

int32_t ReferenceTimeToMilliseconds(int64_t referenceTime) {
    return ClampToInt32(referenceTime / kReferenceTimePerMillisecond);
}

float PixelsPerMillisecond(float scale) {
    return scale * kPixelsPerMillisecond;
}

bool IsUsableScale(float scale) {
    const float k = PixelsPerMillisecond(scale);
    return std::isfinite(k) && k > 0.0f;
}

int32_t MillisecondsToPixels(int32_t milliseconds, float scale) {
    const double k = PixelsPerMillisecond(scale);
    return TruncateToInt32(k * milliseconds + kTruncationBias);
}

int32_t PixelsToMilliseconds(int32_t x, float scale) {
    const double k = PixelsPerMillisecond(scale);
    return TruncateToInt32(x / k + kTruncationBias);
}

}  // namespace vortrel

#pragma once

#include <cstdint>

// The fixed conversions between the four units of time: float seconds at the control's
// interface, int32 milliseconds in the model, int64 100-ns units towards the editing engine
// and int32 pixels on the screen. Every conversion in the system goes through these.
namespace vortrel {

/// Pixels per millisecond at scale 1.0: one second is 250 pixels.
inline constexpr float kPixelsPerMillisecond = 0.25f;

/// Number of 100-ns units in one millisecond.
inline constexpr int64_t kReferenceTimePerMillisecond = 10000;

/// Truncates toward zero into int32; NaN gives 0 and values beyond the range saturate.
int32_t TruncateToInt32(double value);

/// Narrows a 64-bit value into int32, saturating at the ends of the range.
int32_t ClampToInt32(int64_t value);

/// Seconds to milliseconds: truncated, never rounded (0.7 s becomes 699 ms).
int32_t SecondsToMilliseconds(float seconds);

/// Milliseconds to seconds: the nearest float to ms / 1000.
float MillisecondsToSeconds(int32_t milliseconds);

/// Milliseconds to 100-ns reference time.
int64_t MillisecondsToReferenceTime(int32_t milliseconds);

/// 100-ns reference time to milliseconds, truncated toward zero.
int32_t ReferenceTimeToMilliseconds(int64_t referenceTime);

/// Pixels per millisecond at a zoom factor, rounded to a float as the views use it.
float PixelsPerMillisecond(float scale);

/// True when the zoom factor maps time onto pixels at all (finite and above zero).
bool IsUsableScale(float scale);

/// Milliseconds to the pixel position at a zoom factor.
int32_t MillisecondsToPixels(int32_t milliseconds, float scale);

/// Pixel position to milliseconds at a zoom factor.
int32_t PixelsToMilliseconds(int32_t x, float scale);

}  // namespace vortrel

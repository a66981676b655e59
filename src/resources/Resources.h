#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vortrel {

// The pictures built into the control, by resource id: the track title images (PNG, 32-bit
// RGBA) and the toolbox bitmap (a 32-bit bitmap file). Their bytes are those of the files of
// resources/, compiled into the program, so every build finds the same pictures by the same ids.

/// The toolbox bitmap: 24 x 24, 32 bits per pixel.
inline constexpr int kToolboxBitmapId = 106;
/// The title image of the video tracks: a film strip, 50 x 50.
inline constexpr int kVideoTrackImageId = 204;
/// The title image of the transition track: a film frame with a cut line, 48 x 48.
inline constexpr int kTransitionTrackImageId = 205;
/// The title image of the audio tracks: a musical note, 48 x 48.
inline constexpr int kAudioTrackImageId = 206;
/// The title image of the effect track: a magic wand, 48 x 48.
inline constexpr int kEffectTrackImageId = 207;
/// The title image of the image track: a landscape picture, 48 x 48.
inline constexpr int kImageTrackImageId = 208;
/// The title image of the text track: a speech bubble with a pencil, 48 x 48.
inline constexpr int kTextTrackImageId = 209;

/// The title image of each track by track index: transition, video 1, video 2, image,
/// effect, audio 1, audio 2, text.
inline constexpr std::array<int, 8> kTrackImageIds = {
    kTransitionTrackImageId, kVideoTrackImageId, kVideoTrackImageId, kImageTrackImageId,
    kEffectTrackImageId,     kAudioTrackImageId, kAudioTrackImageId, kTextTrackImageId};

/// The bytes of the built-in resource with this id (the whole file); none for an unknown id.
std::optional<std::span<const uint8_t>> ResourceBytes(int id);

}  // namespace vortrel

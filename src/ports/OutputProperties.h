#pragma once

#include <cstdint>

// The output settings of the control, one line each: the type the host sees, the name, the
// dispatch id, the default set when the control's window is created, and how the value is
// stored (Plain as given; Short keeps the low 16 bits and reads them back sign-extended;
// Bool keeps a 16-bit flag sign-extended to 32 bits and reads back its low 16 bits; Double
// keeps a float as a double). Every list of the settings is made from this one.
#define VORTREL_OUTPUT_PROPERTIES(X)                      \
    X(int32_t, AVIVideoCompressor, 0x37, -1, Plain)       \
    X(int32_t, AVIAudioCompressor, 0x38, 0, Plain)        \
    X(int32_t, OutputType, 0x39, 0, Plain)                \
    X(int32_t, MPEGAspectRatio, 0x3a, 0, Plain)           \
    X(int16_t, MPEGAC3, 0x3b, 1, Bool)                    \
    X(int32_t, MPEGAudioChannels, 0x3c, 2, Short)         \
    X(int32_t, MPEGAudioSampleRate, 0x3d, 44100, Plain)   \
    X(int32_t, MPEGHeight, 0x3e, 240, Short)              \
    X(int32_t, MPEGWidth, 0x3f, 320, Short)               \
    X(int32_t, MPEGVideoBitrate, 0x40, 4600000, Plain)    \
    X(int32_t, MPEGAudioBitrate, 0x41, 224000, Plain)     \
    X(float, MPEGFrameRate, 0x42, 25.0f, Plain)           \
    X(int32_t, MPEGBufferSize, 0x43, 3600000, Plain)      \
    X(int32_t, MPEGVideoMaxBitrate, 0x44, 4600000, Plain) \
    X(int32_t, MPEGVideoMinBitrate, 0x45, 4600000, Plain) \
    X(int32_t, AVCHDAspectRatio, 0x46, 0, Short)          \
    X(int32_t, AVCHDAudioBitrate, 0x47, 256, Plain)       \
    X(int32_t, AVCHDAudioChannels, 0x48, 2, Short)        \
    X(int32_t, AVCHDAudioSampleRate, 0x49, 44100, Plain)  \
    X(int32_t, AVCHDHeight, 0x4a, 480, Short)             \
    X(int32_t, AVCHDVideoBitrate, 0x4b, 768, Plain)       \
    X(float, AVCHDVideoFrameRate, 0x4c, 30.0f, Plain)     \
    X(int32_t, AVCHDWidth, 0x4d, 720, Short)              \
    X(int32_t, FLVAudioBitrate, 0x4e, 128000, Plain)      \
    X(int32_t, FLVAudioChannels, 0x4f, 2, Short)          \
    X(int32_t, FLVAudioSampleRate, 0x50, 44100, Plain)    \
    X(float, FLVFrameRate, 0x51, 25.0f, Plain)            \
    X(int32_t, FLVHeight, 0x52, 240, Plain)               \
    X(int32_t, FLVVideoBitrate, 0x53, 512000, Plain)      \
    X(int32_t, FLVWidth, 0x54, 320, Plain)                \
    X(int32_t, MP4AspectRatio, 0x5f, 0, Plain)            \
    X(int32_t, MP4AudioBitrate, 0x60, 96000, Plain)       \
    X(int32_t, MP4AudioChannels, 0x61, 2, Short)          \
    X(int32_t, MP4AudioSampleRate, 0x62, 44100, Plain)    \
    X(float, MP4Framerate, 0x63, 25.0f, Double)           \
    X(int32_t, MP4Height, 0x64, 480, Plain)               \
    X(int32_t, MP4VideoBitrate, 0x65, 1000000, Plain)     \
    X(int32_t, MP4Width, 0x66, 720, Plain)                \
    X(int32_t, MP4H264Preset, 0x67, 2, Plain)             \
    X(int32_t, WMVProfile, 0x6c, 0, Plain)

namespace vortrel {

/// How an output setting keeps its value (see the list above).
enum class PropertyStorage { Plain, Short, Bool, Double };

/// The type a setting is kept in, for a type at the interface and a kind of storage.
template <typename T, PropertyStorage S>
struct StoredTypeOf {
    using type = T;
};
template <>
struct StoredTypeOf<int32_t, PropertyStorage::Short> {
    using type = int16_t;
};
template <>
struct StoredTypeOf<int16_t, PropertyStorage::Bool> {
    using type = int32_t;
};
template <>
struct StoredTypeOf<float, PropertyStorage::Double> {
    using type = double;
};

// The output settings as the control keeps them. Conversions between the interface type and
// the stored type do the work: int32 → int16 keeps the low bits, int16 → int32
// sign-extends, int32 → int16 on reading a flag keeps the low 16 bits.
struct OutputSettings {
#define VORTREL_STORED_FIELD(Type, Name, DispId, Default, Storage) \
    StoredTypeOf<Type, PropertyStorage::Storage>::type Name =      \
        static_cast<StoredTypeOf<Type, PropertyStorage::Storage>::type>(Default);
    VORTREL_OUTPUT_PROPERTIES(VORTREL_STORED_FIELD)
#undef VORTREL_STORED_FIELD
};

}  // namespace vortrel

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ports/IConverter.h"

namespace Mlt {
class Profile;
}

namespace vortrel {

class EditTimeline;
class MltCatalog;

/// A frame rate as a fraction.
struct FrameRate {
    int num = 25;
    int den = 1;
};

/// What the timeline itself gives an output that takes its picture and sound from it.
struct TimelineFormat {
    int width = 320;
    int height = 240;
    FrameRate rate;
    int sampleRate = 44100;
    int channels = 2;
};

// One output file as FFmpeg writes it: the muxer, each stream's encoder with its options,
// and the picture, rate and sound that the graph renders for it. An empty encoder name
// leaves that stream out.
struct MltOutputPlan {
    using Options = std::vector<std::pair<std::string, std::string>>;

    std::string format;  // the libavformat muxer
    Options formatOptions;

    std::string videoEncoder;
    std::string pixelFormat;  // empty: the encoder's first
    Options videoOptions;
    int width = 0;
    int height = 0;
    FrameRate rate;
    int sampleAspectNum = 1;  // the shape of a pixel
    int sampleAspectDen = 1;

    std::string audioEncoder;
    std::string sampleFormat;  // empty: as the consumer picks it
    Options audioOptions;
    int sampleRate = 0;
    int channels = 0;

    /// The properties of MLT's avformat consumer that write this output: video options
    /// carry a "v" in front and audio options an "a", so each reaches only its own encoder.
    Options ConsumerProperties() const;
};

/// The output a conversion request asks for, with the timeline's own format where the
/// output type takes it (AVI); none when the request names nothing that can be written (an
/// output type out of range, an unknown Windows Media profile).
std::optional<MltOutputPlan> PlanOutput(const ConversionRequest& request,
                                        const TimelineFormat& timeline, const MltCatalog& catalog);

/// Checks that the output can be written before any file is made: sizes, rates and
/// channels in range, each encoder opening with its options exactly as the consumer will
/// open it, and the muxer taking the streams. On failure, gives the reason.
bool CheckOutput(const MltOutputPlan& plan, std::string& reason);

/// The frame rate closest to a rate given as a float: 29.97 is 30000/1001.
FrameRate FrameRateOf(double fps);

/// The picture and rate of the timeline's profile and the sound of its audio group.
TimelineFormat FormatOf(const EditTimeline& timeline, const Mlt::Profile& profile);

}  // namespace vortrel

#pragma once

#include <cstdint>
#include <memory>

#include "editing/EditNode.h"

namespace vortrel {

class DesTimeline;

// One group of the editing timeline: the video composition or the audio mix. The group node
// is made and added to the timeline when the wrapper is made, with the media type that the
// derived class describes, and taken out again when it is destroyed.
class DesGroup {
  public:
    DesGroup(const DesGroup&) = delete;
    DesGroup& operator=(const DesGroup&) = delete;

    // The virtual operations keep this order in every build.
    virtual ~DesGroup();
    /// Gives the group node the media type this group describes.
    virtual bool ApplyMediaType(EditNode& group) = 0;
    /// Sets a new picture size (and, for video, the output frame rate stored last).
    virtual bool SetResolution(EditNode& group, int32_t width, int32_t height) = 0;
    /// Stores the output frame rate for the next SetResolution.
    virtual bool SetFrameRate(float frameRate) = 0;

    /// The timeline the group belongs to.
    DesTimeline* GetTimeline() const { return timeline_; }
    /// The group node.
    const std::shared_ptr<EditNode>& GetGroupObject() const { return groupObject_; }

  protected:
    explicit DesGroup(DesTimeline* timeline) : timeline_(timeline) {}
    /// Makes the group node and adds it to the timeline; called by the derived constructors
    /// once their own fields are set, so that ApplyMediaType sees them.
    void MakeGroup();

  private:
    DesTimeline* timeline_;
    std::shared_ptr<EditNode> groupObject_;
};

// The video group: 32-bit pictures of a size at an output frame rate.
class DesVideoGroup : public DesGroup {
  public:
    DesVideoGroup(DesTimeline* timeline, int32_t width, int32_t height, float frameRate);
    bool ApplyMediaType(EditNode& group) override;
    bool SetResolution(EditNode& group, int32_t width, int32_t height) override;
    bool SetFrameRate(float frameRate) override;

    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }
    float GetFrameRate() const { return frameRate_; }

  private:
    int32_t width_;
    int32_t height_;
    float frameRate_;
};

// The audio group: 16-bit stereo PCM at a sample rate.
class DesAudioGroup : public DesGroup {
  public:
    DesAudioGroup(DesTimeline* timeline, int32_t sampleRate);
    bool ApplyMediaType(EditNode& group) override;
    bool SetResolution(EditNode& group, int32_t width, int32_t height) override;
    bool SetFrameRate(float frameRate) override;

    int32_t GetSampleRate() const { return sampleRate_; }

  private:
    int32_t sampleRate_;
};

/// The video media type of a picture size: 32 bits per pixel, rows padded to 4 bytes.
VideoMediaType MakeVideoMediaType(int32_t width, int32_t height);
/// The audio media type of a sample rate: 16-bit stereo PCM.
AudioMediaType MakeAudioMediaType(int32_t sampleRate);

}  // namespace vortrel

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/Guid.h"
#include "editing/EditFailures.h"

namespace vortrel {

class EditTimeline;

/// The kinds of node, by the major-type codes of the editing timeline.
enum class EditNodeType : int32_t {
    Track = 2,
    Source = 4,
    Transition = 8,
    Effect = 16,
    Group = 128,
};

/// The largest width or height of a picture the timeline accepts (8K as cinemas define it);
/// a frame of this size squared is 256 MiB, and every preview and render holds several.
inline constexpr int32_t kMaxPictureSide = 8192;

/// A group's video type: 32-bit ARGB pictures of a size, fixed-size uncompressed samples.
struct VideoMediaType {
    int32_t width = 0;
    int32_t height = 0;
    int16_t bitCount = 32;
    int64_t imageSize = 0;  // stride x |height|, the size of one sample

    bool operator==(const VideoMediaType&) const = default;
};

/// A group's audio type: 16-bit stereo PCM at a sample rate.
struct AudioMediaType {
    int32_t sampleRate = 0;
    int16_t channels = 2;
    int16_t bitsPerSample = 16;
    int16_t blockAlign = 4;
    int32_t averageBytesPerSecond = 0;

    bool operator==(const AudioMediaType&) const = default;
};

using EditMediaType = std::variant<std::monostate, VideoMediaType, AudioMediaType>;

// The name=value pairs that configure a transition's or effect's engine service, all set
// at time 0 and held until replaced.
class EditPropertySetter {
  public:
    struct Property {
        std::wstring name;
        std::wstring value;
        bool operator==(const Property&) const = default;
    };

    /// Adds a property; a name may be empty.
    void AddProp(std::wstring name, std::wstring value) {
        properties_.push_back({std::move(name), std::move(value)});
    }
    /// The properties in the order they were added.
    const std::vector<Property>& GetProperties() const { return properties_; }

  private:
    std::vector<Property> properties_;
};

// One object of the editing timeline: a group (video or audio), a track in a group, a source
// (a piece of a media file) on a track, a transition on a track, or an effect on a group or a
// source. Nodes form a tree under the timeline; RemoveAll takes a node and everything under
// it out of the tree. Every operation that the wrappers check reports failure as false, and
// any of them can be made to fail through the timeline's failure plan.
class EditNode {
  public:
    EditNode(EditNodeType type, std::shared_ptr<EditFailures> failures);
    EditNode(const EditNode&) = delete;
    EditNode& operator=(const EditNode&) = delete;
    ~EditNode();

    /// The kind of node.
    EditNodeType GetType() const { return type_; }
    /// The node this one is attached to, or none (a group, or a node out of the tree).
    EditNode* GetParent() const { return parent_; }
    /// True while the node hangs, through its ancestors, under a timeline.
    bool IsInTimeline() const;

    /// Asks the node for one of its interfaces (QueryGroup … QueryEffectable); false when
    /// the node has no such interface or the query fails.
    bool Query(EditOp interfaceQuery);

    // Structure.
    /// Appends a track to a group (priority -1) or inserts it at a priority.
    bool InsertTrack(std::shared_ptr<EditNode> track, int32_t priority);
    /// Adds a source to a track.
    bool AddSource(std::shared_ptr<EditNode> source);
    /// Adds a transition to a track.
    bool AddTransition(std::shared_ptr<EditNode> transition);
    /// Inserts an effect into a group's, track's or source's effects at a priority (0 first).
    bool InsertEffect(std::shared_ptr<EditNode> effect, int32_t priority);
    /// Takes the node and everything attached to it out of the timeline.
    void RemoveAll();

    /// A group's tracks, first to last.
    const std::vector<std::shared_ptr<EditNode>>& GetTracks() const { return tracks_; }
    /// A track's sources in the order they were added.
    const std::vector<std::shared_ptr<EditNode>>& GetSources() const { return sources_; }
    /// A track's transitions in the order they were added.
    const std::vector<std::shared_ptr<EditNode>>& GetTransitions() const { return transitions_; }
    /// Effects in priority order.
    const std::vector<std::shared_ptr<EditNode>>& GetEffects() const { return effects_; }

    // Times are 100-ns units.
    /// Sets the span on the timeline.
    bool SetStartStop(int64_t start, int64_t stop);
    int64_t GetStart() const { return start_; }
    int64_t GetStop() const { return stop_; }

    /// Sets a source's file.
    bool SetMediaName(std::wstring name);
    const std::wstring& GetMediaName() const { return mediaName_; }
    /// Sets the span of a source's file that it plays.
    bool SetMediaTimes(int64_t start, int64_t stop);
    int64_t GetMediaStart() const { return mediaStart_; }
    int64_t GetMediaStop() const { return mediaStop_; }

    /// Sets the class of a transition's or effect's service.
    bool SetSubObjectGUID(const Guid& classId);
    /// Gives the class set last; false when none was set or the call fails.
    bool GetSubObjectGUID(Guid& classId);

    /// Makes a transition blend its inputs the other way round.
    void SetSwapInputs(bool swap) { swapInputs_ = swap; }
    bool GetSwapInputs() const { return swapInputs_; }

    /// Leaves a track (and what is on it) out of playback and rendering.
    void SetMuted(bool muted) { muted_ = muted; }
    bool IsMuted() const { return muted_; }

    /// Replaces the properties of a transition or effect.
    bool SetPropertySetter(std::shared_ptr<EditPropertySetter> setter);
    const std::shared_ptr<EditPropertySetter>& GetPropertySetter() const { return properties_; }

    /// Sets a group's media type; a video size must be positive and sane.
    bool SetMediaType(const EditMediaType& type);
    const EditMediaType& GetMediaType() const { return mediaType_; }
    /// Sets a group's preview mode (frames may be dropped to keep up).
    void SetPreviewMode(bool preview) { previewMode_ = preview; }
    bool GetPreviewMode() const { return previewMode_; }
    /// Sets a group's output frame rate; false for a rate that is not finite and positive.
    bool SetOutputFPS(double fps);
    /// The output frame rate, none until one is set.
    std::optional<double> GetOutputFPS() const { return outputFps_; }

  private:
    friend class EditTimeline;

    bool Attach(bool accepted, std::vector<std::shared_ptr<EditNode>>& list,
                std::shared_ptr<EditNode> child, EditNodeType childType, EditOp op,
                int32_t priority);
    void Detach(const EditNode* child);
    bool Fails(EditOp op) { return failures_->Fails(op); }

    EditNodeType type_;
    std::shared_ptr<EditFailures> failures_;
    EditNode* parent_ = nullptr;
    EditTimeline* owner_ = nullptr;  // the timeline of a group that was added to one

    std::vector<std::shared_ptr<EditNode>> tracks_;
    std::vector<std::shared_ptr<EditNode>> sources_;
    std::vector<std::shared_ptr<EditNode>> transitions_;
    std::vector<std::shared_ptr<EditNode>> effects_;

    int64_t start_ = 0;
    int64_t stop_ = 0;
    std::wstring mediaName_;
    int64_t mediaStart_ = 0;
    int64_t mediaStop_ = 0;
    std::optional<Guid> subObject_;
    bool swapInputs_ = false;
    bool muted_ = false;
    std::shared_ptr<EditPropertySetter> properties_;
    EditMediaType mediaType_;
    bool previewMode_ = false;
    std::optional<double> outputFps_;
};

}  // namespace vortrel

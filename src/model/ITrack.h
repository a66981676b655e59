#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/ContentChangingEventHandler.h"
#include "model/ContentEvent.h"
#include "model/ContentKind.h"
#include "model/TrackEvent.h"
#include "model/VisibilityEvent.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

namespace vortrel {

class DesTrack;
class IContent;
class TimelineModel;

// A lane of contents. The track owns its contents in the order they were added (a content's
// position is its index at the control's interface), announces additions and removals, and
// keeps its contents from overlapping one another in time.
class ITrack {
  public:
    /// A track whose contents are placed on the given editing-timeline track (or on none).
    explicit ITrack(std::shared_ptr<DesTrack> desTrack);
    ITrack(const ITrack&) = delete;
    ITrack& operator=(const ITrack&) = delete;

    // The virtual operations keep this order in every build.
    virtual ~ITrack();
    /// Makes a new content of the track's kind, appends it (announcing it) and returns it.
    virtual IContent* CreateContent();
    /// True when the track holds contents of the given kind.
    virtual bool AcceptsKind(ContentKind kind) const;
    /// The editing-timeline track the contents are placed on, or none.
    virtual std::shared_ptr<DesTrack> GetDesTrack() const;
    /// Reads the track's element of a project: the one after `previous`, or the first under
    /// `timeline` when there is no previous one. Returns the element it consumed, or none
    /// when there is none or it is malformed.
    virtual const tinyxml2::XMLElement* ReadXml(const tinyxml2::XMLElement& timeline,
                                                const tinyxml2::XMLElement* previous,
                                                TimelineModel& model);
    /// Appends the track's element, with its contents, to a project's timeline element.
    virtual void WriteXml(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& timeline,
                          const TimelineModel& model) const;
    /// Makes a content of the track's kind with default fields, not on the track. A placed
    /// one gets its editing-timeline objects on the track's; an unplaced one has none and
    /// serves to check what a project holds before the model is touched.
    virtual std::shared_ptr<IContent> MakeContent(bool placed) const = 0;

    /// Appends a content, which the track then owns, and announces it.
    void AddContent(std::shared_ptr<IContent> content);
    /// Number of contents.
    int32_t GetContentCount() const { return static_cast<int32_t>(contents_.size()); }
    /// The content at a list position, or none when the position is out of range.
    IContent* GetContentAt(int32_t position) const;
    /// Announces and destroys the content at a list position; false when out of range.
    bool RemoveContentAt(int32_t position);
    /// Announces and destroys every content, first to last.
    void RemoveAllContents();

    /// Moves a content later in time until it overlaps no other content of the track.
    void KeepApart(IContent& content) const;

    /// Whether the track is shown (and heard).
    bool IsVisible() const { return visible_; }
    /// Stores the visible flag, mutes the editing-timeline track when hidden and announces
    /// the change through visibilityChanged.
    void SetVisible(bool visible);

    /// Notified after a content is appended.
    const std::shared_ptr<ContentEvent>& GetContentAdded() const { return contentAdded_; }
    /// Notified before a content is destroyed.
    const std::shared_ptr<ContentEvent>& GetContentRemoved() const { return contentRemoved_; }
    /// Notified when the track is shown or hidden.
    const std::shared_ptr<VisibilityEvent>& GetVisibilityChanged() const {
        return visibilityChanged_;
    }
    /// Notified when the image in the track's title changes.
    const std::shared_ptr<TrackEvent>& GetImageChanged() const { return imageChanged_; }

  private:
    void RemoveAt(size_t position);

    std::vector<std::shared_ptr<IContent>> contents_;
    std::shared_ptr<ContentEvent> contentAdded_;
    std::shared_ptr<ContentEvent> contentRemoved_;
    std::shared_ptr<VisibilityEvent> visibilityChanged_;
    std::shared_ptr<DesTrack> desTrack_;
    std::shared_ptr<TrackEvent> imageChanged_;
    bool visible_ = true;
    std::shared_ptr<ContentChangingEventHandler> changingHandler_;
};

}  // namespace vortrel

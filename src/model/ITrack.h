#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/ContentChangingEventHandler.h"
#include "model/ContentEvent.h"
#include "model/ContentKind.h"
#include "model/TrackEvent.h"
#include "model/VisibilityEvent.h"

namespace vortrel {

class DesTrack;
class IContent;

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
    /// Makes a new content of the track's kind, appends it and returns it.
    virtual IContent* CreateContent() = 0;
    /// True when the track holds contents of the given kind.
    virtual bool AcceptsKind(ContentKind kind) const;
    /// The editing-timeline track the contents are placed on, or none.
    virtual std::shared_ptr<DesTrack> GetDesTrack() const;

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
    /// Stores the visible flag; the model announces the change.
    void SetVisible(bool visible) { visible_ = visible; }

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

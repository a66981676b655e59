#pragma once

#include <cstdint>
#include <memory>

#include "model/IObserver.h"
#include "views/Canvas.h"
#include "views/ImageView.h"
#include "views/TrackViewEvent.h"

namespace vortrel {

class IContent;
class IContentView;
class ITrack;
class MouseDispatcher;
class TimeScale;

// One row of the track stack: the content views of one track of the model, kept in step with
// the track's additions, removals and visibility, over the row's background. A change of the
// track's title image is passed on through trackViewEvent, as the title column is not ours.
class ITrackView : public Canvas {
  public:
    /// The height of a row and the gap above it.
    static constexpr int32_t kRowHeight = 52;
    static constexpr int32_t kRowMarginTop = 2;

    ~ITrackView() override;

    /// The row background, then the content views.
    void Draw(IDrawContext& context) override;

    // The virtual operations of track views, after those of IPanel.
    /// Makes the view of a content of the track and adds it to the row.
    virtual void AddContentView(IContent* content);
    /// Removes the view of a content, if it has one, and announces the layout change.
    virtual void RemoveContentView(IContent* content);
    /// The view of the row's kind for a content; none when the content is not of that kind.
    virtual std::unique_ptr<IContentView> MakeContentView(IContent* content) = 0;

    /// Shows or collapses the row and its title image.
    void SetRowVisible(bool visible);

    /// The content view of a content, or none.
    IContentView* FindContentView(const IContent* content) const;

    /// The model track shown (not owned).
    ITrack* GetTrack() const { return track_; }
    /// The zoom the content views follow (not owned).
    TimeScale* GetTimeScale() const { return timeScale_; }
    /// The dispatcher the row's content views take presses from.
    MouseDispatcher& GetMouseDispatcher() const { return mouse_; }
    /// The row's picture in the title column (owned by the column), or none.
    ImageView* GetTitleImage() const { return titleImage_; }
    /// Remembers the row's picture in the title column.
    void SetTitleImage(ImageView* image) { titleImage_ = image; }
    /// Notified when the track's title image changed, with this row and the track's index.
    const std::shared_ptr<TrackViewEvent>& GetTrackViewEvent() const { return trackViewEvent_; }

  protected:
    /// A row of a track (not owned) whose content views follow a time scale (not owned) and
    /// take presses from a dispatcher that outlives them.
    ITrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse);

    /// Adds a view for every content the track already holds, in the track's order; the
    /// concrete rows call it once they are whole.
    void AddExistingContents();

  private:
    ITrack* track_;
    TimeScale* timeScale_;
    MouseDispatcher& mouse_;
    ImageView* titleImage_ = nullptr;
    std::shared_ptr<TrackViewEvent> trackViewEvent_;
    IEventHandler* contentAddedHandler_ = nullptr;
    IEventHandler* contentRemovedHandler_ = nullptr;
    IEventHandler* visibilityChangedHandler_ = nullptr;
    IEventHandler* imageChangedHandler_ = nullptr;
};

// A content was appended to the row's track: the row adds its view.
class ContentAddedHandler : public IEventHandler {
  public:
    explicit ContentAddedHandler(ITrackView* view) : view_(view) {}
    /// Runs AddContentView with the added content.
    void Handle(ISubject& subject) override;

  private:
    ITrackView* view_;
};

// A content is about to leave the row's track: the row removes its view.
class ContentRemovedHandler : public IEventHandler {
  public:
    explicit ContentRemovedHandler(ITrackView* view) : view_(view) {}
    /// Runs RemoveContentView with the removed content.
    void Handle(ISubject& subject) override;

  private:
    ITrackView* view_;
};

// The row's track was shown or hidden: the row and its title image follow.
class VisibilityChangedHandler : public IEventHandler {
  public:
    explicit VisibilityChangedHandler(ITrackView* view) : view_(view) {}
    /// Runs SetRowVisible with the track's flag.
    void Handle(ISubject& subject) override;

  private:
    ITrackView* view_;
};

// The image of the row's track changed: the row announces itself and the track's index.
class ImageChangedHandler : public IEventHandler {
  public:
    explicit ImageChangedHandler(ITrackView* view) : view_(view) {}
    /// Notifies the row's trackViewEvent.
    void Handle(ISubject& subject) override;

  private:
    ITrackView* view_;
};

// A row whose content views are all of one class, made for contents of one clip class.
template <typename Content, typename View>
class ContentTrackView : public ITrackView {
  public:
    /// Makes a View for a content that is a Content; none for any other.
    std::unique_ptr<IContentView> MakeContentView(IContent* content) override {
        auto* typed = dynamic_cast<Content*>(content);
        if (typed == nullptr) {
            return nullptr;
        }
        return std::make_unique<View>(typed, GetTimeScale(), GetMouseDispatcher());
    }

  protected:
    ContentTrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse)
        : ITrackView(track, timeScale, mouse) {
        AddExistingContents();
    }
};

}  // namespace vortrel

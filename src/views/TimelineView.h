#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "views/Canvas.h"
#include "views/IView.h"
#include "views/MouseDispatcher.h"
#include "views/StackPanel.h"

namespace vortrel {

class HorizontalScrollbarView;
class IContent;
class IContentView;
class ImageView;
class ITrackView;
class SeekbarView;
class TimeAxis;
class TimelineModel;
class ToolTipView;
class TrackTitlePanel;
class VerticalScrollbarView;

/// The encoded bytes of a title image (PNG or BMP), shared by whoever holds a reference.
using TrackImageBytes = std::shared_ptr<const std::vector<uint8_t>>;

/// Copies a picture file's bytes into a shared title image.
TrackImageBytes MakeTrackImageBytes(std::span<const uint8_t> bytes);

// The root of the view tree that fills the control's window: the ruler, one row per track of
// the model with its title image, the play head, the scroll bars and the tool tips. It makes
// a row for every track the model announces, keeps the selected clip, and turns the model's
// notifications (tracks, visibility, zoom, playback, title images) into layout.
class TimelineView : public IView {
  public:
    /// Builds the fixed skeleton and starts listening to the model, which must outlive it.
    explicit TimelineView(TimelineModel& model);
    TimelineView(const TimelineView&) = delete;
    TimelineView& operator=(const TimelineView&) = delete;
    ~TimelineView() override;

    /// Draws the background, the tree and the square between the two scroll bars.
    void Draw(IDrawContext& context) override;
    /// Lays the tree out again for the view's size.
    void OnLayoutChanged() override;
    /// Marks a content view selected (unmarking the previous one) and announces it.
    void OnSelectionChanged(IView* view) override;

    /// Appends the title image of the next track index; a null image is ignored.
    void AddTrackImage(TrackImageBytes image);
    /// Replaces the title image of a track and shows it in the title column; an index
    /// outside the images added or a null image is ignored.
    void SetTrackImage(int32_t index, TrackImageBytes image);
    /// Number of title images held.
    int32_t GetTrackImageCount() const { return static_cast<int32_t>(trackImages_.size()); }

    /// Puts a track's row under the ruler's stack and its title image in the title column.
    void AddTrackView(std::unique_ptr<ITrackView> trackView, int32_t index);
    /// Sizes the root to the view, lays the tree out and updates the scroll bars.
    void Relayout();
    /// Fits both scroll bars to what is visible of their areas, clamping their positions.
    void UpdateScrollbars();

    /// The selected content view, or none.
    IContentView* GetSelected() const { return selected_; }
    /// The content of the selected view, or none when nothing is selected.
    IContent* SelectedContent() const;

    /// The dispatcher of this control's mouse input: every view of the tree takes its presses,
    /// drags, releases and moves from it, and no other control's views do.
    MouseDispatcher& GetMouseDispatcher() { return mouse_; }
    /// The model the view shows.
    TimelineModel& GetModel() const { return *model_; }
    /// The top panel, sized to the view.
    Canvas& GetRootCanvas() { return rootCanvas_; }
    /// The vertically scrolled area: title column and track area.
    Canvas* GetTracksCanvas() const { return tracksCanvas_; }
    /// The horizontally scrolled area: ruler, rows, play head and mini tips.
    Canvas* GetTrackAreaCanvas() const { return trackAreaCanvas_; }
    /// The ruler followed by the rows.
    StackPanel* GetTrackStack() const { return trackStack_; }
    /// The column of title images.
    TrackTitlePanel* GetTitlePanel() const { return titlePanel_; }
    TimeAxis* GetTimeAxis() const { return timeAxis_; }
    HorizontalScrollbarView* GetHorizontalScrollbar() const { return horizontalScrollbar_; }
    VerticalScrollbarView* GetVerticalScrollbar() const { return verticalScrollbar_; }
    /// The hover tip, shown after the pointer rests.
    ToolTipView* GetToolTip() const { return toolTip_; }
    /// The tip over a dragged clip's start.
    ToolTipView* GetStartMiniTip() const { return startMiniTip_; }
    /// The tip over a dragged clip's stop.
    ToolTipView* GetStopMiniTip() const { return stopMiniTip_; }
    /// The play head.
    SeekbarView* GetSeekbar() const { return seekbar_; }

  private:
    template <typename TrackViewType>
    friend class TrackAddedHandler;
    friend class TrackVisibilityChangedHandler;
    friend class TimeScaleChangedHandler;
    friend class PlaybackChangedHandler;
    friend class SeekClickedHandler;
    friend class ToolTipDisplayingHandler;
    friend class MiniTipDisplayingHandler;
    friend class UnhandledMouseDownEventHandler;
    friend class TrackImageChangedHandler;

    void OnScaleChanged();
    void OnPlaybackPosition(int32_t position);
    void OnSeekClicked(int32_t time);
    void OnToolTipDisplaying(int32_t x, int32_t y, bool whileDragging);
    void OnMiniTipDisplaying(ToolTipView& tip);
    void OnUnhandledMouseDown();
    void OnTrackImageChanged(ITrackView* trackView, int32_t index);
    // The title image of a track index, as AddTrackView and a changed image make it.
    std::unique_ptr<ImageView> MakeTitleImage(const ITrackView& trackView, int32_t index) const;
    // Clears the selected view's mark and forgets it, without announcing anything.
    void Unselect();

    // Declared before the tree so that it is made before the views that subscribe to it and
    // goes after them.
    MouseDispatcher mouse_;
    // Declared first so that it goes last: the tree holds the views the handlers point at.
    Canvas rootCanvas_;
    Canvas* tracksCanvas_ = nullptr;
    Canvas* trackAreaCanvas_ = nullptr;
    StackPanel* trackStack_ = nullptr;
    TrackTitlePanel* titlePanel_ = nullptr;
    TimelineModel* model_;
    TimeAxis* timeAxis_ = nullptr;
    HorizontalScrollbarView* horizontalScrollbar_ = nullptr;
    VerticalScrollbarView* verticalScrollbar_ = nullptr;
    ToolTipView* toolTip_ = nullptr;
    ToolTipView* startMiniTip_ = nullptr;
    ToolTipView* stopMiniTip_ = nullptr;
    SeekbarView* seekbar_ = nullptr;
    IContentView* selected_ = nullptr;
    std::vector<TrackImageBytes> trackImages_;
    // What the view subscribed to outside its own tree, detached again when it goes.
    std::vector<std::pair<ISubject*, IEventHandler*>> foreignSubscriptions_;
};

}  // namespace vortrel

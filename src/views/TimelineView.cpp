#include "views/TimelineView.h"

#include <algorithm>
#include <string>

#include "model/IContent.h"
#include "model/SeekEvent.h"
#include "model/TimeRules.h"
#include "model/TimelineModel.h"
#include "views/AudioTrackView.h"
#include "views/BorderView.h"
#include "views/EffectTrackView.h"
#include "views/HorizontalScrollbarView.h"
#include "views/IContentView.h"
#include "views/ITrackView.h"
#include "views/ImageTrackView.h"
#include "views/ImageView.h"
#include "views/MouseDispatcher.h"
#include "views/MouseEvent.h"
#include "views/ScrollbarView.h"
#include "views/SeekbarView.h"
#include "views/TextTrackView.h"
#include "views/ThemeColors.h"
#include "views/TimeAxis.h"
#include "views/ToolTipEvent.h"
#include "views/ToolTipView.h"
#include "views/TrackTitlePanel.h"
#include "views/TrackViewEvent.h"
#include "views/TransitionTrackView.h"
#include "views/VerticalScrollbarView.h"
#include "views/VideoTrackView.h"

namespace vortrel {

namespace {

// The gap between the ruler and the first row, in pixels.
constexpr int32_t kTitleGap = 2;

// The play head's pixel position: its time is a float before the multiplication. A zoom
// that maps time onto no pixels keeps it at the start.
int32_t PlayheadPixels(int32_t position, float scale) {
    if (!IsUsableScale(scale)) {
        return 0;
    }
    const float k = PixelsPerMillisecond(scale);
    return TruncateToInt32(k * static_cast<float>(position) + 0.0005);
}

}  // namespace

// Makes the row of a newly announced track and puts it into the timeline view.
template <typename TrackViewType>
class TrackAddedHandler : public IEventHandler {
  public:
    explicit TrackAddedHandler(TimelineView* owner) : owner_(owner) {}
    /// Builds the row for the announced track.
    void Handle(ISubject& subject) override {
        auto& event = static_cast<TrackEvent&>(subject);
        if (event.GetTrack() == nullptr) {
            return;
        }
        owner_->AddTrackView(
            std::make_unique<TrackViewType>(event.GetTrack(), owner_->model_->GetTimeScale().get(),
                                            owner_->mouse_),
            event.GetIndex());
    }

  private:
    TimelineView* owner_;
};

using VideoTrackAddedHandler = TrackAddedHandler<VideoTrackView>;
using AudioTrackAddedHandler = TrackAddedHandler<AudioTrackView>;
using TextTrackAddedHandler = TrackAddedHandler<TextTrackView>;
using ImageTrackAddedHandler = TrackAddedHandler<ImageTrackView>;
using TransitionTrackAddedHandler = TrackAddedHandler<TransitionTrackView>;
using EffectTrackAddedHandler = TrackAddedHandler<EffectTrackView>;

// Lays the tree out again when a track is shown or hidden.
class TrackVisibilityChangedHandler : public IEventHandler {
  public:
    explicit TrackVisibilityChangedHandler(TimelineView* owner) : owner_(owner) {}
    /// Relayouts the timeline view.
    void Handle(ISubject& /*subject*/) override { owner_->Relayout(); }

  private:
    TimelineView* owner_;
};

// Keeps the play head at its time when the zoom changes.
class TimeScaleChangedHandler : public IEventHandler {
  public:
    explicit TimeScaleChangedHandler(TimelineView* owner) : owner_(owner) {}
    /// Moves the play head to its time under the new zoom.
    void Handle(ISubject& /*subject*/) override { owner_->OnScaleChanged(); }

  private:
    TimelineView* owner_;
};

// Moves the play head to the playback position and keeps it in sight.
class PlaybackChangedHandler : public IEventHandler {
  public:
    explicit PlaybackChangedHandler(TimelineView* owner) : owner_(owner) {}
    /// Follows the position the model announced.
    void Handle(ISubject& subject) override {
        owner_->OnPlaybackPosition(static_cast<SeekEvent&>(subject).GetValue());
    }

  private:
    TimelineView* owner_;
};

// Turns a click on the ruler into a seek of the model's playback.
class SeekClickedHandler : public IEventHandler {
  public:
    explicit SeekClickedHandler(TimelineView* owner) : owner_(owner) {}
    /// Seeks to the time the ruler announced.
    void Handle(ISubject& subject) override {
        owner_->OnSeekClicked(static_cast<SeekEvent&>(subject).GetValue());
    }

  private:
    TimelineView* owner_;
};

// Fills the hover tip with the description of what lies under the pointer, or of the clip
// being dragged.
class ToolTipDisplayingHandler : public IEventHandler {
  public:
    explicit ToolTipDisplayingHandler(TimelineView* owner) : owner_(owner) {}
    /// Sets the hover tip's text.
    void Handle(ISubject& subject) override {
        auto& event = static_cast<ToolTipEvent&>(subject);
        owner_->OnToolTipDisplaying(event.GetX(), event.GetY(), event.IsWhileDragging());
    }

  private:
    TimelineView* owner_;
};

// Fills a mini tip with the start or stop time of the clip being dragged.
class MiniTipDisplayingHandler : public IEventHandler {
  public:
    MiniTipDisplayingHandler(TimelineView* owner, ToolTipView* tip) : owner_(owner), tip_(tip) {}
    /// Sets the mini tip's text and anchor.
    void Handle(ISubject& /*subject*/) override { owner_->OnMiniTipDisplaying(*tip_); }

  private:
    TimelineView* owner_;
    ToolTipView* tip_;
};

// Clears the selection when a press reaches no view, without announcing it.
class UnhandledMouseDownEventHandler : public IEventHandler {
  public:
    explicit UnhandledMouseDownEventHandler(TimelineView* owner) : owner_(owner) {}
    /// Unselects and takes the press.
    void Handle(ISubject& subject) override {
        owner_->OnUnhandledMouseDown();
        static_cast<MouseEvent&>(subject).SetHandled(true);
    }

  private:
    TimelineView* owner_;
};

// Replaces a row's title image when its track's image changed.
class TrackImageChangedHandler : public IEventHandler {
  public:
    explicit TrackImageChangedHandler(TimelineView* owner) : owner_(owner) {}
    /// Shows the track's new title image.
    void Handle(ISubject& subject) override {
        auto& event = static_cast<TrackViewEvent&>(subject);
        owner_->OnTrackImageChanged(event.GetTrackView(), event.GetIndex());
    }

  private:
    TimelineView* owner_;
};

TrackImageBytes MakeTrackImageBytes(std::span<const uint8_t> bytes) {
    return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
}

TimelineView::TimelineView(TimelineModel& model) : model_(&model) {
    auto subscribe = [this](ISubject& subject, IEventHandler* handler) {
        subject.Attach(handler);
        foreignSubscriptions_.emplace_back(&subject, handler);
    };
    subscribe(*model.GetVideoTrackAdded(), MakeHandler<VideoTrackAddedHandler>(this));
    subscribe(*model.GetAudioTrackAdded(), MakeHandler<AudioTrackAddedHandler>(this));
    subscribe(*model.GetTextTrackAdded(), MakeHandler<TextTrackAddedHandler>(this));
    subscribe(*model.GetImageTrackAdded(), MakeHandler<ImageTrackAddedHandler>(this));
    subscribe(*model.GetTransitionTrackAdded(), MakeHandler<TransitionTrackAddedHandler>(this));
    subscribe(*model.GetEffectTrackAdded(), MakeHandler<EffectTrackAddedHandler>(this));
    subscribe(*model.GetTrackVisibilityChanged(), MakeHandler<TrackVisibilityChangedHandler>(this));
    subscribe(*model.GetPlaybackPosition(), MakeHandler<PlaybackChangedHandler>(this));
    subscribe(*model.GetTimeScale()->GetScaleChanged(), MakeHandler<TimeScaleChangedHandler>(this));

    auto titlePanel = std::make_unique<TrackTitlePanel>();
    titlePanel->SetMarginTop(TimeAxis::kHeight + kTitleGap);

    auto trackAreaCanvas = std::make_unique<Canvas>();
    trackAreaCanvas->SetStretchHorizontal(true);
    trackAreaCanvas->SetScrollable(true);
    trackAreaCanvas->SetMarginLeft(titlePanel->GetExplicitWidth() + titlePanel->GetMarginLeft());

    auto trackStack = std::make_unique<StackPanel>(StackPanel::kVertical);
    trackStack->SetStretchHorizontal(true);

    auto timeAxis = std::make_unique<TimeAxis>(model.GetTimeScale().get(), mouse_);
    timeAxis->GetSeekEvent()->Attach(MakeHandler<SeekClickedHandler>(this));

    auto tracksCanvas = std::make_unique<Canvas>();
    tracksCanvas->SetStretchHorizontal(true);
    tracksCanvas->SetStretchVertical(true);
    tracksCanvas->SetScrollable(true);

    auto horizontalScrollbar =
        std::make_unique<HorizontalScrollbarView>(trackAreaCanvas.get(), mouse_);
    auto verticalScrollbar = std::make_unique<VerticalScrollbarView>(tracksCanvas.get(), mouse_);
    // Each bar keeps clear of the other, and the areas they scroll of both.
    horizontalScrollbar->SetMarginRight(verticalScrollbar->GetExplicitWidth());
    verticalScrollbar->SetMarginBottom(horizontalScrollbar->GetExplicitHeight());
    tracksCanvas->SetMarginBottom(horizontalScrollbar->GetExplicitHeight());
    trackAreaCanvas->SetMarginRight(verticalScrollbar->GetExplicitWidth());

    auto seekbar = std::make_unique<SeekbarView>(model.GetTimeScale().get());
    seekbar->SetTop(TimeAxis::kHeight);

    auto toolTip = std::make_unique<ToolTipView>(true, mouse_);
    toolTip->GetToolTipEvent()->Attach(MakeHandler<ToolTipDisplayingHandler>(this));
    auto startMiniTip = std::make_unique<ToolTipView>(false, mouse_);
    startMiniTip->GetToolTipEvent()->Attach(
        MakeHandler<MiniTipDisplayingHandler>(this, startMiniTip.get()));
    auto stopMiniTip = std::make_unique<ToolTipView>(false, mouse_);
    stopMiniTip->GetToolTipEvent()->Attach(
        MakeHandler<MiniTipDisplayingHandler>(this, stopMiniTip.get()));

    // The tree, each panel's children in their order.
    timeAxis_ = timeAxis.get();
    trackStack->AddView(std::move(timeAxis));
    trackStack_ = static_cast<StackPanel*>(trackAreaCanvas->AddPanel(std::move(trackStack)));
    seekbar_ = static_cast<SeekbarView*>(trackAreaCanvas->AddView(std::move(seekbar)));
    startMiniTip_ = static_cast<ToolTipView*>(trackAreaCanvas->AddPanel(std::move(startMiniTip)));
    stopMiniTip_ = static_cast<ToolTipView*>(trackAreaCanvas->AddPanel(std::move(stopMiniTip)));
    titlePanel_ = static_cast<TrackTitlePanel*>(tracksCanvas->AddPanel(std::move(titlePanel)));
    trackAreaCanvas_ = static_cast<Canvas*>(tracksCanvas->AddPanel(std::move(trackAreaCanvas)));
    tracksCanvas_ = static_cast<Canvas*>(rootCanvas_.AddPanel(std::move(tracksCanvas)));
    horizontalScrollbar_ =
        static_cast<HorizontalScrollbarView*>(rootCanvas_.AddPanel(std::move(horizontalScrollbar)));
    verticalScrollbar_ =
        static_cast<VerticalScrollbarView*>(rootCanvas_.AddPanel(std::move(verticalScrollbar)));
    toolTip_ = static_cast<ToolTipView*>(rootCanvas_.AddPanel(std::move(toolTip)));

    rootCanvas_.UpdateLayout();

    tracksCanvas_->GetLayoutEvent()->Attach(GetLayoutChangedHandler());
    trackAreaCanvas_->GetLayoutEvent()->Attach(GetLayoutChangedHandler());
    trackStack_->GetSelectionEvent()->Attach(GetSelectionChangedHandler());
    subscribe(*mouse_.GetUnhandledDown(), MakeHandler<UnhandledMouseDownEventHandler>(this));
}

TimelineView::~TimelineView() {
    // The model outlives the view: it must not call the view's handlers, which
    // go with it.
    for (auto [subject, handler] : foreignSubscriptions_) {
        subject->Detach(handler);
    }
    selected_ = nullptr;
    trackImages_.clear();
    // The tree (rootCanvas_) goes next, with the members, then the base.
}

void TimelineView::Draw(IDrawContext& context) {
    ThemeColors& theme = ThemeColors::Instance();
    const ColorRef background = theme.Background(ThemeKey::kTimelineRoot);
    BorderView border(GetBounds(), background, background);
    border.Render(context);
    rootCanvas_.Render(context);
    const int32_t cornerWidth = verticalScrollbar_->GetExplicitWidth();
    const int32_t cornerHeight = horizontalScrollbar_->GetExplicitHeight();
    const int32_t left = GetX() + GetEffectiveWidth() - cornerWidth;
    const int32_t top = GetY() + GetEffectiveHeight() - cornerHeight;
    BorderView corner({left, top, left + cornerWidth, top + cornerHeight}, background, background);
    corner.Render(context);
}

void TimelineView::OnLayoutChanged() {
    Relayout();
}

void TimelineView::OnSelectionChanged(IView* view) {
    Unselect();
    selected_ = dynamic_cast<IContentView*>(view);
    if (selected_ != nullptr && selected_->GetVisualState() != kSelected) {
        selected_->SetVisualState(kSelected);
    }
    GetSelectionEvent()->Notify(selected_);
}

void TimelineView::Unselect() {
    if (selected_ != nullptr && selected_->GetVisualState() != kNormal) {
        selected_->SetVisualState(kNormal);
    }
    selected_ = nullptr;
}

IContent* TimelineView::SelectedContent() const {
    return selected_ != nullptr ? selected_->GetContent() : nullptr;
}

void TimelineView::AddTrackImage(TrackImageBytes image) {
    if (image != nullptr) {
        trackImages_.push_back(std::move(image));
    }
}

void TimelineView::SetTrackImage(int32_t index, TrackImageBytes image) {
    if (index < 0 || index >= GetTrackImageCount() || image == nullptr) {
        return;
    }
    trackImages_[static_cast<size_t>(index)] = std::move(image);
    model_->FireTrackImageChanged(index);
}

std::unique_ptr<ImageView> TimelineView::MakeTitleImage(const ITrackView& trackView,
                                                        int32_t index) const {
    // A track without an image of its own keeps an empty cell, so the rows below stay
    // aligned with their images.
    std::unique_ptr<ImageView> image;
    if (index >= 0 && index < GetTrackImageCount()) {
        const std::vector<uint8_t>& bytes = *trackImages_[static_cast<size_t>(index)];
        image = std::make_unique<ImageView>(bytes.data(), bytes.size());
    } else {
        image = std::make_unique<ImageView>(std::shared_ptr<const IDrawImage>());
    }
    image->SetStretchHorizontal(true);
    image->SetExplicitHeight(trackView.GetExplicitHeight());
    image->SetMarginTop(index == 0 ? 0 : trackView.GetMarginTop());
    image->SetStretch(false);
    // A hidden track's new image stays hidden with its row.
    if (trackView.GetVisualState() == kCollapsed) {
        image->SetVisualState(kCollapsed);
    }
    return image;
}

void TimelineView::AddTrackView(std::unique_ptr<ITrackView> trackView, int32_t index) {
    if (trackView == nullptr) {
        return;
    }
    ITrackView* row = trackView.get();
    trackStack_->AddPanel(std::move(trackView));
    trackStack_->UpdateLayout();
    std::unique_ptr<ImageView> image = MakeTitleImage(*row, index);
    row->SetTitleImage(image.get());
    titlePanel_->AddView(std::move(image));
    titlePanel_->UpdateLayout();
    row->GetTrackViewEvent()->Attach(MakeHandler<TrackImageChangedHandler>(this));
}

void TimelineView::OnTrackImageChanged(ITrackView* trackView, int32_t index) {
    if (trackView == nullptr) {
        return;
    }
    std::unique_ptr<ImageView> image = MakeTitleImage(*trackView, index);
    ImageView* raw = image.get();
    titlePanel_->ReplaceChild(trackView->GetTitleImage(), std::move(image));
    titlePanel_->UpdateLayout();
    trackView->SetTitleImage(raw);
}

void TimelineView::Relayout() {
    rootCanvas_.SetExplicitWidth(GetEffectiveWidth());
    rootCanvas_.SetExplicitHeight(GetEffectiveHeight());
    rootCanvas_.UpdateLayout();
    UpdateScrollbars();
}

namespace {

// The position a scroll bar may take for its area: from 0 to what is hidden of the area.
int32_t ClampScroll(int32_t position, int32_t total, int32_t page) {
    // An area smaller than its window does not scroll; a negative offset would move it off
    // its place.
    return std::max(std::min(std::max(position, 0), total - page), 0);
}

void FitScrollbar(ScrollbarView& bar, int32_t page, int32_t total) {
    bar.SetPage(page);
    bar.UpdateThumb();
    bar.SetTotal(total);
    bar.UpdateThumb();
    const int32_t position = ClampScroll(bar.GetPosition(), total, page);
    if (position != bar.GetPosition()) {
        bar.StorePosition(position);
        bar.ApplyScroll();
        bar.UpdateThumb();
    }
    bar.UpdateLayout();
}

}  // namespace

void TimelineView::UpdateScrollbars() {
    FitScrollbar(*horizontalScrollbar_,
                 GetX() + GetEffectiveWidth() - horizontalScrollbar_->GetPosition() -
                     verticalScrollbar_->GetExplicitWidth() - trackAreaCanvas_->GetX(),
                 trackAreaCanvas_->GetEffectiveWidth());
    FitScrollbar(*verticalScrollbar_,
                 GetY() + GetEffectiveHeight() - horizontalScrollbar_->GetExplicitHeight(),
                 tracksCanvas_->GetEffectiveHeight());
}

void TimelineView::OnScaleChanged() {
    seekbar_->SetMarginLeft(
        PlayheadPixels(seekbar_->GetPosition(), model_->GetTimeScale()->GetScale()));
    seekbar_->GetLayoutEvent()->Notify();
    Relayout();
}

void TimelineView::OnPlaybackPosition(int32_t position) {
    const int32_t x = PlayheadPixels(position, model_->GetTimeScale()->GetScale());
    seekbar_->SetPosition(position);
    seekbar_->SetMarginLeft(x);
    seekbar_->GetLayoutEvent()->Notify();
    Relayout();
    // The play head jumps to the left edge of the visible part when it leaves it.
    ScrollbarView& bar = *horizontalScrollbar_;
    if (x >= bar.GetPosition() && x <= bar.GetPosition() + bar.GetPage()) {
        return;
    }
    const int32_t scrolled = ClampScroll(x, bar.GetTotal(), bar.GetPage());
    if (scrolled != bar.GetPosition()) {
        bar.StorePosition(scrolled);
        bar.ApplyScroll();
        bar.UpdateThumb();
    }
}

void TimelineView::OnSeekClicked(int32_t time) {
    model_->Seek(time);
}

void TimelineView::OnToolTipDisplaying(int32_t x, int32_t y, bool whileDragging) {
    IView* target = nullptr;
    if (whileDragging) {
        if (selected_ != nullptr && selected_->GetVisualState() == kPressed) {
            target = selected_;
        }
    } else {
        target = trackStack_->HitTest(x, y);
    }
    if (target == nullptr) {
        return;
    }
    std::wstring title;
    std::wstring text;
    target->GetToolTipText(title, text);
    if (!text.empty()) {
        toolTip_->SetText(text);
    }
}

void TimelineView::OnMiniTipDisplaying(ToolTipView& tip) {
    if (selected_ == nullptr || selected_->GetVisualState() != kPressed ||
        selected_->GetContent() == nullptr) {
        return;
    }
    const bool start = &tip == startMiniTip_;
    const TimeSegment& segment = *selected_->GetContent()->GetSegment();
    const int32_t time = start ? segment.GetStart() : segment.GetStop();
    tip.SetText(SecondsText(static_cast<float>(time / 1000.0)));
    const int32_t x = start ? selected_->GetX() : selected_->GetBounds().right;
    tip.SetAnchor(x, 0);
}

void TimelineView::OnUnhandledMouseDown() {
    Unselect();
}

}  // namespace vortrel

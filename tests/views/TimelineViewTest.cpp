#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/IContent.h"
#include "model/ITrack.h"
#include "model/MediaCache.h"
#include "model/TimelineModel.h"
#include "model/TimerDispatcher.h"
#include "support/FakeDeviceCatalog.h"
#include "support/FakeMediaDetector.h"
#include "support/FakeRenderEngine.h"
#include "support/FakeTextRasteriser.h"
#include "support/RecordingDrawContext.h"
#include "support/TestContents.h"
#include "views/HorizontalScrollbarView.h"
#include "views/IContentView.h"
#include "views/ITrackView.h"
#include "views/MouseDispatcher.h"
#include "views/ScrollbarView.h"
#include "views/SeekbarView.h"
#include "views/TimeAxis.h"
#include "views/TimelineView.h"
#include "views/ToolTipView.h"
#include "views/TrackTitlePanel.h"
#include "views/VerticalScrollbarView.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;

const std::vector<uint8_t> kPicture = {'P', 'X', 4, 4, 10, 20, 30};

// A timeline view of a built model on fake ports, with a title image for every track and a
// window of 400 x 300; the drawing records its calls.
class Timeline : public ::testing::Test {
  protected:
    Timeline() {
        SetDrawing(drawing);
        SetTextRasteriser(std::make_shared<testing::FakeTextRasteriser>());
        detector.Script().lengths = std::deque<std::optional<double>>(100, 60.0);
        MediaCache::Instance().Clear();
        model = std::make_unique<TimelineModel>(devices);
        view = std::make_unique<TimelineView>(*model);
        for (int32_t i = 0; i < kTrackCount; ++i) {
            view->AddTrackImage(std::make_shared<const std::vector<uint8_t>>(kPicture));
        }
        model->BuildTracks();
        Resize(400, 300);
        view->GetSelectionEvent()->Attach(&selections);
    }
    ~Timeline() override {
        view.reset();
        model.reset();
        SetTextRasteriser(nullptr);
        SetDrawing(nullptr);
    }

    void Resize(int32_t width, int32_t height) {
        view->SetWidth(width);
        view->SetHeight(height);
        view->OnLayoutChanged();
    }
    ITrackView& Row(int32_t index) {
        return static_cast<ITrackView&>(*view->GetTrackStack()->GetChildren()[index + 1].view);
    }
    // A video clip on the first video track at start..stop ms, as the control adds one.
    IContent& AddClip(int32_t start, int32_t stop, int32_t track = kVideo1Track) {
        IContent& clip = *model->GetTrack(track)->CreateContent();
        clip.GetSegment()->SetStartMs(start);
        clip.GetSegment()->SetStopMs(stop);
        clip.Update();
        return clip;
    }
    IContentView& ViewOf(IContent& content, int32_t track = kVideo1Track) {
        return *Row(track).FindContentView(&content);
    }
    void Click(int32_t x, int32_t y) {
        Mouse().OnMouseDown(x, y);
        Mouse().OnMouseUp(x, y);
    }
    int32_t TopInTracks(const IView& row) { return row.GetY() - view->GetTracksCanvas()->GetY(); }

    std::shared_ptr<testing::RecordingDrawing> drawing =
        std::make_shared<testing::RecordingDrawing>();
    testing::ScopedFakeMediaDetector detector;
    testing::ScopedFakeRenderEngine engine;
    testing::FakeDeviceCatalog devices;
    std::unique_ptr<TimelineModel> model;
    std::unique_ptr<TimelineView> view;
    /// The view's own mouse input.
    MouseDispatcher& Mouse() { return view->GetMouseDispatcher(); }
    CallbackObserver selections;
};

TEST_F(Timeline, RowsLieEvery54PixelsBelowTheRulerWithTheirTitleImagesAlongside) {
    // From the top: transition, video 1, (video 2 hidden), image, effect, audio 1,
    // (audio 2 hidden), text.
    int32_t visible = 0;
    for (int32_t i = 0; i < kTrackCount; ++i) {
        ITrackView& row = Row(i);
        ASSERT_NE(row.GetTitleImage(), nullptr) << i;
        const bool hidden = i == kVideo2Track || i == kAudio2Track;
        EXPECT_EQ(row.GetVisualState(), hidden ? IView::kCollapsed : IView::kNormal) << i;
        EXPECT_EQ(row.GetTitleImage()->GetVisualState(), row.GetVisualState()) << i;
        if (hidden) {
            continue;
        }
        EXPECT_EQ(TopInTracks(row), 22 + 54 * visible) << i;
        EXPECT_EQ(row.GetTitleImage()->GetY(), row.GetY()) << i;
        EXPECT_EQ(row.GetTitleImage()->GetEffectiveHeight(), 52) << i;
        EXPECT_EQ(row.GetX(), 83) << i;
        ++visible;
    }
    EXPECT_EQ(view->GetTimeAxis()->GetY(), 0);
    EXPECT_EQ(view->GetTimeAxis()->GetX(), 83);
    // The visible track area: 400 less the vertical scroll bar and the title column.
    EXPECT_EQ(view->GetHorizontalScrollbar()->GetPage(), 400 - 16 - 83);
    EXPECT_EQ(view->GetHorizontalScrollbar()->GetY(), 300 - 16);
    EXPECT_EQ(view->GetVerticalScrollbar()->GetX(), 400 - 16);
}

TEST_F(Timeline, HidingATrackMovesTheRowsBelowUpAndShowingItRestoresThem) {
    std::vector<int32_t> before;
    for (int32_t i = 0; i < kTrackCount; ++i) {
        before.push_back(Row(i).GetY());
    }
    model->SetVisible(kImageTrack, false);
    EXPECT_EQ(Row(kImageTrack).GetVisualState(), IView::kCollapsed);
    EXPECT_EQ(Row(kImageTrack).GetTitleImage()->GetVisualState(), IView::kCollapsed);
    for (int32_t i : {kEffectTrack, kAudio1Track, kTextTrack}) {
        EXPECT_EQ(Row(i).GetY(), before[i] - 54) << i;
        EXPECT_EQ(Row(i).GetTitleImage()->GetY(), Row(i).GetY()) << i;
    }
    EXPECT_EQ(Row(kVideo1Track).GetY(), before[kVideo1Track]);

    model->SetVisible(kImageTrack, true);
    for (int32_t i = 0; i < kTrackCount; ++i) {
        if (Row(i).GetVisualState() != IView::kCollapsed) {
            EXPECT_EQ(Row(i).GetY(), before[i]) << i;
            EXPECT_EQ(Row(i).GetTitleImage()->GetY(), before[i]) << i;
        }
    }
}

TEST_F(Timeline, ThePlayHeadFollowsPlaybackAndScrollsIntoSightWhenItLeavesTheVisiblePart) {
    AddClip(0, 40000);  // 10 000 pixels at zoom 1
    ScrollbarView& bar = *view->GetHorizontalScrollbar();
    const int32_t page = bar.GetPage();
    ASSERT_EQ(page, 301);
    const struct {
        int32_t position;  // ms
        int32_t scroll;    // the scroll position afterwards; -1: as far as it goes
    } steps[] = {
        {1204, 0},    // pixel 301, the right edge: inside
        {1208, 302},  // one pixel beyond: the play head becomes the left edge
        {1600, 302},  // inside again
        {0, 0},       // left of the visible part
        {40000, -1},  // the end: clamped to the scrollable range
    };
    for (auto [position, scroll] : steps) {
        model->GetPlaybackPosition()->Notify(position);
        const int32_t expected = scroll >= 0 ? scroll : bar.GetTotal() - page;
        EXPECT_EQ(bar.GetPosition(), expected) << position;
        EXPECT_EQ(view->GetTrackAreaCanvas()->GetX(), 83 - expected) << position;
        EXPECT_EQ(view->GetSeekbar()->GetMarginLeft(), position / 4) << position;
        EXPECT_EQ(view->GetSeekbar()->GetX(), 83 - expected + position / 4) << position;
    }
    EXPECT_LE(bar.GetTotal() - page, 10006 - page);  // the content and the play head

    // Zooming keeps the play head at its time.
    model->GetPlaybackPosition()->Notify(2000);
    model->GetTimeScale()->SetScale(2.0f);
    EXPECT_EQ(view->GetSeekbar()->GetMarginLeft(), 1000);
    model->GetTimeScale()->SetScale(0.5f);
    EXPECT_EQ(view->GetSeekbar()->GetMarginLeft(), 250);
    // A zoom that maps time onto no pixels leaves the play head at the start.
    for (float zoom : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()}) {
        model->GetTimeScale()->SetScale(zoom);
        EXPECT_EQ(view->GetSeekbar()->GetMarginLeft(), 0) << zoom;
    }
}

TEST_F(Timeline, AClickOnTheRulerSeeksThePreview) {
    model->Play();
    Click(83 + 250, 10);  // one second right of the ruler's left edge
    EXPECT_EQ(engine.Script().current, 1000 * 10000);
    EXPECT_EQ(view->GetSeekbar()->GetMarginLeft(), 250);
    model->Stop();
}

TEST_F(Timeline, PressesSelectContentViewsAndEmptySpaceDeselectsSilently) {
    IContent& first = AddClip(0, 1000);      // pixels 83..333 of the first video row
    IContent& second = AddClip(2000, 2800);  // pixels 583..783
    ASSERT_EQ(ViewOf(first).GetY(), 76);
    const int32_t rowMiddle = 76 + 20;  // away from the grips

    Click(200, rowMiddle);
    EXPECT_EQ(view->SelectedContent(), &first);
    EXPECT_EQ(ViewOf(first).GetVisualState(), IView::kSelected);
    EXPECT_EQ(selections.calls, 1);

    // Another clip takes the selection; pressing it again announces it again.
    Resize(900, 300);
    Click(650, rowMiddle);
    Click(650, rowMiddle);
    EXPECT_EQ(view->SelectedContent(), &second);
    EXPECT_EQ(ViewOf(first).GetVisualState(), IView::kNormal);
    EXPECT_EQ(ViewOf(second).GetVisualState(), IView::kSelected);
    EXPECT_EQ(selections.calls, 3);

    // The ruler takes its press and leaves the selection alone.
    Click(400, 10);
    EXPECT_EQ(view->SelectedContent(), &second);
    EXPECT_EQ(selections.calls, 3);

    // Empty space in a row: nothing selected, nothing announced.
    Click(450, rowMiddle);
    EXPECT_EQ(view->SelectedContent(), nullptr);
    EXPECT_EQ(view->GetSelected(), nullptr);
    EXPECT_EQ(ViewOf(second).GetVisualState(), IView::kNormal);
    EXPECT_EQ(selections.calls, 3);
}

TEST_F(Timeline, RemovingTheSelectedContentClearsTheSelectionBeforeItsViewGoes) {
    IContent& clip = AddClip(0, 1000);
    Click(200, 96);
    ASSERT_EQ(view->SelectedContent(), &clip);
    IView* selectedAtAnnouncement = &ViewOf(clip);
    size_t viewsAtAnnouncement = 0;
    selections.SetCallback([&](ISubject&) {
        selectedAtAnnouncement = view->GetSelected();
        viewsAtAnnouncement = Row(kVideo1Track).GetChildren().size();
    });
    model->GetTrack(kVideo1Track)->RemoveContentAt(0);
    EXPECT_EQ(selections.calls, 2);
    EXPECT_EQ(selectedAtAnnouncement, nullptr);
    EXPECT_EQ(viewsAtAnnouncement, 1u);
    EXPECT_EQ(view->SelectedContent(), nullptr);
    EXPECT_EQ(Row(kVideo1Track).GetChildren().size(), 0u);
    Click(200, 96);  // nothing left to press there
    EXPECT_EQ(view->SelectedContent(), nullptr);
}

// The text the hover tip shows after the pointer rested at a point.
std::wstring HoverTipAt(TimelineView& view, int32_t x, int32_t y) {
    view.GetMouseDispatcher().OnMouseMove(x, y);
    ToolTipView& tip = *view.GetToolTip();
    TimerDispatcher::Instance().Fire(tip.GetTimerId());
    return tip.GetVisualState() == IView::kNormal ? tip.GetLabel()->GetText() : L"";
}

TEST_F(Timeline, TheHoverTipDescribesTheClipUnderThePointerAndNothingElse) {
    IContent& clip = AddClip(0, 1000);
    std::wstring title;
    std::wstring description;
    clip.GetDescription(title, description);
    ASSERT_FALSE(description.empty());

    EXPECT_EQ(HoverTipAt(*view, 200, 96), description);
    EXPECT_EQ(view->GetToolTip()->GetY(), 96 + 20);
    EXPECT_EQ(HoverTipAt(*view, 350, 96), L"");  // the empty part of the row
    EXPECT_EQ(HoverTipAt(*view, 200, 10), L"");  // the ruler
}

TEST_F(Timeline, TheMiniTipsShowTheDraggedClipsTimesInSeconds) {
    IContent& clip = AddClip(2000, 2500);  // pixels 583..708
    Resize(900, 300);
    Mouse().OnMouseDown(650, 96);
    Mouse().OnMouseMove(650, 96);
    EXPECT_EQ(view->GetStartMiniTip()->GetLabel()->GetText(), L"2.0");
    EXPECT_EQ(view->GetStopMiniTip()->GetLabel()->GetText(), L"2.500");
    EXPECT_EQ(view->GetStartMiniTip()->GetVisualState(), IView::kNormal);
    EXPECT_EQ(view->GetStartMiniTip()->GetX(), ViewOf(clip).GetX());
    EXPECT_EQ(view->GetStopMiniTip()->GetX(), ViewOf(clip).GetX() + 125);
    // The hover tip follows the drag with the clip's description.
    std::wstring title;
    std::wstring description;
    clip.GetDescription(title, description);
    EXPECT_EQ(view->GetToolTip()->GetLabel()->GetText(), description);
    EXPECT_EQ(view->GetToolTip()->GetVisualState(), IView::kNormal);
    Mouse().OnMouseUp(650, 96);
    Mouse().OnMouseMove(900, 290);  // over nothing: every tip hides
    EXPECT_EQ(view->GetStartMiniTip()->GetVisualState(), IView::kCollapsed);
    EXPECT_EQ(view->GetToolTip()->GetVisualState(), IView::kCollapsed);
}

TEST_F(Timeline, TrackImagesAreReplacedByIndexAndBadIndicesOrImagesAreIgnored) {
    std::vector<ImageView*> images;
    for (int32_t i = 0; i < kTrackCount; ++i) {
        images.push_back(Row(i).GetTitleImage());
    }
    const auto replacement = std::make_shared<const std::vector<uint8_t>>(kPicture);
    view->SetTrackImage(-1, replacement);
    view->SetTrackImage(kTrackCount, replacement);
    view->SetTrackImage(kImageTrack, nullptr);
    for (int32_t i = 0; i < kTrackCount; ++i) {
        EXPECT_EQ(Row(i).GetTitleImage(), images[i]) << i;
    }

    view->SetTrackImage(kImageTrack, replacement);
    for (int32_t i = 0; i < kTrackCount; ++i) {
        EXPECT_EQ(Row(i).GetTitleImage() != images[i], i == kImageTrack) << i;
        EXPECT_EQ(Row(i).GetTitleImage()->GetY(), Row(i).GetY()) << i;
    }
    // A hidden track's new image stays hidden with its row.
    view->SetTrackImage(kVideo2Track, replacement);
    EXPECT_EQ(Row(kVideo2Track).GetTitleImage()->GetVisualState(), IView::kCollapsed);
    EXPECT_EQ(view->GetTitlePanel()->GetChildren().size(), 8u);
}

TEST(TimelineImages, TracksBeyondTheImagesGivenGetAnEmptyCellAndUndecodableImagesDrawNothing) {
    auto drawing = std::make_shared<testing::RecordingDrawing>();
    drawing->Log().decodeFails = true;
    SetDrawing(drawing);
    testing::FakeDeviceCatalog devices;
    {
        TimelineModel model(devices);
        TimelineView view(model);
        view.AddTrackImage(nullptr);  // ignored
        view.AddTrackImage(std::make_shared<const std::vector<uint8_t>>(kPicture));
        view.AddTrackImage(std::make_shared<const std::vector<uint8_t>>());
        EXPECT_EQ(view.GetTrackImageCount(), 2);
        model.BuildTracks();
        view.SetWidth(400);
        view.SetHeight(300);
        view.OnLayoutChanged();
        const auto& rows = view.GetTrackStack()->GetChildren();
        ASSERT_EQ(rows.size(), 9u);
        for (size_t i = 1; i < rows.size(); ++i) {
            const auto& row = static_cast<const ITrackView&>(*rows[i].view);
            ASSERT_NE(row.GetTitleImage(), nullptr);
            EXPECT_EQ(row.GetTitleImage()->GetImage(), nullptr);
            EXPECT_EQ(row.GetTitleImage()->GetY(), row.GetY());
        }
        testing::RecordingDrawContext context(drawing->SharedLog(), "", 400, 300);
        drawing->Log().Clear();
        view.Render(context);
        EXPECT_TRUE(drawing->Log().Matching("DrawImage").empty());
    }
    SetDrawing(nullptr);
}

TEST_F(Timeline, DrawFillsTheBackgroundThenTheTreeThenTheCornerBetweenTheScrollBars) {
    testing::RecordingDrawContext context(drawing->SharedLog(), "", 400, 300);
    drawing->Log().Clear();
    view->Render(context);
    const std::vector<std::string>& lines = drawing->Log().lines;
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"SetPen 0x5f5f5f 1", "SetBrush 0x5f5f5f",
                                        "Rectangle 0,0,400,300"}));
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"SetPen 0x5f5f5f 1", "SetBrush 0x5f5f5f",
                                        "Rectangle 384,284,400,300"}));
}

TEST(TimelineLifetime, AViewThatGoesBeforeItsModelLeavesNoHandlerBehind) {
    testing::FakeDeviceCatalog devices;
    TimelineModel model(devices);
    const size_t scale = model.GetTimeScale()->GetScaleChanged()->GetObserverCount();
    {
        TimelineView view(model);
        model.BuildTracks();
    }
    EXPECT_EQ(model.GetTimeScale()->GetScaleChanged()->GetObserverCount(), scale);
    EXPECT_EQ(model.GetVideoTrackAdded()->GetObserverCount(), 0u);
    EXPECT_EQ(model.GetPlaybackPosition()->GetObserverCount(), 0u);
    // The model's notifications reach nobody that is gone.
    model.SetVisible(kImageTrack, false);
    model.GetPlaybackPosition()->Notify(1000);
    model.GetTimeScale()->SetScale(2.0f);
}

}  // namespace
}  // namespace vortrel

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "editing/DesGroup.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "model/ClipTrack.h"
#include "model/EffectTrack.h"
#include "model/TextTrack.h"
#include "model/TimeScale.h"
#include "model/TransitionTrack.h"
#include "support/ContentViewFixture.h"
#include "support/FakeDeviceCatalog.h"
#include "support/RecordingDrawContext.h"
#include "support/TestContents.h"
#include "views/AudioTrackView.h"
#include "views/EffectTrackView.h"
#include "views/ImageTrackView.h"
#include "views/StackPanel.h"
#include "views/TextTrackView.h"
#include "views/TrackTitlePanel.h"
#include "views/TransitionTrackView.h"
#include "views/VideoTrackView.h"

namespace vortrel {
namespace {

using testing::RecordingDrawContext;
using testing::RecordingDrawing;
using testing::ScopedDrawing;

// An editing timeline with one video track, for the text track's overlay.
struct EditingTimeline {
    testing::FakeDeviceCatalog devices;
    DesTimeline timeline{devices};
    DesVideoGroup video{&timeline, 320, 240, 15.0f};
    std::shared_ptr<DesTrack> textTrack = std::make_shared<DesTrack>(video);
};

/// Appends a content to a track (announcing it) with its times.
IContent& AddTimed(ITrack& track, TimeScale& scale, int32_t start, int32_t stop) {
    IContent& content = *track.CreateContent();
    testing::SetTimes(content, scale, start, stop);
    return content;
}

/// A row of a kind for a track.
template <typename Row>
std::unique_ptr<ITrackView> MakeRow(ITrack* track, TimeScale* scale) {
    return std::make_unique<Row>(track, scale);
}

/// The children of a row as content views.
std::vector<IContentView*> ContentViews(const ITrackView& row) {
    std::vector<IContentView*> views;
    for (const auto& child : row.GetChildren()) {
        views.push_back(dynamic_cast<IContentView*>(child.view.get()));
    }
    return views;
}

// The stack of rows and the title column beside it, as the timeline lays them out.
class Rows : public ::testing::Test {
  protected:
    Rows() : drawing_(std::make_shared<RecordingDrawing>()), scoped_(drawing_) {
        stack_.SetY(20);
        titles_.SetY(22);
    }

    /// Adds a row to the stack with its title image, as the timeline view does.
    template <typename Row>
    Row& AddRow(ITrack& track) {
        auto* row = static_cast<Row*>(stack_.AddPanel(std::make_unique<Row>(&track, &scale_)));
        const uint8_t bytes[] = {1};
        auto image = std::make_unique<ImageView>(bytes, sizeof bytes);
        image->SetStretch(false);
        image->SetStretchHorizontal(true);
        image->SetExplicitHeight(row->GetExplicitHeight());
        image->SetMarginTop(stack_.GetChildren().size() == 1 ? 0 : row->GetMarginTop());
        row->SetTitleImage(static_cast<ImageView*>(titles_.AddView(std::move(image))));
        Layout();
        return *row;
    }
    void Layout() {
        stack_.SetWidth(0);
        stack_.SetHeight(0);
        stack_.SetExplicitWidth(600);
        stack_.UpdateLayout();
        titles_.UpdateLayout();
    }

    TimeScale scale_;
    std::shared_ptr<RecordingDrawing> drawing_;
    ScopedDrawing scoped_;
    // The model outlives the views, as in the control: the rows leave their tracks' subjects
    // when they go.
    VideoTrack video_{nullptr};
    AudioTrack audio_{nullptr};
    StackPanel stack_;
    TrackTitlePanel titles_;
};

TEST_F(Rows, EachRowMakesItsKindsViewsForTheContentsItsTrackHoldsAlreadyInOrder) {
    EditingTimeline editing;
    VideoTrack video(nullptr);
    AudioTrack audio(nullptr);
    TextTrack text(editing.textTrack);
    ImageTrack image(nullptr);
    TransitionTrack transitions;
    EffectTrack effects(nullptr);
    const struct {
        ITrack* track;
        std::unique_ptr<ITrackView> (*make)(ITrack*, TimeScale*);
        const std::type_info& view;
    } cases[] = {
        {&video, MakeRow<VideoTrackView>, typeid(VideoView)},
        {&audio, MakeRow<AudioTrackView>, typeid(WaveformView)},
        {&text, MakeRow<TextTrackView>, typeid(PageView)},
        {&image, MakeRow<ImageTrackView>, typeid(ImageStripView)},
        {&transitions, MakeRow<TransitionTrackView>, typeid(TransitionView)},
        {&effects, MakeRow<EffectTrackView>, typeid(EffectView)},
    };
    for (const auto& c : cases) {
        std::vector<IContent*> contents;
        for (int32_t i = 0; i < 3; ++i) {
            contents.push_back(&AddTimed(*c.track, scale_, 1000 * i, 1000 * i + 500));
        }
        std::unique_ptr<ITrackView> row = c.make(c.track, &scale_);
        EXPECT_EQ(row->GetExplicitHeight(), 52);
        EXPECT_EQ(row->GetMarginTop(), 2);
        EXPECT_TRUE(row->GetStretchHorizontal());
        const std::vector<IContentView*> views = ContentViews(*row);
        ASSERT_EQ(views.size(), 3u) << c.view.name();
        for (size_t i = 0; i < views.size(); ++i) {
            ASSERT_NE(views[i], nullptr);
            EXPECT_EQ(typeid(*views[i]), c.view);
            EXPECT_EQ(views[i]->GetContent(), contents[i]);
        }
        // A new content gets its view at the end.
        IContent& added = AddTimed(*c.track, scale_, 5000, 6000);
        EXPECT_EQ(ContentViews(*row).back()->GetContent(), &added);
        row.reset();
        c.track->RemoveAllContents();
    }
}

TEST_F(Rows, TheTitleColumnDrawsThroughItsCacheAndRedrawsWhenAnImageIsReplaced) {
    AddRow<VideoTrackView>(video_);
    auto& row = AddRow<AudioTrackView>(audio_);
    RecordingDrawContext context(drawing_->SharedLog());
    titles_.Render(context);
    EXPECT_EQ(drawing_->Log().Matching("SetBrush 0xc8c8c8").size(), 1u);
    EXPECT_EQ(drawing_->Log().Matching("CreateCompatibleSurface").size(), 1u);
    titles_.Render(context);
    titles_.UpdateLayout();
    titles_.Render(context);
    EXPECT_EQ(drawing_->Log().Matching("CreateCompatibleSurface").size(), 1u);

    // Replaced as the timeline does on a new track image: the column keeps its size.
    const uint8_t bytes[] = {2};
    auto image = std::make_unique<ImageView>(bytes, sizeof bytes);
    image->SetExplicitHeight(52);
    image->SetMarginTop(2);
    auto* replacement = image.get();
    titles_.ReplaceChild(row.GetTitleImage(), std::move(image));
    row.SetTitleImage(replacement);
    titles_.UpdateLayout();
    titles_.Render(context);
    EXPECT_EQ(drawing_->Log().Matching("CreateCompatibleSurface").size(), 2u);
}

}  // namespace
}  // namespace vortrel

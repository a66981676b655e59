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
#include "views/AudioTrackView.h"
#include "views/EffectTrackView.h"
#include "views/ImageTrackView.h"
#include "views/MouseDispatcher.h"
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
    static MouseDispatcher presses;  // the rows' clips are never pressed here
    return std::make_unique<Row>(track, scale, presses);
}

/// The children of a row as content views.
std::vector<IContentView*> ContentViews(const ITrackView& row) {
    std::vector<IContentView*> views;
    for (const auto& child : row.GetChildren()) {
        views.push_back(dynamic_cast<IContentView*>(child.view.get()));
    }
    return views;
}

TEST(Rows, EachRowMakesItsKindsViewsForTheContentsItsTrackHoldsAlreadyInOrder) {
    ScopedDrawing scoped(std::make_shared<RecordingDrawing>());
    TimeScale scale;
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
            contents.push_back(&AddTimed(*c.track, scale, 1000 * i, 1000 * i + 500));
        }
        std::unique_ptr<ITrackView> row = c.make(c.track, &scale);
        const std::vector<IContentView*> views = ContentViews(*row);
        ASSERT_EQ(views.size(), 3u) << c.view.name();
        for (size_t i = 0; i < views.size(); ++i) {
            ASSERT_NE(views[i], nullptr);
            EXPECT_EQ(typeid(*views[i]), c.view);
            EXPECT_EQ(views[i]->GetContent(), contents[i]);
        }
        // A new content gets its view at the end.
        IContent& added = AddTimed(*c.track, scale, 5000, 6000);
        EXPECT_EQ(ContentViews(*row).back()->GetContent(), &added);
        row.reset();
        c.track->RemoveAllContents();
    }
}

TEST(TitleColumn, DrawsThroughItsCacheAndRedrawsWhenAnImageIsReplaced) {
    auto drawing = std::make_shared<RecordingDrawing>();
    ScopedDrawing scoped(drawing);
    TrackTitlePanel titles;
    const uint8_t bytes[] = {1};
    auto image = [&bytes](int32_t marginTop) {
        auto view = std::make_unique<ImageView>(bytes, sizeof bytes);
        view->SetExplicitHeight(52);
        view->SetMarginTop(marginTop);
        return view;
    };
    titles.AddView(image(0));
    IView* second = titles.AddView(image(2));
    titles.UpdateLayout();
    RecordingDrawContext context(drawing->SharedLog());
    titles.Render(context);
    EXPECT_EQ(drawing->Log().Matching("SetBrush 0xc8c8c8").size(), 1u);
    titles.Render(context);
    titles.UpdateLayout();
    titles.Render(context);
    EXPECT_EQ(drawing->Log().Matching("CreateCompatibleSurface").size(), 1u);

    // Replaced as the timeline does on a new track image: the column keeps its size.
    titles.ReplaceChild(second, image(2));
    titles.UpdateLayout();
    titles.Render(context);
    EXPECT_EQ(drawing->Log().Matching("CreateCompatibleSurface").size(), 2u);
}

}  // namespace
}  // namespace vortrel

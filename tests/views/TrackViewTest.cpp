#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "editing/DesGroup.h"
#include "editing/DesTimeline.h"
#include "editing/DesTrack.h"
#include "model/AudioClip.h"
#include "model/ClipTrack.h"
#include "model/EffectTrack.h"
#include "model/MediaCache.h"
#include "model/TextClip.h"
#include "model/TextTrack.h"
#include "model/TimeScale.h"
#include "model/TransitionTrack.h"
#include "platform/linux/QtDrawing.h"
#include "resources/Resources.h"
#include "support/ContentViewFixture.h"
#include "support/FakeDeviceCatalog.h"
#include "support/RecordingDrawContext.h"
#include "support/TestContents.h"
#include "views/AudioTrackView.h"
#include "views/EffectTrackView.h"
#include "views/ImageTrackView.h"
#include "views/MouseDispatcher.h"
#include "views/StackPanel.h"
#include "views/TextTrackView.h"
#include "views/TrackTitlePanel.h"
#include "views/TransitionTrackView.h"
#include "views/VideoTrackView.h"

namespace vortrel {
namespace {

using testing::CallbackObserver;
using testing::MakeDib;
using testing::RecordingDrawContext;
using testing::RecordingDrawing;
using testing::ScopedDrawing;
using testing::TemporaryFile;

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

// The stack of rows and the title column beside it, as the timeline lays them out: the
// column starts 2 pixels lower than the stack, whose first child would be the ruler.
class Rows : public ::testing::Test {
  protected:
    Rows() : drawing_(std::make_shared<RecordingDrawing>()), scoped_(drawing_) {
        stack_.SetY(20);
        titles_.SetY(22);
    }
    ~Rows() override { MouseDispatcher::Instance().OnMouseUp(0, 0); }

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
    ImageTrack image_{nullptr};
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

TEST_F(Rows, PressingAClipAnnouncesItAndRemovingItAnnouncesAnEmptySelectionBeforeItsViewGoes) {
    VideoTrack& track = video_;
    auto& row = AddRow<VideoTrackView>(track);
    IContent& content = AddTimed(track, scale_, 0, 400);
    content.GetChanged()->Notify(&content);  // as the content's first update does
    Layout();
    std::vector<std::pair<IView*, size_t>> announced;  // the selection, and the row's views
    CallbackObserver selection([&](ISubject& subject) {
        announced.emplace_back(static_cast<SelectionEvent&>(subject).GetSelected(),
                               row.GetChildren().size());
    });
    stack_.GetSelectionEvent()->Attach(&selection);

    IView* view = row.GetChildren()[0].view.get();
    ASSERT_TRUE(MouseDispatcher::Instance().OnMouseDown(view->GetX() + 50, view->GetY() + 26));
    VideoClip stranger(nullptr);
    row.RemoveContentView(&stranger);  // a content without a view changes nothing
    EXPECT_EQ(announced.size(), 1u);
    track.RemoveContentAt(0);
    EXPECT_EQ(announced, (std::vector<std::pair<IView*, size_t>>{{view, 1}, {nullptr, 1}}));
    EXPECT_TRUE(row.GetChildren().empty());
    // The capture went with the view: drags and the release reach no one.
    EXPECT_FALSE(MouseDispatcher::Instance().OnMouseMove(10, 10));
    EXPECT_FALSE(MouseDispatcher::Instance().OnMouseUp(10, 10));
    stack_.GetSelectionEvent()->Detach(&selection);
}

TEST_F(Rows, AHiddenTrackCollapsesItsRowAndTitleImageAndTheRowsBelowMoveUp) {
    AddRow<VideoTrackView>(video_);
    auto& middle = AddRow<ImageTrackView>(image_);
    auto& last = AddRow<AudioTrackView>(audio_);
    EXPECT_EQ(last.GetY(), 20 + 2 + 2 * 54);
    EXPECT_EQ(last.GetTitleImage()->GetY(), 22 + 2 * 54);

    image_.SetVisible(false);
    Layout();
    EXPECT_EQ(middle.GetVisualState(), IView::kCollapsed);
    EXPECT_EQ(middle.GetTitleImage()->GetVisualState(), IView::kCollapsed);
    EXPECT_EQ(last.GetY(), 20 + 2 + 54);
    EXPECT_EQ(last.GetTitleImage()->GetY(), 22 + 54);

    image_.SetVisible(true);
    Layout();
    EXPECT_EQ(middle.GetVisualState(), IView::kNormal);
    EXPECT_EQ(middle.GetTitleImage()->GetVisualState(), IView::kNormal);
    EXPECT_EQ(last.GetY(), 20 + 2 + 2 * 54);
    EXPECT_EQ(last.GetTitleImage()->GetY(), 22 + 2 * 54);
}

TEST_F(Rows, TheTitleColumnDrawsThroughItsCacheAndRedrawsWhenAnImageIsReplaced) {
    EXPECT_EQ(titles_.GetExplicitWidth(), 80);
    EXPECT_EQ(titles_.GetMarginLeft(), 3);
    EXPECT_TRUE(titles_.IsCached());
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

// --- A picture of a few rows on the Qt drawing -----------------------------------------

TEST(RowsPicture, ClipsShowTheirThumbnailFilmTilesAndWaveformOnQt) {
    std::shared_ptr<IDrawing> drawing = StartQtDrawing();
    ASSERT_NE(drawing, nullptr);
    ScopedDrawing scoped(drawing);
    TimeScale scale;

    // Two video clips whose poster is a 4:3 frame: sky over a meadow.
    TemporaryFile movie("movie.avi", {1});
    MediaCache::Instance().StorePoster(movie.Path(), 0, true,
                                       MakeDib(160, 120, [](int32_t x, int32_t y) {
                                           if (y >= 72) {
                                               return std::tuple{60, 150 + (x % 40), 60};
                                           }
                                           return std::tuple{120 + y, 190 + y / 2, 240};
                                       }).bits);
    TemporaryFile picture(
        "landscape.bmp", testing::BitmapFile(MakeDib(64, 48, [](int32_t x, int32_t y) {
            if (y >= 30) {
                return std::tuple{60, 160, 60};
            }
            const int32_t dx = x - 44, dy = y - 14;
            return dx * dx + dy * dy < 64 ? std::tuple{250, 210, 40} : std::tuple{135, 206, 235};
        })));
    VideoTrack video(nullptr);
    ImageTrack images(nullptr);
    AudioTrack audio(nullptr);
    EditingTimeline editing;
    TextTrack texts(editing.textTrack);

    StackPanel stack;
    stack.SetExplicitWidth(700);
    TrackTitlePanel titles;
    titles.SetMarginTop(2);
    const std::pair<ITrackView*, int> rows[] = {
        {static_cast<ITrackView*>(stack.AddPanel(std::make_unique<VideoTrackView>(&video, &scale))),
         kVideoTrackImageId},
        {static_cast<ITrackView*>(
             stack.AddPanel(std::make_unique<ImageTrackView>(&images, &scale))),
         kImageTrackImageId},
        {static_cast<ITrackView*>(stack.AddPanel(std::make_unique<AudioTrackView>(&audio, &scale))),
         kAudioTrackImageId},
        {static_cast<ITrackView*>(stack.AddPanel(std::make_unique<TextTrackView>(&texts, &scale))),
         kTextTrackImageId},
    };
    for (auto [row, id] : rows) {
        const auto bytes = ResourceBytes(id);
        ASSERT_TRUE(bytes.has_value());
        auto image = std::make_unique<ImageView>(bytes->data(), bytes->size());
        image->SetStretch(false);
        image->SetStretchHorizontal(true);
        image->SetExplicitHeight(52);
        image->SetMarginTop(titles.GetChildren().empty() ? 0 : 2);
        row->SetTitleImage(static_cast<ImageView*>(titles.AddView(std::move(image))));
    }

    auto clip = [&scale](ITrack& track, const std::wstring& source, int32_t start, int32_t stop) {
        auto& content = static_cast<IClip&>(AddTimed(track, scale, start, stop));
        content.SetSource(source);
        content.GetChanged()->Notify(&content);
        return &content;
    };
    clip(video, movie.Path(), 200, 1400);
    clip(video, movie.Path(), 1600, 1800);  // 50 pixels: the thumbnail is cut
    clip(images, picture.Path(), 400, 2200);
    auto* song = static_cast<AudioClip*>(clip(audio, L"song.wav", 0, 2400));
    for (int i = 0; i < 2400; ++i) {
        const double level = 0.85 * std::sin(i / 90.0) * (0.6 + 0.4 * std::sin(i / 23.0));
        song->GetWaveformLevels().push_back(std::abs(level));
        song->GetWaveformLevels().push_back(-std::abs(level) * 0.9);
    }
    clip(texts, L"Opening title", 300, 1300);
    clip(texts, L"Two\nlines", 1500, 2300);

    const int32_t width = 3 + 80 + 700;
    const int32_t height = 2 + 4 * 54;
    std::unique_ptr<IDrawSurface> surface = drawing->CreateSurface(width, height);
    ASSERT_NE(surface, nullptr);
    IDrawContext& context = surface->Context();
    context.SetPen(0x5F5F5F, 1);
    context.SetBrush(0x5F5F5F);
    context.Rectangle({0, 0, width, height});
    titles.SetX(3);
    titles.UpdateLayout();
    stack.SetX(83);
    stack.UpdateLayout();
    titles.Render(context);
    stack.Render(context);
    // The first video clip is selected.
    rows[0].first->GetChildren()[0].view->SetVisualState(IView::kSelected);
    stack.Render(context);

    if (const char* folder = std::getenv("VORTREL_PICTURE_DIR")) {
        QImage image(width, height, QImage::Format_RGB32);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const ColorRef c = surface->PixelAt(x, y);
                image.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
            }
        }
        image.save(QString::fromStdString(std::string(folder) + "/vortrel-track-rows.png"));
    }

    // The first clip starts at pixel 83 + 50 in the first row (y 2 .. 54): its thumbnail is
    // the sky over the meadow, right of it the film shows a white hole in a black band.
    const int32_t clipX = 83 + 50;
    const ColorRef sky = surface->PixelAt(clipX + 30, 2 + 20);
    EXPECT_EQ(sky >> 16, 240u);
    EXPECT_LT(sky & 0xFF, 200u);
    const ColorRef meadow = surface->PixelAt(clipX + 30, 2 + 44);
    EXPECT_EQ(meadow & 0xFF, 60u);
    EXPECT_EQ(meadow >> 16, 60u);
    EXPECT_EQ(surface->PixelAt(clipX + 87, 2 + 5), 0xFFFFFFu);
    EXPECT_EQ(surface->PixelAt(clipX + 93, 2 + 5), 0x000000u);
    // The waveform's columns stand on the zero line of the third row in the clip colour.
    const int32_t midY = 2 + 2 * 54 + 26;
    EXPECT_EQ(surface->PixelAt(83 + 100, midY - 3), 0xC86402u);
    MediaCache::Instance().Clear();
}

}  // namespace
}  // namespace vortrel

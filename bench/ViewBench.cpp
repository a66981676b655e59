// Laying out and painting a tree of 10 000 views into a 1920 x 400 surface: the first paint
// (every cache drawn), a repaint with nothing dirty (caches only blitted) and, as the
// reference of the same run, the same tree painted without caches. Each on the in-memory
// pixel fake and on the Qt drawing. The counters give the bytes the caches hold.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/linux/QtDrawing.h"
#include "support/PixelDrawing.h"
#include "views/BorderView.h"
#include "views/Canvas.h"
#include "views/LabelView.h"
#include "views/StackPanel.h"

namespace vortrel {
namespace {

constexpr int32_t kRows = 8;
constexpr int32_t kClipsPerRow = 1249;  // with the rows, their titles and panels: 10 010 views

// The tree: a root canvas, a stack of rows and in each row a title and clips 100 pixels
// wide every 120 pixels, so a row is 150 000 pixels long and the screen shows 16 clips of it.
struct ViewTree {
    std::unique_ptr<Canvas> root = std::make_unique<Canvas>();
    std::vector<IView*> views;

    explicit ViewTree(bool cached) {
        root->SetExplicitWidth(1920);
        root->SetExplicitHeight(400);
        auto stack = std::make_unique<StackPanel>(StackPanel::kVertical);
        stack->SetStretchHorizontal(true);
        for (int32_t r = 0; r < kRows; ++r) {
            auto row = std::make_unique<Canvas>();
            row->SetExplicitHeight(48);
            row->SetMarginTop(2);
            row->SetStretchHorizontal(true);
            auto title = std::make_unique<LabelView>();
            title->SetText(L"Track");
            title->SetExplicitWidth(80);
            title->SetExplicitHeight(20);
            views.push_back(row->AddView(std::move(title)));
            for (int32_t c = 0; c < kClipsPerRow; ++c) {
                auto clip = std::make_unique<BorderView>();
                clip->SetExplicitWidth(100);
                clip->SetMarginLeft(c * 120);
                clip->SetStretchVertical(true);
                clip->SetFillColor(0xC8C8C8);
                clip->SetPenColor(0x5F5F5F);
                clip->SetEdgeStyle(BorderView::kRaisedEdge);
                clip->SetCached(cached);
                views.push_back(row->AddView(std::move(clip)));
            }
            views.push_back(stack->AddPanel(std::move(row)));
        }
        views.push_back(root->AddPanel(std::move(stack)));
        views.push_back(root.get());
        root->UpdateLayout();
    }

    void MarkDirty() {
        for (IView* view : views) {
            view->SetDirty(true);
        }
    }

    int64_t CacheBytes() const {
        int64_t bytes = 0;
        for (const IView* view : views) {
            bytes += int64_t{view->GetCacheWidth()} * view->GetCacheHeight() * 4;
        }
        return bytes;
    }
};

std::shared_ptr<IDrawing> MakeDrawing(int64_t kind) {
    if (kind == 0) {
        return std::make_shared<testing::PixelDrawing>();
    }
    return StartQtDrawing();
}

const char* DrawingName(int64_t kind) {
    return kind == 0 ? "pixel fake" : "Qt";
}

void BM_ViewLayout(benchmark::State& state) {
    ViewTree tree(true);
    for (auto _ : state) {
        tree.root->UpdateLayout();
    }
    state.counters["views"] = static_cast<double>(tree.views.size());
}
BENCHMARK(BM_ViewLayout)->Unit(benchmark::kMicrosecond);

// Paints the tree; before each paint `prepare` runs outside the timing.
void Paint(benchmark::State& state, bool cached, const std::function<void(ViewTree&)>& prepare) {
    std::shared_ptr<IDrawing> drawing = MakeDrawing(state.range(0));
    if (drawing == nullptr) {
        state.SkipWithError("no drawing");
        return;
    }
    SetDrawing(drawing);
    std::unique_ptr<IDrawSurface> surface = drawing->CreateSurface(1920, 400);
    ViewTree tree(cached);
    tree.root->Render(surface->Context());
    for (auto _ : state) {
        state.PauseTiming();
        prepare(tree);
        state.ResumeTiming();
        tree.root->Render(surface->Context());
    }
    state.SetLabel(DrawingName(state.range(0)));
    state.counters["cacheBytes"] = static_cast<double>(tree.CacheBytes());
    SetDrawing(nullptr);
}

void BM_ViewFirstPaint(benchmark::State& state) {
    Paint(state, true, [](ViewTree& tree) { tree.MarkDirty(); });
}
BENCHMARK(BM_ViewFirstPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ViewRepaintNothingDirty(benchmark::State& state) {
    Paint(state, true, [](ViewTree&) {});
}
BENCHMARK(BM_ViewRepaintNothingDirty)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Reference: every view drawn directly at every paint.
void BM_ViewPaintUncached(benchmark::State& state) {
    Paint(state, false, [](ViewTree&) {});
}
BENCHMARK(BM_ViewPaintUncached)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vortrel

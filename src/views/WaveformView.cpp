#include "views/WaveformView.h"

#include <algorithm>
#include <cstddef>

#include "model/AudioClip.h"
#include "model/TimeRules.h"
#include "model/TimeScale.h"
#include "views/ThemeColors.h"

namespace vortrel {

namespace {

// The levels hold one (high, low) pair a millisecond of media.
constexpr int32_t kPairsPerSecond = 1000;

}  // namespace

WaveformView::WaveformView(AudioClip* clip, TimeScale* timeScale, MouseDispatcher& mouse)
    : IContentView(clip, timeScale, mouse), clip_(clip) {}

void WaveformView::Draw(IDrawContext& context) {
    DrawBody(context);
    context.SetPen(ThemeColors::Instance().Foreground(ThemeKey::kContent), 1);
    const DrawRect clip = context.ClipBox();
    const int32_t x = GetX();
    const int32_t width = GetEffectiveWidth();
    const int32_t height = GetEffectiveHeight();
    const int32_t midY = GetY() + height / 2;
    const int32_t half = height / 2;
    context.Line({x, midY}, {x + width, midY});

    const float scale = GetTimeScale() != nullptr ? GetTimeScale()->GetScale() : 1.0f;
    const int32_t pixelsPerSecond =
        TruncateToInt32(static_cast<double>(PixelsPerMillisecond(scale)) * 1000.0 + 0.0005);
    // At a zoom this small no column is a pixel wide: the zero line is all there is to see,
    // and the folding below would divide by zero.
    if (pixelsPerSecond <= 0 || clip_ == nullptr) {
        return;
    }
    const int32_t step = std::max(pixelsPerSecond / kPairsPerSecond, 1);
    const int32_t pairsPerColumn = std::max(kPairsPerSecond / pixelsPerSecond, 1);
    const std::vector<double>& levels = clip_->GetWaveformLevels();
    const int64_t pairCount = static_cast<int64_t>(levels.size() / 2);

    // Columns left of the clip box are not drawn; each column folds only its own pairs, so
    // they are skipped without being read. Columns stop at the clip box and at the view's
    // end, past which nothing of the view can show.
    int64_t column = 0;
    if (clip.left > x) {
        column = (static_cast<int64_t>(clip.left) - x + step - 1) / step;
    }
    const int64_t lastX = std::min<int64_t>(clip.right, static_cast<int64_t>(x) + width - 1);
    for (int64_t colX = x + column * step, pair = column * pairsPerColumn;
         colX <= lastX && pair + pairsPerColumn <= pairCount;
         colX += step, pair += pairsPerColumn) {
        double high = -1.0;
        double low = 1.0;
        for (int64_t i = pair; i < pair + pairsPerColumn; ++i) {
            high = std::max(high, levels[static_cast<size_t>(2 * i)]);
            low = std::min(low, levels[static_cast<size_t>(2 * i + 1)]);
        }
        const auto columnX = static_cast<int32_t>(colX);
        context.Line({columnX, midY}, {columnX, midY - TruncateToInt32(half * low)});
        context.Line({columnX, midY}, {columnX, midY - TruncateToInt32(half * high)});
    }
}

void WaveformView::OnContentChanged() {
    OnScaleChanged();
}

}  // namespace vortrel

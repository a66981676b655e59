#include "views/TimelineView.h"

namespace vortrel {

TrackImageBytes MakeTrackImageBytes(std::span<const uint8_t> bytes) {
    return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
}

TimelineView::TimelineView(TimelineModel& model) : model_(&model) {}

TimelineView::~TimelineView() {
    for (auto [subject, handler] : foreignSubscriptions_) {
        subject->Detach(handler);
    }
}

void TimelineView::Draw(IDrawContext& context) {
    rootCanvas_.Render(context);
}

void TimelineView::OnLayoutChanged() {
    Relayout();
}

void TimelineView::OnSelectionChanged(IView* /*view*/) {}

void TimelineView::AddTrackImage(TrackImageBytes image) {
    if (image != nullptr) {
        trackImages_.push_back(std::move(image));
    }
}

void TimelineView::SetTrackImage(int32_t /*index*/, TrackImageBytes /*image*/) {}

void TimelineView::AddTrackView(std::unique_ptr<ITrackView> /*trackView*/, int32_t /*index*/) {}

void TimelineView::Relayout() {
    rootCanvas_.SetExplicitWidth(GetEffectiveWidth());
    rootCanvas_.SetExplicitHeight(GetEffectiveHeight());
    rootCanvas_.UpdateLayout();
    UpdateScrollbars();
}

void TimelineView::UpdateScrollbars() {}

IContent* TimelineView::SelectedContent() const {
    return nullptr;
}

}  // namespace vortrel

#include "views/ITrackView.h"

#include "views/IContentView.h"

namespace vortrel {

ITrackView::ITrackView(ITrack* track, TimeScale* timeScale)
    : track_(track), timeScale_(timeScale), trackViewEvent_(std::make_shared<TrackViewEvent>()) {}

ITrackView::~ITrackView() = default;

void ITrackView::Draw(IDrawContext& context) {
    Canvas::Draw(context);
}

void ITrackView::AddContentView(IContent* /*content*/) {}

void ITrackView::RemoveContentView(IContent* /*content*/) {}

void ITrackView::SetRowVisible(bool /*visible*/) {}

IContentView* ITrackView::FindContentView(const IContent* /*content*/) const {
    return nullptr;
}

void ITrackView::AddExistingContents() {}

void ContentAddedHandler::Handle(ISubject& /*subject*/) {}

void ContentRemovedHandler::Handle(ISubject& /*subject*/) {}

void VisibilityChangedHandler::Handle(ISubject& /*subject*/) {}

void ImageChangedHandler::Handle(ISubject& /*subject*/) {}

}  // namespace vortrel

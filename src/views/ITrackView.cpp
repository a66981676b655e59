#include "views/ITrackView.h"

#include "model/ContentEvent.h"
#include "model/ITrack.h"
#include "model/TrackEvent.h"
#include "model/VisibilityEvent.h"
#include "views/BorderView.h"
#include "views/IContentView.h"
#include "views/ThemeColors.h"

namespace vortrel {

ITrackView::ITrackView(ITrack* track, TimeScale* timeScale, MouseDispatcher& mouse)
    : track_(track),
      timeScale_(timeScale),
      mouse_(mouse),
      trackViewEvent_(std::make_shared<TrackViewEvent>()) {
    SetExplicitHeight(kRowHeight);
    SetMarginTop(kRowMarginTop);
    SetStretchHorizontal(true);
    contentAddedHandler_ = MakeHandler<ContentAddedHandler>(this);
    contentRemovedHandler_ = MakeHandler<ContentRemovedHandler>(this);
    visibilityChangedHandler_ = MakeHandler<VisibilityChangedHandler>(this);
    imageChangedHandler_ = MakeHandler<ImageChangedHandler>(this);
    if (track_ != nullptr) {
        track_->GetContentAdded()->Attach(contentAddedHandler_);
        track_->GetContentRemoved()->Attach(contentRemovedHandler_);
        track_->GetVisibilityChanged()->Attach(visibilityChangedHandler_);
        track_->GetImageChanged()->Attach(imageChangedHandler_);
    }
}

ITrackView::~ITrackView() {
    // The handlers go with the row, so the track must not call them afterwards. The tree is
    // destroyed before the model, so the track is still there to be left.
    if (track_ != nullptr) {
        track_->GetContentAdded()->Detach(contentAddedHandler_);
        track_->GetContentRemoved()->Detach(contentRemovedHandler_);
        track_->GetVisibilityChanged()->Detach(visibilityChangedHandler_);
        track_->GetImageChanged()->Detach(imageChangedHandler_);
    }
}

void ITrackView::Draw(IDrawContext& context) {
    const ColorRef background = ThemeColors::Instance().Background(ThemeKey::kTrackRow);
    BorderView row(GetBounds(), background, background);
    row.Render(context);
    Canvas::Draw(context);
}

void ITrackView::AddContentView(IContent* content) {
    if (content == nullptr) {
        return;
    }
    AddView(MakeContentView(content));
}

void ITrackView::RemoveContentView(IContent* content) {
    IContentView* view = FindContentView(content);
    if (view == nullptr) {
        return;
    }
    RemoveChild(view);
    GetLayoutEvent()->Notify();
}

IContentView* ITrackView::FindContentView(const IContent* content) const {
    if (content == nullptr) {
        return nullptr;
    }
    for (const Child& child : GetChildren()) {
        auto* view = dynamic_cast<IContentView*>(child.view.get());
        if (view != nullptr && view->GetContent() == content) {
            return view;
        }
    }
    return nullptr;
}

void ITrackView::SetRowVisible(bool visible) {
    const int32_t state = visible ? kNormal : kCollapsed;
    if (GetVisualState() != state) {
        SetVisualState(state);
    }
    if (titleImage_ != nullptr && titleImage_->GetVisualState() != state) {
        titleImage_->SetVisualState(state);
    }
}

void ITrackView::AddExistingContents() {
    if (track_ == nullptr) {
        return;
    }
    for (int32_t position = 0; position < track_->GetContentCount(); ++position) {
        AddContentView(track_->GetContentAt(position));
    }
}

void ContentAddedHandler::Handle(ISubject& subject) {
    if (auto* event = dynamic_cast<ContentEvent*>(&subject)) {
        view_->AddContentView(event->GetContent());
    }
}

void ContentRemovedHandler::Handle(ISubject& subject) {
    if (auto* event = dynamic_cast<ContentEvent*>(&subject)) {
        view_->RemoveContentView(event->GetContent());
    }
}

void VisibilityChangedHandler::Handle(ISubject& subject) {
    if (auto* event = dynamic_cast<VisibilityEvent*>(&subject)) {
        view_->SetRowVisible(event->IsVisible());
    }
}

void ImageChangedHandler::Handle(ISubject& subject) {
    if (auto* event = dynamic_cast<TrackEvent*>(&subject)) {
        view_->GetTrackViewEvent()->Notify(view_, event->GetIndex());
    }
}

}  // namespace vortrel

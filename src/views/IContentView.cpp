#include "views/IContentView.h"

namespace vortrel {

IContentView::IContentView(IContent* content, TimeScale* timeScale)
    : content_(content), timeScale_(timeScale) {}

IContentView::~IContentView() = default;

void IContentView::Handle(ISubject& /*subject*/) {}

void IContentView::GetToolTipText(std::wstring& /*title*/, std::wstring& /*text*/) {}

void IContentView::DrawOverlay(IDrawContext& /*context*/) {}

void IContentView::OnMouseDown(int32_t /*x*/, int32_t /*y*/) {}

void IContentView::OnMouseUp() {}

void IContentView::OnMouseDragged(int32_t /*dx*/, int32_t /*dy*/) {}

void IContentView::OnContentChanged() {}

void IContentView::OnScaleChanged() {}

void IContentView::ComputeGeometry() {}

void IContentView::Relayout() {}

void IContentView::DrawBody(IDrawContext& /*context*/) {}

}  // namespace vortrel

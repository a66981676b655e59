#include "control/WindowHandlers.h"

#include <algorithm>

#include "model/TimerDispatcher.h"
#include "ports/IControlWindow.h"
#include "views/IView.h"
#include "views/MouseDispatcher.h"

namespace vortrel {

void WindowHandlers::OnSize(int16_t width, int16_t height) {
    if (width < 1 || height < 1) {
        return;
    }
    root_.SetWidth(width);
    root_.SetHeight(height);
    root_.OnLayoutChanged();
}

void WindowHandlers::OnPaint(IDrawContext& target, int32_t clientWidth, int32_t clientHeight,
                             const DrawRect& update) {
    const DrawRect part{std::max(update.left, 0), std::max(update.top, 0),
                        std::min(update.right, clientWidth), std::min(update.bottom, clientHeight)};
    if (part.Width() < 1 || part.Height() < 1) {
        return;
    }
    if (!buffer_ || buffer_->Width() != clientWidth || buffer_->Height() != clientHeight) {
        buffer_.reset();  // the old pixels go before the new surface is made
        buffer_ = target.CreateCompatibleSurface(clientWidth, clientHeight);
        if (!buffer_) {
            return;  // no memory for the surface: the window keeps its old picture
        }
    }
    IDrawContext& memory = buffer_->Context();
    memory.SetViewportOrigin({0, 0});
    // Cached views redraw only what lies in the clip, and the rest of the surface is not
    // copied, so a small damaged part costs little.
    memory.SetClipRect(part);
    root_.Render(memory);
    memory.RemoveClip();
    target.Blit({part.left, part.top}, part.Width(), part.Height(), *buffer_,
                {part.left, part.top});
}

void WindowHandlers::OnLeftButtonDown(int16_t x, int16_t y) {
    if (mouse_.OnMouseDown(x, y)) {
        Repaint();
    }
    // Held in every case, so that the release reaches the window even off it.
    if (window_ != nullptr) {
        window_->SetCapture();
    }
}

void WindowHandlers::OnLeftButtonUp(int16_t x, int16_t y) {
    if (mouse_.OnMouseUp(x, y)) {
        Repaint();
    }
    if (window_ != nullptr) {
        window_->ReleaseCapture();
    }
}

void WindowHandlers::OnMouseMove(int16_t x, int16_t y) {
    if (mouse_.OnMouseMove(x, y)) {
        Repaint();
    }
}

void WindowHandlers::OnTimer(int32_t timerId) {
    TimerDispatcher::Instance().Fire(timerId);
    Repaint();
}

void WindowHandlers::Repaint() const {
    if (window_ != nullptr) {
        window_->Invalidate();
    }
}

}  // namespace vortrel

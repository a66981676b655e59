#include "platform/linux/widget/TimelineWidget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimerEvent>

#include <algorithm>
#include <vector>

#include "control/CTimelineControl.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/QtDrawContext.h"
#include "ports/IControlWindow.h"
#include "ports/ITimerHost.h"

namespace vortrel {

namespace {

// Every widget alive in the process. The process's timers all run on the widget registered
// last, and a tick may belong to any control, so every widget repaints after one.
std::vector<TimelineWidget*>& LiveWidgets() {
    static std::vector<TimelineWidget*> widgets;
    return widgets;
}

// A client coordinate as the window messages carry it: 16 bits, signed (a drag off the
// widget gives points beyond its edges, negative ones too).
int16_t Coordinate(int value) {
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

}  // namespace

// The widget as the control's window and timer host. The mouse stays with the widget from a
// press to its release through Qt's implicit grab of the pressed widget, so capture asks
// nothing of the window system (an explicit grab could outlive a lost release).
class TimelineWidget::Host : public IControlWindow, public ITimerHost {
  public:
    explicit Host(TimelineWidget& widget) : widget_(widget) {}

    void Invalidate() override { widget_.update(); }
    void SetCursor(ControlCursor cursor) override {
        widget_.setCursor(cursor == ControlCursor::Wait ? Qt::WaitCursor : Qt::ArrowCursor);
    }
    void SetCapture() override {}
    void ReleaseCapture() override {}

    void SetTimer(int32_t timerId, int32_t milliseconds) override {
        KillTimer(timerId);
        const int qtId = widget_.startTimer(std::max(milliseconds, 0));
        if (qtId != 0) {
            widget_.controlTimers_[qtId] = timerId;
        }
    }
    void KillTimer(int32_t timerId) override {
        auto& timers = widget_.controlTimers_;
        for (auto it = timers.begin(); it != timers.end();) {
            if (it->second == timerId) {
                widget_.killTimer(it->first);
                it = timers.erase(it);
            } else {
                ++it;
            }
        }
    }

  private:
    TimelineWidget& widget_;
};

// Turns the control's events into the widget's signals, synchronously.
class TimelineWidget::Sink : public ITimelineControlEvents {
  public:
    explicit Sink(TimelineWidget& widget) : widget_(widget) {}

    void OnClickClip(int32_t trackIndex, int32_t clipIndex) override {
        emit widget_.clipClicked(trackIndex, clipIndex);
    }
    void OnUpdate() override { emit widget_.updated(); }
    void OnPlaying(int32_t currentPosition) override { emit widget_.playing(currentPosition); }
    void OnPlayingCompleted() override { emit widget_.playingCompleted(); }
    void OnConvertProgress(int32_t progress) override { emit widget_.convertProgress(progress); }
    void OnConvertCompleted() override { emit widget_.convertCompleted(); }

  private:
    TimelineWidget& widget_;
};

TimelineWidget::TimelineWidget(QWidget* parent)
    : QWidget(parent),
      host_(std::make_unique<Host>(*this)),
      sink_(std::make_unique<Sink>(*this)),
      control_(CreateLinuxControl()),
      backing_(std::make_unique<QImage>()) {
    // The control paints every pixel itself: Qt neither erases nor fills the background.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);  // hover tips need the moves without a button
    control_->OnCreate(host_.get(), host_.get());
    control_->Advise(sink_.get());
    LiveWidgets().push_back(this);
}

TimelineWidget::~TimelineWidget() {
    std::erase(LiveWidgets(), this);
    control_->Unadvise(sink_.get());
    control_->OnDestroy();  // the process's timers move to another widget, if any
    control_.reset();
}

ITimelineControl& TimelineWidget::control() {
    return *control_;
}

CTimelineControl& TimelineWidget::timelineControl() {
    return *control_;
}

void TimelineWidget::setPreviewWindow(QWidget& previewWindow) {
    // X window ids fit 32 bits; the member carries them in an int.
    control_->SetPreviewWnd(static_cast<int32_t>(static_cast<uint32_t>(previewWindow.winId())));
}

void TimelineWidget::paintEvent(QPaintEvent* event) {
    const int w = width();
    const int h = height();
    if (w < 1 || h < 1) {
        return;
    }
    if (backing_->size() != QSize(w, h)) {
        *backing_ = QImage(w, h, QImage::Format_RGB32);
        backing_->fill(Qt::white);
    }
    const QRect damaged = event->rect().intersected(rect());
    {
        QtDrawContext context(*backing_);
        control_->OnPaint(
            context, w, h,
            {damaged.left(), damaged.top(), damaged.right() + 1, damaged.bottom() + 1});
    }
    QPainter painter(this);
    painter.drawImage(damaged.topLeft(), *backing_, damaged);
}

void TimelineWidget::resizeEvent(QResizeEvent* event) {
    control_->OnSize(Coordinate(event->size().width()), Coordinate(event->size().height()));
    QWidget::resizeEvent(event);
}

void TimelineWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    control_->OnLeftButtonDown(Coordinate(event->pos().x()), Coordinate(event->pos().y()));
}

void TimelineWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    control_->OnLeftButtonUp(Coordinate(event->pos().x()), Coordinate(event->pos().y()));
}

void TimelineWidget::mouseMoveEvent(QMouseEvent* event) {
    control_->OnMouseMove(Coordinate(event->pos().x()), Coordinate(event->pos().y()));
}

void TimelineWidget::timerEvent(QTimerEvent* event) {
    const auto found = controlTimers_.find(event->timerId());
    if (found == controlTimers_.end()) {
        QWidget::timerEvent(event);
        return;
    }
    // The tick reaches its owner through the process's dispatcher, whichever widget it is.
    control_->OnTimer(found->second);
    for (TimelineWidget* widget : LiveWidgets()) {
        if (widget != this) {
            widget->update();
        }
    }
}

}  // namespace vortrel

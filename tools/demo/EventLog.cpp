#include "EventLog.h"

#include <QFontDatabase>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>

#include "platform/linux/widget/TimelineWidget.h"

namespace vortrel {

namespace {

constexpr int kMostLines = 2000;

}  // namespace

EventLog::EventLog(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setMaximumBlockCount(kMostLines);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

void EventLog::attach(TimelineWidget& widget) {
    connect(&widget, &TimelineWidget::updated, this, [this] { add("OnUpdate"); });
    connect(&widget, &TimelineWidget::clipClicked, this, [this](int track, int clip) {
        add(QString("OnClickClip track %1, clip %2").arg(track).arg(clip));
    });
    connect(&widget, &TimelineWidget::playing, this,
            [this](int ms) { add(QString("OnPlaying %1 ms").arg(ms)); });
    connect(&widget, &TimelineWidget::playingCompleted, this,
            [this] { add("OnPlayingCompleted"); });
    connect(&widget, &TimelineWidget::convertProgress, this,
            [this](int progress) { add(QString("OnConvertProgress %1").arg(progress)); });
    connect(&widget, &TimelineWidget::convertCompleted, this,
            [this] { add("OnConvertCompleted"); });
}

void EventLog::add(const QString& line) {
    const QString stamp = QTime::currentTime().toString("HH:mm:ss.zzz");
    if (line == last_ && document()->blockCount() > 0) {
        ++repeats_;
        // The last line is written again in place, with its count.
        QTextCursor cursor(document()->lastBlock());
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(QString("%1  %2  (x%3)").arg(stamp, line).arg(repeats_));
        return;
    }
    last_ = line;
    repeats_ = 1;
    appendPlainText(QString("%1  %2").arg(stamp, line));
}

}  // namespace vortrel

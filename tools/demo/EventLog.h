#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace vortrel {

class TimelineWidget;

// The log panel: one line for every event the control fires (OnUpdate, OnClickClip, OnPlaying,
// OnPlayingCompleted, OnConvertProgress, OnConvertCompleted) with the time it came, and the
// host's own failures. A run of the same line is counted on one line rather than repeated, so
// that the updates of a drag do not push everything else out.
class EventLog : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit EventLog(QWidget* parent = nullptr);

    /// Logs the events of a widget's control from now on.
    void attach(TimelineWidget& widget);
    /// Adds one line.
    void add(const QString& line);

  private:
    QString last_;
    int repeats_ = 0;
};

}  // namespace vortrel

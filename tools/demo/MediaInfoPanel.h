#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace vortrel {

class ITimelineControl;

// The media information panel: what the control's GetMediaInfo tells of one file (length,
// picture, frame rate, bit rates, sound, streams and formats), with a button to choose the
// file. A file the control cannot read is said to be so in the panel.
class MediaInfoPanel : public QWidget {
    Q_OBJECT

  public:
    MediaInfoPanel(ITimelineControl& control, QWidget* parent = nullptr);

    /// Shows the information of a file.
    void showFile(const QString& path);

  private:
    void choose();

    ITimelineControl& control_;
    QLabel* file_;
    QLabel* duration_;
    QLabel* picture_;
    QLabel* frameRate_;
    QLabel* bitRates_;
    QLabel* sound_;
    QLabel* streams_;
    QLabel* container_;
    QLabel* formats_;
    QLabel* status_;
};

}  // namespace vortrel

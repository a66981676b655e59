#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;

namespace vortrel {

class ITimelineControl;

// The dialog that adds a transition or an effect: its name, picked from the ones the control
// lists as installed (GetDESTransition, GetDESEffect), and its times; a transition also names
// the track it brings in (video 2 or the image track) and its direction.
class TransitionEffectDialog : public QDialog {
    Q_OBJECT

  public:
    enum class Kind { Transition, Effect };

    /// What the user asked for.
    struct Request {
        QString name;
        float start = 0;
        float stop = 0;
        int mediaTrack = 2;  // transitions only
        bool reverse = false;
    };

    TransitionEffectDialog(Kind kind, ITimelineControl& control, float start,
                           QWidget* parent = nullptr);

    /// What the user asked for.
    Request request() const;
    /// Whether the control listed any name to choose from.
    bool hasNames() const;

  private:
    QComboBox* name_;
    QDoubleSpinBox* start_;
    QDoubleSpinBox* stop_;
    QComboBox* mediaTrack_ = nullptr;
    QCheckBox* reverse_ = nullptr;
};

}  // namespace vortrel

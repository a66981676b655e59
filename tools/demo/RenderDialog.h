#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace vortrel {

class ITimelineControl;

// The render dialog: the output type (the control's OutputType, with the types' names and
// usual extensions), the output file and the main settings of that type, read from the
// control's properties and written back when the render starts; a progress bar fed by the
// control's progress events, and Cancel, which stops the conversion.
class RenderDialog : public QDialog {
    Q_OBJECT

  public:
    /// The settings a render is started with. Bit rates are in kbit/s here, whatever unit
    /// the type's properties take.
    struct Settings {
        int32_t type = 2;
        QString file;
        int32_t width = 0;
        int32_t height = 0;
        float frameRate = 0;
        int32_t videoKbps = 0;
        int32_t audioKbps = 0;
        int32_t preset = -1;           // MP4
        int32_t videoCompressor = -1;  // AVI
        int32_t audioCompressor = -1;  // AVI
        int32_t wmvProfile = 0;        // WMV
        bool ac3 = true;               // MPEG
    };

    RenderDialog(ITimelineControl& control, const QString& file, QWidget* parent = nullptr);

    /// The settings of a type as the control's properties hold them now.
    static Settings read(ITimelineControl& control, int32_t type);
    /// Puts the settings of their type into the control's properties (OutputType included).
    static void write(ITimelineControl& control, const Settings& settings);

  signals:
    /// The user asked for a render with these settings.
    void renderRequested(const vortrel::RenderDialog::Settings& settings);
    /// The user asked to stop the running render.
    void cancelRequested();

  public slots:
    /// A render started (or could not start): the buttons follow.
    void setRunning(bool running);
    /// The control's progress, in percent (-1: the conversion failed).
    void showProgress(int progress);
    /// The render ended: written, failed or stopped, with a line saying which.
    void showFinished(bool written, const QString& message);

  private:
    void typeChanged();
    void browse();
    void start();
    Settings settings() const;
    void showRow(QWidget* field, bool shown);

    ITimelineControl& control_;
    QFormLayout* form_;
    QComboBox* type_;
    QLineEdit* file_;
    QSpinBox* width_;
    QSpinBox* height_;
    QDoubleSpinBox* frameRate_;
    QSpinBox* videoKbps_;
    QSpinBox* audioKbps_;
    QComboBox* preset_;
    QComboBox* videoCompressor_;
    QComboBox* audioCompressor_;
    QComboBox* wmvProfile_;
    QCheckBox* ac3_;
    QLabel* note_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* renderButton_;
    QPushButton* cancelButton_;
    QPushButton* closeButton_;
    bool running_ = false;
};

}  // namespace vortrel

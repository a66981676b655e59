#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QString>

#include "ports/LogFont.h"

class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vortrel {

// The dialog that asks for a title: its text, its times on the timeline, where it stands on
// the picture, its font (through the font dialog) and its colour (through the colour dialog).
class TextClipDialog : public QDialog {
    Q_OBJECT

  public:
    /// A title as the user asked for it.
    struct Request {
        QString text;
        float start = 0;
        float stop = 0;
        QFont font;
        int x = 0;
        int y = 0;
        QColor color;
    };

    /// A dialog for a title starting at a time, on a picture of the given size.
    TextClipDialog(float start, int pictureWidth, int pictureHeight, QWidget* parent = nullptr);

    /// What the user asked for.
    Request request() const;

    /// The logical font record of a Qt font: the character height in pixels (negative, as
    /// the record's rule has it), weight, italic, underline, strike-out and face.
    static LogFont toLogFont(const QFont& font);

  private:
    void chooseFont();
    void chooseColor();
    void showChoices();

    QLineEdit* text_;
    QDoubleSpinBox* start_;
    QDoubleSpinBox* stop_;
    QSpinBox* x_;
    QSpinBox* y_;
    QPushButton* fontButton_;
    QPushButton* colorButton_;
    QFont font_;
    QColor color_ = Qt::white;
};

}  // namespace vortrel

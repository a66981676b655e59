#include "TextClipDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace vortrel {

namespace {

// Qt's weights (0 to 99) against the record's (100 to 900).
struct WeightPair {
    int qt;
    int32_t record;
};
constexpr WeightPair kWeights[] = {
    {QFont::Thin, 100},   {QFont::ExtraLight, 200}, {QFont::Light, 300},
    {QFont::Normal, 400}, {QFont::Medium, 500},     {QFont::DemiBold, 600},
    {QFont::Bold, 700},   {QFont::ExtraBold, 800},  {QFont::Black, 900},
};

}  // namespace

TextClipDialog::TextClipDialog(float start, int pictureWidth, int pictureHeight, QWidget* parent)
    : QDialog(parent), font_("DejaVu Sans") {
    setWindowTitle(tr("Add Text Clip"));
    font_.setPixelSize(24);
    font_.setBold(true);
    auto* form = new QFormLayout(this);
    text_ = new QLineEdit(tr("Title"), this);
    start_ = new QDoubleSpinBox(this);
    stop_ = new QDoubleSpinBox(this);
    for (QDoubleSpinBox* time : {start_, stop_}) {
        time->setRange(0, 36000);
        time->setDecimals(2);
        time->setSuffix(" s");
    }
    start_->setValue(start);
    stop_->setValue(start + 3);
    x_ = new QSpinBox(this);
    y_ = new QSpinBox(this);
    x_->setRange(-pictureWidth, pictureWidth);
    y_->setRange(-pictureHeight, pictureHeight);
    x_->setValue(20);
    y_->setValue(std::max(0, pictureHeight * 3 / 4));
    fontButton_ = new QPushButton(this);
    colorButton_ = new QPushButton(this);
    connect(fontButton_, &QPushButton::clicked, this, &TextClipDialog::chooseFont);
    connect(colorButton_, &QPushButton::clicked, this, &TextClipDialog::chooseColor);
    form->addRow(tr("Text"), text_);
    form->addRow(tr("Start"), start_);
    form->addRow(tr("Stop"), stop_);
    form->addRow(tr("Left (pixels)"), x_);
    form->addRow(tr("Top (pixels)"), y_);
    form->addRow(tr("Font"), fontButton_);
    form->addRow(tr("Colour"), colorButton_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    showChoices();
}

TextClipDialog::Request TextClipDialog::request() const {
    return {text_->text(),
            static_cast<float>(start_->value()),
            static_cast<float>(stop_->value()),
            font_,
            x_->value(),
            y_->value(),
            color_};
}

void TextClipDialog::chooseFont() {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, font_, this, tr("Title Font"));
    if (chosen) {
        font_ = font;
        showChoices();
    }
}

void TextClipDialog::chooseColor() {
    const QColor color = QColorDialog::getColor(color_, this, tr("Title Colour"));
    if (color.isValid()) {
        color_ = color;
        showChoices();
    }
}

void TextClipDialog::showChoices() {
    fontButton_->setText(QString("%1, %2 px%3")
                             .arg(font_.family())
                             .arg(QFontInfo(font_).pixelSize())
                             .arg(font_.bold() ? tr(", bold") : QString()));
    colorButton_->setText(color_.name());
    colorButton_->setStyleSheet(
        QString("background-color: %1; color: %2")
            .arg(color_.name(), color_.lightness() > 128 ? "black" : "white"));
}

LogFont TextClipDialog::toLogFont(const QFont& font) {
    LogFont record;
    record.SetFaceName(font.family().toStdWString());
    // A font given in points is measured at the screen's resolution.
    record.height = -std::max(1, QFontInfo(font).pixelSize());
    const auto nearest = std::min_element(
        std::begin(kWeights), std::end(kWeights), [&font](const auto& a, const auto& b) {
            return std::abs(a.qt - font.weight()) < std::abs(b.qt - font.weight());
        });
    record.weight = nearest->record;
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    return record;
}

}  // namespace vortrel

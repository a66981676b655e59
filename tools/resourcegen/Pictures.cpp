#include "Pictures.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>

namespace vortrel::resourcegen {
namespace {

// One palette and two line weights for every picture, chosen to read on the light title
// column (200, 200, 200) beside the dark track rows.
const QColor kInk(34, 38, 52);
const QColor kFilm(52, 57, 72);
const QColor kPaper(252, 252, 248);
const QColor kSkyTop(92, 168, 235);
const QColor kSkyBottom(190, 228, 250);
const QColor kBlue(48, 110, 215);
const QColor kBlueLight(110, 170, 245);
const QColor kOrange(236, 128, 36);
const QColor kOrangeLight(250, 190, 95);
const QColor kGreen(60, 150, 70);
const QColor kGreenLight(125, 196, 85);
const QColor kYellow(250, 200, 45);
const QColor kRed(214, 52, 46);
const QColor kPurple(120, 80, 210);
const QColor kPurpleLight(165, 130, 240);
const QColor kWood(236, 196, 140);
const QColor kMetal(170, 176, 190);
const QColor kEraser(240, 130, 150);
constexpr double kOutline = 2.0;  // outer outlines of the 48-pixel pictures
constexpr double kDetail = 1.5;   // inner lines and small parts

// A transparent square canvas and an anti-aliasing painter on it.
struct Canvas {
    explicit Canvas(int size) : image(size, size, QImage::Format_ARGB32_Premultiplied) {
        image.fill(Qt::transparent);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing);
    }
    // Ends the painting and hands over the pixels with straight alpha.
    QImage Finish() {
        painter.end();
        return image.convertToFormat(QImage::Format_ARGB32);
    }
    QImage image;
    QPainter painter;
};

QPen InkPen(double width) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QLinearGradient Vertical(const QRectF& rect, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

// A small landscape: sky and a green hill whose crest lies at hillX (0 to 1 of the width).
void DrawScene(QPainter& painter, const QRectF& rect, double hillX) {
    painter.save();
    painter.setClipRect(rect);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Vertical(rect, kSkyTop, kSkyBottom));
    painter.drawRect(rect);
    const double crestX = rect.left() + hillX * rect.width();
    const double hillWidth = rect.width() * 1.1;
    painter.setBrush(kGreenLight);
    painter.drawEllipse(QRectF(crestX - hillWidth / 2, rect.bottom() - rect.height() * 0.42,
                               hillWidth, rect.height()));
    painter.restore();
}

// A film body with a row of paper-white sprocket holes along its top and bottom edges.
void DrawFilm(QPainter& painter, const QRectF& body, int holes, double holeWidth, double step) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kFilm);
    painter.drawRoundedRect(body, 3, 3);
    painter.setBrush(kPaper);
    const double span = (holes - 1) * step + holeWidth;
    const double left = body.left() + (body.width() - span) / 2;
    for (int i = 0; i < holes; ++i) {
        const double x = left + i * step;
        painter.drawRoundedRect(QRectF(x, body.top() + 3, holeWidth, 4), 1, 1);
        painter.drawRoundedRect(QRectF(x, body.bottom() - 7, holeWidth, 4), 1, 1);
    }
}

// The video track: a strip of film with two frames of a moving scene.
QImage FilmStrip() {
    Canvas canvas(50);
    QPainter& painter = canvas.painter;
    DrawFilm(painter, QRectF(2, 9, 46, 32), 6, 5, 7);
    DrawScene(painter, QRectF(5, 19, 18, 12), 0.25);
    DrawScene(painter, QRectF(27, 19, 18, 12), 0.55);
    return canvas.Finish();
}

// The transition track: one film frame whose picture changes from one clip to the next
// across a slanted cut line.
QImage CutFrame() {
    Canvas canvas(48);
    QPainter& painter = canvas.painter;
    DrawFilm(painter, QRectF(2, 6, 44, 36), 5, 6, 8);

    const QRectF picture(5, 16, 38, 16);
    const QPointF cutTop(29, 3);
    const QPointF cutBottom(19, 45);
    QPainterPath left;
    left.addPolygon(QPolygonF({QPointF(0, 0), cutTop, cutBottom, QPointF(0, 48)}));
    painter.save();
    painter.setClipRect(picture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Vertical(picture, kOrangeLight, kOrange));
    painter.drawRect(picture);
    painter.setClipPath(left, Qt::IntersectClip);
    painter.setBrush(Vertical(picture, kBlueLight, kBlue));
    painter.drawRect(picture);
    painter.restore();

    painter.setPen(QPen(kPaper, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(cutTop, cutBottom);
    painter.setPen(QPen(kRed, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(cutTop, cutBottom);
    return canvas.Finish();
}

// An ellipse of radii rx, ry about centre, turned by degrees.
QPainterPath TurnedEllipse(QPointF centre, double rx, double ry, double degrees) {
    QPainterPath ellipse;
    ellipse.addEllipse(QPointF(0, 0), rx, ry);
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(degrees);
    return turn.map(ellipse);
}

// The audio track: two beamed eighth notes.
QImage MusicalNote() {
    Canvas canvas(48);
    QPainter& painter = canvas.painter;
    QPainterPath stems;
    stems.addRect(QRectF(17, 12, 4, 25));
    stems.addRect(QRectF(37, 8, 4, 25));
    stems.addPolygon(QPolygonF({QPointF(17, 9), QPointF(41, 4), QPointF(41, 11), QPointF(17, 16)}));
    const QPainterPath note = TurnedEllipse(QPointF(14, 37), 7.5, 5.2, -25)
                                  .united(TurnedEllipse(QPointF(34, 33), 7.5, 5.2, -25))
                                  .united(stems);
    painter.setPen(InkPen(kDetail));
    painter.setBrush(Vertical(QRectF(0, 4, 48, 40), kPurpleLight, kPurple));
    painter.drawPath(note);
    return canvas.Finish();
}

// A four-pointed sparkle of the given outer radius, its sides curved inwards.
QPainterPath Sparkle(QPointF centre, double radius) {
    QPainterPath path;
    const double waist = radius * 0.22;
    const QPointF tips[] = {{0, -radius}, {radius, 0}, {0, radius}, {-radius, 0}};
    const QPointF waists[] = {{waist, -waist}, {waist, waist}, {-waist, waist}, {-waist, -waist}};
    path.moveTo(centre + tips[0]);
    for (int i = 0; i < 4; ++i) {
        path.quadTo(centre + waists[i], centre + tips[(i + 1) % 4]);
    }
    path.closeSubpath();
    return path;
}

// The effect track: a magic wand with sparkles.
QImage MagicWand() {
    Canvas canvas(48);
    QPainter& painter = canvas.painter;
    const QPointF handle(8, 42);
    const QPointF tip(30, 20);
    const QPointF tipStart = handle + (tip - handle) * 0.74;
    painter.setPen(QPen(kInk, 7, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(handle, tip);
    painter.setPen(QPen(kPaper, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tipStart, tip);

    painter.setPen(InkPen(kDetail));
    painter.setBrush(kYellow);
    painter.drawPath(Sparkle(QPointF(36, 13), 10));
    painter.drawPath(Sparkle(QPointF(17, 12), 5.5));
    painter.drawPath(Sparkle(QPointF(40, 33), 5.5));
    return canvas.Finish();
}

// The image track: a framed landscape with sky, sun and hills.
QImage Landscape() {
    Canvas canvas(48);
    QPainter& painter = canvas.painter;
    const QRectF frame(4, 8, 40, 32);
    QPainterPath inside;
    inside.addRoundedRect(frame, 3, 3);

    painter.save();
    painter.setClipPath(inside);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Vertical(frame, kSkyTop, kSkyBottom));
    painter.drawRect(frame);
    painter.setBrush(kYellow);
    painter.drawEllipse(QPointF(33, 17), 4.5, 4.5);
    painter.setBrush(kGreen);
    painter.drawPolygon(QPolygonF({QPointF(2, 42), QPointF(2, 31), QPointF(15, 19), QPointF(25, 29),
                                   QPointF(30, 25), QPointF(46, 39), QPointF(46, 42)}));
    painter.setBrush(kGreenLight);
    QPainterPath hill;
    hill.moveTo(2, 42);
    hill.lineTo(2, 36);
    hill.cubicTo(QPointF(14, 29), QPointF(30, 31), QPointF(46, 36));
    hill.lineTo(46, 42);
    painter.drawPath(hill);
    painter.restore();

    painter.setPen(InkPen(kOutline));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(inside);
    return canvas.Finish();
}

// A pencil lying along the x axis from its point at the origin to its eraser at x = length.
void DrawPencil(QPainter& painter, double length, double width) {
    const double half = width / 2;
    const double cone = 8;
    const double band = length - 8;
    const double eraser = length - 5;
    painter.setPen(InkPen(kDetail));
    // From the eraser to the point, each part drawn over the rounded end of the one before.
    painter.setBrush(kEraser);
    painter.drawRoundedRect(QRectF(eraser - 2, -half, length - eraser + 2, width), 2, 2);
    painter.setBrush(kMetal);
    painter.drawRect(QRectF(band, -half, eraser - band, width));
    painter.setBrush(kYellow);
    painter.drawRect(QRectF(cone, -half, band - cone, width));
    painter.setBrush(kWood);
    painter.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(cone, -half), QPointF(cone, half)}));
    painter.setBrush(kInk);
    painter.drawPolygon(QPolygonF(
        {QPointF(0, 0), QPointF(cone * 0.35, -half * 0.35), QPointF(cone * 0.35, half * 0.35)}));
}

// The text track: a speech bubble with lines of text and a pencil.
QImage SpeechBubble() {
    Canvas canvas(48);
    QPainter& painter = canvas.painter;
    QPainterPath body;
    body.addRoundedRect(QRectF(3, 4, 35, 27), 7, 7);
    QPainterPath tail;
    tail.addPolygon(QPolygonF({QPointF(10, 29), QPointF(7, 41), QPointF(20, 29)}));
    const QPainterPath bubble = body.united(tail);
    painter.setPen(InkPen(kOutline));
    painter.setBrush(kPaper);
    painter.drawPath(bubble);

    painter.setPen(QPen(QColor(96, 102, 120), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10, 11.5), QPointF(31, 11.5));
    painter.drawLine(QPointF(10, 17.5), QPointF(28, 17.5));
    painter.drawLine(QPointF(10, 23.5), QPointF(21, 23.5));

    painter.save();
    painter.translate(22, 44);
    painter.rotate(-45);
    DrawPencil(painter, 31, 7);
    painter.restore();
    return canvas.Finish();
}

// The toolbox bitmap: clips on three tracks and the play position across them.
QImage Toolbox() {
    Canvas canvas(24);
    QPainter& painter = canvas.painter;
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(kBlueLight);
    painter.drawRect(QRectF(2.5, 4.5, 12, 4));
    painter.setBrush(kOrangeLight);
    painter.drawRect(QRectF(7.5, 10.5, 14, 4));
    painter.setBrush(kGreenLight);
    painter.drawRect(QRectF(3.5, 16.5, 9, 4));

    painter.setPen(Qt::NoPen);
    painter.setBrush(kRed);
    painter.drawRect(QRectF(16, 3, 2, 20));
    painter.drawPolygon(QPolygonF(
        {QPointF(14, 0), QPointF(20, 0), QPointF(20, 3), QPointF(17, 6), QPointF(14, 3)}));
    return canvas.Finish();
}

}  // namespace

std::vector<Picture> DrawPictures() {
    return {
        {106, "toolbox.bmp", Toolbox()},           {204, "track-video.png", FilmStrip()},
        {205, "track-transition.png", CutFrame()}, {206, "track-audio.png", MusicalNote()},
        {207, "track-effect.png", MagicWand()},    {208, "track-image.png", Landscape()},
        {209, "track-text.png", SpeechBubble()},
    };
}

}  // namespace vortrel::resourcegen

#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <cstdint>

class QPainter;

// Small helpers shared by the art maker's drawing code.
namespace drawkit {

// The colours that tie the pictures together.
namespace palette {
inline const QColor felt(31, 104, 61); // the table cloth's average colour
inline const QColor feltDark(18, 66, 38);
inline const QColor gold(232, 184, 74);
inline const QColor goldLight(255, 229, 154);
inline const QColor goldDark(142, 98, 22);
inline const QColor ivory(255, 253, 246);
inline const QColor cardRed(196, 22, 44);
inline const QColor cardBlack(28, 28, 34);
inline const QColor cardEdge(90, 90, 96);
inline const QColor backBlue(30, 62, 138);
inline const QColor burlap(205, 165, 104);
inline const QColor burlapDark(128, 90, 44);
inline const QColor moneyGreen(36, 110, 52);
} // namespace palette

// A side of `side` pixels drawn `scale` times as large, in whole pixels,
// at least one.
int scaledSide(int side, qreal scale);

// A fully transparent ARGB picture to draw on.
QImage blankImage(int width, int height);

// The same for a picture of width x height drawn `scale` times as large:
// each side rounded to whole pixels, at least one.
QImage blankImage(int width, int height, qreal scale);

// Antialiased painter on an image, with smooth transforms.
void prepare(QPainter &painter);

// The same, and scaled so that drawing in the picture's own width x height
// fills the painter's image, whatever size it was made at. At its own size
// the painter is left unscaled, so the pictures come out exactly as drawn
// for the game's designed size.
void prepare(QPainter &painter, int width, int height);

// The outline of a text in a font, with its baseline at y = 0.
QPainterPath textPath(const QString &text, const QFont &font);

// Moves and scales a path so that it fills `box`, keeping its proportions,
// centred.
QPainterPath fitInto(const QPainterPath &path, const QRectF &box);

// Moves a path so that its bounding box is centred on `centre`, scaling it
// horizontally by `squeeze` (1 keeps the width).
QPainterPath centredOn(const QPainterPath &path, QPointF centre, qreal squeeze = 1.0);

// A vertical gradient brush from `top` to `bottom` across `box`.
QBrush verticalGradient(const QRectF &box, const QColor &top, const QColor &bottom);

// A fixed-seed random generator, so the textures come out the same on every
// build.
class Random
{
public:
    explicit Random(std::uint32_t seed) : state(seed ? seed : 1u) {}
    std::uint32_t next();
    double unit(); // 0 <= value < 1
    double between(double low, double high) { return low + (high - low) * unit(); }

private:
    std::uint32_t state;
};

} // namespace drawkit

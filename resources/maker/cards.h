#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

// The deck: a back and 52 faces, drawn as vectors so that the same code
// serves the 71 x 96 pictures, the small backs of the card fans and the big
// cards of the advertising picture.
namespace cards {

constexpr int width = 71;
constexpr int height = 96;

// Card n in the game's numbering: 0 the back, 1 to 13 clubs Ace to King,
// then diamonds, hearts and spades; `scale` draws it that many times as
// large.
QImage picture(int n, qreal scale = 1.0);

// Draws card n into the 71 x 96 box at the painter's origin; scale the
// painter for other sizes.
void draw(QPainter &painter, int n);

// The back, filling `box` of any size.
void drawBack(QPainter &painter, const QRectF &box);

} // namespace cards

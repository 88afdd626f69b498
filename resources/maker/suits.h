#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

enum class Suit { Clubs, Diamonds, Hearts, Spades };

namespace suits {

// The suit's outline in a 100 x 100 box, point up.
QPainterPath outline(Suit suit);

bool isRed(Suit suit);
QColor colour(Suit suit);

// Draws the suit filling `box` (keeping its proportions), upside down when
// `flipped`, as the lower half of a card shows its pips.
void draw(QPainter &painter, Suit suit, const QRectF &box, bool flipped = false);

} // namespace suits

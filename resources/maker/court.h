#pragma once

#include "resources/maker/suits.h"

#include <QRectF>

class QPainter;

// The Jack, Queen and King: a framed double-headed portrait, the upper bust
// repeated upside down below the middle line.
namespace court {

// rank 11 Jack, 12 Queen, 13 King.
void draw(QPainter &painter, int rank, Suit suit, const QRectF &frame);

} // namespace court

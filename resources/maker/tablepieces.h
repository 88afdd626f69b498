#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

// The smaller pictures of the card table, at their sizes in the game's
// designed layout; `scale` draws them that many times as large, for a
// bigger table or a high-density screen.
namespace tablepieces {

QImage digit(int d, qreal scale = 1.0);    // 71 x 96, the pile total's digits
QImage bags(int count, qreal scale = 1.0); // 23 x 76, a stack of 0 to 3 money bags
QImage turnMarker(qreal scale = 1.0);      // 23 x 24, "GO"
QImage eyes(qreal scale = 1.0);            // 23 x 15, the seat only watches
QImage outOfMoney(qreal scale = 1.0);      // 66 x 57
QImage winner(qreal scale = 1.0);          // 77 x 56, a heap of money bags
QImage
ornament(int corner,
         qreal scale = 1.0);    // 30 x 30; 1 top left, 2 top right, 3 bottom left, 4 bottom right
QImage logo(qreal scale = 1.0); // 146 x 20, the maker's name
QImage windowIcon(qreal scale = 1.0); // 64 x 64, the program's icon

// One money bag filling `box` (drawn for 23 x 24); also used by the heap
// and the advertising picture.
void drawMoneyBag(QPainter &painter, const QRectF &box);

} // namespace tablepieces

#pragma once

#include <QPixmap>

// The table's pictures as pixmaps, decoded once and then taken from the
// pixmap cache: a game shows the same few dozen pictures hundreds of times.
// A number outside a list gives a null pixmap, which leaves a control empty.
namespace tablepictures {

QPixmap bigCard(int n);  // 0 the card back, 1 to 52 the faces
QPixmap digit(int d);    // 0 to 9
QPixmap bags(int count); // 0 to 3 bags

} // namespace tablepictures

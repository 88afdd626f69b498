#pragma once

#include "resources/artsizes.h"

#include <QPixmap>

// The table's pictures as pixmaps, decoded or drawn once and then taken from
// the pixmap cache: a game shows the same few dozen pictures hundreds of
// times. A number outside a list gives a null pixmap, which leaves a control
// empty.
//
// `scale` is how many times its designed size the table is shown at;
// `ratio` the device pixel ratio of the screen. Each picture is drawn for
// that size (resources/artsizes.h) and carries the ratio, so a label of the
// card's size shows it pixel for pixel. Without a ratio the application's
// is taken (2 with QT_SCALE_FACTOR=2); at scale 1 on an ordinary screen the
// pictures are exactly the designed ones.
namespace tablepictures {

// Any picture of the table (resources/artsizes.h) at that scale and ratio.
QPixmap picture(artwork::Art kind, int index = 0, qreal scale = 1.0, qreal ratio = 0);

QPixmap bigCard(int n, qreal scale = 1.0, qreal ratio = 0);  // 0 the card back, 1 to 52 the faces
QPixmap digit(int d, qreal scale = 1.0, qreal ratio = 0);    // 0 to 9
QPixmap bags(int count, qreal scale = 1.0, qreal ratio = 0); // 0 to 3 bags

// The ratio used when none is given: the highest of the screens'.
qreal screenRatio();

} // namespace tablepictures

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// How the table grows with the window. The main window's content (the
// board and the chat column) is laid out for one designed size; a larger
// window shows all of it scaled by the same factor in both directions,
// centred, with the cloth filling the margins. The designed size is the
// smallest the content is ever shown at.
namespace tablescale {

// The main window's client area as the table is laid out: the board panel
// with the chat column on its right, below the menu bar.
inline constexpr QSize designedSize(714, 489);

struct Fit
{
    qreal scale = 1.0; // 1 at the designed size
    QPoint offset;     // where the scaled content's top left corner goes
    bool operator==(const Fit &) const = default;
};

// The scale and offset for a window whose content area is `available`:
// scale = min(width / designed width, height / designed height), never
// below 1, and the offset that centres the scaled content (0 where the
// window is smaller than the content). With `fitToWindow` false the
// content keeps its designed size and is centred all the same.
Fit fit(QSize available, bool fitToWindow = true, QSize designed = designedSize);

// A place of the designed layout at `scale`: each of left, top, width and
// height scaled and rounded, so that a control is as large as a picture
// drawn for its designed size at that scale (resources/artsizes.h).
QRect scaled(const QRect &designedPlace, qreal scale);

} // namespace tablescale

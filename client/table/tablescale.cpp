#include "client/table/tablescale.h"

#include <algorithm>
#include <cmath>

namespace tablescale {

Fit fit(QSize available, bool fitToWindow, QSize designed)
{
    Fit result;
    if (designed.isEmpty())
        return result;
    if (fitToWindow)
        result.scale = std::max(1.0, std::min(qreal(available.width()) / designed.width(),
                                              qreal(available.height()) / designed.height()));
    // The content's size in whole pixels, then half of what is left over on
    // each side; the odd pixel goes to the right and bottom margins.
    const int width = qRound(designed.width() * result.scale);
    const int height = qRound(designed.height() * result.scale);
    result.offset = QPoint(std::max(0, (available.width() - width) / 2),
                           std::max(0, (available.height() - height) / 2));
    return result;
}

QRect scaled(const QRect &designedPlace, qreal scale)
{
    return QRect(qRound(designedPlace.x() * scale), qRound(designedPlace.y() * scale),
                 qRound(designedPlace.width() * scale), qRound(designedPlace.height() * scale));
}

} // namespace tablescale

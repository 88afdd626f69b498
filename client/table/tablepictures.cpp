#include "client/table/tablepictures.h"

#include "resources/artsizes.h"

#include <QGuiApplication>

namespace {

QPixmap shown(artwork::Art art, int index, qreal scale, qreal ratio)
{
    return artwork::pixmap(art, index, scale, ratio > 0 ? ratio : tablepictures::screenRatio());
}

} // namespace

namespace tablepictures {

qreal screenRatio()
{
    return qApp ? qApp->devicePixelRatio() : 1.0;
}

QPixmap picture(artwork::Art kind, int index, qreal scale, qreal ratio)
{
    return shown(kind, index, scale, ratio);
}

QPixmap bigCard(int n, qreal scale, qreal ratio)
{
    return shown(artwork::Art::BigCard, n, scale, ratio);
}

QPixmap digit(int d, qreal scale, qreal ratio)
{
    return shown(artwork::Art::Digit, d, scale, ratio);
}

QPixmap bags(int count, qreal scale, qreal ratio)
{
    return shown(artwork::Art::Bags, count, scale, ratio);
}

} // namespace tablepictures

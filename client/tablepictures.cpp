#include "client/tablepictures.h"

#include "resources/artwork.h"

#include <QPixmapCache>

namespace {

QPixmap cached(const char *list, int index, int count, QImage (*make)(int))
{
    if (index < 0 || index >= count)
        return {};
    const QString key = QStringLiteral("table/%1/%2").arg(QLatin1String(list)).arg(index);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(make(index));
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

} // namespace

namespace tablepictures {

QPixmap bigCard(int n)
{
    return cached("card", n, 53, artwork::bigCard);
}

QPixmap digit(int d)
{
    return cached("digit", d, 10, artwork::digit);
}

QPixmap bags(int count)
{
    return cached("bags", count, 4, artwork::bags);
}

} // namespace tablepictures

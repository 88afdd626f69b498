#include "resources/maker/drawkit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

namespace drawkit {

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage blankImage(int width, int height, qreal scale)
{
    return blankImage(scaledSide(width, scale), scaledSide(height, scale));
}

int scaledSide(int side, qreal scale)
{
    return qMax(1, qRound(side * scale));
}

void prepare(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

void prepare(QPainter &painter, int width, int height)
{
    prepare(painter);
    const QPaintDevice *device = painter.device();
    if (device && (device->width() != width || device->height() != height))
        painter.scale(qreal(device->width()) / width, qreal(device->height()) / height);
}

QPainterPath textPath(const QString &text, const QFont &font)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

QPainterPath fitInto(const QPainterPath &path, const QRectF &box)
{
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty())
        return path;
    const qreal scale = qMin(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform transform;
    transform.translate(box.center().x(), box.center().y());
    transform.scale(scale, scale);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform.map(path);
}

QPainterPath centredOn(const QPainterPath &path, QPointF centre, qreal squeeze)
{
    const QRectF bounds = path.boundingRect();
    QTransform transform;
    transform.translate(centre.x(), centre.y());
    transform.scale(squeeze, 1.0);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform.map(path);
}

QBrush verticalGradient(const QRectF &box, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return QBrush(gradient);
}

std::uint32_t Random::next()
{
    // xorshift32: small, fast and the same everywhere.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double Random::unit()
{
    return (next() >> 8) / double(1u << 24);
}

} // namespace drawkit

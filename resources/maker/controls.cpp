#include "resources/maker/controls.h"

#include "resources/maker/artfonts.h"
#include "resources/maker/drawkit.h"

#include <QPainter>

using namespace drawkit;

namespace {

// `text` in `font`, scaled to a glyph height of `height` and centred.
QPainterPath caption(const QString &text, const QFont &font, QPointF centre, qreal height)
{
    return fitInto(textPath(text, font),
                   QRectF(centre.x() - 500, centre.y() - height / 2, 1000, height));
}

} // namespace

namespace controls {

QImage startButton(bool pressed, qreal scale)
{
    QImage image = blankImage(144, 33, scale);
    QPainter painter(&image);
    prepare(painter, 144, 33);
    const QRectF face(0.5, 0.5, 143, 32);
    QPainterPath shape;
    shape.addRoundedRect(face, 9, 9);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (pressed) {
        fill.setColorAt(0, QColor(204, 138, 24));
        fill.setColorAt(1, QColor(240, 184, 70));
    } else {
        fill.setColorAt(0, QColor(255, 226, 140));
        fill.setColorAt(0.5, QColor(244, 184, 60));
        fill.setColorAt(1, QColor(204, 134, 20));
    }
    painter.fillPath(shape, fill);
    if (!pressed) {
        QPainterPath gloss;
        gloss.addRoundedRect(QRectF(4, 2, 136, 13), 7, 7);
        painter.fillPath(gloss, verticalGradient(gloss.boundingRect(), QColor(255, 255, 255, 120),
                                                 QColor(255, 255, 255, 20)));
    }
    painter.setPen(QPen(QColor(116, 72, 8), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);

    const QPointF centre = QPointF(72, 17) + (pressed ? QPointF(1, 1) : QPointF(0, 0));
    const QPainterPath text = caption(QStringLiteral("START GAME"), artfonts::sans(40), centre, 12);
    painter.fillPath(text.translated(0, 1), QColor(255, 244, 210, 170));
    painter.fillPath(text, QColor(78, 42, 0));
    return image;
}

QImage botSwitch(bool on, qreal scale)
{
    QImage image = blankImage(48, 30, scale);
    QPainter painter(&image);
    prepare(painter, 48, 30);
    const QRectF track(1, 3.5, 46, 23);
    QPainterPath shape;
    shape.addRoundedRect(track, 11.5, 11.5);
    const QColor top = on ? QColor(92, 204, 104) : QColor(150, 150, 156);
    const QColor bottom = on ? QColor(30, 132, 56) : QColor(96, 96, 104);
    painter.fillPath(shape, verticalGradient(track, bottom, top)); // lit from below: a groove
    painter.setPen(QPen(on ? QColor(16, 84, 32) : QColor(60, 60, 66), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);

    const QPointF knob(on ? 35.5 : 12.5, 15);
    painter.setPen(QPen(QColor(70, 70, 76), 0.8));
    painter.setBrush(
        verticalGradient(QRectF(knob.x() - 10, 5, 20, 20), Qt::white, QColor(206, 208, 214)));
    painter.drawEllipse(knob, 9.5, 9.5);

    const QPainterPath text = caption(on ? QStringLiteral("ON") : QStringLiteral("OFF"),
                                      artfonts::sans(30), QPointF(on ? 15.5 : 32.5, 15), 7.5);
    painter.fillPath(text.translated(0, 0.8), QColor(0, 0, 0, 90));
    painter.fillPath(text, Qt::white);
    return image;
}

QImage phraseButton(int n, qreal scale)
{
    QImage image = blankImage(25, 19, scale);
    QPainter painter(&image);
    prepare(painter, 25, 19);
    const QRectF face(0.5, 0.5, 24, 18);
    QPainterPath shape;
    shape.addRoundedRect(face, 3.5, 3.5);
    painter.fillPath(shape, verticalGradient(face, QColor(255, 253, 242), QColor(224, 212, 178)));
    painter.setPen(QPen(QColor(104, 88, 52), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    const QString text = QStringLiteral("P%1").arg(n % 10);
    painter.fillPath(caption(text, artfonts::sans(30), QPointF(12.5, 9.5), 8.5),
                     QColor(24, 84, 44));
    return image;
}

} // namespace controls

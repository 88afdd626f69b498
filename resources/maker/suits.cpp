#include "resources/maker/suits.h"

#include "resources/maker/drawkit.h"

#include <QPainter>
#include <QTransform>

namespace {

QPainterPath heart()
{
    QPainterPath p;
    p.moveTo(50, 100);
    p.cubicTo(40, 84, 0, 62, 0, 30);
    p.cubicTo(0, 10, 13, 0, 27, 0);
    p.cubicTo(39, 0, 47, 8, 50, 19);
    p.cubicTo(53, 8, 61, 0, 73, 0);
    p.cubicTo(87, 0, 100, 10, 100, 30);
    p.cubicTo(100, 62, 60, 84, 50, 100);
    p.closeSubpath();
    return p;
}

QPainterPath diamond()
{
    QPainterPath p;
    p.moveTo(50, 0);
    p.quadTo(64, 30, 86, 50);
    p.quadTo(64, 70, 50, 100);
    p.quadTo(36, 70, 14, 50);
    p.quadTo(36, 30, 50, 0);
    p.closeSubpath();
    return p;
}

// The flared foot under a spade and a club.
void addStem(QPainterPath &p, qreal top)
{
    QPainterPath stem;
    stem.moveTo(46, top);
    stem.lineTo(54, top);
    stem.cubicTo(54, 84, 60, 95, 72, 100);
    stem.lineTo(28, 100);
    stem.cubicTo(40, 95, 46, 84, 46, top);
    stem.closeSubpath();
    p.addPath(stem);
}

QPainterPath spade()
{
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    p.moveTo(50, 0);
    p.cubicTo(60, 16, 100, 36, 100, 60);
    p.cubicTo(100, 77, 88, 86, 74, 86);
    p.cubicTo(63, 86, 55, 79, 50, 71);
    p.cubicTo(45, 79, 37, 86, 26, 86);
    p.cubicTo(12, 86, 0, 77, 0, 60);
    p.cubicTo(0, 36, 40, 16, 50, 0);
    p.closeSubpath();
    addStem(p, 66);
    return p;
}

QPainterPath club()
{
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    const qreal r = 22.5;
    p.addEllipse(QPointF(50, 24), r, r);
    p.addEllipse(QPointF(24, 58), r, r);
    p.addEllipse(QPointF(76, 58), r, r);
    // Fill the hollow between the three leaves.
    QPainterPath middle;
    middle.moveTo(50, 30);
    middle.lineTo(66, 56);
    middle.lineTo(50, 68);
    middle.lineTo(34, 56);
    middle.closeSubpath();
    p.addPath(middle);
    addStem(p, 56);
    return p.simplified();
}

} // namespace

namespace suits {

QPainterPath outline(Suit suit)
{
    switch (suit) {
    case Suit::Clubs:
        return club();
    case Suit::Diamonds:
        return diamond();
    case Suit::Hearts:
        return heart();
    case Suit::Spades:
        return spade().simplified();
    }
    return {};
}

bool isRed(Suit suit)
{
    return suit == Suit::Diamonds || suit == Suit::Hearts;
}

QColor colour(Suit suit)
{
    return isRed(suit) ? drawkit::palette::cardRed : drawkit::palette::cardBlack;
}

void draw(QPainter &painter, Suit suit, const QRectF &box, bool flipped)
{
    QPainterPath path = drawkit::fitInto(outline(suit), box);
    if (flipped) {
        QTransform turn;
        turn.translate(box.center().x(), box.center().y());
        turn.rotate(180);
        turn.translate(-box.center().x(), -box.center().y());
        path = turn.map(path);
    }
    painter.fillPath(path, colour(suit));
}

} // namespace suits

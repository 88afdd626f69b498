#include "resources/maker/court.h"

#include "resources/maker/drawkit.h"

#include <QPainter>

using namespace drawkit;

namespace {

const QColor skin(246, 212, 178);
const QColor ink(40, 30, 30);
const QColor ermine(250, 248, 240);

QColor robeColour(Suit suit)
{
    switch (suit) {
    case Suit::Clubs:
        return QColor(40, 122, 72);
    case Suit::Diamonds:
        return QColor(222, 128, 36);
    case Suit::Hearts:
        return QColor(186, 28, 46);
    case Suit::Spades:
        return QColor(38, 74, 156);
    }
    return Qt::gray;
}

QColor hairColour(int rank, Suit suit)
{
    if (rank == 13)
        return QColor(236, 232, 222); // the Kings are grey
    return suits::isRed(suit) ? QColor(150, 84, 36) : QColor(214, 164, 58);
}

// One bust, drawn in a box of 36 x 41.5 whose lower edge is the card's
// middle line; the caller scales it to the frame.
class Bust
{
public:
    Bust(QPainter &painter, int rank, Suit suit) : p(painter), rank(rank), suit(suit) {}

    void draw()
    {
        if (rank == 12)
            drawLongHair();
        drawHeldItem();
        drawRobe();
        drawHead();
        if (rank == 13)
            drawBeard();
        drawHeadwear();
        drawHand();
        drawMedallion();
    }

private:
    void drawLongHair()
    {
        QPainterPath hair;
        hair.moveTo(9.5, 31);
        hair.cubicTo(6.5, 19, 8, 8, 18, 8);
        hair.cubicTo(28, 8, 29.5, 19, 26.5, 31);
        hair.closeSubpath();
        p.fillPath(hair, hairColour(rank, suit));
        stroke(hair, QPen(ink, 0.6));
    }

    // King: a sceptre. Queen: a rose. Jack: a halberd.
    void drawHeldItem()
    {
        if (rank == 13) {
            p.setPen(QPen(palette::goldDark, 2.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6.5, 41.5), QPointF(6.5, 14));
            p.setPen(QPen(palette::gold, 1.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6.5, 41.5), QPointF(6.5, 14));
            p.setPen(QPen(palette::goldDark, 0.6));
            p.setBrush(verticalGradient(QRectF(3.5, 8, 6, 6), palette::goldLight, palette::gold));
            p.drawEllipse(QPointF(6.5, 11.5), 2.8, 2.8);
            p.setPen(QPen(palette::goldDark, 1.0));
            p.drawLine(QPointF(6.5, 8.7), QPointF(6.5, 6.2));
            p.drawLine(QPointF(5.2, 7.3), QPointF(7.8, 7.3));
        } else if (rank == 12) {
            p.setPen(QPen(QColor(46, 120, 56), 1.0));
            p.drawLine(QPointF(29.5, 36), QPointF(30.5, 18));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 140, 70));
            p.drawEllipse(QPointF(28.3, 24), 1.8, 0.9);
            p.drawEllipse(QPointF(32, 21.5), 1.8, 0.9);
            p.setPen(QPen(QColor(120, 10, 30), 0.5));
            p.setBrush(QColor(214, 40, 64));
            p.drawEllipse(QPointF(30.5, 16.5), 2.7, 2.5);
            p.drawArc(QRectF(29.2, 15.3, 2.6, 2.4), 0, 270 * 16);
        } else {
            p.setPen(QPen(QColor(110, 70, 30), 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(30.5, 41.5), QPointF(30.5, 5));
            QPainterPath blade;
            blade.moveTo(30.5, 0.5);
            blade.lineTo(32, 5);
            blade.lineTo(35.5, 6);
            blade.cubicTo(35, 9, 33, 10.5, 30.5, 10.5);
            blade.lineTo(29.5, 10.5);
            blade.lineTo(29.5, 5);
            blade.closeSubpath();
            p.fillPath(blade, verticalGradient(QRectF(29, 0, 7, 11), QColor(236, 240, 246),
                                               QColor(160, 170, 186)));
            stroke(blade, QPen(ink, 0.5));
        }
    }

    void drawRobe()
    {
        const QColor robe = robeColour(suit);
        QPainterPath body;
        body.moveTo(0, 41.5);
        body.lineTo(0, 30);
        body.cubicTo(2, 28, 6, 27, 12, 26.5);
        body.lineTo(24, 26.5);
        body.cubicTo(30, 27, 34, 28, 36, 30);
        body.lineTo(36, 41.5);
        body.closeSubpath();
        p.fillPath(body, verticalGradient(QRectF(0, 26, 36, 16), robe.lighter(130), robe));
        // Sleeves, a shade darker, at both sides.
        QPainterPath sleeves;
        sleeves.addRect(QRectF(0, 26, 5.5, 16));
        sleeves.addRect(QRectF(30.5, 26, 5.5, 16));
        p.fillPath(body.intersected(sleeves), robe.darker(125));
        stroke(body, QPen(ink, 0.6));

        // Gold trim down the front and a jewelled belt at the middle line.
        p.setPen(QPen(palette::gold, 1.3));
        p.drawLine(QPointF(12.5, 41.5), QPointF(13.5, 29));
        p.drawLine(QPointF(23.5, 41.5), QPointF(22.5, 29));
        p.fillRect(QRectF(0.3, 39.3, 35.4, 2.2), palette::gold);
        p.setPen(Qt::NoPen);
        p.setBrush(robe.darker(140));
        for (qreal x = 2.5; x < 36; x += 4)
            p.drawEllipse(QPointF(x, 40.4), 0.7, 0.7);

        // Collar: ermine for the King, a lace ruff for the Queen, gold for
        // the Jack.
        QPainterPath collar;
        collar.moveTo(10, 27);
        collar.cubicTo(13, 29, 23, 29, 26, 27);
        collar.lineTo(18, 33.5);
        collar.closeSubpath();
        p.fillPath(collar, rank == 11 ? palette::gold : ermine);
        stroke(collar, QPen(ink, 0.5));
        if (rank == 13) {
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            for (QPointF spot : {QPointF(13.5, 28.8), QPointF(22.5, 28.8), QPointF(18, 30.8)})
                p.drawEllipse(spot, 0.55, 0.55);
        }
    }

    void drawHead()
    {
        p.setPen(QPen(ink, 0.6));
        p.setBrush(skin);
        p.drawRect(QRectF(15.6, 22, 4.8, 5));
        p.drawEllipse(QPointF(18, 17), 5.8, 6.8);
        if (rank == 11) {
            QPainterPath hair;
            hair.moveTo(12.2, 19);
            hair.cubicTo(11.5, 11, 15, 10.5, 18, 10.5);
            hair.cubicTo(21, 10.5, 24.5, 11, 23.8, 19);
            hair.cubicTo(23, 14.5, 20, 13.8, 18, 13.8);
            hair.cubicTo(16, 13.8, 13, 14.5, 12.2, 19);
            p.fillPath(hair, hairColour(rank, suit));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(15.9, 16.6), 0.7, 0.75);
        p.drawEllipse(QPointF(20.1, 16.6), 0.7, 0.75);
        p.setBrush(QColor(226, 130, 120, 110));
        p.drawEllipse(QPointF(14.6, 19.5), 1.2, 0.9);
        p.drawEllipse(QPointF(21.4, 19.5), 1.2, 0.9);
        if (rank != 13) {
            p.setPen(QPen(QColor(170, 40, 50), 0.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(16.9, 21.1), QPointF(19.1, 21.1));
        }
    }

    void drawBeard()
    {
        QPainterPath beard;
        beard.moveTo(12.3, 17.5);
        beard.cubicTo(12.5, 25, 15, 28.5, 18, 29);
        beard.cubicTo(21, 28.5, 23.5, 25, 23.7, 17.5);
        beard.cubicTo(22, 21, 20, 20, 18, 20.2);
        beard.cubicTo(16, 20, 14, 21, 12.3, 17.5);
        p.fillPath(beard, hairColour(rank, suit));
        stroke(beard, QPen(ink, 0.5));
        p.setPen(QPen(QColor(150, 60, 60), 0.7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16.8, 22.3), QPointF(19.2, 22.3));
    }

    void drawHeadwear()
    {
        if (rank == 11) {
            drawCap();
            return;
        }
        // A tall crown for the King, a smaller one with pearls for the Queen.
        const bool king = rank == 13;
        const qreal base = king ? 12.2 : 11.5;
        const qreal top = king ? 2.0 : 5.0;
        const qreal half = king ? 6.6 : 5.4;
        QPainterPath crown;
        crown.moveTo(18 - half, base);
        crown.lineTo(18 - half, top + 2.5);
        crown.lineTo(18 - half / 2, base - 4);
        crown.lineTo(18, top);
        crown.lineTo(18 + half / 2, base - 4);
        crown.lineTo(18 + half, top + 2.5);
        crown.lineTo(18 + half, base);
        crown.closeSubpath();
        p.fillPath(crown, verticalGradient(QRectF(0, top, 36, base - top), palette::goldLight,
                                           palette::gold));
        stroke(crown, QPen(palette::goldDark, 0.6));
        p.setPen(Qt::NoPen);
        p.setBrush(king ? palette::cardRed : ermine);
        p.drawEllipse(QPointF(18 - half, top + 2.5), 1.0, 1.0);
        p.drawEllipse(QPointF(18, top), 1.0, 1.0);
        p.drawEllipse(QPointF(18 + half, top + 2.5), 1.0, 1.0);
        p.setBrush(king ? QColor(40, 90, 190) : palette::cardRed);
        p.drawEllipse(QPointF(18, base - 1.8), 1.1, 1.1);
    }

    void drawCap()
    {
        const QColor robe = robeColour(suit);
        QPainterPath cap;
        cap.moveTo(10, 12.5);
        cap.cubicTo(9.5, 5, 25, 3.5, 26.5, 11.5);
        cap.lineTo(10, 12.5);
        p.fillPath(cap, robe.darker(115));
        stroke(cap, QPen(ink, 0.6));
        p.setPen(QPen(palette::gold, 1.3));
        p.drawLine(QPointF(10.5, 12.2), QPointF(26, 11.3));
        // The feather sweeping back from the band.
        QPainterPath feather;
        feather.moveTo(22, 10);
        feather.cubicTo(24, 5, 26, 2.5, 28.5, 1);
        feather.cubicTo(27.5, 4.5, 26, 8, 24, 10.8);
        feather.closeSubpath();
        p.fillPath(feather, ermine);
        stroke(feather, QPen(ink, 0.5));
    }

    // The hand that holds the sceptre, the rose or the halberd.
    void drawHand()
    {
        const QPointF hand = rank == 13 ? QPointF(6.5, 33) : QPointF(30.3, 34);
        p.setPen(QPen(ink, 0.5));
        p.setBrush(skin);
        p.drawEllipse(hand, 2.2, 1.9);
    }

    void drawMedallion()
    {
        const QPointF centre(18, 35.2);
        p.setPen(QPen(palette::goldDark, 0.6));
        p.setBrush(verticalGradient(QRectF(13, 31, 10, 9), palette::goldLight, palette::gold));
        p.drawEllipse(centre, 3.6, 3.6);
        suits::draw(p, suit, QRectF(centre.x() - 2.3, centre.y() - 2.3, 4.6, 4.6));
    }

    void stroke(const QPainterPath &path, const QPen &pen)
    {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    QPainter &p;
    int rank;
    Suit suit;
};

} // namespace

namespace court {

void draw(QPainter &painter, int rank, Suit suit, const QRectF &frame)
{
    painter.save();
    const QColor robe = robeColour(suit);
    QColor wash = robe;
    wash.setAlpha(28);
    painter.fillRect(frame, QColor(255, 250, 235));
    painter.fillRect(frame, wash);

    const qreal halfHeight = frame.height() / 2;
    const qreal scaleX = frame.width() / 36.0;
    const qreal scaleY = halfHeight / 41.5;
    painter.setClipRect(frame);
    for (int half = 0; half < 2; ++half) {
        painter.save();
        if (half == 1) {
            painter.translate(frame.center());
            painter.rotate(180);
            painter.translate(-frame.center());
        }
        painter.translate(frame.topLeft());
        painter.scale(scaleX, scaleY);
        Bust(painter, rank, suit).draw();
        painter.restore();
    }
    painter.setClipping(false);

    painter.setPen(QPen(palette::goldDark, 0.8));
    const qreal middle = frame.center().y();
    painter.drawLine(QPointF(frame.left(), middle), QPointF(frame.right(), middle));
    painter.setPen(QPen(suits::colour(suit), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.restore();
}

} // namespace court

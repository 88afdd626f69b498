#include "resources/maker/tablepieces.h"

#include "resources/maker/artfonts.h"
#include "resources/maker/cards.h"
#include "resources/maker/drawkit.h"
#include "resources/maker/suits.h"

#include <QPainter>
#include <QRadialGradient>

using namespace drawkit;

namespace {

const QColor flipTop(48, 54, 61);
const QColor flipBottom(20, 23, 27);

void outline(QPainter &painter, const QPainterPath &path, const QPen &pen)
{
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

// A path for `text` scaled to `height` pixels of glyph height and centred.
QPainterPath label(const QString &text, const QFont &font, QPointF centre, qreal height,
                   qreal maxWidth = 1e9)
{
    QPainterPath path = textPath(text, font);
    const QRectF bounds = path.boundingRect();
    const qreal scale = qMin(height / bounds.height(), maxWidth / bounds.width());
    QTransform place;
    place.translate(centre.x(), centre.y());
    place.scale(scale, scale);
    place.translate(-bounds.center().x(), -bounds.center().y());
    return place.map(path);
}

// A small five-pointed sparkle.
void drawSparkle(QPainter &painter, QPointF centre, qreal radius)
{
    QPainterPath star;
    star.moveTo(centre.x(), centre.y() - radius);
    star.quadTo(centre.x(), centre.y(), centre.x() + radius, centre.y());
    star.quadTo(centre.x(), centre.y(), centre.x(), centre.y() + radius);
    star.quadTo(centre.x(), centre.y(), centre.x() - radius, centre.y());
    star.quadTo(centre.x(), centre.y(), centre.x(), centre.y() - radius);
    painter.fillPath(star, QColor(255, 250, 210));
}

void drawCoin(QPainter &painter, QPointF centre, qreal rx, qreal ry)
{
    painter.setPen(QPen(palette::goldDark, 0.7));
    painter.setBrush(verticalGradient(QRectF(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry),
                                      palette::goldLight, palette::gold));
    painter.drawEllipse(centre, rx, ry);
    painter.setPen(QPen(palette::goldDark, 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, rx * 0.62, ry * 0.62);
}

} // namespace

namespace tablepieces {

void drawMoneyBag(QPainter &painter, const QRectF &box)
{
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / 23.0, box.height() / 24.0);

    QPainterPath body;
    body.moveTo(8, 8.5);
    body.cubicTo(1.5, 11, 0.5, 15.5, 1, 19);
    body.cubicTo(1.5, 22.5, 5.5, 23.6, 11.5, 23.6);
    body.cubicTo(17.5, 23.6, 21.5, 22.5, 22, 19);
    body.cubicTo(22.5, 15.5, 21.5, 11, 15, 8.5);
    body.closeSubpath();
    QRadialGradient shade(QPointF(8.5, 13), 15);
    shade.setColorAt(0, palette::burlap.lighter(118));
    shade.setColorAt(1, palette::burlap.darker(118));
    painter.fillPath(body, shade);
    outline(painter, body, QPen(palette::burlapDark, 0.8));

    QPainterPath flaps;
    flaps.moveTo(8.3, 8.3);
    flaps.cubicTo(6.2, 6, 6.3, 3, 7.8, 1.5);
    flaps.lineTo(10, 3.6);
    flaps.lineTo(11.5, 0.8);
    flaps.lineTo(13, 3.6);
    flaps.lineTo(15.2, 1.5);
    flaps.cubicTo(16.7, 3, 16.8, 6, 14.7, 8.3);
    flaps.closeSubpath();
    painter.fillPath(flaps, verticalGradient(QRectF(6, 0.8, 11, 8), palette::burlap.lighter(110),
                                             palette::burlap.darker(110)));
    outline(painter, flaps, QPen(palette::burlapDark, 0.7));

    // The cord round the neck.
    painter.setPen(QPen(QColor(110, 62, 24), 0.6));
    painter.setBrush(QColor(170, 96, 40));
    painter.drawRoundedRect(QRectF(6.8, 7.1, 9.4, 2.6), 1.2, 1.2);

    painter.fillPath(label(QStringLiteral("$"), artfonts::sans(30), QPointF(11.6, 16.6), 10.5),
                     palette::moneyGreen.darker(120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 70));
    painter.drawEllipse(QPointF(6, 14), 2.0, 3.2);
    painter.restore();
}

QImage digit(int d, qreal scale)
{
    // The two digits of the pile total stand 64 pixels apart, closer than
    // their width, so the tile keeps clear of the picture's sides and the
    // pair shows a small gap.
    QImage image = blankImage(71, 96, scale);
    QPainter painter(&image);
    prepare(painter, 71, 96);
    const QRectF tile(6.5, 1.5, 58, 93);
    QPainterPath shape;
    shape.addRoundedRect(tile, 7, 7);
    painter.fillPath(shape, verticalGradient(tile, flipTop, flipBottom));

    const QPainterPath glyph =
        label(QString::number(d), artfonts::sans(120), tile.center() + QPointF(0, 1), 64, 46);
    painter.fillPath(glyph.translated(1.2, 1.6), QColor(0, 0, 0, 140));
    painter.fillPath(glyph, verticalGradient(glyph.boundingRect(), QColor(255, 250, 234),
                                             QColor(232, 218, 184)));

    // The flip card's hinge: a dark seam with a lit edge below, and the
    // lower leaf a shade darker.
    const qreal seam = tile.center().y();
    painter.setClipPath(shape);
    painter.fillRect(QRectF(0, seam, 71, 48), QColor(0, 0, 0, 34));
    painter.fillRect(QRectF(0, seam - 0.8, 71, 1.6), QColor(6, 8, 10));
    painter.fillRect(QRectF(0, seam + 0.8, 71, 0.8), QColor(255, 255, 255, 40));
    painter.setClipping(false);
    painter.fillRect(QRectF(tile.left() - 1, seam - 4.5, 3, 9), QColor(10, 12, 14));
    painter.fillRect(QRectF(tile.right() - 2, seam - 4.5, 3, 9), QColor(10, 12, 14));

    outline(painter, shape, QPen(QColor(8, 9, 11), 1.0));
    QPainterPath gleam;
    gleam.addRoundedRect(tile.adjusted(1, 1, -1, -1), 6, 6);
    outline(painter, gleam, QPen(QColor(255, 255, 255, 28), 1.0));
    return image;
}

QImage bags(int count, qreal scale)
{
    QImage image = blankImage(23, 76, scale);
    QPainter painter(&image);
    prepare(painter, 23, 76);
    // Bottom bag first, so that each bag sits on the one below.
    for (int i = 0; i < count && i < 3; ++i)
        drawMoneyBag(painter, QRectF(0, 52 - 23 * i, 23, 24));
    return image;
}

QImage turnMarker(qreal scale)
{
    QImage image = blankImage(23, 24, scale);
    QPainter painter(&image);
    prepare(painter, 23, 24);
    const QPointF centre(11.5, 12);
    // A bright disc in an ivory ring, so that it stands out on the cloth.
    painter.setPen(QPen(QColor(20, 40, 20), 1.0));
    painter.setBrush(palette::ivory);
    painter.drawEllipse(centre, 10.8, 10.8);
    QRadialGradient glow(QPointF(9.5, 8), 12);
    glow.setColorAt(0, QColor(150, 240, 110));
    glow.setColorAt(1, QColor(28, 150, 52));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, 8.9, 8.9);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 80));
    painter.drawEllipse(QPointF(11.5, 7), 5.5, 2.6);
    const QPainterPath go =
        label(QStringLiteral("GO"), artfonts::sans(30), centre + QPointF(0, 0.5), 8, 13.5);
    painter.fillPath(go.translated(0.6, 0.8), QColor(0, 50, 10, 160));
    painter.fillPath(go, Qt::white);
    return image;
}

QImage eyes(qreal scale)
{
    QImage image = blankImage(23, 15, scale);
    QPainter painter(&image);
    prepare(painter, 23, 15);
    for (qreal x : {6.0, 17.0}) {
        const QPointF centre(x, 7.5);
        painter.setPen(QPen(QColor(30, 30, 36), 1.0));
        painter.setBrush(
            verticalGradient(QRectF(x - 5, 1, 10, 13), Qt::white, QColor(214, 220, 228)));
        painter.drawEllipse(centre, 4.8, 6.6);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(52, 112, 196));
        painter.drawEllipse(centre + QPointF(1.6, 0.8), 2.6, 3.0);
        painter.setBrush(QColor(12, 12, 16));
        painter.drawEllipse(centre + QPointF(2.0, 1.0), 1.35, 1.6);
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre + QPointF(1.0, -0.4), 0.7, 0.7);
    }
    return image;
}

QImage outOfMoney(qreal scale)
{
    QImage image = blankImage(66, 57, scale);
    QPainter painter(&image);
    prepare(painter, 66, 57);
    const QColor ink(196, 28, 36);
    painter.translate(33, 28.5);
    painter.rotate(-12);
    const QRectF stamp(-29, -17, 58, 34);
    painter.setPen(QPen(ink, 2.0));
    painter.setBrush(QColor(255, 251, 240, 235));
    painter.drawRoundedRect(stamp, 4, 4);
    painter.setPen(QPen(ink, 0.9));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(stamp.adjusted(2.6, 2.6, -2.6, -2.6), 2.5, 2.5);
    const QFont font = artfonts::sans(30);
    painter.fillPath(label(QStringLiteral("OUT OF"), font, QPointF(0, -5.5), 8.5, 46), ink);
    painter.fillPath(label(QStringLiteral("MONEY"), font, QPointF(0, 6.5), 9.5, 48), ink);
    return image;
}

QImage winner(qreal scale)
{
    QImage image = blankImage(77, 56, scale);
    QPainter painter(&image);
    prepare(painter, 77, 56);
    // A crown above two rows of bags and a spill of coins.
    QPainterPath crown;
    crown.moveTo(29, 12.5);
    crown.lineTo(28, 4);
    crown.lineTo(33, 8);
    crown.lineTo(38.5, 1.5);
    crown.lineTo(44, 8);
    crown.lineTo(49, 4);
    crown.lineTo(48, 12.5);
    crown.closeSubpath();
    painter.fillPath(crown,
                     verticalGradient(crown.boundingRect(), palette::goldLight, palette::gold));
    outline(painter, crown, QPen(palette::goldDark, 0.8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::cardRed);
    painter.drawEllipse(QPointF(38.5, 9.5), 1.4, 1.4);

    for (qreal x : {14.0, 40.0})
        drawMoneyBag(painter, QRectF(x, 11, 23, 24));
    for (qreal x : {1.0, 27.0, 53.0})
        drawMoneyBag(painter, QRectF(x, 30, 23, 24));
    drawCoin(painter, QPointF(25.5, 52.5), 4.2, 2.2);
    drawCoin(painter, QPointF(51.5, 53), 4.2, 2.2);
    drawCoin(painter, QPointF(72, 50), 3.6, 2.0);
    drawSparkle(painter, QPointF(9, 24), 4);
    drawSparkle(painter, QPointF(68, 22), 3.5);
    drawSparkle(painter, QPointF(55, 5), 3);
    return image;
}

QImage ornament(int corner, qreal scale)
{
    constexpr int size = 30;
    QImage image = blankImage(size, size, scale);
    QPainter painter(&image);
    prepare(painter, size, size);
    // Drawn for the top left corner and mirrored for the others.
    if (corner == 2 || corner == 4) {
        painter.translate(size, 0);
        painter.scale(-1, 1);
    }
    if (corner == 3 || corner == 4) {
        painter.translate(0, size);
        painter.scale(1, -1);
    }
    QPainterPath bracket;
    bracket.moveTo(2.5, 28);
    bracket.lineTo(2.5, 9);
    bracket.quadTo(2.5, 2.5, 9, 2.5);
    bracket.lineTo(28, 2.5);
    QPainterPath scroll;
    scroll.moveTo(7.5, 24);
    scroll.cubicTo(7.5, 12, 12, 7.5, 24, 7.5);
    QPainterPath curls;
    curls.addEllipse(QPointF(24.5, 10.3), 2.4, 2.4);
    curls.addEllipse(QPointF(10.3, 24.5), 2.4, 2.4);
    QPainterPath gem;
    gem.moveTo(12, 8.5);
    gem.lineTo(15.5, 12);
    gem.lineTo(12, 15.5);
    gem.lineTo(8.5, 12);
    gem.closeSubpath();

    for (int pass = 0; pass < 2; ++pass) {
        const bool shadow = pass == 0;
        painter.save();
        if (shadow)
            painter.translate(0.8, 0.9);
        const QColor line = shadow ? QColor(0, 0, 0, 110) : palette::gold;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(line, 1.8, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(bracket);
        painter.setPen(QPen(shadow ? line : palette::goldLight, 1.1, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(scroll);
        painter.drawPath(curls);
        painter.fillPath(gem, shadow ? line : palette::gold);
        painter.restore();
    }
    return image;
}

QImage logo(qreal scale)
{
    QImage image = blankImage(146, 20, scale);
    QPainter painter(&image);
    prepare(painter, 146, 20);
    // The emblem: a spade in a gold ring, then the maker's name.
    painter.setPen(QPen(palette::goldDark, 0.8));
    painter.setBrush(verticalGradient(QRectF(2, 1, 18, 18), palette::goldLight, palette::gold));
    painter.drawEllipse(QPointF(10.5, 10), 8.5, 8.5);
    suits::draw(painter, Suit::Spades, QRectF(5.5, 5, 10, 10));
    const QPainterPath name =
        label(QStringLiteral("Korvex Software"), artfonts::serif(40), QPointF(82, 10), 13.5, 122);
    painter.fillPath(name.translated(0.8, 1.0), QColor(0, 0, 0, 150));
    painter.fillPath(name,
                     verticalGradient(name.boundingRect(), palette::goldLight, palette::gold));
    return image;
}

QImage windowIcon(qreal scale)
{
    // Two cards in a hand: the back behind, the Ace of spades in front.
    QImage image = blankImage(64, 64, scale);
    QPainter painter(&image);
    prepare(painter, 64, 64);
    const qreal cardScale = 0.56;
    const QTransform base = painter.transform();
    const auto place = [&](qreal x, qreal angle) {
        painter.setTransform(base);
        painter.translate(x, 60);
        painter.rotate(angle);
        painter.scale(cardScale, cardScale);
        painter.translate(-cards::width / 2.0, -cards::height);
    };
    place(24, -14);
    cards::draw(painter, 0);
    place(40, 10);
    cards::draw(painter, 40);
    return image;
}

} // namespace tablepieces

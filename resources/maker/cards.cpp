#include "resources/maker/cards.h"

#include "resources/maker/artfonts.h"
#include "resources/maker/court.h"
#include "resources/maker/drawkit.h"
#include "resources/maker/suits.h"

#include <QPainter>

#include <array>
#include <vector>

using namespace drawkit;

namespace {

const QRectF cardBox(0.5, 0.5, cards::width - 1.0, cards::height - 1.0);
constexpr qreal cornerRadius = 5.0;

// Where the pips of the number cards stand: three columns, rows from the top
// (0) to the bottom (1) of the pip field.
constexpr qreal leftColumn = 24.0;
constexpr qreal middleColumn = 35.5;
constexpr qreal rightColumn = 47.0;
constexpr qreal fieldTop = 19.0;
constexpr qreal fieldBottom = 77.0;
constexpr qreal pipSize = 11.5;

struct Pip
{
    qreal x;
    qreal row;
};

std::vector<Pip> layout(int rank)
{
    const auto pair = [](std::vector<Pip> &pips, qreal row) {
        pips.push_back({leftColumn, row});
        pips.push_back({rightColumn, row});
    };
    std::vector<Pip> pips;
    switch (rank) {
    case 2:
        pips = {{middleColumn, 0}, {middleColumn, 1}};
        break;
    case 3:
        pips = {{middleColumn, 0}, {middleColumn, 0.5}, {middleColumn, 1}};
        break;
    case 4:
    case 5:
        pair(pips, 0);
        pair(pips, 1);
        if (rank == 5)
            pips.push_back({middleColumn, 0.5});
        break;
    case 6:
    case 7:
    case 8:
        pair(pips, 0);
        pair(pips, 0.5);
        pair(pips, 1);
        if (rank >= 7)
            pips.push_back({middleColumn, 0.25});
        if (rank == 8)
            pips.push_back({middleColumn, 0.75});
        break;
    case 9:
    case 10:
        for (qreal row : {0.0, 1.0 / 3, 2.0 / 3, 1.0})
            pair(pips, row);
        if (rank == 9)
            pips.push_back({middleColumn, 0.5});
        else {
            pips.push_back({middleColumn, 1.0 / 6});
            pips.push_back({middleColumn, 5.0 / 6});
        }
        break;
    }
    return pips;
}

QString rankText(int rank)
{
    switch (rank) {
    case 1:
        return QStringLiteral("A");
    case 11:
        return QStringLiteral("J");
    case 12:
        return QStringLiteral("Q");
    case 13:
        return QStringLiteral("K");
    default:
        return QString::number(rank);
    }
}

// The corner index: rank over suit, in the 25-pixel strip that an
// overlapped card still shows.
void drawIndex(QPainter &painter, int rank, Suit suit)
{
    const QPainterPath text = textPath(rankText(rank), artfonts::sans(20));
    const QRectF bounds = text.boundingRect();
    constexpr qreal glyphHeight = 13.0;
    const qreal scale = glyphHeight / bounds.height();
    // "10" is squeezed to keep within the strip.
    const qreal squeeze = rank == 10 ? 0.68 : 1.0;
    QTransform place;
    place.translate(9.0, 4.0 + glyphHeight / 2);
    place.scale(scale * squeeze, scale);
    place.translate(-bounds.center().x(), -bounds.center().y());
    painter.fillPath(place.map(text), suits::colour(suit));
    suits::draw(painter, suit, QRectF(3.5, 20.5, 11.0, 11.0));
}

void drawBothIndexes(QPainter &painter, int rank, Suit suit)
{
    drawIndex(painter, rank, suit);
    painter.save();
    painter.translate(cards::width, cards::height);
    painter.rotate(180);
    drawIndex(painter, rank, suit);
    painter.restore();
}

void drawPips(QPainter &painter, int rank, Suit suit)
{
    for (const Pip &pip : layout(rank)) {
        const qreal y = fieldTop + pip.row * (fieldBottom - fieldTop);
        const QRectF box(pip.x - pipSize / 2, y - pipSize / 2, pipSize, pipSize);
        suits::draw(painter, suit, box, pip.row > 0.5);
    }
}

void drawAce(QPainter &painter, Suit suit)
{
    const QPointF centre(cards::width / 2.0, cards::height / 2.0);
    if (suit != Suit::Spades) {
        suits::draw(painter, suit, QRectF(centre.x() - 16, centre.y() - 16, 32, 32));
        return;
    }
    // The Ace of spades carries the deck's flourish: a large spade in a
    // gold ring.
    painter.save();
    painter.setPen(QPen(palette::goldDark, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 22.0, 22.0);
    painter.setPen(QPen(palette::gold, 0.8));
    painter.drawEllipse(centre, 19.5, 19.5);
    painter.restore();
    suits::draw(painter, suit, QRectF(centre.x() - 16, centre.y() - 17, 32, 32));
}

void drawFace(QPainter &painter, int n)
{
    const Suit suit = static_cast<Suit>((n - 1) / 13);
    const int rank = (n - 1) % 13 + 1;

    QPainterPath shape;
    shape.addRoundedRect(cardBox, cornerRadius, cornerRadius);
    painter.fillPath(shape, verticalGradient(cardBox, Qt::white, palette::ivory));
    painter.setPen(QPen(palette::cardEdge, 1.0));
    painter.drawPath(shape);

    if (rank == 1)
        drawAce(painter, suit);
    else if (rank <= 10)
        drawPips(painter, rank, suit);
    else
        court::draw(painter, rank, suit, QRectF(17.5, 6.5, 36.0, 83.0));
    drawBothIndexes(painter, rank, suit);
}

} // namespace

namespace cards {

void drawBack(QPainter &painter, const QRectF &box)
{
    painter.save();
    const qreal unit = box.width() / width; // 1 on a full-size card
    const qreal radius = cornerRadius * unit;
    QPainterPath outer;
    outer.addRoundedRect(box, radius, radius);
    painter.fillPath(outer, palette::ivory);

    const qreal margin = 4.0 * unit;
    const QRectF inner = box.adjusted(margin, margin, -margin, -margin);
    QPainterPath field;
    field.addRoundedRect(inner, radius * 0.6, radius * 0.6);
    painter.fillPath(field, verticalGradient(inner, palette::backBlue.lighter(118),
                                             palette::backBlue.darker(125)));

    // A fine lattice of diagonal threads with a dot where they cross.
    painter.setClipPath(field);
    const qreal step = 6.0 * unit;
    painter.setPen(QPen(QColor(255, 255, 255, 70), 0.8 * unit));
    const qreal span = inner.width() + inner.height();
    // Threads that would pass wholly beside the field are clipped away
    // entirely; skipping them saves half the work and changes no pixel.
    const qreal reach = 1.0 * unit;
    for (qreal d = -span; d <= span; d += step) {
        if (d < -inner.height() - reach || d > inner.width() + reach)
            continue;
        painter.drawLine(QPointF(inner.left() + d, inner.top()),
                         QPointF(inner.left() + d + inner.height(), inner.bottom()));
        painter.drawLine(QPointF(inner.left() + d, inner.bottom()),
                         QPointF(inner.left() + d + inner.height(), inner.top()));
    }
    painter.setClipping(false);

    painter.setPen(QPen(palette::gold, 1.0 * unit));
    painter.setBrush(Qt::NoBrush);
    const qreal band = 2.5 * unit;
    painter.drawRoundedRect(inner.adjusted(band, band, -band, -band), radius * 0.4, radius * 0.4);

    // The medallion: a gold oval with the game's Z.
    const QPointF centre = inner.center();
    const qreal rx = 13.0 * unit;
    const qreal ry = 17.0 * unit;
    painter.setPen(QPen(palette::goldDark, 1.0 * unit));
    painter.setBrush(verticalGradient(QRectF(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry),
                                      palette::goldLight, palette::gold));
    painter.drawEllipse(centre, rx, ry);
    painter.setPen(QPen(palette::backBlue.darker(110), 0.8 * unit));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, rx - 2.2 * unit, ry - 2.2 * unit);
    const QPainterPath letter =
        centredOn(textPath(QStringLiteral("Z"), artfonts::serif(40)), QPointF(0, 0));
    const qreal letterScale = (16.0 * unit) / letter.boundingRect().height();
    QTransform place;
    place.translate(centre.x(), centre.y());
    place.scale(letterScale, letterScale);
    painter.fillPath(place.map(letter), palette::backBlue.darker(115));

    painter.setPen(QPen(palette::cardEdge, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outer);
    painter.restore();
}

void draw(QPainter &painter, int n)
{
    if (n <= 0 || n > 52)
        drawBack(painter, cardBox);
    else
        drawFace(painter, n);
}

QImage picture(int n, qreal scale)
{
    QImage image = blankImage(width, height, scale);
    QPainter painter(&image);
    prepare(painter, width, height);
    draw(painter, n);
    return image;
}

} // namespace cards

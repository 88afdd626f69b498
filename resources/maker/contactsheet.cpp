#include "resources/maker/contactsheet.h"

#include "resources/maker/artfonts.h"
#include "resources/maker/cardfan.h"
#include "resources/maker/cards.h"
#include "resources/maker/controls.h"
#include "resources/maker/drawkit.h"
#include "resources/maker/tablepieces.h"
#include "resources/maker/textures.h"

#include <QPainter>

using namespace drawkit;

namespace {

constexpr int step = 76; // one card's width and a gap
constexpr int margin = 12;
constexpr int sheetWidth = 1140;

void caption(QPainter &painter, QPointF at, const QString &text, bool bold = false, int pixels = 11)
{
    painter.setFont(artfonts::sans(pixels, bold));
    painter.setPen(QColor(255, 255, 255, 220));
    painter.drawText(at, text);
}

QImage fanFrame(int frame)
{
    QImage keyed = cardfan::strip().copy(frame * cardfan::frameWidth, 0, cardfan::frameWidth,
                                         cardfan::frameHeight);
    for (int y = 0; y < keyed.height(); ++y)
        for (int x = 0; x < keyed.width(); ++x)
            if (keyed.pixel(x, y) == qRgb(0, 255, 0))
                keyed.setPixel(x, y, palette::felt.rgb());
    return keyed;
}

// The main window's 714 x 489 client area as the table lays a round out:
// the user at the bottom with his hand, the seat at the upper left to play,
// the upper right seat out of money.
QImage tableScene()
{
    QImage scene(714, 489, QImage::Format_RGB32);
    QPainter painter(&scene);
    prepare(painter);
    painter.fillRect(scene.rect(), QBrush(textures::feltTile()));
    painter.translate(8, 8); // the board panel

    painter.drawImage(0, 0, tablepieces::ornament(1));
    painter.drawImage(667, 0, tablepieces::ornament(2));
    painter.drawImage(0, 444, tablepieces::ornament(3));
    painter.drawImage(667, 444, tablepieces::ornament(4));
    painter.drawImage(519, 5, tablepieces::logo());

    // Seats: left, upper left, upper right.
    painter.drawImage(32, 216, fanFrame(0));
    painter.drawImage(8, 218, tablepieces::bags(2));
    caption(painter, QPointF(32, 331), QStringLiteral("Zaze"), false);
    painter.drawImage(82, 43, fanFrame(2));
    painter.drawImage(58, 48, tablepieces::bags(3));
    painter.drawImage(58, 122, tablepieces::turnMarker());
    caption(painter, QPointF(82, 160), QStringLiteral("Doruv"), true);
    painter.drawImage(280, 92, tablepieces::outOfMoney());
    painter.drawImage(256, 50, tablepieces::bags(0));
    caption(painter, QPointF(280, 164), QStringLiteral("Darar"), false);
    painter.drawImage(257, 152 - 18, tablepieces::eyes());

    // The user's seat and hand.
    painter.drawImage(152, 298, tablepieces::bags(3));
    caption(painter, QPointF(176, 410), QStringLiteral("You"), false);
    const int hand[] = {1, 20, 37, 51};
    for (int place = 1; place <= 4; ++place)
        painter.drawImage(25 * place + 151, place == 3 ? 292 : 296,
                          cards::picture(hand[place - 1]));

    // The pile.
    painter.drawImage(153, 176, cards::picture(35));
    painter.drawImage(233, 176, tablepieces::digit(4));
    painter.drawImage(297, 176, tablepieces::digit(7));
    caption(painter, QPointF(190, 285), QStringLiteral("Card Count: 5"), true);
    caption(painter, QPointF(5, 442), QStringLiteral("Round: 2"), true, 13);
    caption(painter, QPointF(170, 463), QStringLiteral("Doruv's turn."), true);
    painter.drawImage(275, 411, controls::startButton(false));

    // The chat column, for the colours' sake.
    for (int n = 1; n <= 10; ++n)
        painter.drawImage(430 + (n - 1) * 26 + 4, 32, controls::phraseButton(n));
    painter.fillRect(QRect(430, 53, 265, 362), Qt::white);
    painter.fillRect(QRect(430, 419, 265, 22), Qt::white);
    painter.setPen(QColor(0, 0, 255));
    painter.setFont(artfonts::sans(11, false));
    painter.drawText(QPointF(436, 70), QStringLiteral("You has started a game."));
    return scene;
}

} // namespace

namespace contactsheet {

QImage render()
{
    const int height = 1230;
    QImage sheet(sheetWidth, height, QImage::Format_RGB32);
    QPainter painter(&sheet);
    prepare(painter);
    painter.fillRect(sheet.rect(), QColor(44, 48, 54));

    painter.drawImage(0, 0, tableScene());
    painter.drawImage(726, 0, textures::advert());
    painter.fillRect(QRect(726, 345, sheetWidth - 726, 144), QBrush(textures::linenTile()));

    int y = 489 + margin;
    painter.fillRect(QRect(0, y - margin, sheetWidth, height - y + margin),
                     QBrush(textures::feltTile()));
    for (int suit = 0; suit < 4; ++suit, y += 100)
        for (int rank = 0; rank < 13; ++rank)
            painter.drawImage(margin + rank * step, y, cards::picture(suit * 13 + rank + 1));

    painter.drawImage(margin, y, cards::picture(0));
    for (int d = 0; d <= 9; ++d)
        painter.drawImage(margin + (d + 1) * step, y, tablepieces::digit(d));
    y += 106;

    int x = margin;
    for (int b = 0; b <= 3; ++b, x += 30)
        painter.drawImage(x, y, tablepieces::bags(b));
    painter.drawImage(x, y, tablepieces::turnMarker());
    painter.drawImage(x, y + 34, tablepieces::eyes());
    x += 34;
    painter.drawImage(x, y, tablepieces::outOfMoney());
    x += 74;
    painter.drawImage(x, y, tablepieces::winner());
    x += 86;
    painter.drawImage(x, y, controls::botSwitch(false));
    painter.drawImage(x + 54, y, controls::botSwitch(true));
    painter.drawImage(x, y + 40, controls::startButton(false));
    painter.drawImage(x + 150, y + 40, controls::startButton(true));
    x += 112;
    for (int n = 1; n <= 10; ++n)
        painter.drawImage(x + (n - 1) * 29, y, controls::phraseButton(n));
    for (int c = 1; c <= 4; ++c)
        painter.drawImage(x + 300 + (c - 1) * 36, y + 40, tablepieces::ornament(c));
    painter.drawImage(x + 300 + 4 * 36 + 10, y + 46, tablepieces::logo());
    painter.drawImage(x + 300 + 4 * 36 + 170, y + 24, tablepieces::windowIcon());
    y += 86;

    painter.drawImage(margin, y, cardfan::strip());
    caption(painter, QPointF(margin, y + 116), QStringLiteral("card fan strip with its lime key"));
    return sheet;
}

} // namespace contactsheet

#include "client/model/cardnames.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr int highestSafeTotal = 98; // a total above this busts the pile
constexpr int bustedTotal = 99;      // how a busted pile is reported

const char *const rankNames[] = {"King",  "Ace",   "Two",  "Three", "Four", "Five", "Six",
                                 "Seven", "Eight", "Nine", "Ten",   "Jack", "Queen"};
const char *const suitNames[] = {"Clubs", "Diamonds", "Hearts", "Spades"};

bool isCard(int card)
{
    return card >= 1 && card <= 52;
}

} // namespace

namespace cardnames {

QString cardName(int card)
{
    if (card == 0)
        return QStringLiteral("Face-down card");
    if (!isCard(card))
        return {};
    return QStringLiteral("%1 of %2")
        .arg(QLatin1String(rankNames[card % 13]), QLatin1String(suitNames[(card - 1) / 13]));
}

QString effectText(int card)
{
    if (!isCard(card))
        return {};
    switch (card % 13) {
    case 10:
        return QStringLiteral("takes 10 off");
    case 11:
    case 12:
        return QStringLiteral("changes nothing");
    case 0:
        return QStringLiteral("sets the total to %1").arg(highestSafeTotal);
    default:
        return QStringLiteral("adds %1").arg(card % 13);
    }
}

QString handCardName(int card)
{
    if (!isCard(card))
        return cardName(card);
    return cardName(card) + QStringLiteral(", ") + effectText(card);
}

int pileAfter(int before, int card)
{
    if (!isCard(card))
        return before;
    switch (card % 13) {
    case 10:
        return std::max(0, before - 10);
    case 11:
    case 12:
        return before;
    case 0:
        return highestSafeTotal;
    default:
        return before + card % 13;
    }
}

QString playText(int before, int card)
{
    const int after = pileAfter(before, card);
    QString text = QStringLiteral("%1 on %2: %3").arg(cardName(card)).arg(before).arg(after);
    if (after > highestSafeTotal)
        text += QStringLiteral(", busted");
    return text;
}

QString seatName(const Seat &seat)
{
    QStringList parts{seat.name};
    if (seat.bags <= 0)
        parts << QStringLiteral("out of money");
    else if (seat.bags == 1)
        parts << QStringLiteral("1 bag of money");
    else
        parts << QStringLiteral("%1 bags of money").arg(seat.bags);
    if (seat.holdsTurn)
        parts << QStringLiteral("holds the turn");
    if (seat.justWatches)
        parts << QStringLiteral("just watches");
    if (seat.won)
        parts << QStringLiteral("has won the game");
    return parts.join(QStringLiteral(", "));
}

QString pileName(int total, int topCard)
{
    QString text = QStringLiteral("Total %1").arg(total);
    if (total >= bustedTotal)
        text += QStringLiteral(", busted");
    if (isCard(topCard))
        text += QStringLiteral(", top card ") + cardName(topCard);
    else
        text += QStringLiteral(", no card yet");
    return text;
}

} // namespace cardnames

#pragma once

#include <QString>

// What the table says about its cards, seats and pile in words: the names a
// screen reader speaks, and the lines of the last plays.
//
// Card numbers are the game's: 1 to 13 clubs, 14 to 26 diamonds, 27 to 39
// hearts, 40 to 52 spades, each suit Ace, 2 to 10, Jack, Queen, King; the
// number modulo 13 gives the rank (1 Ace, 11 Jack, 12 Queen, 0 King). 0 is
// no card, shown as a card back.
namespace cardnames {

// "Seven of Hearts"; "Face-down card" for 0; empty for a number outside
// 0 to 52.
QString cardName(int card);

// What the card does to the pile total: "adds 7", "takes 10 off",
// "changes nothing", "sets the total to 98". Empty for no card.
QString effectText(int card);

// A card of the hand: "Seven of Hearts, adds 7". A face-down card is just
// "Face-down card".
QString handCardName(int card);

// The total after `card` is laid on `before`, as the rules work it out
// before a bust is reported as 99: a Ten never takes it below 0, a King
// makes it 98, and a sum above 98 is kept as it is (96 and a Four give 100).
int pileAfter(int before, int card);

// One line of the last plays: "Four of Hearts on 96: 100, busted";
// "Seven of Clubs on 40: 47" when the pile holds.
QString playText(int before, int card);

// A seat as a screen reader says it: its player's name, its bags ("2 bags
// of money", "1 bag of money", "out of money") and what else the table
// shows of it: "Ann, 2 bags of money, holds the turn".
struct Seat
{
    QString name;
    int bags = 0;
    bool holdsTurn = false;
    bool justWatches = false;
    bool won = false;
};
QString seatName(const Seat &seat);

// The pile: "Total 37, top card Ace of Hearts"; "Total 0, no card yet" on
// an empty pile; a busted pile, reported as 99, says so:
// "Total 99, busted, top card Four of Hearts".
QString pileName(int total, int topCard);

} // namespace cardnames

#pragma once

#include "net/gamerules.h"

#include <array>

class QLabel;
class TAnimated;

// The four places of the table on the screen, clockwise from the user's.
enum class TablePlace { Bottom, Left, UpperLeft, UpperRight };
inline constexpr int kTablePlaces = kSeatCount;

// The seven controls of one place at the table. They belong to whichever
// seat the rotation puts there; their object names carry that seat's number
// (`label_playername3` is seat 3's name, wherever it stands).
struct SeatControls
{
    QLabel *label_playername = nullptr; // the name; bold while the seat is to play
    TAnimated *image_card = nullptr;    // the card fan, animated while the seat is to play
    QLabel *image_chips = nullptr;      // the money bags; its tag holds how many
    QLabel *image_turn = nullptr;       // the turn marker
    QLabel *image_eyes = nullptr;       // the seat's player just watches
    QLabel *image_money = nullptr;      // Out Of Money
    QLabel *image_winner = nullptr;     // the heap of bags of the game's winner
};

// Which seat is drawn at which place. The user's own seat is at the bottom,
// the next at the left, then upper left and upper right, seat 4 followed by
// seat 1. Seat 1 and watchers see the table as the form lays it out.
class SeatRotation
{
public:
    explicit SeatRotation(int ownSlot = 1);

    // The place of seat 1 to 4.
    TablePlace placeOf(int seat) const;
    // The seat drawn at `place`.
    int seatAt(TablePlace place) const;

private:
    int bottomSeat_ = 1;
};

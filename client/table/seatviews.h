#pragma once

#include "client/model/seatrotation.h"

#include <array>

class QWidget;
class ScaledPlaces;
class TableState;

// The four seats at the table: at each place the seat's name, card fan,
// bags, turn marker, watcher's eyes, Out Of Money and winner's heap. The
// controls stay at their places; the rotation says which seat each place
// shows, and their object names and screen reader names follow it.
class SeatViews
{
public:
    SeatViews(QWidget *board, ScaledPlaces &places, const TableState &state);

    const SeatRotation &rotation() const { return rotation_; }
    // Turns the table so that the own slot's seat is drawn at the bottom.
    void setRotation(int ownSlot);

    const SeatControls &atPlace(TablePlace place) const;
    // Seat 1 to 4 wherever it stands; nullptr for any other number.
    const SeatControls *seatControls(int seat) const;

    // Every seat's pictures, drawn for the table's scale now.
    void drawPictures();

    // The seat's name and whether its player just watches.
    void showSeat(int seat);
    void showBags(int seat);
    // Out Of Money for the seats that are, fans for the others but the
    // user's own.
    void showMoneyList();
    // The seat to play: its marker and bold name, every other fan at rest.
    void showTurn(int seat);
    void playFan(int seat);
    void stopFan(int seat);
    void stopFans();
    void hideFans();
    void showOutOfMoney(int seat);
    // The winner's heap at the seat, no turn marker and no bags anywhere.
    void showWinner(int seat);
    // No Out Of Money and no winner's heap anywhere: a new game.
    void hideOutcomes();

private:
    void build(QWidget *board);
    void nameControls();
    // The names a screen reader speaks for a seat.
    void nameSeat(int seat);

    ScaledPlaces &places_;
    const TableState &state_;
    SeatRotation rotation_;
    std::array<SeatControls, kTablePlaces> seatsAtPlaces_{};
};

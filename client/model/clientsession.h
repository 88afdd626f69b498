#pragma once

#include "net/gamerules.h"

#include <QString>

#include <array>

// What this client knows about its own place in the game. The main window
// owns one; the chat panel, the table and the side windows read it.
struct ClientSession
{
    int ownSlot = 0; // given by the host in CMD_sendlogininfo; 1-4 a seat, 5+ a watcher
    bool loggedIn =
        false; // set once the login answer is sent; cleared only to log in again after a drop
    bool host = false;          // this copy runs the game server
    QString playerName;         // first argument, or "You" for a solo game
    QString hostAddress;        // second argument, or "127.0.0.1"
    int seatCount = kSeatCount; // slots up to this are seats, higher ones watchers
    std::array<QString, kSeatCount> defaultNames{
        QStringLiteral("You"), QLatin1String(kComputerNames[1]), QLatin1String(kComputerNames[2]),
        QLatin1String(kComputerNames[3])};

    bool isSeat(int slot) const { return slot >= 1 && slot <= seatCount; }
    bool ownSlotIsSeat() const { return isSeat(ownSlot); }
};

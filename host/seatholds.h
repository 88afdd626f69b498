#pragma once

#include "net/gamerules.h"

#include <QByteArray>

#include <array>
#include <optional>
#include <vector>

// The seats kept for players whose connection dropped: each with the name
// it is kept under and the time (the server's clock, ms) it is kept until.
// Nobody else is seated there meanwhile; the computer plays it.
class SeatHolds
{
public:
    void hold(int seat, QByteArray name, qint64 until);
    // Ends the seat's hold, if it has one.
    void release(int seat);

    bool held(int seat) const;
    // The name the seat is kept under; empty when it is not held.
    QByteArray name(int seat) const;
    // The held seats whose time has run out by `now`, lowest first.
    std::vector<int> expired(qint64 now) const;
    // Every held seat, lowest first.
    std::vector<int> seats() const;
    bool empty() const;

private:
    struct Hold
    {
        QByteArray name;
        qint64 until = 0;
    };
    // Seat n at index n - 1.
    std::array<std::optional<Hold>, kSeatCount> m_holds;
};

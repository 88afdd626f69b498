#include "host/seatholds.h"

#include <utility>

void SeatHolds::hold(int seat, QByteArray name, qint64 until)
{
    if (isSeat(seat))
        m_holds[seat - 1] = Hold{std::move(name), until};
}

void SeatHolds::release(int seat)
{
    if (isSeat(seat))
        m_holds[seat - 1].reset();
}

bool SeatHolds::held(int seat) const
{
    return isSeat(seat) && m_holds[seat - 1].has_value();
}

QByteArray SeatHolds::name(int seat) const
{
    return held(seat) ? m_holds[seat - 1]->name : QByteArray();
}

std::vector<int> SeatHolds::expired(qint64 now) const
{
    std::vector<int> due;
    for (int seat = 1; seat <= kSeatCount; ++seat) {
        if (held(seat) && m_holds[seat - 1]->until <= now)
            due.push_back(seat);
    }
    return due;
}

std::vector<int> SeatHolds::seats() const
{
    std::vector<int> all;
    for (int seat = 1; seat <= kSeatCount; ++seat) {
        if (held(seat))
            all.push_back(seat);
    }
    return all;
}

bool SeatHolds::empty() const
{
    return seats().empty();
}

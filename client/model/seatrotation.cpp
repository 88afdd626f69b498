#include "client/model/seatrotation.h"

SeatRotation::SeatRotation(int ownSlot)
    : bottomSeat_(ownSlot >= 1 && ownSlot <= kTablePlaces ? ownSlot : 1)
{}

TablePlace SeatRotation::placeOf(int seat) const
{
    return TablePlace((seat - bottomSeat_ + kTablePlaces) % kTablePlaces);
}

int SeatRotation::seatAt(TablePlace place) const
{
    return (bottomSeat_ - 1 + int(place)) % kTablePlaces + 1;
}

#include "client/model/handstate.h"

#include "client/model/tablestate.h"

HandState::HandState(const TableState *table, QObject *parent) : QObject(parent), table_(table)
{
    connect(table_, &TableState::gameStarted, this, &HandState::removeAll);
    connect(table_, &TableState::roundStarted, this, [this] {
        layout_.freePlaces(1, kRoundPlaces);
        removeAll();
    });
    // A bust ends the round: whatever the user held goes. A bag count no
    // game has is only talk.
    connect(table_, &TableState::seatBusted, this, [this](int, int bags) {
        if (TableState::isSeat(table_->ownSlot()) && bags >= 0 && bags <= TableState::kStartBags)
            removeAll();
    });
    connect(table_, &TableState::cardRefused, this, [this](int position) {
        layout_.blank(position);
        emit changed();
    });
}

void HandState::removeAll()
{
    layout_.removeAllImages();
    emit changed();
}

void HandState::placecard(int seat, const NumberedValues &cards)
{
    if (!table_->isOwnSeat(seat))
        return;
    for (int position = 1; position <= TableState::kSeats; ++position)
        layout_.createcard(position, cards[std::size_t(position - 1)]);
    // A fresh hand is always sorted, whatever "Auto Sort" says.
    layout_.sortthem();
    emit changed();
}

void HandState::newcard(int seat, int position, int card)
{
    // A hand has positions 1 to 4; anything else names no card of ours.
    if (!table_->isOwnSeat(seat) || position < 1 || position > TableState::kSeats)
        return;
    layout_.removeImage(position);
    layout_.movecards(position);
    layout_.createcard(position, card);
    if (autoSort_)
        layout_.sortthem();
    emit changed();
}

bool HandState::pick(int position)
{
    const bool picked = layout_.pick(position);
    emit changed();
    return picked;
}

void HandState::sort()
{
    layout_.sortthem();
    emit changed();
}

void HandState::highlight(int position)
{
    layout_.highlight(position);
    emit changed();
}

void HandState::moveHighlight(int step)
{
    layout_.moveHighlight(step);
    emit changed();
}

void HandState::lower(int position)
{
    layout_.clearHighlight();
    if (position)
        layout_.pick(position);
    emit changed();
}

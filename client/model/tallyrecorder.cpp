#include "client/model/tallyrecorder.h"

#include "client/model/tablestate.h"
#include "stats/tallygrid.h"

namespace {
// The bags of the whole table: what a winner takes in all.
constexpr int kBagsAtStake = TableState::kSeats * TableState::kStartBags;
} // namespace

TallyRecorder::TallyRecorder(const TableState *state, QObject *parent)
    : QObject(parent), state_(state)
{
    connect(state_, &TableState::gameStarted, this, [this] {
        if (userHasSeat())
            emit increase(TallyGrid::kBagsReceived, TableState::kStartBags);
    });
    connect(state_, &TableState::seatBusted, this, [this](int seat) {
        if (state_->isOwnSeat(seat))
            emit increase(TallyGrid::kBagsLost, 1);
    });
    connect(state_, &TableState::gameWon, this, [this](const QString &name, int seat) {
        if (!userHasSeat())
            return;
        // By seat, never by name: two players may share one.
        const bool userWon = state_->isOwnSeat(seat);
        if (userWon)
            emit increase(TallyGrid::kBagsWon, kBagsAtStake - state_->seat(seat).bags);
        emit gameRecorded(userWon, name);
    });
}

bool TallyRecorder::userHasSeat() const
{
    return TableState::isSeat(state_->ownSlot());
}

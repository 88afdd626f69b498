#include "client/table/tablesounds.h"

#include "client/model/tablestate.h"

namespace {
const QString kStartRound = QStringLiteral("startround");
const QString kTurn = QStringLiteral("turn");
const QString kPlaceCard = QStringLiteral("placecard");
const QString kError = QStringLiteral("error");
const QString kLostMoney = QStringLiteral("lostmoney");
const QString kWinner = QStringLiteral("winner");

// Seconds before the turn time limit at which the turn sound calls again.
constexpr int kWarningSeconds = 5;
} // namespace

TableSounds::TableSounds(const TableState *state, QObject *parent) : QObject(parent), state_(state)
{
    connect(state_, &TableState::roundStarted, this, [this] { emit playsounds(kStartRound); });
    connect(state_, &TableState::turnChanged, this, [this](int seat) {
        if (state_->isOwnSeat(seat))
            emit playsounds(kTurn);
    });
    connect(state_, &TableState::cardPlayed, this, [this] { emit playsounds(kPlaceCard); });
    connect(state_, &TableState::cardRefused, this, [this] { emit playsounds(kError); });
    connect(state_, &TableState::seatBusted, this, [this] { emit playsounds(kLostMoney); });
    connect(state_, &TableState::gameWon, this, [this] { emit playsounds(kWinner); });
}

void TableSounds::turnSecondsLeft(int seconds)
{
    // One more call while there is time to choose.
    if (seconds == kWarningSeconds && state_->isOwnSeat(state_->turnSeat()))
        emit playsounds(kTurn);
}

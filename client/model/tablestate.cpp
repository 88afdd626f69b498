#include "client/model/tablestate.h"

#include "client/model/clientsession.h"
#include "net/messages.h"
#include "net/peertext.h"

QString TableWatcher::entry() const
{
    return QString::number(slot) + QStringLiteral(": ") + peertext::isolated(name);
}

TableState::TableState(const ClientSession *session, QObject *parent)
    : QObject(parent), session_(session)
{
    setObjectName(QStringLiteral("tablestate"));
    for (TableSeat &each : seats_)
        each.name = kWaiting;
}

const TableSeat &TableState::seat(int seat) const
{
    static const TableSeat kNobody{};
    return isSeat(seat) ? seats_[std::size_t(seat - 1)] : kNobody;
}

TableSeat *TableState::find(int seat)
{
    return isSeat(seat) ? &seats_[std::size_t(seat - 1)] : nullptr;
}

QString TableState::defaultName(int seat) const
{
    return isSeat(seat) ? session_->defaultNames[std::size_t(seat - 1)] : QString();
}

int TableState::ownSlot() const
{
    return session_->ownSlot;
}

bool TableState::isOwnSeat(int seat) const
{
    return seat == session_->ownSlot && session_->ownSlotIsSeat();
}

QStringList TableState::watcherEntries() const
{
    QStringList entries;
    for (const TableWatcher &watcher : watchers_)
        entries.append(watcher.entry());
    return entries;
}

QStringList TableState::currentPlayers() const
{
    QStringList names;
    for (int each = 1; each <= kSeats; ++each) {
        const QString &name = seat(each).name;
        if (each != session_->ownSlot && name != kWaiting)
            names.append(name);
    }
    return names;
}

void TableState::newplayerinfo(int slot, const QString &name)
{
    if (!isSlot(slot))
        return;
    if (TableSeat *taken = find(slot)) {
        taken->name = name;
        taken->computer = false;
        taken->away = false;
        emit seatChanged(slot);
    } else {
        // A slot holds one watcher: a second word on it replaces the first.
        watchers_.removeIf([slot](const TableWatcher &each) { return each.slot == slot; });
        watchers_.append(TableWatcher{slot, name});
        emit watchersChanged();
    }
    emit playerArrived(slot, name);
}

void TableState::away(int seat, bool away)
{
    TableSeat *held = find(seat);
    if (!held || held->away == away)
        return;
    held->away = away;
    emit seatChanged(seat);
}

void TableState::rejoin()
{
    for (int each = 1; each <= kSeats; ++each) {
        TableSeat &seat = seats_[std::size_t(each - 1)];
        seat.name = kWaiting;
        seat.computer = false;
        seat.watching = false;
        seat.away = false;
        emit seatChanged(each);
    }
    if (!watchers_.isEmpty()) {
        watchers_.clear();
        emit watchersChanged();
    }
}

void TableState::playerdisconnected(int slot, const QString &name)
{
    if (TableSeat *left = find(slot)) {
        const QString sat = left->name;
        left->name = defaultName(slot);
        left->computer = true;
        left->watching = false;
        left->away = false;
        emit seatChanged(slot);
        emit seatLeft(slot, sat);
        return;
    }
    const TableWatcher watcher{slot, name};
    if (watchers_.removeOne(watcher)) {
        emit watchersChanged();
        emit watcherLeft(watcher);
    }
}

void TableState::justwatching(int seat, bool watching)
{
    TableSeat *changed = find(seat);
    if (!changed)
        return;
    changed->watching = watching;
    emit seatChanged(seat);
    emit watchingChanged(seat, watching);
}

void TableState::seatTheComputers()
{
    // Computer players take the seats nobody holds; seat 1 is always the
    // host's own.
    for (int each = 2; each <= kSeats; ++each) {
        TableSeat &empty = seats_[std::size_t(each - 1)];
        if (empty.name != kWaiting)
            continue;
        empty.name = defaultName(each);
        empty.computer = true;
        emit seatChanged(each);
    }
}

void TableState::takeBags(const SeatValues &bags)
{
    for (int each = 1; each <= kSeats; ++each) {
        TableSeat &seat = seats_[std::size_t(each - 1)];
        seat.bags = bags[std::size_t(each - 1)];
        seat.outOfMoney = seat.bags < 1;
    }
}

void TableState::startthegame(const QString &name, const QString &)
{
    for (TableSeat &each : seats_) {
        each.bags = kStartBags;
        each.outOfMoney = false;
    }
    total_ = 0;
    cardCount_ = 0;
    plays_.clear();
    winnerSeat_ = 0;
    winnerName_.clear();
    seatTheComputers();
    emit gameStarted(name);
}

void TableState::startround(int round, const SeatValues &bags)
{
    // The list is the host's word on every seat's bags at the deal: a seat
    // nobody plays when the computer players are off starts with none.
    round_ = round;
    takeBags(bags);
    topCard_ = kEmptyPile;
    total_ = 0;
    cardCount_ = 0;
    plays_.clear();
    emit roundStarted(bags);
}

void TableState::getnextplayer(int seat)
{
    turnSeat_ = seat;
    emit turnChanged(seat);
}

void TableState::turnlimit(int seconds)
{
    if (seconds == turnLimitSeconds_)
        return;
    turnLimitSeconds_ = seconds;
    emit turnLimitChanged(seconds);
}

void TableState::gamestats(int round, int total, int topcard, int turn, const SeatValues &bags)
{
    round_ = round;
    turnSeat_ = turn;
    // The turn shows with the names the table has so far; the computers
    // take their seats only at the end of the message.
    if (turn != 0)
        emit turnChanged(turn);
    topCard_ = topcard != 0 ? topcard : kEmptyPile;
    total_ = total;
    // The cards before the arrival are not known: the last plays start here.
    plays_.clear();
    takeBags(bags);
    seatTheComputers();
    emit lateArrival(bags);
}

void TableState::playcard(int seat, int card, int total)
{
    // The host reports a bust as 99; the total before keeps the real sum
    // within reach.
    plays_.append(TablePlay{seat, this->seat(seat).name, card, total_});
    if (plays_.size() > kPlaysKept)
        plays_.removeFirst();
    topCard_ = card;
    total_ = total;
    ++cardCount_;
    emit cardPlayed(seat);
}

void TableState::roundover(int seat, int bags)
{
    TableSeat *busted = find(seat);
    if (busted && bags >= 0 && bags <= kStartBags) {
        busted->bags = bags;
        busted->outOfMoney = bags < 1;
    }
    emit seatBusted(seat, bags);
}

void TableState::winner(const QString &name, int seat)
{
    winnerSeat_ = seat;
    winnerName_ = name;
    emit gameWon(name, seat);
}

void TableState::closeHand()
{
    turnSeat_ = 0;
    emit handClosed();
}

void TableState::nocard(int seat, int position)
{
    if (!isOwnSeat(seat))
        return;
    reopenHand();
    emit cardRefused(position);
}

void TableState::reopenHand()
{
    if (turnSeat_ == 0)
        turnSeat_ = session_->ownSlot;
}

#include "host/gamecheck.h"

#include "host/game.h"

#include <bitset>

namespace {
QString checkCardsOnce(const GameState &state)
{
    std::bitset<kDeckSize + 1> seen;
    QString fault;
    auto see = [&](int card, const char *where) {
        if (!fault.isEmpty() || card == 0)
            return;
        if (card < 0 || card > kDeckSize)
            fault = QStringLiteral("card %1 out of range in %2").arg(card).arg(where);
        else if (seen.test(card))
            fault = QStringLiteral("card %1 twice (again in %2)").arg(card).arg(where);
        else
            seen.set(card);
    };
    for (int p = 1; p <= kDeckSize; ++p) {
        const int card = state.deck[p - 1];
        if (card != 0 && (p < state.drawpos || p > state.decksize))
            return QStringLiteral("deck position %1 holds card %2 outside the pile")
                .arg(p)
                .arg(card);
        see(card, "deck");
    }
    for (int p = 1; p <= kDeckSize; ++p) {
        const int card = state.discards[p - 1];
        if (card != 0 && p >= state.discardpos)
            return QStringLiteral("discard position %1 holds card %2 past the pile")
                .arg(p)
                .arg(card);
        see(card, "discards");
    }
    see(state.topcard, "topcard");
    for (const SeatState &seat : state.seats) {
        if (!seat.dealt)
            continue;
        for (int card : seat.hand)
            see(card, "a hand");
    }
    return fault;
}
} // namespace

QString gameStateFault(const GameState &state)
{
    if (state.total < 0 || state.total > kBustTotal)
        return QStringLiteral("total %1 out of range").arg(state.total);
    if (state.phase == GameState::Phase::Round && state.total > kHighestSafeTotal)
        return QStringLiteral("round in play with a busted total");
    if (state.turn < 0 || state.turn > kSeatCount)
        return QStringLiteral("turn %1 out of range").arg(state.turn);
    for (const SeatState &seat : state.seats) {
        if (seat.money < 0 || seat.money > kStartMoney)
            return QStringLiteral("money %1 out of range").arg(seat.money);
        if (seat.playing && seat.money < 1)
            return QStringLiteral("a seat without money plays");
    }
    if (state.round == 0)
        return {};
    if (state.decksize < 0 || state.decksize > kDeckSize || state.drawpos < 1 ||
        state.drawpos > state.decksize + 1)
        return QStringLiteral("drawpos %1 outside a deck of %2")
            .arg(state.drawpos)
            .arg(state.decksize);
    if (state.discardpos < 1 || state.discardpos > kDeckSize + 1)
        return QStringLiteral("discardpos %1 out of range").arg(state.discardpos);
    if (state.phase == GameState::Phase::Round && !state.seat(state.turn).playing)
        return QStringLiteral("the turn is with seat %1, which does not play").arg(state.turn);
    return checkCardsOnce(state);
}

#include "client/model/clientsession.h"
#include "client/model/tablestate.h"

#include <gtest/gtest.h>

namespace {

// The table state alone, fed as the dispatcher feeds it.
class State : public ::testing::Test
{
protected:
    void seatAs(int slot)
    {
        session.ownSlot = slot;
        session.loggedIn = true;
    }
    QStringList names() const
    {
        QStringList all;
        for (int seat = 1; seat <= 4; ++seat)
            all.append(state.seat(seat).name);
        return all;
    }

    ClientSession session;
    TableState state{&session};
};

TEST_F(State, SeatsFillLeaveAndGoToTheComputers)
{
    seatAs(1);
    EXPECT_EQ(names(), QStringList(4, "<Waiting>"));
    state.newplayerinfo(1, "Ann");
    state.newplayerinfo(3, "Bob");
    state.justwatching(3, true);
    EXPECT_TRUE(state.seat(3).watching);

    // The game seats the computers where nobody is; seat 1 is the host's.
    state.startthegame("Ann", "b");
    EXPECT_EQ(names(), (QStringList{"Ann", "Zaze", "Bob", "Darar"}));
    EXPECT_TRUE(state.seat(2).computer);
    EXPECT_FALSE(state.seat(3).computer);

    QStringList left;
    QObject::connect(&state, &TableState::seatLeft, [&](int seat, const QString &name) {
        left.append(QString::number(seat) + ' ' + name);
    });
    state.playerdisconnected(3, "Bob");
    EXPECT_EQ(state.seat(3).name, "Doruv");
    EXPECT_TRUE(state.seat(3).computer);
    EXPECT_FALSE(state.seat(3).watching) << "the computer does not inherit the eyes";
    EXPECT_EQ(left, QStringList{"3 Bob"});

    // Out-of-range slots and seats change nothing and say nothing.
    int said = 0;
    QObject::connect(&state, &TableState::seatChanged, [&] { ++said; });
    QObject::connect(&state, &TableState::playerArrived, [&] { ++said; });
    QObject::connect(&state, &TableState::watchingChanged, [&] { ++said; });
    state.newplayerinfo(0, "Nobody");
    state.newplayerinfo(10, "Ghost");
    state.justwatching(5, true);
    state.justwatching(0, true);
    EXPECT_EQ(said, 0);
    EXPECT_TRUE(state.watchers().isEmpty());
}

TEST_F(State, WatchersComeAndGoByTheirSlotAndName)
{
    seatAs(1);
    state.newplayerinfo(5, "Cy");
    state.newplayerinfo(7, "Dee: Jr");
    EXPECT_EQ(state.watcherEntries(), (QStringList{"5: \u2068Cy\u2069", "7: \u2068Dee: Jr\u2069"}));

    QStringList left;
    QObject::connect(&state, &TableState::watcherLeft,
                     [&](const TableWatcher &watcher) { left.append(watcher.entry()); });
    // Only the exact slot and name leave.
    state.playerdisconnected(5, "Bob");
    state.playerdisconnected(6, "Cy");
    EXPECT_TRUE(left.isEmpty());
    state.playerdisconnected(5, "Cy");
    EXPECT_EQ(state.watcherEntries(), QStringList{"7: \u2068Dee: Jr\u2069"});
    EXPECT_EQ(left, QStringList{"5: \u2068Cy\u2069"});
}

TEST_F(State, CurrentPlayersLeaveOutTheUserAndEmptySeats)
{
    const struct
    {
        int ownSlot;
        QStringList players;
    } cases[] = {
        {1, {"Bob", "Darar"}},
        {3, {"Ann", "Darar"}},
        // A watcher's own slot is no seat: everybody seated counts.
        {6, {"Ann", "Bob", "Darar"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.ownSlot);
        ClientSession own;
        own.ownSlot = c.ownSlot;
        TableState table(&own);
        table.newplayerinfo(1, "Ann");
        table.newplayerinfo(3, "Bob");
        table.newplayerinfo(4, "Darar"); // a human may carry a computer's name
        EXPECT_EQ(table.currentPlayers(), c.players);
    }
}

TEST_F(State, CardCountPileAndBagsFollowTheRound)
{
    seatAs(2);
    state.startthegame("Ann", "b");
    state.startround(1, {3, 3, 3, 3});
    EXPECT_EQ(state.topCard(), TableState::kEmptyPile);
    state.playcard(3, 40, 10);
    state.playcard(4, 0, 99);
    EXPECT_EQ(state.cardCount(), 2);
    EXPECT_EQ(state.topCard(), 0);
    EXPECT_EQ(state.total(), 99);

    state.roundover(4, 0);
    EXPECT_EQ(state.seat(4).bags, 0);
    EXPECT_TRUE(state.seat(4).outOfMoney);
    // A bag count no seat can hold changes nothing.
    state.roundover(3, 4);
    state.roundover(3, -1);
    EXPECT_EQ(state.seat(3).bags, 3);

    state.startround(2, {3, 3, 3, 0});
    EXPECT_EQ(state.round(), 2);
    EXPECT_EQ(state.cardCount(), 0);
    EXPECT_EQ(state.total(), 0);

    state.startthegame("Ann", "b");
    EXPECT_EQ(state.seat(4).bags, 3);
    EXPECT_FALSE(state.seat(4).outOfMoney);
}

TEST_F(State, TheUsersCardClosesTheHandUntilTheNextTurn)
{
    seatAs(2);
    state.getnextplayer(2);
    QList<int> refused;
    int closed = 0;
    QObject::connect(&state, &TableState::handClosed, [&] { ++closed; });
    QObject::connect(&state, &TableState::cardRefused,
                     [&](int position) { refused.append(position); });
    state.closeHand();
    EXPECT_EQ(state.turnSeat(), 0);
    EXPECT_EQ(closed, 1);
    // A refusal gives the turn back; a turn that has moved on stays; another
    // seat's refusal is none of the user's.
    state.nocard(2, 4);
    EXPECT_EQ(state.turnSeat(), 2);
    state.getnextplayer(3);
    state.nocard(2, 1);
    EXPECT_EQ(state.turnSeat(), 3);
    state.nocard(3, 2);
    EXPECT_EQ(refused, (QList<int>{4, 1}));
}

TEST_F(State, LateArrivalShowsTheTurnBeforeTheComputersSit)
{
    // The turn is announced with the names the table had; the computers
    // take their empty seats at the end of the message.
    seatAs(1);
    QString turnName;
    QObject::connect(&state, &TableState::turnChanged,
                     [&](int seat) { turnName = state.seat(seat).name; });
    state.gamestats(3, 20, 0, 2, {3, 2, 0, 1});
    EXPECT_EQ(turnName, "<Waiting>");
    EXPECT_EQ(state.seat(2).name, "Zaze");
    EXPECT_EQ(state.turnSeat(), 2);
    EXPECT_EQ(state.topCard(), TableState::kEmptyPile);
    EXPECT_EQ(state.seat(2).bags, 2);
    EXPECT_TRUE(state.seat(3).outOfMoney);
}

} // namespace

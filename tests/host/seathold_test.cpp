#include "host/seatkeys.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "tests/host/hostfixture.h"
#include "tests/support/errorhandler.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A seated player whose connection drops has his seat kept for a while: the
// computer plays it, nobody else is given it, and his seat key brings him
// back to it with his name, bags and cards. Leaving on purpose, a kick, a
// key that is no good and the end of the game are ordinary departures.

namespace {

const QByteArray kBobLost =
    "CMD_chat+Bob lost the connection; his seat is kept for 2 minutes.|clMaroon";
const QByteArray kBobNotBack = "CMD_chat+Bob did not come back.|clMaroon";
const QString kWrongKey = QStringLiteral("A connection presented a seat key that is not valid.");
constexpr qint64 kHoldMs = TServer::kDefaultSeatHoldSeconds * 1000;

class SeatHold : public HostFixture
{
protected:
    void SetUp() override { startAliceAndBob(); }

    void startAliceAndBob()
    {
        startHost(11);
        ASSERT_FALSE(HasFatalFailure());
        alice = join("Alice", 1);
        bob = join("Bob", 2);
        ASSERT_FALSE(HasFailure());
    }

    // A game of Alice and Bob alone, seat 1 to play; the computer takes as
    // long as it is given.
    void startGame(int botdelay)
    {
        alice->send(msg::Botspeed{1, botdelay}.build());
        alice->send(msg::StartgameToHost{"Alice", gamemode::humansOnly}.build());
        ASSERT_TRUE(bob->waitFor(msg::Nextplayer{1}.build()));
    }

    // Bob's connection ends without a word, as when his network goes.
    void dropBob()
    {
        bob->close();
        ASSERT_TRUE(alice->waitFor(msg::Away{2, true}.build()));
    }

    // Everything Alice has heard since `from`.
    QByteArrayList aliceHeardSince(qsizetype from) const { return alice->received.mid(from); }

    Client alice;
    Client bob;
};

// Bob drops in a game and comes back in time: the same seat, name, bags and
// cards, a fresh key, and the others see him back. The slot he came in on
// was never anybody's.
TEST_F(SeatHold, APlayerWhoDropsComesBackToHisSeatWithinThePeriod)
{
    startGame(TServer::kMaxBotDelay);
    const Hand bobsHand = server->gameState().seat(2).hand;
    const qsizetype before = alice->received.size();
    dropBob();
    EXPECT_EQ(aliceHeardSince(before), (QByteArrayList{kBobLost, msg::Away{2, true}.build()}));
    EXPECT_TRUE(server->seatHeld(2));
    EXPECT_FALSE(server->player(2).connected);
    EXPECT_EQ(server->numhumans(), 1);
    EXPECT_TRUE(server->seatHoldTimerRunning());

    now += kHoldMs - 1;
    server->seatholdTimer();
    ASSERT_TRUE(server->seatHeld(2));

    Client back = connect();
    ASSERT_EQ(back->reclaim(2, bob->key), 2);
    // Whatever name he sends, he is Bob again.
    back->send(msg::Logininfo{2, kVersionText, "Robert"}.build());
    ASSERT_TRUE(alice->waitFor(msg::Away{2, false}.build()));
    ASSERT_TRUE(waitUntil([&] { return !back->named(cmd::seatkey).isEmpty(); }));
    const GameState &game = server->gameState();
    NumberedValues money{};
    for (int seat = 1; seat <= kSeatCount; ++seat)
        money[seat - 1] = game.seat(seat).money;
    EXPECT_EQ(back->received,
              (QByteArrayList{msg::Sendlogininfo{3}.build(), msg::Sendlogininfo{2}.build(),
                              msg::Newplayerinfo{2, "Bob"}.build(), msg::Away{2, false}.build(),
                              msg::Existingplayers{1, "Alice"}.build(),
                              msg::Gamestats{1, game.total, game.topcard, 1, money}.build(),
                              msg::Placecard{2, bobsHand}.build(), back->named(cmd::seatkey)[0]}));
    EXPECT_NE(back->named(cmd::seatkey)[0], msg::Seatkey{bob->key}.build());
    EXPECT_EQ(aliceHeardSince(before + 2),
              (QByteArrayList{msg::Newplayerinfo{2, "Bob"}.build(), msg::Away{2, false}.build()}));
    EXPECT_FALSE(server->seatHeld(2));
    EXPECT_FALSE(server->player(3).connected);
    EXPECT_EQ(server->numhumans(), 2);

    // He plays on with his own cards.
    alice->send(msg::PlaycardToHost{1, 1}.build());
    ASSERT_TRUE(back->waitFor(msg::Nextplayer{2}.build()));
    const int total = server->gameState().total;
    back->send(msg::PlaycardToHost{2, 1}.build());
    ASSERT_TRUE(
        alice->waitFor(msg::PlaycardToAll{2, bobsHand[0], totalAfter(total, bobsHand[0])}.build()));
}

// When the period runs out the seat is an ordinary departure, and Bob
// coming back later is an ordinary newcomer whose key counts for nothing.
TEST_F(SeatHold, AfterThePeriodTheSeatIsFreedAndItsKeyIsVoid)
{
    ReportedErrors errors;
    const qsizetype before = alice->received.size();
    dropBob();
    now += kHoldMs - 1;
    server->seatholdTimer();
    EXPECT_TRUE(server->seatHeld(2));
    now += 1;
    server->seatholdTimer();
    ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
    EXPECT_EQ(aliceHeardSince(before), (QByteArrayList{kBobLost, msg::Away{2, true}.build(),
                                                       kBobNotBack, msg::Away{2, false}.build(),
                                                       msg::Playerdisconnected{2, "Bob"}.build()}));
    EXPECT_FALSE(server->seatHeld(2));
    EXPECT_FALSE(server->seatHoldTimerRunning());

    Client late = connect();
    ASSERT_EQ(late->reclaim(2, bob->key), 2) << "his own slot, as any newcomer's";
    ASSERT_EQ(late->login("Bobby"), 2);
    EXPECT_EQ(server->player(2).name, "Bobby");
    EXPECT_TRUE(errors.texts.isEmpty()) << "a late player is no one trying keys";
}

// A newcomer while the seat is kept sits elsewhere and sees the kept seat's
// name, marked away.
TEST_F(SeatHold, ANewcomerDuringThePeriodSitsElsewhereAndSeesTheSeatAway)
{
    dropBob();
    Client carol = join("Carol", 3);
    EXPECT_EQ(carol->named(cmd::existingplayers),
              (QByteArrayList{msg::Existingplayers{1, "Alice"}.build(),
                              msg::Existingplayers{2, "Bob"}.build()}));
    const qsizetype kept = carol->received.indexOf(msg::Existingplayers{2, "Bob"}.build());
    EXPECT_EQ(carol->received.value(kept + 1), (msg::Away{2, true}.build()));
    EXPECT_TRUE(server->seatHeld(2));
}

// The computer plays a kept seat's turns as it does a departed player's.
TEST_F(SeatHold, TheComputerPlaysTheKeptSeatsTurns)
{
    startGame(20);
    alice->send(msg::PlaycardToHost{1, 1}.build());
    ASSERT_TRUE(alice->waitFor(msg::Nextplayer{2}.build()));
    dropBob();
    ASSERT_TRUE(waitUntil([&] { return alice->named(cmd::nextplayer).size() >= 3; }));
    EXPECT_TRUE(alice->named(cmd::playcard).last().startsWith("CMD_playcard+2+"));
    EXPECT_EQ(alice->named(cmd::nextplayer).last(), msg::Nextplayer{1}.build());
    EXPECT_TRUE(server->seatHeld(2));
}

// Keys that bring nobody back: each is answered with the connection's own
// slot, exactly as for any wrong key, is counted as a peer's error, and the
// connection logs in as the newcomer it is.
TEST_F(SeatHold, KeysThatAreNoGoodAreAnsweredWithTheConnectionsOwnSlot)
{
    struct Case
    {
        const char *what;
        // Sets the scene; returns the reclaim to send.
        std::function<QByteArray()> scene;
        int ownSlot;
        bool bobKept;
        // Only a request that is no reclaim at all is reported; a key that
        // is no good may be an old one of a player coming back to a host
        // started again, and is nothing for the host's user to hear of.
        bool reported;
    };
    const auto reclaimOf = [](int slot, const QByteArray &key) {
        return msg::Reclaim{slot, key}.build();
    };
    const Case cases[] = {
        {"a wrong key",
         [&] {
             dropBob();
             return reclaimOf(2, QByteArray(kSeatKeyLength, '0'));
         },
         3, true, false},
        {"the key for another seat",
         [&] {
             dropBob();
             return reclaimOf(4, bob->key);
         },
         3, true, false},
        {"a key used before",
         [&] {
             dropBob();
             Client back = connect();
             EXPECT_EQ(back->reclaim(2, bob->key), 2);
             EXPECT_EQ(back->login("Bob"), 2);
             back->close();
             EXPECT_TRUE(waitUntil([&] { return alice->named(cmd::away).size() == 3; }));
             EXPECT_TRUE(server->seatHeld(2));
             return reclaimOf(2, bob->key);
         },
         3, true, false},
        {"a key spent by a connection that never logged in",
         [&] {
             dropBob();
             Client back = connect();
             EXPECT_EQ(back->reclaim(2, bob->key), 2);
             back->close();
             EXPECT_TRUE(waitUntil([&] { return !server->player(2).connected; }));
             EXPECT_TRUE(server->seatHeld(2)) << "the seat waits on";
             return reclaimOf(2, bob->key);
         },
         3, true, false},
        {"a removed player's key",
         [&] {
             alice->send(msg::Kickhim{1, 2}.build());
             EXPECT_TRUE(bob->waitForClose());
             return reclaimOf(2, bob->key);
         },
         2, false, false},
        {"the key of a player who left",
         [&] {
             bob->leave();
             EXPECT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
             return reclaimOf(2, bob->key);
         },
         2, false, false},
        {"the host's own key", [&] { return reclaimOf(1, alice->key); }, 3, false, false},
        {"no key at all", [&] { return QByteArray("CMD_reclaim+2+nothex+"); }, 3, false, true},
        {"a slot that is no number", [&] { return "CMD_reclaim+two+" + bob->key + "+"; }, 3, false,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        startAliceAndBob();
        ASSERT_FALSE(HasFailure());
        ReportedErrors errors;
        const QByteArray reclaim = c.scene();
        ASSERT_FALSE(HasFailure());
        Client mallory = connect();
        ASSERT_EQ(mallory->waitForSlot(), c.ownSlot);
        mallory->send(reclaim);
        ASSERT_TRUE(waitUntil([&] { return mallory->named(cmd::sendlogininfo).size() == 2; }));
        EXPECT_EQ(mallory->named(cmd::sendlogininfo).last(), msg::Sendlogininfo{c.ownSlot}.build());
        EXPECT_EQ(mallory->login("Mallory"), c.ownSlot);
        EXPECT_EQ(server->player(c.ownSlot).name, "Mallory");
        EXPECT_EQ(server->seatHeld(2), c.bobKept);
        EXPECT_TRUE(server->player(1).connected);
        EXPECT_EQ(errors.texts, c.reported ? QStringList{kWrongKey} : QStringList{});
    }
}

// A player whose new connection arrives before the host has seen the old
// one drop takes his seat from it: the old one is closed without a word to
// anybody, and nothing is kept.
TEST_F(SeatHold, ANewConnectionReplacesTheOldOneQuietly)
{
    startGame(TServer::kMaxBotDelay);
    const Hand bobsHand = server->gameState().seat(2).hand;
    const qsizetype aliceBefore = alice->received.size();
    const qsizetype bobBefore = bob->received.size();
    Client back = connect();
    ASSERT_EQ(back->reclaim(2, bob->key), 2);
    EXPECT_TRUE(bob->waitForClose());
    EXPECT_EQ(bob->received.size(), bobBefore) << "no goodbye for the old connection";
    ASSERT_EQ(back->login("Bob"), 2);
    EXPECT_TRUE(back->hasReceived(msg::Placecard{2, bobsHand}.build()));
    syncAtThisTime(*alice);
    EXPECT_EQ(aliceHeardSince(aliceBefore),
              (QByteArrayList{msg::Newplayerinfo{2, "Bob"}.build(), alice->received.last()}));
    EXPECT_FALSE(server->seatHeld(2));
    EXPECT_EQ(server->numhumans(), 2);
    EXPECT_FALSE(server->player(3).connected);
}

// Leaving on purpose, and a host that keeps no seats, give today's
// departure: nothing kept, nothing said of it, and the key is void.
TEST_F(SeatHold, LeavingOnPurposeOrNoPeriodIsAnOrdinaryDeparture)
{
    const struct
    {
        const char *what;
        int holdSeconds;
        bool saysLeaving;
    } cases[] = {{"leaving", TServer::kDefaultSeatHoldSeconds, true}, {"no period", 0, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        startAliceAndBob();
        ASSERT_FALSE(HasFailure());
        server->setSeatHoldSeconds(c.holdSeconds);
        const qsizetype before = alice->received.size();
        if (c.saysLeaving)
            bob->leave();
        else
            bob->close();
        ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
        EXPECT_EQ(aliceHeardSince(before),
                  (QByteArrayList{msg::Playerdisconnected{2, "Bob"}.build()}));
        EXPECT_FALSE(server->seatHeld(2));
        ReportedErrors errors;
        Client back = connect();
        EXPECT_EQ(back->reclaim(2, bob->key), 2) << "his own slot, as any newcomer's";
        EXPECT_EQ(back->login("Bobby"), 2);
        EXPECT_EQ(server->player(2).name, "Bobby");
        EXPECT_TRUE(errors.texts.isEmpty());
    }
}

// CMD_reclaim is heard only before the login, CMD_leaving only after it.
TEST_F(SeatHold, ReclaimComesBeforeTheLoginAndLeavingAfterIt)
{
    ReportedErrors errors;
    dropBob();
    Client carol = join("Carol", 3);
    carol->send(msg::Reclaim{2, bob->key}.build());
    syncAtThisTime(*carol);
    EXPECT_EQ(carol->named(cmd::sendlogininfo).size(), 1);
    EXPECT_TRUE(server->seatHeld(2));

    Client squatter = connect();
    ASSERT_EQ(squatter->waitForSlot(), 4);
    squatter->send(msg::Leaving{4}.build());
    ASSERT_EQ(squatter->login("Dot"), 4);
    EXPECT_TRUE(server->player(4).connected);
    EXPECT_FALSE(squatter->closed());
    // His key still works: Carol's try spent nothing.
    Client back = connect();
    EXPECT_EQ(back->reclaim(2, bob->key), 2);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(", ").toStdString();
}

// The period is told in the unit the host's user chose it in.
TEST_F(SeatHold, TheChatLineTellsThePeriod)
{
    const struct
    {
        int seconds;
        QByteArray period;
    } cases[] = {{60, "1 minute"}, {300, "5 minutes"}, {90, "90 seconds"}};
    for (const auto &c : cases) {
        server->setSeatHoldSeconds(c.seconds);
        Client cy = join("Cy", 3);
        cy->close();
        EXPECT_TRUE(alice->waitFor("CMD_chat+Cy lost the connection; his seat is kept for " +
                                   c.period + ".|clMaroon"))
            << c.seconds;
        alice->send(msg::Kickhim{1, 3}.build());
        ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{3, "Cy"}.build()));
        alice->received.clear();
        EXPECT_FALSE(server->seatHeld(3));
    }
}

// The host's own closes say why first: the end of the game to everybody
// (by closeGame or by the host going away), a kick to the one removed. No
// seat is kept after any of them.
TEST_F(SeatHold, TheHostsOwnClosesSayGoodbyeFirst)
{
    enum class Close { Game, HostGone, Kick };
    const struct
    {
        const char *what;
        Close how;
        QByteArray bobHears;
        bool carolClosed;
    } cases[] = {
        {"closeGame", Close::Game, msg::Goodbye{goodbyereason::closed, "Alice"}.build(), true},
        {"host gone", Close::HostGone, msg::Goodbye{goodbyereason::closed, "Alice"}.build(), true},
        {"kick", Close::Kick, msg::Goodbye{goodbyereason::removed, "Alice"}.build(), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        startAliceAndBob();
        ASSERT_FALSE(HasFailure());
        Client carol = join("Carol", 3);
        Client dave = join("Dave", 4);
        dave->close();
        ASSERT_TRUE(alice->waitFor(msg::Away{4, true}.build()));
        switch (c.how) {
        case Close::Game:
            server->closeGame();
            break;
        case Close::HostGone:
            server.reset();
            break;
        case Close::Kick:
            alice->send(msg::Kickhim{1, 2}.build());
            break;
        }
        ASSERT_TRUE(bob->waitForClose());
        EXPECT_EQ(bob->received.last(), c.bobHears);
        EXPECT_EQ(bob->named(cmd::goodbye).size(), 1);
        if (c.carolClosed) {
            ASSERT_TRUE(carol->waitForClose());
            EXPECT_EQ(carol->received.last(), c.bobHears);
        }
        if (!server)
            continue;
        ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
        EXPECT_TRUE(alice->named(cmd::goodbye).isEmpty());
        EXPECT_TRUE(server->player(1).connected);
        EXPECT_FALSE(server->seatHeld(2));
        EXPECT_EQ(server->seatHeld(4), !c.carolClosed) << "a game that ends keeps no seat";
        if (c.carolClosed) {
            EXPECT_TRUE(alice->waitFor(msg::Playerdisconnected{4, "Dave"}.build()));
        }
    }
}

// A key opens its own slot alone, whole, and only until it is replaced or
// revoked.
TEST(SeatKeys, AKeyOpensItsOwnSlotOnlyUntilReplacedOrRevoked)
{
    SeatKeys keys;
    const QByteArray first = keys.issue(2);
    ASSERT_TRUE(isSeatKey(first)) << first.constData();
    QByteArray lastDigitWrong = first;
    lastDigitWrong.back() = first.back() == '0' ? '1' : '0';
    const struct
    {
        const char *what;
        int slot;
        QByteArray key;
        bool opens;
    } cases[] = {
        {"its own slot", 2, first, true},
        {"another slot", 3, first, false},
        {"one digit wrong", 2, lastDigitWrong, false},
        {"one digit short", 2, first.chopped(1), false},
        {"nothing", 2, "", false},
        {"no slot", 0, first, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(keys.matches(c.slot, c.key), c.opens) << c.what;

    const QByteArray second = keys.issue(2);
    EXPECT_NE(second, first);
    EXPECT_FALSE(keys.matches(2, first));
    EXPECT_TRUE(keys.matches(2, second));
    keys.revoke(2);
    EXPECT_FALSE(keys.matches(2, second));
    EXPECT_TRUE(keys.issue(kHighestSlot + 1).isEmpty());
}

} // namespace

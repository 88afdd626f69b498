#include "host/tserver.h"
#include "net/messages.h"
#include "tests/host/hostfixture.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <memory>

// The host's turn time limit: a human seat that sits on its turn has one
// card played for it by the computer, announced as an ordinary chat line.

namespace {

constexpr int kLimitMs = 30000;
const QByteArray kAliceTookTooLong =
    "CMD_chat+Alice took too long; the computer played for him.|clMaroon";

class TurnLimit : public HostFixture
{
protected:
    void SetUp() override
    {
        startHost(7);
        ASSERT_FALSE(HasFatalFailure());
        alice = join("Alice", 1);
        bob = join("Bob", 2);
        ASSERT_FALSE(HasFailure());
        alice->send(msg::Botspeed{1, 500}.build());
    }

    // A game of the two humans alone; returns once seat 1 holds the turn.
    void startHumansOnly()
    {
        alice->send(msg::StartgameToHost{"Alice", gamemode::humansOnly}.build());
        ASSERT_TRUE(bob->waitFor(msg::Nextplayer{1}.build()));
    }

    Client alice;
    Client bob;
};

TEST_F(TurnLimit, OffByDefaultNoClockRuns)
{
    startHumansOnly();
    EXPECT_EQ(server->turnLimit(), 0);
    EXPECT_FALSE(server->turnClockRunning());
    server->turnclockTimer(); // a stray tick plays nothing
    EXPECT_EQ(server->gameState().turn, 1);
    EXPECT_TRUE(bob->named(cmd::playcard).isEmpty());
}

// When the limit passes, everybody reads why, then sees an ordinary card
// from the idle seat, and the turn moves on; the seat stays the human's.
TEST_F(TurnLimit, AnIdleSeatHasOneCardPlayedForItAfterTheLimit)
{
    server->setTurnLimit(kLimitMs);
    startHumansOnly();
    ASSERT_TRUE(server->turnClockRunning());

    server->turnclockTimer();
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{2}.build()));
    const QByteArrayList seen = bob->received;
    const qsizetype notice = seen.indexOf(kAliceTookTooLong);
    ASSERT_GE(notice, 0);
    ASSERT_EQ(bob->named(cmd::playcard).size(), 1);
    const qsizetype card = seen.indexOf(bob->named(cmd::playcard).front());
    EXPECT_LT(notice, card);
    EXPECT_TRUE(bob->named(cmd::playcard).front().startsWith("CMD_playcard+1+"));
    EXPECT_TRUE(alice->waitFor(kAliceTookTooLong));

    EXPECT_EQ(server->gameState().turn, 2);
    EXPECT_TRUE(server->player(1).connected);
    EXPECT_FALSE(server->player(1).watching);
    // Bob's turn is timed afresh.
    EXPECT_TRUE(server->turnClockRunning());
    EXPECT_FALSE(server->computerArmed());
}

// A card played in time restarts the clock for the next seat: the tick that
// would have come for the player who played never plays for him.
TEST_F(TurnLimit, ASeatThatPlaysInTimeIsNeverPlayedFor)
{
    server->setTurnLimit(kLimitMs);
    startHumansOnly();
    alice->send(msg::PlaycardToHost{1, 1}.build());
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{2}.build()));
    ASSERT_TRUE(server->turnClockRunning());
    EXPECT_GT(server->turnClockRemaining(), kLimitMs - 5000);

    server->turnclockTimer();
    ASSERT_TRUE(
        alice->waitFor("CMD_chat+Bob took too long; the computer played for him.|clMaroon"));
    ASSERT_TRUE(waitUntil([&] { return alice->named(cmd::playcard).size() == 2; }));
    EXPECT_TRUE(alice->named(cmd::playcard).back().startsWith("CMD_playcard+2+"));
    EXPECT_FALSE(alice->hasReceived(kAliceTookTooLong));
}

// The clock runs whenever the seat holding the turn becomes a human's, not
// only when a turn passes to one: a player who leaves his seat to the
// computer and takes it back as the turn comes to him is timed, and so is a
// newcomer who takes over a computer's seat in its turn.
TEST_F(TurnLimit, ASeatThatBecomesAHumansInItsTurnIsTimed)
{
    // The computer would take its time over the seats it plays.
    alice->send(msg::Botspeed{1, 60000}.build());
    server->setTurnLimit(kLimitMs);
    startHumansOnly();
    bob->send(msg::Justwatch{2, watchflag::justWatch}.build());
    ASSERT_TRUE(alice->waitFor(msg::Justwatching{2, watchflag::justWatch}.build()));
    alice->send(msg::PlaycardToHost{1, 1}.build());
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{2}.build()));
    EXPECT_FALSE(server->turnClockRunning());
    bob->send(msg::Justwatch{2, watchflag::playAgain}.build());
    ASSERT_TRUE(alice->waitFor(msg::Justwatching{2, watchflag::playAgain}.build()));
    EXPECT_TRUE(server->turnClockRunning());
    server->turnclockTimer();
    EXPECT_TRUE(
        alice->waitFor("CMD_chat+Bob took too long; the computer played for him.|clMaroon"));
    ASSERT_TRUE(alice->waitFor(msg::Nextplayer{1}.build(), 5000));

    // Seat 3 is the computer's and holds the turn when Carol takes it.
    alice->send(msg::StartgameToHost{"Alice", gamemode::withComputers}.build());
    ASSERT_TRUE(waitUntil([&] { return alice->named(cmd::startgame).size() == 2; }));
    alice->send(msg::PlaycardToHost{1, 1}.build());
    bob->send(msg::PlaycardToHost{2, 1}.build());
    ASSERT_TRUE(waitUntil([&] { return server->gameState().turn == 3; }));
    EXPECT_FALSE(server->turnClockRunning());
    RawClient carol(server->listeningPort());
    ASSERT_EQ(carol.login("Carol"), 3);
    EXPECT_TRUE(server->turnClockRunning());
    server->turnclockTimer();
    EXPECT_TRUE(
        alice->waitFor("CMD_chat+Carol took too long; the computer played for him.|clMaroon"));
}

// Computer seats are never timed, and the real timer does fire.
TEST_F(TurnLimit, ComputerSeatsAreNotTimedAndTheRealClockFires)
{
    server->setTurnLimit(50);
    alice->send(msg::StartgameToHost{"Alice", gamemode::withComputers}.build());
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{1}.build()));
    ASSERT_TRUE(bob->waitFor(kAliceTookTooLong));
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{2}.build()));
    // Bob sits on his turn too; then seat 3 is the computer's.
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{3}.build()));
    EXPECT_FALSE(server->turnClockRunning());
    EXPECT_TRUE(server->computerArmed());

    server->setTurnLimit(0);
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{1}.build()));
    EXPECT_FALSE(server->turnClockRunning());
}

} // namespace

namespace {

// Every player hears of the limit when the host changes it, a player who
// comes later with his login, so that each copy can count its own turn.
TEST_F(TurnLimit, TheLimitIsToldToEveryPlayerAndEveryNewcomer)
{
    server->setTurnLimit(kLimitMs);
    EXPECT_TRUE(bob->waitFor("CMD_chat+The host set a turn time limit of 30 seconds.|clMaroon"));
    EXPECT_TRUE(bob->waitFor(msg::Turnlimit{30}.build()));
    server->setTurnLimit(kLimitMs); // the same limit again says nothing
    server->setTurnLimit(60000);
    EXPECT_TRUE(bob->waitFor(msg::Turnlimit{60}.build()));
    EXPECT_EQ(bob->named(cmd::turnlimit).size(), 2);

    RawClient carol(server->listeningPort());
    ASSERT_EQ(carol.login("Carol"), 3);
    EXPECT_TRUE(carol.waitFor("CMD_chat+The host set a turn time limit of 60 seconds.|clMaroon"));
    EXPECT_TRUE(carol.waitFor(msg::Turnlimit{60}.build()));

    server->setTurnLimit(0);
    EXPECT_TRUE(carol.waitFor("CMD_chat+The host turned the turn time limit off.|clMaroon"));
    EXPECT_TRUE(carol.waitFor(msg::Turnlimit{0}.build()));
    RawClient dave(server->listeningPort());
    ASSERT_EQ(dave.login("Dave"), 4);
    alice->send(msg::ChatToHost{1, "hi|clBlack"}.build());
    ASSERT_TRUE(dave.waitFor("CMD_chat+Alice chats: hi|clBlack"));
    EXPECT_TRUE(dave.named(cmd::turnlimit).isEmpty()) << "no limit, nothing to tell";
    EXPECT_EQ(dave.named(cmd::chat).size(), 1);
}

} // namespace

#include "host/computerplayer.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "tests/host/hostfixture.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Requests from the host's own copy that name nobody, and a player who
// leaves while somebody else holds the turn.

namespace {

class HostPaths : public HostFixture
{
protected:
    void SetUp() override { startHost(3); }

    // The seat holding the turn plays a card that keeps the pile whole where
    // it has one.
    void playSafely(RawClient &client)
    {
        const GameState &state = server->gameState();
        ASSERT_EQ(state.turn, client.slot);
        Random pick;
        pick.setSeed(1);
        client.send(msg::PlaycardToHost{
            client.slot, cplayChoice(state.seat(client.slot).hand, state.total, pick)}
                        .build());
    }
};

// "Just Watch" is for the four seats: the host's user asking it for a
// watcher's slot, or for a number that is no slot at all, changes nothing.
TEST_F(HostPaths, JustWatchForASeatAboveFourIsDropped)
{
    std::vector<Client> clients;
    for (const QByteArray name : {"Alice", "Bob", "Cy", "Dot", "Eve"})
        clients.push_back(join(name, int(clients.size()) + 1));
    RawClient &alice = *clients[0];
    RawClient &eve = *clients[4];
    alice.send(msg::Botspeed{1, TServer::kMaxBotDelay}.build());
    alice.send(msg::StartgameToHost{"Alice", gamemode::withComputers}.build());
    ASSERT_TRUE(eve.waitFor(msg::Nextplayer{1}.build()));

    for (int seat : {5, 9, 10, 11, 0, -1}) {
        alice.send(msg::Justwatch{seat, watchflag::justWatch}.build());
        alice.send(msg::Justwatch{seat, watchflag::playAgain}.build());
    }
    sync(alice);
    ASSERT_TRUE(eve.waitFor(alice.received.last()));
    for (const Client &client : clients)
        EXPECT_TRUE(client->named(cmd::justwatching).isEmpty()) << client->name.constData();
    for (int slot = 1; slot <= kHighestSlot; ++slot)
        EXPECT_FALSE(server->player(slot).watching) << slot;
    EXPECT_FALSE(server->computerArmed());
    EXPECT_EQ(server->gameState().turn, 1);

    // The same request for a seat is obeyed: the path above is the refusal.
    alice.send(msg::Justwatch{4, watchflag::justWatch}.build());
    EXPECT_TRUE(eve.waitFor(msg::Justwatching{4, watchflag::justWatch}.build()));
    EXPECT_TRUE(server->player(4).watching);
}

// Removing a slot nobody holds closes nobody and tells nobody anything.
TEST_F(HostPaths, KickForASlotNobodyHoldsDoesNothing)
{
    Client alice = join("Alice", 1);
    Client bob = join("Bob", 2);
    Client watcher;
    {
        // A watcher at slot 5 needs the seats 3 and 4 taken first; they
        // leave again, so that slots 3 and 4 are free and slot 5 is held.
        Client cy = join("Cy", 3);
        Client dot = join("Dot", 4);
        watcher = join("Eve", 5);
        cy->leave();
        dot->leave();
        ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{3, "Cy"}.build()));
        ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{4, "Dot"}.build()));
    }
    const int slotsHeld = server->slotcount();
    const qsizetype bobHeard = bob->received.size();

    for (int target : {3, 4, 6, 9, 10, 11, 0, -3})
        alice->send(msg::Kickhim{1, target}.build());
    sync(*alice);
    ASSERT_TRUE(bob->waitFor(alice->received.last()));
    EXPECT_FALSE(bob->closed());
    EXPECT_FALSE(watcher->closed());
    EXPECT_EQ(server->slotcount(), slotsHeld);
    for (int slot : {1, 2, 5})
        EXPECT_TRUE(server->player(slot).connected) << slot;
    EXPECT_EQ(bob->received.mid(bobHeard), QByteArrayList{alice->received.last()})
        << "nothing but the sync line";

    // A slot that is held goes when the host's user asks.
    alice->send(msg::Kickhim{1, 5}.build());
    EXPECT_TRUE(watcher->waitForClose());
    EXPECT_TRUE(bob->waitFor(msg::Playerdisconnected{5, "Eve"}.build()));
}

// A seated player who leaves while another seat holds the turn leaves his
// seat to the computer, which plays it when its turn comes, not before.
TEST_F(HostPaths, LeavingOutsideOwnTurnArmsNoComputer)
{
    Client alice = join("Alice", 1);
    Client bob = join("Bob", 2);
    Client cy = join("Cy", 3);
    alice->send(msg::Botspeed{1, TServer::kMaxBotDelay}.build());
    alice->send(msg::StartgameToHost{"Alice", gamemode::humansOnly}.build());
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{1}.build()));
    ASSERT_EQ(server->botdelay(), TServer::kMaxBotDelay);
    ASSERT_FALSE(server->computerArmed());

    cy->leave();
    ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{3, "Cy"}.build()));
    EXPECT_FALSE(server->computerArmed()) << "it is Alice's turn, not seat 3's";
    EXPECT_EQ(server->gameState().turn, 1);

    playSafely(*alice);
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{2}.build()));
    EXPECT_FALSE(server->computerArmed());
    playSafely(*bob);
    ASSERT_TRUE(alice->waitFor(msg::Nextplayer{3}.build()));
    EXPECT_TRUE(server->computerArmed()) << "seat 3 is the computer's now";
    server->computertimerTimer();
    ASSERT_TRUE(waitUntil([&] { return alice->named(cmd::playcard).size() == 3; }));
    EXPECT_TRUE(alice->named(cmd::playcard).last().startsWith("CMD_playcard+3+"));
}

} // namespace

#include "host/tserver.h"
#include "net/gamemessage.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "tests/host/hostfixture.h"
#include "tests/host/loopbacksocket.h"
#include "tests/support/errorhandler.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

class ServerTest : public HostFixture
{
protected:
    void SetUp() override { startHost(1); }

    // Alice at slot 1 and Bob at slot 2, a game begun in `mode`, seat 1 to
    // play.
    void twoPlayerGame(Client &alice, Client &bob, const char *mode, int botdelay)
    {
        alice = join("Alice", 1);
        bob = join("Bob", 2);
        alice->send(msg::Botspeed{1, botdelay}.build());
        alice->send(msg::StartgameToHost{"Alice", mode}.build());
        ASSERT_TRUE(bob->waitFor(msg::Nextplayer{1}.build()));
        ASSERT_EQ(server->botdelay(), botdelay);
    }
};

TEST_F(ServerTest, LoginExchange)
{
    Client alice = join("Alice", 1);
    Client bob = connect();
    ASSERT_EQ(bob->waitForSlot(), 2);
    // A name may hold "+" where it is the last field; the version differs.
    bob->send(msg::Logininfo{2, "0.9", "Bob+Jr"}.build());
    // The login ends with the connection's own seat key, a fresh one each.
    ASSERT_TRUE(waitUntil([&] { return !bob->named(cmd::seatkey).isEmpty(); }));
    const QByteArray bobsKey = bob->named(cmd::seatkey).front();
    EXPECT_EQ(bob->received, (QByteArrayList{msg::Sendlogininfo{2}.build(),
                                             (msg::Newplayerinfo{2, "Bob+Jr"}.build()),
                                             (msg::Existingplayers{1, "Alice"}.build()),
                                             msg::Wrongversion{}.build(), bobsKey}));
    EXPECT_NE(bobsKey, msg::Seatkey{alice->key}.build());
    ASSERT_TRUE(alice->waitFor(msg::Havewrongversion{"Bob+Jr"}.build()));
    EXPECT_EQ(
        alice->received,
        (QByteArrayList{msg::Sendlogininfo{1}.build(), (msg::Newplayerinfo{1, "Alice"}.build()),
                        msg::Seatkey{alice->key}.build(), (msg::Newplayerinfo{2, "Bob+Jr"}.build()),
                        msg::Havewrongversion{"Bob+Jr"}.build()}));
    EXPECT_EQ(server->player(2).name, QByteArray("Bob+Jr"));
    EXPECT_EQ(server->numhumans(), 2);
}

// The host's slot waits for the host's own copy. A player who connects in
// the instant between the start of listening and the own copy's connection
// (one coming back by himself tries every few seconds) is given the next
// slot, never the host's with its rights.
TEST(HostSlot, APlayerConnectingBeforeTheHostsOwnCopyNeverGetsTheHostsSlot)
{
    TServer server(0);
    server.startListening();
    // Blocking connections are complete in the kernel before the server has
    // accepted either: the stranger's first, then the host's own.
    const int stranger = connectOverLoopback(AF_INET, server.listeningPort());
    const int own = connectOverLoopback(AF_INET, server.listeningPort());
    server.reserveHostSlot(localPort(own));
    EXPECT_EQ(firstMessage(stranger), msg::Sendlogininfo{2}.build());
    EXPECT_EQ(firstMessage(own), msg::Sendlogininfo{1}.build());
    ::close(stranger);
    ::close(own);
}

TEST_F(ServerTest, TenthConnectionIsRefusedAndTheOthersNoticeNothing)
{
    std::vector<Client> clients;
    clients.push_back(join("Alice", 1));
    for (int slot = 2; slot <= 9; ++slot) {
        clients.push_back(connect());
        ASSERT_EQ(clients.back()->waitForSlot(), slot);
    }
    Client tenth = connect();
    ASSERT_TRUE(tenth->waitForClose());
    EXPECT_EQ(tenth->received, QByteArrayList{msg::Full{}.build()});
    EXPECT_EQ(server->slotcount(), 9);
    EXPECT_EQ(server->numhumans(), 4);

    sync(*clients[0]);
    const QByteArray echo = clients[0]->received.last();
    for (int slot = 2; slot <= 9; ++slot) {
        RawClient &client = *clients[slot - 1];
        ASSERT_TRUE(client.waitFor(echo));
        EXPECT_EQ(client.received, (QByteArrayList{msg::Sendlogininfo{slot}.build(), echo}))
            << slot;
    }

    // A departure frees its slot for the next arrival.
    clients[3]->close();
    ASSERT_TRUE(clients[0]->waitFor(msg::Playerdisconnected{4, ""}.build()));
    Client next = connect();
    EXPECT_EQ(next->waitForSlot(), 4);
    EXPECT_EQ(server->slotcount(), 9);
}

TEST_F(ServerTest, LateArrivalTakesOverASeatWithItsBagsAndCards)
{
    Client alice = join("Alice", 1);
    Client bob = join("Bob", 2);
    Client carol = join("Carol", 3);
    alice->send(msg::StartgameToHost{"Alice", "b"}.build());
    ASSERT_TRUE(alice->waitFor(msg::Nextplayer{1}.build()));
    alice->send(msg::PlaycardToHost{1, 1}.build());
    ASSERT_TRUE(alice->waitFor(msg::Nextplayer{2}.build()));

    carol->leave();
    ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{3, "Carol"}.build()));
    const Hand carolsHand = server->gameState().seat(3).hand;

    Client dave = join("Dave", 3);
    const GameState &game = server->gameState();
    const QByteArray stats = msg::Gamestats{1, game.total, game.topcard, 2, {3, 3, 3, 3}}.build();
    ASSERT_TRUE(dave->waitFor(msg::Placecard{3, carolsHand}.build()));
    EXPECT_EQ(
        dave->received,
        (QByteArrayList{msg::Sendlogininfo{3}.build(), (msg::Newplayerinfo{3, "Dave"}.build()),
                        (msg::Existingplayers{1, "Alice"}.build()),
                        (msg::Existingplayers{2, "Bob"}.build()), stats,
                        (msg::Placecard{3, carolsHand}.build()), msg::Seatkey{dave->key}.build()}));
    EXPECT_NE(game.topcard, 0);

    // Seat 4 had no human but has bags: the next arrival takes it; then the
    // watchers begin at slot 5, with the game's state but no hand.
    Client eve = join("Eve", 4);
    ASSERT_TRUE(eve->waitFor(msg::Placecard{4, server->gameState().seat(4).hand}.build()));
    Client frank = join("Frank", 5);
    sync(*frank);
    EXPECT_EQ(frank->named(cmd::gamestats).size(), 1);
    EXPECT_TRUE(frank->named(cmd::placecard).isEmpty());

    // Dave plays on for seat 3 with Carol's cards.
    bob->send(msg::PlaycardToHost{2, 1}.build());
    ASSERT_TRUE(dave->waitFor(msg::Nextplayer{3}.build()));
    const int total = server->gameState().total;
    dave->send(msg::PlaycardToHost{3, 2}.build());
    const int card = carolsHand[1];
    const int expectedTotal = totalAfter(total, card);
    ASSERT_TRUE(alice->waitFor(msg::PlaycardToAll{3, card, expectedTotal}.build()));
}

TEST_F(ServerTest, ComputerPlaysTheTurnOfAPlayerWhoLeavesInIt)
{
    Client alice, bob;
    twoPlayerGame(alice, bob, "h", 20);
    alice->send(msg::PlaycardToHost{1, 1}.build());
    ASSERT_TRUE(bob->waitFor(msg::Nextplayer{2}.build()));
    bob->leave();
    ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
    // The computer plays seat 2's card and passes the turn back.
    ASSERT_TRUE(waitUntil([&] { return alice->named(cmd::nextplayer).size() >= 3; }));
    EXPECT_EQ(alice->named(cmd::playcard).size(), 2);
    EXPECT_TRUE(alice->named(cmd::playcard).last().startsWith("CMD_playcard+2+"));
    EXPECT_EQ(alice->named(cmd::nextplayer).last(), msg::Nextplayer{1}.build());
}

TEST_F(ServerTest, ComputerDoesNotPlayForTheHostsOwnSeat)
{
    Client alice, bob;
    twoPlayerGame(alice, bob, "h", TServer::kMaxBotDelay);
    alice->close();
    ASSERT_TRUE(bob->waitFor(msg::Playerdisconnected{1, "Alice"}.build()));
    EXPECT_FALSE(server->computerArmed());
    EXPECT_EQ(server->gameState().turn, 1);
}

TEST_F(ServerTest, JustWatchInOwnTurnAndBackBeforeTheComputerPlays)
{
    Client alice, bob;
    // Long enough that the request to play again is handled before it fires.
    twoPlayerGame(alice, bob, "b", 1000);
    alice->send(msg::Justwatch{1, watchflag::justWatch}.build());
    ASSERT_TRUE(bob->waitFor(msg::Justwatching{1, watchflag::justWatch}.build()));
    EXPECT_TRUE(server->computerArmed());
    EXPECT_TRUE(server->player(1).watching);
    alice->send(msg::Justwatch{1, watchflag::playAgain}.build());
    ASSERT_TRUE(bob->waitFor(msg::Justwatching{1, watchflag::playAgain}.build()));
    // The timer fires and finds the seat played by its human again.
    ASSERT_TRUE(waitUntil([&] { return !server->computerArmed(); }));
    EXPECT_EQ(server->gameState().turn, 1);
    EXPECT_EQ(server->gameState().topcard, 0);
    EXPECT_TRUE(bob->named(cmd::playcard).isEmpty());

    // Left to watch, the seat's turn is played by the computer.
    alice->send(msg::Justwatch{1, watchflag::justWatch}.build());
    ASSERT_TRUE(waitUntil([&] { return !bob->named(cmd::playcard).isEmpty(); }));
    EXPECT_TRUE(bob->named(cmd::playcard).first().startsWith("CMD_playcard+1+"));
}

TEST_F(ServerTest, JustWatchOutsideAGameChangesNothing)
{
    Client alice = join("Alice", 1);
    alice->send(msg::Justwatch{1, watchflag::justWatch}.build());
    sync(*alice);
    EXPECT_FALSE(server->player(1).watching);
    EXPECT_TRUE(alice->named(cmd::justwatching).isEmpty());
}

// Everybody connected hears it, a connection that has not logged in too
// (what such a connection says itself is dropped: hostile_peers_test).
TEST_F(ServerTest, ChatAndActionAreRelayedWithTheSendersNameAsItIsNow)
{
    Client alice = join("Alice", 1);
    Client nameless = connect();
    ASSERT_EQ(nameless->waitForSlot(), 2);
    struct Case
    {
        QByteArray sent;
        QByteArray relayed;
    } cases[] = {
        {msg::ChatToHost{1, "a+b|$00FF0000"}.build(), "CMD_chat+Alice chats: a+b|$00FF0000"},
        {msg::ActionToHost{1, "waves|clBlue"}.build(), "CMD_action+Alice waves|clBlue"},
    };
    for (const Case &c : cases) {
        alice->send(c.sent);
        EXPECT_TRUE(alice->waitFor(c.relayed)) << c.relayed.constData();
        EXPECT_TRUE(nameless->waitFor(c.relayed)) << c.relayed.constData();
    }
}

TEST_F(ServerTest, WatchersSeeTheGameButNeverAHand)
{
    Client alice = join("Alice", 1);
    std::vector<Client> seats;
    for (int slot = 2; slot <= 4; ++slot)
        seats.push_back(join("Seat" + QByteArray::number(slot), slot));
    Client watcher = join("Watcher", 5);

    alice->send(msg::StartgameToHost{"Alice", "b"}.build());
    alice->send(msg::PlaycardToHost{1, 1}.build());
    ASSERT_TRUE(watcher->waitFor(msg::Nextplayer{2}.build()));
    EXPECT_EQ(watcher->named(cmd::startround).size(), 1);
    EXPECT_EQ(watcher->named(cmd::playcard).size(), 1);
    EXPECT_TRUE(watcher->named(cmd::placecard).isEmpty());
    EXPECT_TRUE(watcher->named(cmd::newcard).isEmpty());
    EXPECT_EQ(alice->named(cmd::newcard).size(), 1);
    for (int slot = 2; slot <= 4; ++slot) {
        RawClient &seat = *seats[slot - 2];
        ASSERT_TRUE(seat.waitFor(msg::Nextplayer{2}.build()));
        EXPECT_EQ(
            seat.named(cmd::placecard),
            QByteArrayList{(msg::Placecard{slot, server->gameState().seat(slot).hand}.build())});
    }
}

TEST_F(ServerTest, MessagesSpeakingForAnotherSlotAreDropped)
{
    Client alice, bob;
    twoPlayerGame(alice, bob, "b", TServer::kMaxBotDelay);
    const GameState before = server->gameState();
    const QByteArrayList spoofs{
        msg::PlaycardToHost{1, 1}.build(),
        msg::Kickhim{1, 1}.build(),
        msg::Kickhim{2, 1}.build(),
        msg::Botspeed{1, 20}.build(),
        msg::Botspeed{2, 20}.build(),
        msg::Logininfo{1, kVersionText, "Mallory"}.build(),
        msg::ChatToHost{1, "it was me|clRed"}.build(),
        msg::ActionToHost{1, "lies|clRed"}.build(),
        msg::Justwatch{1, watchflag::justWatch}.build(),
        msg::Justwatch{3, watchflag::justWatch}.build(),
        msg::StartgameToHost{"Bob", "b"}.build(),
    };
    for (const QByteArray &spoof : spoofs) {
        const qsizetype seen = alice->received.size();
        bob->send(spoof);
        sync(*bob);
        ASSERT_TRUE(alice->waitFor(bob->received.last()));
        EXPECT_EQ(alice->received.size(), seen + 1) << spoof.constData();
        EXPECT_TRUE(server->player(1).connected) << spoof.constData();
    }
    EXPECT_EQ(server->player(1).name, QByteArray("Alice"));
    EXPECT_FALSE(server->player(1).watching);
    EXPECT_EQ(server->botdelay(), TServer::kMaxBotDelay);
    EXPECT_EQ(server->gameState().turn, before.turn);
    EXPECT_EQ(server->gameState().seat(1).hand, before.seat(1).hand);
    EXPECT_EQ(alice->named(cmd::startgame).size(), 1);

    // The host's user may set another seat to watch, and remove a player.
    alice->send(msg::Justwatch{2, watchflag::justWatch}.build());
    ASSERT_TRUE(bob->waitFor(msg::Justwatching{2, watchflag::justWatch}.build()));
    alice->send(msg::Kickhim{1, 2}.build());
    ASSERT_TRUE(bob->waitForClose());
    ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
}

TEST_F(ServerTest, NumberThatDoesNotConvertEndsOnlyThatMessage)
{
    ReportedErrors reported;
    Client alice = join("Alice", 1);
    alice->send("CMD_botspeed+1+fast+");
    alice->send("CMD_chat+one+hello|clRed");
    sync(*alice);
    // Both came in the same second: the second is told once it is over.
    now += ErrorThrottle::kQuietMs;
    server->errortimerTimer();
    EXPECT_EQ(reported.texts, (QStringList{"'fast' is not a valid integer value",
                                           "'one' is not a valid integer value"}));
    EXPECT_EQ(server->botdelay(), 0);
    EXPECT_TRUE(alice->named(cmd::chat).size() == 1);
}

TEST_F(ServerTest, UnterminatedBytesBeyondTheLimitCloseTheConnection)
{
    struct Case
    {
        qsizetype bytes;
        bool closed;
    } cases[] = {{kMaxUnterminatedBytes, false}, {kMaxUnterminatedBytes + 1, true}};
    Client alice = join("Alice", 1);
    for (const Case &c : cases) {
        Client bob = join("Bob", 2);
        bob->sendRaw(QByteArray(c.bytes, 'x'));
        if (c.closed) {
            EXPECT_TRUE(bob->waitForClose());
            EXPECT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
        } else {
            bob->sendRaw(QByteArray(1, kMessageTerminator));
            sync(*bob);
            EXPECT_FALSE(bob->closed());
            bob->leave();
            ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
        }
        alice->received.clear();
    }
}

TEST_F(ServerTest, TooManyWaitingMessagesCloseTheConnectionAndDropThem)
{
    struct Case
    {
        int messages;
        bool closed;
    } cases[] = {{TServer::kMaxWaitingMessages + 1, true}, {TServer::kMaxWaitingMessages, false}};
    // Bob's lines come a second apart, within the chat limit.
    server->setClock([this] { return now += 1000; });
    Client alice = join("Alice", 1);
    for (const Case &c : cases) {
        Client bob = join("Bob", 2);
        alice->received.clear();
        alice->send(msg::ChatToHost{1, "before|clBlack"}.build());
        QByteArray flood;
        for (int i = 0; i < c.messages; ++i)
            flood +=
                framed(msg::ChatToHost{2, "flood " + QByteArray::number(i) + "|clRed"}.build());
        bob->sendRaw(flood);
        alice->send(msg::ChatToHost{1, "after|clBlack"}.build());
        ASSERT_TRUE(alice->waitFor("CMD_chat+Alice chats: after|clBlack"));
        QByteArrayList bobs;
        for (const QByteArray &m : alice->named(cmd::chat))
            if (m.startsWith("CMD_chat+Bob"))
                bobs.append(m);
        if (c.closed) {
            EXPECT_TRUE(bob->waitForClose());
            EXPECT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
            EXPECT_TRUE(bobs.isEmpty()) << bobs.size();
        } else {
            ASSERT_TRUE(alice->waitFor(
                ((msg::ChatToAll{"Bob", "flood " + QByteArray::number(c.messages - 1) + "|clRed"})
                     .build()),
                10000));
            bobs.clear();
            for (const QByteArray &m : alice->named(cmd::chat))
                if (m.startsWith("CMD_chat+Bob"))
                    bobs.append(m);
            ASSERT_EQ(bobs.size(), c.messages);
            for (int i = 0; i < c.messages; ++i)
                EXPECT_EQ(
                    bobs[i],
                    (msg::ChatToAll{"Bob", "flood " + QByteArray::number(i) + "|clRed"}.build()));
            EXPECT_FALSE(bob->closed());
        }
        EXPECT_LT(alice->received.indexOf("CMD_chat+Alice chats: before|clBlack"),
                  alice->received.indexOf("CMD_chat+Alice chats: after|clBlack"));
        if (!c.closed) {
            bob->leave();
            ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
        }
    }
}

TEST_F(ServerTest, PeerThatStopsReadingIsClosedOnceItOwesTooMuch)
{
    Client alice = join("Alice", 1);
    // A bare socket that never reads, with a small receive window.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    const int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    // It logs in, so that only its debt can close it.
    const QByteArray login = framed(msg::Logininfo{2, kVersionText, "Sleepy"}.build());
    ASSERT_EQ(::write(fd, login.constData(), size_t(login.size())), login.size());
    ASSERT_TRUE(alice->waitFor(msg::Newplayerinfo{2, "Sleepy"}.build()));

    // As long as a line may be.
    const QByteArray words(peertext::kMaxChatChars - 4, 'w');
    for (int sent = 0; sent < 1000 && server->player(2).connected; ++sent) {
        const QByteArray text = words + QByteArray::number(sent) + "|clRed";
        const QByteArray echo = msg::ChatToAll{"Alice", text}.build();
        now += 1000; // one line a second, within the chat limit
        alice->send(msg::ChatToHost{1, text}.build());
        ASSERT_TRUE(alice->waitFor(echo));
        alice->received.removeOne(echo);
    }
    EXPECT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Sleepy"}.build()));
    EXPECT_FALSE(server->player(2).connected);
    ::close(fd);
}

} // namespace

// What one peer can do to the host and to the other players: log in twice,
// forge lines with control characters or invisible ones, talk or play before
// logging in, sit on a slot without logging in, flood the queue, talk too
// fast, cause errors by the thousand, or vanish with a reset.

#include "host/chatlimit.h"
#include "host/errorthrottle.h"
#include "host/receivequeue.h"
#include "host/tserver.h"
#include "net/gamemessage.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "tests/host/hostfixture.h"
#include "tests/support/errorhandler.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <memory>
#include <vector>

namespace {

// The clock stands where each test puts it: its syncs leave it there, so a
// squatter is not closed and a talker not let off his limit behind its back.
class HostilePeers : public HostFixture
{
protected:
    void SetUp() override { startHost(7); }

    ReportedErrors errors;
};

TEST_F(HostilePeers, ASecondLoginOnTheSameConnectionIsDropped)
{
    Client alice = join("Alice", 1);
    Client bob = join("Bob", 2);
    for (const QByteArray &again : {QByteArray("Bob"), QByteArray("Ghost")})
        bob->send(msg::Logininfo{2, kVersionText, again}.build());
    syncAtThisTime(*bob);
    ASSERT_TRUE(alice->waitFor(bob->received.last()));
    EXPECT_EQ(alice->named(cmd::newplayerinfo),
              (QByteArrayList{(msg::Newplayerinfo{1, "Alice"}.build()),
                              (msg::Newplayerinfo{2, "Bob"}.build())}));
    EXPECT_EQ(bob->named(cmd::newplayerinfo),
              QByteArrayList{(msg::Newplayerinfo{2, "Bob"}.build())});
    EXPECT_EQ(bob->named(cmd::existingplayers).size(), 1);
    EXPECT_EQ(server->player(2).name, QByteArray("Bob"));

    // The slot's next connection logs in afresh.
    bob->leave();
    ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{2, "Bob"}.build()));
    Client carol = join("Carol", 2);
    EXPECT_EQ(server->player(2).name, QByteArray("Carol"));
}

TEST_F(HostilePeers, ControlCharactersBecomeBlanksAndLongTextIsCutBeforeItIsRelayed)
{
    Client alice = join("Alice", 1);
    Client mallory = connect();
    ASSERT_EQ(mallory->waitForSlot(), 2);
    const QByteArray forgedName = "Eve\r\nAnn has left the game.\x7f" + QByteArray(100, 'n');
    mallory->send(msg::Logininfo{2, kVersionText, forgedName}.build());
    const QByteArray storedName = "Eve  Ann has left the game. " + QByteArray(64 - 28, 'n');
    ASSERT_TRUE(alice->waitFor(msg::Newplayerinfo{2, storedName}.build()));
    EXPECT_EQ(server->player(2).name, storedName);

    struct Case
    {
        const char *what;
        QByteArray sent;
        QByteArray relayed;
    } cases[] = {
        {"line breaks and tabs", "hi\nYou have won all the bags of money!\t|clRed",
         "hi You have won all the bags of money! |clRed"},
        {"every control byte and DEL", QByteArray("a\x01\x08\x0b\x1f\x7f") + "b|clBlue",
         "a     b|clBlue"},
        {"Unicode line breaks", "x\u2028y\u2029z\u0085w|clRed", "x y z w|clRed"},
        // Qt's text insertion breaks a block at these two.
        {"noncharacters", "hi all\uFDD0You are Connected.\uFDD1Host has started a game.|clBlue",
         "hi all You are Connected. Host has started a game.|clBlue"},
        {"noncharacters at the end of a plane", "a\uFFFEb\uFFFFc\U0001FFFEd\U0010FFFFe|clRed",
         "a b c d e|clRed"},
        {"format characters and the object mark", "a\u202Eb\u200Bc\uFFFCd\U000E0001e\u00ADf|clRed",
         "a b c d e f|clRed"},
        {"private and unassigned code points", "a\uE000b\U000F0000c\U000E0080d|clRed",
         "a b c d|clRed"},
        {"right-to-left words stay",
         "\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627|clRed",
         "\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627|clRed"},
        {"a control in the colour", "ok|cl\nRed", "ok|cl Red"},
        {"words cut, colour kept", QByteArray(9000, 'w') + "|clRed",
         QByteArray(peertext::kMaxChatChars, 'w') + "|clRed"},
        {"an honest line at the limit", QByteArray(peertext::kMaxChatChars, 'h') + "|$00FF00FF",
         QByteArray(peertext::kMaxChatChars, 'h') + "|$00FF00FF"},
        {"a long colour", "c|" + QByteArray(5000, 'x'),
         "c|" + QByteArray(peertext::kMaxColourChars, 'x')},
        {"no colour at all", QByteArray(8100, 'q'), QByteArray(peertext::kMaxChatChars, 'q')},
    };
    for (const Case &c : cases) {
        mallory->send(msg::ChatToHost{2, c.sent}.build());
        mallory->send(msg::ActionToHost{2, c.sent}.build());
        EXPECT_TRUE(alice->waitFor(msg::ChatToAll{storedName, c.relayed}.build())) << c.what;
        EXPECT_TRUE(alice->waitFor(msg::ActionToAll{storedName, c.relayed}.build())) << c.what;
        now += ChatLimit::kWindowMs;
    }
}

// A name shows as the player's letters alone: nothing that turns the words
// after it around, hides it or makes it a look-alike of another, and no "|",
// at which every reader cuts a chat line's words from its colour. A name
// with nothing left to show gets the default name, as an empty one does, so
// that no line of his reads as the host's own.
TEST_F(HostilePeers, NamesLoseInvisibleCharactersAndBars)
{
    Client alice = join("Alice", 1);
    const struct
    {
        const char *what;
        QByteArray sent;
        QByteArray kept;
    } cases[] = {
        {"a zero-width look-alike", "Ann\u200BAnn", "AnnAnn"},
        {"every zero width", "A\u200Cn\u200Dn\u2060a\uFEFFb\u2063", "Annab"},
        {"a right-to-left override", "Eve\u202E won the game", "Eve won the game"},
        {"direction marks and isolates", "\u200EE\u200Fv\u2066e\u2069\u061C", "Eve"},
        {"a bar", "Mal|clRed", "Mal clRed"},
        {"noncharacters", "Eve\uFDD0You are Connected.", "Eve You are Connected."},
        {"nothing visible", "\u202E\u200B\uFEFF", "Player 2"},
        {"only blanks once cleaned", "\uFDD0 \x07", "Player 2"},
        {"no name at all, as before", "", "Player 2"},
    };
    int slot = 1;
    for (const auto &c : cases) {
        // Two cases may give the same name: only what comes now counts.
        alice->received.clear();
        Client peer = connect();
        ASSERT_EQ(peer->waitForSlot(), ++slot);
        peer->send(msg::Logininfo{slot, kVersionText, c.sent}.build());
        EXPECT_TRUE(alice->waitFor(msg::Newplayerinfo{slot, c.kept}.build())) << c.what;
        EXPECT_EQ(server->player(slot).name, c.kept) << c.what;
        now += ChatLimit::kWindowMs;
        // His words keep their colour on every reader.
        peer->send(msg::ChatToHost{slot, "hello|clGreen"}.build());
        EXPECT_TRUE(alice->waitFor(msg::ChatToAll{c.kept, "hello|clGreen"}.build())) << c.what;
        peer->leave();
        ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{slot, c.kept}.build())) << c.what;
        --slot;
    }
}

TEST(PeerText, CutsWithoutSplittingACharacter)
{
    // A character outside the basic plane takes two places, as in our boxes.
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    ASSERT_EQ(face.size(), 2);
    const QString text = QString(63, u'a') + face;
    EXPECT_EQ(peertext::cut(text, 64), QString(63, u'a'));
    EXPECT_EQ(peertext::cut(text, 65), text);
    EXPECT_EQ(peertext::cleanName(QByteArray(63, 'a') + "\xF0\x9F\x98\x80"), QByteArray(63, 'a'));
    EXPECT_EQ(peertext::cleanName("\xC3\xA9t\xC3\xA9\n"), QByteArray("\xC3\xA9t\xC3\xA9 "));
    EXPECT_EQ(peertext::withoutControls(QStringLiteral("a\r\nb\x7f")), QStringLiteral("a  b "));
}

TEST_F(HostilePeers, SquattersAreClosedOnceTheLoginLimitPassesAndANewcomerGetsHisSeat)
{
    Client alice = join("Alice", 1);
    std::vector<Client> squatters;
    for (int slot = 2; slot <= 9; ++slot) {
        squatters.push_back(connect());
        ASSERT_EQ(squatters.back()->waitForSlot(), slot);
    }
    // A squatter that names another slot has not logged in either.
    squatters.front()->send(msg::Logininfo{3, kVersionText, "Sneaky"}.build());
    Client refused = connect();
    ASSERT_TRUE(refused->waitForClose());
    EXPECT_EQ(refused->received, QByteArrayList{msg::Full{}.build()});

    // The program's own timer looks for them while anybody has to log in.
    EXPECT_TRUE(server->loginTimerRunning());
    now = TServer::kLoginLimitMs - 1;
    server->logintimerTimer();
    syncAtThisTime(*alice);
    for (int slot = 2; slot <= 9; ++slot)
        EXPECT_TRUE(server->player(slot).connected) << slot;

    now = TServer::kLoginLimitMs;
    server->logintimerTimer();
    for (int slot = 2; slot <= 9; ++slot) {
        EXPECT_TRUE(squatters[slot - 2]->waitForClose()) << slot;
        EXPECT_TRUE(alice->waitFor(msg::Playerdisconnected{slot, ""}.build())) << slot;
    }
    EXPECT_TRUE(server->player(1).connected);
    EXPECT_FALSE(server->loginTimerRunning());

    Client newcomer = join("Newcomer", 2);
    EXPECT_EQ(server->numhumans(), 2);
    // He is in time for his own limit, however long the host has run.
    now += TServer::kLoginLimitMs;
    server->logintimerTimer();
    syncAtThisTime(*newcomer);
    EXPECT_TRUE(server->player(2).connected);
}

TEST(ReceiveQueueTurns, ConnectionsTakeTurnsAndEachKeepsItsOwnOrder)
{
    ReceiveQueue queue;
    // Connection 7 has five messages waiting before 8 and 9 send one each.
    for (int i = 1; i <= 5; ++i)
        queue.push({2, 7, "hog " + QByteArray::number(i)});
    queue.push({3, 8, "honest"});
    queue.push({4, 9, "other"});
    queue.push({3, 8, "honest again"});
    EXPECT_EQ(queue.size(), 8);
    EXPECT_EQ(queue.waiting(7), 5);

    QByteArrayList order;
    while (std::optional<QueuedMessage> message = queue.take())
        order.append(message->text);
    EXPECT_EQ(order, (QByteArrayList{"hog 1", "honest", "other", "hog 2", "honest again", "hog 3",
                                     "hog 4", "hog 5"}));
    EXPECT_TRUE(queue.isEmpty());

    // A dropped connection leaves the round; the others keep their turns.
    queue.push({2, 7, "a1"});
    queue.push({3, 8, "b1"});
    queue.push({2, 7, "a2"});
    queue.push({4, 9, "c1"});
    queue.dropConnection(8);
    order.clear();
    while (std::optional<QueuedMessage> message = queue.take())
        order.append(message->text);
    EXPECT_EQ(order, (QByteArrayList{"a1", "c1", "a2"}));
    EXPECT_EQ(queue.waiting(7), 0);
}

TEST_F(HostilePeers, HonestChatIsAnsweredWithinOneRoundWhileOthersKeepTheirQueuesFull)
{
    Client alice = join("Alice", 1);
    // Four hogs without sockets (the host takes their messages as if read),
    // each logged in, each with its queue one short of the limit.
    std::vector<int> hogs;
    for (int i = 0; i < 4; ++i) {
        const int slot = server->attachConnection();
        server->receive(
            slot, msg::Logininfo{slot, kVersionText, "Hog" + QByteArray::number(slot)}.build());
        hogs.push_back(slot);
    }
    const int honest = server->attachConnection();
    server->receive(honest, msg::Logininfo{honest, kVersionText, "Honest"}.build());
    ASSERT_TRUE(alice->waitFor(msg::Newplayerinfo{honest, "Honest"}.build()));
    ASSERT_TRUE(server->receivedlist().isEmpty());

    for (int slot : hogs) {
        for (int i = 0; i < ChatLimit::kLines; ++i)
            server->receive(slot, msg::ChatToHost{slot, "hog line|clRed"}.build());
        while (server->receivedlist().waiting(server->player(slot).connection) <
               TServer::kMaxWaitingMessages - 1)
            server->receive(slot, msg::Justwatch{slot, watchflag::playAgain}.build());
    }
    server->receive(honest, msg::ChatToHost{honest, "hello?|clBlack"}.build());
    const QByteArray answer = msg::ChatToAll{"Honest", "hello?|clBlack"}.build();

    // The test ticks the queue itself: one round of the table.
    for (int tick = 0; tick < 5; ++tick)
        server->socktimerTimer();
    EXPECT_EQ(server->receivedlist().waiting(server->player(honest).connection), 0);
    for (int slot : hogs)
        EXPECT_EQ(server->receivedlist().waiting(server->player(slot).connection),
                  TServer::kMaxWaitingMessages - 2)
            << slot;

    ASSERT_TRUE(alice->waitFor(answer));
    const qsizetype answeredAt = alice->received.indexOf(answer);
    qsizetype hogLinesBefore = 0;
    for (qsizetype i = 0; i < answeredAt; ++i)
        hogLinesBefore += alice->received[i].startsWith("CMD_chat+Hog") ? 1 : 0;
    EXPECT_EQ(hogLinesBefore, 4);
}

TEST_F(HostilePeers, ChatAndActionLinesOverTenInTenSecondsAreDropped)
{
    Client alice = join("Alice", 1);
    Client bob = join("Bob", 2);
    const auto line = [](int i) { return "line " + QByteArray::number(i) + "|clRed"; };
    // Twelve lines at once, chat and action mixed: the first ten pass.
    for (int i = 1; i <= 12; ++i)
        bob->send(i % 2 ? msg::ChatToHost{2, line(i)}.build()
                        : msg::ActionToHost{2, line(i)}.build());
    // Other messages do not count.
    bob->send(msg::Justwatch{2, watchflag::playAgain}.build());
    ASSERT_TRUE(alice->waitFor(msg::Justwatching{2, watchflag::playAgain}.build()));
    QByteArrayList heard = alice->named(cmd::chat) + alice->named(cmd::action);
    EXPECT_EQ(heard.size(), ChatLimit::kLines);
    EXPECT_FALSE(heard.contains(msg::ActionToAll{"Bob", line(12)}.build()));
    EXPECT_FALSE(heard.contains(msg::ChatToAll{"Bob", line(11)}.build()));

    // Nine seconds on, the window still holds ten lines; at ten one more.
    now = ChatLimit::kWindowMs - 1;
    bob->send(msg::ChatToHost{2, line(13)}.build());
    // Its answer shows that line 13 has been read at this time.
    bob->send(msg::Justwatch{2, watchflag::playAgain}.build());
    ASSERT_TRUE(waitUntil([&] { return alice->named(cmd::justwatching).size() == 2; }));
    now = ChatLimit::kWindowMs;
    bob->send(msg::ChatToHost{2, line(14)}.build());
    ASSERT_TRUE(alice->waitFor(msg::ChatToAll{"Bob", line(14)}.build()));
    EXPECT_FALSE(alice->hasReceived(msg::ChatToAll{"Bob", line(13)}.build()));
    // Alice's own limit is her own.
    syncAtThisTime(*alice);
}

TEST(ChatLimitWindow, TenLinesInAnyTenSeconds)
{
    ChatLimit limit;
    struct Step
    {
        qint64 at;
        bool passes;
    } steps[] = {
        {0, true},     {100, true},    {200, true},   {300, true},    {400, true},    {500, true},
        {600, true},   {700, true},    {800, true},   {900, true},    {950, false},   {9999, false},
        {10000, true}, {10050, false}, {10100, true}, {10150, false}, {10199, false}, {10200, true},
    };
    for (const Step &step : steps)
        EXPECT_EQ(limit.allow(step.at), step.passes) << step.at;
}

// Until a connection has logged in it is nobody: what it says is dropped
// (an action with an empty name would read as the host's own notice), it
// plays no card and is shown no hand. Its login alone is heard.
TEST_F(HostilePeers, AConnectionIsHeardOnlyForItsLoginUntilItHasLoggedIn)
{
    Client alice = join("Alice", 1);
    Client mallory = connect();
    ASSERT_EQ(mallory->waitForSlot(), 2);
    alice->send(msg::Botspeed{1, 60000}.build());
    alice->send(msg::StartgameToHost{"Alice", gamemode::withComputers}.build());
    ASSERT_TRUE(alice->waitFor(msg::Nextplayer{1}.build()));

    mallory->send(msg::ChatToHost{2, "hi|clRed"}.build());
    mallory->send(msg::ActionToHost{2, "Alice has left.|clBlue"}.build());
    mallory->send(msg::Justwatch{2, watchflag::justWatch}.build());
    mallory->send(msg::PlaycardToHost{2, 1}.build());
    syncAtThisTime(*alice);
    EXPECT_EQ(alice->named(cmd::chat),
              (QByteArrayList{msg::ChatToAll{"Alice", "sync 1|clBlack"}.build()}));
    for (const char *command : {cmd::action, cmd::justwatching, cmd::playcard})
        EXPECT_TRUE(alice->named(command).isEmpty()) << command;
    EXPECT_TRUE(mallory->named(cmd::placecard).isEmpty());
    EXPECT_FALSE(server->player(2).watching);

    // Logged in, she has her hand and her say.
    mallory->send(msg::Logininfo{2, kVersionText, "Mallory"}.build());
    ASSERT_TRUE(alice->waitFor(msg::Newplayerinfo{2, "Mallory"}.build()));
    ASSERT_TRUE(waitUntil([&] { return mallory->named(cmd::placecard).size() == 1; }));
    mallory->send(msg::ChatToHost{2, "hi|clRed"}.build());
    EXPECT_TRUE(alice->waitFor(msg::ChatToAll{"Mallory", "hi|clRed"}.build()));
}

TEST_F(HostilePeers, PeerErrorsAreReportedAtMostOnceASecond)
{
    const int slot = server->attachConnection();
    server->receive(slot, msg::Logininfo{slot, kVersionText, "Eve"}.build());
    server->socktimerTimer();
    const auto bad = [&](const QByteArray &field) {
        server->receive(slot, "CMD_botspeed+" + field + "+5+");
        server->socktimerTimer();
    };
    const auto text = [](const char *field) {
        return QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(field));
    };
    for (int i = 0; i < 50; ++i)
        bad("x" + QByteArray::number(i));
    EXPECT_EQ(errors.texts, QStringList{text("x0")});

    now = ErrorThrottle::kQuietMs - 1;
    server->errortimerTimer();
    EXPECT_EQ(errors.texts.size(), 1);
    now = ErrorThrottle::kQuietMs;
    server->errortimerTimer();
    ASSERT_EQ(errors.texts.size(), 2);
    EXPECT_EQ(errors.texts[1], text("x49") + "\n\nand 48 more errors");

    // One error held in the next second goes out alone when it is over; a
    // quiet second later the next error is told at once.
    now = 1500;
    bad("y");
    EXPECT_EQ(errors.texts.size(), 2);
    now = 2000;
    server->errortimerTimer();
    now = 3500;
    bad("z");
    EXPECT_EQ(errors.texts, (QStringList{text("x0"), text("x49") + "\n\nand 48 more errors",
                                         text("y"), text("z")}));
    server->errortimerTimer();
    EXPECT_EQ(errors.texts.size(), 4);
}

// A reset is a connection the network ended: with no seats kept its slot
// is free at once; otherwise the seat waits for its player.
TEST_F(HostilePeers, AConnectionTheNetworkResetsFreesItsSlotOrKeepsItsSeat)
{
    const struct
    {
        int holdSeconds;
        QByteArray told;
        int carolsSlot;
    } cases[] = {
        {0, msg::Playerdisconnected{2, "Bob"}.build(), 2},
        {60, msg::Away{2, true}.build(), 3},
    };
    Client alice = join("Alice", 1);
    for (const auto &c : cases) {
        server->setSeatHoldSeconds(c.holdSeconds);
        Client bob = join("Bob", 2);
        // Closing with a zero linger time sends a reset, not an orderly close.
        const linger reset{1, 0};
        ASSERT_EQ(::setsockopt(int(bob->socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset,
                               sizeof reset),
                  0);
        bob->socket.abort();
        ASSERT_TRUE(alice->waitFor(c.told)) << c.holdSeconds;
        EXPECT_FALSE(server->player(2).connected);
        EXPECT_EQ(server->seatHeld(2), c.holdSeconds > 0);
        Client carol = join("Carol", c.carolsSlot);
        carol->leave();
        ASSERT_TRUE(alice->waitFor(msg::Playerdisconnected{c.carolsSlot, "Carol"}.build()));
    }
}

} // namespace

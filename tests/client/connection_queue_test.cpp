#include "client/session/clientconnection.h"
#include "net/messages.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// A client connection to a scripted host, recording what it hands on.
class QueueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(
            &connection.dispatcher(), &ClientDispatcher::getnextplayer, [this](int seat) {
                // What still waits when a message is handled
                // shows that one tick takes one message.
                handled.append(
                    QStringLiteral("%1 (%2 waiting)").arg(seat).arg(connection.queuedMessages()));
            });
        QObject::connect(&connection, &ClientConnection::ended,
                         [this] { handled.append(QStringLiteral("ended")); });
        connection.open(QStringLiteral("127.0.0.1"), host.port());
        ASSERT_TRUE(host.waitForClient());
    }

    ScriptedHost host;
    ClientConnection connection;
    QStringList handled;
};

TEST_F(QueueTest, QueueTimerSleepsOnceTheFirstLineIsDropped)
{
    // The queue's own first line goes as a message without a name.
    ASSERT_TRUE(waitUntil([&] { return !connection.queueTimerActive(); }));
    EXPECT_EQ(connection.queuedMessages(), 0);
    EXPECT_TRUE(handled.isEmpty());

    host.send(msg::Nextplayer{2}.build());
    ASSERT_TRUE(waitUntil([&] { return handled.size() == 1; }));
    EXPECT_EQ(handled, QStringList{"2 (0 waiting)"});
    EXPECT_TRUE(waitUntil([&] { return !connection.queueTimerActive(); }));
}

TEST_F(QueueTest, MessagesAreHandledOnePerTickInArrivalOrder)
{
    ASSERT_TRUE(waitUntil([&] { return !connection.queueTimerActive(); }));
    // Three messages in one write, the last one cut in two reads.
    host.sendRaw(framed(msg::Nextplayer{1}.build()) + framed(msg::Nextplayer{2}.build()) +
                 "CMD_next");
    ASSERT_TRUE(waitUntil([&] { return handled.size() == 2; }));
    host.sendRaw("player+3+\xFF");
    ASSERT_TRUE(waitUntil([&] { return handled.size() == 3; }));
    EXPECT_EQ(handled, (QStringList{"1 (1 waiting)", "2 (0 waiting)", "3 (0 waiting)"}));
}

TEST_F(QueueTest, HostClosingEndsTheConnectionAfterWhatArrivedBefore)
{
    host.send(msg::Nextplayer{4}.build());
    host.closeClient();
    ASSERT_TRUE(waitUntil([&] { return handled.contains("ended"); }));
    EXPECT_EQ(handled, (QStringList{"4 (0 waiting)", "ended"}));
    EXPECT_FALSE(connection.isOpen());
}

TEST_F(QueueTest, EndlessUnterminatedMessageClosesTheConnection)
{
    QStringList notices;
    QObject::connect(&connection, &ClientConnection::connectionLost,
                     [&](const QString &notice) { notices.append(notice); });
    host.sendRaw(QByteArray(70 * 1024, 'x'));
    EXPECT_TRUE(waitUntil([&] { return !host.clientConnected(); }));
    EXPECT_TRUE(connection.lost());
    EXPECT_EQ(notices.size(), 1);
    EXPECT_EQ(connection.queuedMessages(), 0);
    // Given up, not ended: the window stays to show why.
    EXPECT_FALSE(handled.contains("ended"));
}

TEST_F(QueueTest, SendAppendsTheTerminator)
{
    connection.sendToHost(msg::Kickhim{1, 3}.build());
    EXPECT_TRUE(host.waitForMessage("CMD_kickhim+1+3+"));
}

} // namespace

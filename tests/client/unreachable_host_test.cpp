#include "client/session/clientconnection.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTcpServer>

namespace {

// A connection attempt that fails says so once, with the socket's own text,
// and is no end of a game: the window that owns it stays.
struct Attempt
{
    ClientConnection connection;
    QStringList unreachable;
    bool ended = false;

    Attempt()
    {
        QObject::connect(&connection, &ClientConnection::unreachable,
                         [this](const QString &text) { unreachable.append(text); });
        QObject::connect(&connection, &ClientConnection::ended, [this] { ended = true; });
    }
};

TEST(UnreachableHost, ARefusedConnectionIsReportedOnce)
{
    quint16 port = 0;
    {
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
        port = gone.serverPort();
    }
    Attempt attempt;
    attempt.connection.open(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(waitUntil([&] { return !attempt.unreachable.isEmpty(); }));
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(attempt.unreachable, QStringList{"Error #10061 (WSAECONNREFUSED)"});
    EXPECT_FALSE(attempt.ended);
    EXPECT_FALSE(attempt.connection.isOpen());
}

TEST(UnreachableHost, AHostThatDoesNotAnswerTimesOut)
{
    SilentHost host;
    ASSERT_NE(host.port(), 0);
    Attempt attempt;
    attempt.connection.setConnectTimeout(300);
    attempt.connection.open(QStringLiteral("127.0.0.1"), host.port());
    ASSERT_TRUE(waitUntil([&] { return !attempt.unreachable.isEmpty(); }, 10000));
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(attempt.unreachable, QStringList{"Error #10060 (WSAETIMEDOUT)"});
    EXPECT_FALSE(attempt.ended);
}

// A host that answers stops the clock: nothing is reported later.
TEST(UnreachableHost, AnAnsweringHostIsNeverReported)
{
    ScriptedHost host;
    Attempt attempt;
    attempt.connection.setConnectTimeout(100);
    attempt.connection.open(QStringLiteral("127.0.0.1"), host.port());
    ASSERT_TRUE(host.waitForClient());
    waitUntil([] { return false; }, 400);
    EXPECT_TRUE(attempt.unreachable.isEmpty());
    EXPECT_TRUE(attempt.connection.isOpen());
}

} // namespace

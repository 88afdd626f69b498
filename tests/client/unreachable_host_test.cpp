#include "client/session/clientconnection.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTcpServer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

// A listener whose queue of waiting connections is full lets a new attempt
// hang without an answer, as a host behind a firewall that drops it would.
class SilentHost
{
public:
    SilentHost()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
            ::listen(fd_, 0) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        // The one connection the queue holds; never accepted.
        filler_.connectToHost(QHostAddress::LocalHost, port_);
        filler_.waitForConnected(2000);
    }
    ~SilentHost() { ::close(fd_); }
    quint16 port() const { return port_; }

private:
    int fd_ = -1;
    quint16 port_ = 0;
    QTcpSocket filler_;
};

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

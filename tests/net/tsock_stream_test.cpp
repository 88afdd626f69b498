// A client line socket against a plain POSIX peer on loopback: what goes
// over the wire, what the events say, and in which order.

#include "net/tsock.h"
#include "tests/net/tsock_support.h"
#include "tests/support/errorhandler.h"
#include "tests/support/wait.h"

#include <QPointer>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const QString socketClosed = QStringLiteral("Close: Socket Closed");

// A client TSock connected to a raw peer, with the connect-time events
// (connected, the first writable event) already over.
struct ClientFixture
{
    RawSocket listener = RawSocket::listening();
    RawSocket peer;
    EventLog log;
    TSock sock;

    bool connect()
    {
        log.attach(sock);
        sock.setHostName(QStringLiteral("127.0.0.1"));
        sock.setPortName(QString::number(listener.port()));
        if (sock.Open())
            return false; // a non-blocking connect completes later
        peer = listener.accept();
        const bool up = peer.valid() && waitUntil([&] { return log.count("OnWrite") == 1; });
        log.lines.clear();
        return up && sock.Connected();
    }
};

TEST(TSockStream, ConnectingReportsEachStepThenWritableOnceOnly)
{
    ClientFixture f;
    f.log.attach(f.sock);
    f.sock.setHostName(QStringLiteral("127.0.0.1"));
    f.sock.setPortName(QString::number(f.listener.port()));
    EXPECT_FALSE(f.sock.Open());
    RawSocket peer = f.listener.accept();
    ASSERT_TRUE(waitUntil([&] { return f.log.count("OnWrite") == 1; }));
    // Linux keeps saying "writable"; the socket must tell it once, not spin.
    ASSERT_TRUE(settleEventLoop());

    const QString port = QString::number(f.listener.port());
    EXPECT_EQ(f.log.lines,
              QStringList({"Lookup: Lookup Of Port " + port, "Lookup: Lookup Of Host 127.0.0.1",
                           "Connect: Non-Blocking Socket Connected", "OnConnect",
                           "Send: Non-Blocking Outgoing Data", "OnWrite"}));
    EXPECT_TRUE(f.sock.Connected());

    // A second Open on a socket with a handle opens nothing.
    f.log.lines.clear();
    EXPECT_TRUE(f.sock.Open());
    EXPECT_TRUE(f.log.lines.isEmpty());
}

TEST(TSockStream, SendPutsExactlyTheGivenBytesOnTheWire)
{
    ClientFixture f;
    ASSERT_TRUE(f.connect());
    const QByteArray message = QByteArray("CMD_full+") + char(0xFF);
    EXPECT_TRUE(f.sock.Send(message));
    f.sock.Close();
    ASSERT_TRUE(f.peer.waitForEnd());
    EXPECT_EQ(f.peer.received, message);
    EXPECT_EQ(f.peer.received.size(), 10);
}

TEST(TSockStream, PendingSendsLeaveInOrderAndWritableComesAgainOnlyAfterABlockedSend)
{
    ClientFixture f;
    ASSERT_TRUE(f.connect());
    int writes = 0;
    f.sock.OnWrite = [&](TSock *) { ++writes; };

    // More than the system buffers take while the peer does not read.
    QByteArray bulk(16 * 1024 * 1024, 'z');
    for (qsizetype i = 0; i < bulk.size(); i += 4096)
        bulk[i] = char('a' + (i / 4096) % 26);
    f.sock.Send(bulk);
    ASSERT_GT(f.sock.PendingSendBytes(), 0);
    const QByteArray first = QByteArray("CMD_a+") + char(0xFF);
    const QByteArray second = QByteArray("CMD_b+") + char(0xFF);
    f.sock.Send(first);
    f.sock.Send(second);
    // Each Send offers the whole send text again; the bulk still blocks.
    EXPECT_GT(f.sock.PendingSendBytes(), first.size() + second.size());

    ASSERT_TRUE(f.peer.waitForBytes(bulk.size() + first.size() + second.size(), 30000));
    ASSERT_TRUE(waitUntil([&] { return f.sock.PendingSendBytes() == 0; }));
    EXPECT_EQ(f.peer.received, bulk + first + second);
    EXPECT_GE(writes, 1);

    const int writesWhenDrained = writes;
    ASSERT_TRUE(settleEventLoop());
    EXPECT_EQ(writes, writesWhenDrained);
}

TEST(TSockStream, ReadCountIsTheWholeUntakenReceiveText)
{
    ClientFixture f;
    ASSERT_TRUE(f.connect());
    f.peer.send("abc");
    ASSERT_TRUE(waitUntil([&] { return f.log.count("OnRead 3") == 1; }));
    f.peer.send("de");
    ASSERT_TRUE(waitUntil([&] { return f.log.count("OnRead 5") == 1; }));
    EXPECT_EQ(f.log.lines, QStringList({"Receive: Non-Blocking Incoming Data", "OnRead 3",
                                        "Receive: Non-Blocking Incoming Data", "OnRead 5"}));
    EXPECT_EQ(f.sock.ReceiveCount(2), QByteArray("ab"));
    EXPECT_EQ(f.sock.Receive(), QByteArray("cde"));
    EXPECT_EQ(f.sock.Receive(), QByteArray());
}

TEST(TSockStream, PeerCloseGivesDisconnectThenClosedAndKeepsTheBytesForOneReceive)
{
    struct Case
    {
        const char *name;
        bool closeInOnDisconnect;
        QStringList tail;
    };
    const Case cases[] = {
        {"plain", false, {"OnDisconnect", socketClosed}},
        // Closing from the handler is allowed; the socket's own close then
        // only reports again.
        {"handler closes", true, {"OnDisconnect", socketClosed, socketClosed}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClientFixture f;
        ASSERT_TRUE(f.connect());
        f.sock.OnDisconnect = [&](TSock *sender) {
            f.log.lines << "OnDisconnect";
            EXPECT_TRUE(sender->HasHandle());
            if (c.closeInOnDisconnect)
                sender->Close();
        };
        f.peer.send("xyz");
        f.peer.close();
        ASSERT_TRUE(
            waitUntil([&] { return f.log.count(socketClosed) == c.tail.count(socketClosed); }));
        ASSERT_TRUE(settleEventLoop());

        // The end of the stream is not incoming data.
        EXPECT_EQ(f.log.lines,
                  QStringList({"Receive: Non-Blocking Incoming Data", "OnRead 3"}) + c.tail);
        EXPECT_FALSE(f.sock.HasHandle());
        EXPECT_EQ(f.sock.Receive(), QByteArray("xyz"));
        EXPECT_EQ(refusalText([&] { f.sock.Receive(); }),
                  QStringLiteral("Receive - Socket Not Connected"));
    }
}

// A reset is reported as an error; the system then reads the end of the
// stream, so the connection is closed and its owner hears of it (a reset
// must not leave a dead connection behind).
TEST(TSockStream, ResetByPeerIsReportedThenClosed)
{
    ClientFixture f;
    ASSERT_TRUE(f.connect());
    f.peer.resetConnection();
    ASSERT_TRUE(waitUntil([&] { return f.log.count(socketClosed) == 1; }));
    EXPECT_EQ(f.log.lines,
              QStringList({"Error: Error #10054 (WSAECONNRESET)", "OnDisconnect", socketClosed}));
}

TEST(TSockStream, RefusedConnectionGivesOneErrorAndStaysConnecting)
{
    RawSocket closedPort = RawSocket::boundOnly();
    EventLog log;
    TSock sock;
    log.attach(sock);
    sock.setHostName(QStringLiteral("127.0.0.1"));
    sock.setPortName(QString::number(closedPort.port()));
    EXPECT_FALSE(sock.Open());
    ASSERT_TRUE(waitUntil([&] { return log.lines.size() == 3; }));
    ASSERT_TRUE(settleEventLoop());

    const QString port = QString::number(closedPort.port());
    EXPECT_EQ(log.lines,
              QStringList({"Lookup: Lookup Of Port " + port, "Lookup: Lookup Of Host 127.0.0.1",
                           "Error: Error #10061 (WSAECONNREFUSED)"}));
    EXPECT_TRUE(sock.HasHandle());
    EXPECT_FALSE(sock.Connected());
    // Still a handle: Open opens nothing and says "not connected".
    EXPECT_FALSE(sock.Open());
    EXPECT_EQ(log.lines.size(), 3);
}

TEST(TSockStream, StreamsConnectionsWithoutNagleDelay)
{
    SockPair pair;
    ASSERT_TRUE(pair.connect());
    for (TSock *end : {&pair.client, pair.accepted}) {
        int noDelay = 0;
        socklen_t length = sizeof noDelay;
        ASSERT_EQ(::getsockopt(end->Handle(), IPPROTO_TCP, TCP_NODELAY, &noDelay, &length), 0);
        EXPECT_NE(noDelay, 0);
    }
}

// Both ends of a game connection notice a peer that vanished within
// seconds: keep-alive probes after 10 s idle, every 5 s, 4 of them, and
// 30 s for unacknowledged bytes.
TEST(TSockStream, StreamsConnectionsProbeAVanishedPeer)
{
    SockPair pair;
    ASSERT_TRUE(pair.connect());
    const struct
    {
        const char *option;
        int level;
        int name;
        int expected;
    } options[] = {
        {"SO_KEEPALIVE", SOL_SOCKET, SO_KEEPALIVE, 1},
        {"TCP_KEEPIDLE", IPPROTO_TCP, TCP_KEEPIDLE, 10},
        {"TCP_KEEPINTVL", IPPROTO_TCP, TCP_KEEPINTVL, 5},
        {"TCP_KEEPCNT", IPPROTO_TCP, TCP_KEEPCNT, 4},
        {"TCP_USER_TIMEOUT", IPPROTO_TCP, TCP_USER_TIMEOUT, 30000},
    };
    for (TSock *end : {&pair.client, pair.accepted}) {
        const char *side = end == &pair.client ? "client" : "accepted";
        for (const auto &o : options) {
            int value = -1;
            socklen_t length = sizeof value;
            ASSERT_EQ(::getsockopt(end->Handle(), o.level, o.name, &value, &length), 0)
                << side << " " << o.option;
            EXPECT_EQ(value, o.expected) << side << " " << o.option;
        }
    }
}

TEST(TSockStream, DeletingTheSocketInsideAHandlerIsSafe)
{
    enum class Where { OnRead, OnInfoIncoming, OnDisconnect, OnInfoClosed };
    const std::pair<const char *, Where> cases[] = {
        {"OnRead", Where::OnRead},
        {"OnInfo incoming data", Where::OnInfoIncoming},
        {"OnDisconnect", Where::OnDisconnect},
        {"OnInfo socket closed", Where::OnInfoClosed},
    };
    for (const auto &[name, deleteIn] : cases) {
        SCOPED_TRACE(name);
        const Where where = deleteIn;
        RawSocket listener = RawSocket::listening();
        auto *sock = new TSock;
        QPointer<TSock> alive(sock);
        bool connected = false;
        sock->OnWrite = [&](TSock *) { connected = true; };
        sock->setHostName(QStringLiteral("127.0.0.1"));
        sock->setPortName(QString::number(listener.port()));
        sock->Open();
        RawSocket peer = listener.accept();
        ASSERT_TRUE(waitUntil([&] { return connected; }));

        sock->OnRead = [&](TSock *s, int) {
            if (where == Where::OnRead)
                delete s;
        };
        sock->OnDisconnect = [&](TSock *s) {
            if (where == Where::OnDisconnect)
                delete s;
        };
        sock->OnInfo = [&](TSock *s, TSocketInfo, const QString &msg) {
            if ((where == Where::OnInfoIncoming && msg == "Non-Blocking Incoming Data") ||
                (where == Where::OnInfoClosed && msg == "Socket Closed"))
                delete s;
        };
        peer.send("data");
        peer.close();
        ASSERT_TRUE(waitUntil([&] { return alive.isNull(); }));
        EXPECT_TRUE(settleEventLoop());
    }
}

TEST(TSockStream, HandlerFailuresAreShownAndDeliveryGoesOn)
{
    ClientFixture f;
    ASSERT_TRUE(f.connect());
    ReportedErrors reported;
    const QStringList &shown = reported.texts;

    // An OnInfo handler's exception becomes "Error here" and stops the step
    // that reported: no OnRead for that read.
    bool infoThrows = true;
    QList<int> counts;
    f.sock.OnInfo = [&](TSock *, TSocketInfo, const QString &) {
        if (std::exchange(infoThrows, false))
            throw std::runtime_error("handler failed");
    };
    f.sock.OnRead = [&](TSock *, int count) {
        counts << count;
        if (count == 3)
            throw std::runtime_error("read handler failed");
    };
    f.peer.send("ab");
    ASSERT_TRUE(waitUntil([&] { return shown.size() == 1; }));
    EXPECT_TRUE(counts.isEmpty());
    f.peer.send("c");
    ASSERT_TRUE(waitUntil([&] { return shown.size() == 2; }));
    f.peer.send("d");
    ASSERT_TRUE(waitUntil([&] { return counts.size() == 2; }));

    EXPECT_EQ(shown, QStringList({"Error here", "read handler failed"}));
    EXPECT_EQ(counts, QList<int>({3, 4}));
    EXPECT_EQ(f.sock.Receive(), QByteArray("abcd"));
}

TEST(TSockStream, ByteStreamViewReadsAndWritesThroughTheSocket)
{
    SockPair pair;
    ASSERT_TRUE(pair.connect());
    int arrived = 0;
    pair.accepted->OnRead = [&](TSock *, int count) { arrived = count; };

    EXPECT_EQ(pair.client.Stream().Write("hello", 5), 5);
    ASSERT_TRUE(waitUntil([&] { return arrived == 5; }));
    char buffer[8] = {};
    TSockStream &in = pair.accepted->Stream();
    EXPECT_EQ(in.Read(buffer, 3), 3);
    EXPECT_EQ(QByteArray(buffer, 3), QByteArray("hel"));
    EXPECT_EQ(in.Read(buffer, sizeof buffer), 2);
    EXPECT_EQ(QByteArray(buffer, 2), QByteArray("lo"));
    EXPECT_EQ(in.Seek(10, 0), 0);
}

} // namespace

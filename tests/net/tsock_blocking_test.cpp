// Blocking mode, blocking auto-accept on its own thread, and datagrams.

#include "net/tsock.h"
#include "tests/net/tsock_support.h"
#include "tests/support/wait.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

const QString blockingOutgoing = QStringLiteral("Send: Blocking Outgoing Data");

TEST(TSockBlocking, BlockingConnectSendAndReceiveOnBothEnds)
{
    EventLog listenerLog;
    EventLog log;
    int connects = 0;
    int disconnects = 0;
    TSock *accepted = nullptr;
    TSock listener;
    TSock client;

    listenerLog.attach(listener, false);
    listener.setBlocking(true);
    listener.setPortName(QStringLiteral("0"));
    listener.OnAccept = [&](TSock *sender) { sender->Accept(accepted); };
    listener.setListen(true);

    log.attach(client, false);
    client.OnConnect = [&](TSock *) { ++connects; };
    client.OnDisconnect = [&](TSock *) { ++disconnects; };
    client.setBlocking(true);
    client.setBlockingTimeout(5);
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(listener.LocalPort()));
    EXPECT_TRUE(client.Open());
    EXPECT_EQ(connects, 1);
    ASSERT_TRUE(waitUntil([&] { return accepted != nullptr; }));
    EXPECT_TRUE(listenerLog.lines.contains("Accept: Blocking Accept"));
    EXPECT_TRUE(accepted->Blocking());

    // The accepted end is blocking too: its send reports after the attempt.
    accepted->setBlockingTimeout(5);
    EXPECT_TRUE(accepted->Send("ping"));
    EXPECT_EQ(listenerLog.count(blockingOutgoing), 1);
    EXPECT_EQ(client.Receive(), QByteArray("ping"));
    EXPECT_TRUE(client.Send("pong"));
    EXPECT_EQ(accepted->Receive(), QByteArray("pong"));

    // Nothing waiting and no time to wait: an empty result at once.
    client.setBlockingTimeout(0);
    EXPECT_EQ(client.Receive(), QByteArray());

    client.setBlockingTimeout(5);
    accepted->Close();
    EXPECT_EQ(client.Receive(), QByteArray());
    EXPECT_FALSE(client.HasHandle());
    EXPECT_EQ(disconnects, 1);

    const QString port = QString::number(listener.LocalPort());
    EXPECT_EQ(log.lines,
              QStringList({"Lookup: Lookup Of Port " + port, "Lookup: Lookup Of Host 127.0.0.1",
                           "Connect: Blocking Socket Connected", "Receive: Blocking Incoming Data",
                           blockingOutgoing, "Receive: Blocking Incoming Data",
                           "Close: Socket Disconnected On Receive", "Close: Socket Closed"}));
}

TEST(TSockBlocking, BlockingConnectThatFailsClosesTheSocket)
{
    RawSocket closedPort = RawSocket::boundOnly();
    EventLog log;
    TSock client;
    log.attach(client);
    client.setBlocking(true);
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(closedPort.port()));
    EXPECT_FALSE(client.Open());
    EXPECT_FALSE(client.HasHandle());
    EXPECT_EQ(log.lines,
              QStringList({"Lookup: Lookup Of Port " + client.PortName(),
                           "Lookup: Lookup Of Host 127.0.0.1",
                           "Close: Blocking Socket Can't Connect", "Close: Socket Closed"}));
}

TEST(TSockBlocking, BlockingAutoAcceptServesEachConnectionOnItsOwnThread)
{
    std::atomic<QThread *> handlerThread = nullptr;
    std::atomic<bool> senderWasListener = false;
    std::atomic<int> served = 0;
    TSock listener;
    listener.setBlocking(true);
    listener.setAutoAccept(true);
    listener.setBlockingTimeout(5);
    listener.setPortName(QStringLiteral("0"));
    listener.OnAutoAccept = [&](TSock *sender, TSock *newSock) {
        handlerThread = QThread::currentThread();
        senderWasListener = sender == &listener;
        const QByteArray asked = newSock->Receive();
        newSock->Send("re:" + asked);
        ++served;
    };
    listener.setListen(true);

    RawSocket peer = RawSocket::connectTo(listener.LocalPort());
    ASSERT_TRUE(peer.valid());
    peer.send("ping");
    ASSERT_TRUE(peer.waitForBytes(7));
    EXPECT_EQ(peer.received, QByteArray("re:ping"));
    ASSERT_TRUE(waitUntil([&] { return served == 1; }));
    EXPECT_NE(handlerThread.load(), nullptr);
    EXPECT_NE(handlerThread.load(), QThread::currentThread());
    EXPECT_TRUE(senderWasListener);
}

TEST(TSockDatagram, OpenBindsAndDatagramsTravelWithTheSenderAddress)
{
    const QString port = QString::number(freeUdpPort());
    EventLog log;
    int connects = 0;
    QList<int> counts;
    QString host;
    QByteArray text;
    TSock sock;
    log.attach(sock, false);
    sock.OnConnect = [&](TSock *) { ++connects; };
    sock.OnRead = [&](TSock *sender, int count) {
        counts << count;
        sender->ReceiveDatagram(host, text);
    };
    sock.setSocketType(TSocketType::stDatagram);
    sock.setBlockingTimeout(5);
    sock.setPortName(port);

    EXPECT_TRUE(sock.Open());
    EXPECT_TRUE(sock.Connected());
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(log.lines, QStringList({"Lookup: Lookup Of Port " + port,
                                      "Connect: Datagram Socket Connected"}));

    // Sent to the socket's own port on loopback: it comes back to itself.
    EXPECT_TRUE(sock.SendDatagram("hello", QStringLiteral("127.0.0.1")));
    ASSERT_TRUE(waitUntil([&] { return text == "hello"; }));
    EXPECT_EQ(host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(sock.HostName(), QStringLiteral("127.0.0.1"));

    // Send on a datagram socket sends one datagram to HostName.
    EXPECT_TRUE(sock.Send("again"));
    ASSERT_TRUE(waitUntil([&] { return text == "again"; }));
    // Datagrams never fill the receive text.
    EXPECT_EQ(counts, QList<int>({0, 0}));
}

} // namespace

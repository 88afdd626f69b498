// Listening, accepting, property side effects and the socket's refusals.

#include "net/tsock.h"
#include "tests/net/tsock_support.h"
#include "tests/support/wait.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Whether a plain socket, without SO_REUSEADDR, can bind the port now.
bool plainBindWorks(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&where), sizeof where) == 0;
    ::close(fd);
    return bound;
}

TEST(TSockListen, BusyPortRefusesUntilClosedThenListeningRuns)
{
    RawSocket other = RawSocket::listening();
    const quint16 busyPort = other.port();
    const QString port = QString::number(busyPort);
    EventLog log;
    TSock sock;
    log.attach(sock);
    sock.setPortName(port);

    EXPECT_EQ(refusalText([&] { sock.setListen(true); }),
              QStringLiteral("Listen - Error Binding Socket"));
    EXPECT_FALSE(sock.Listen());
    EXPECT_TRUE(sock.HasHandle());
    EXPECT_EQ(refusalText([&] { sock.setListen(true); }),
              QStringLiteral("Listen - Socket Already In Use"));
    EXPECT_FALSE(sock.Listen());

    sock.Close();
    other.close();
    sock.setListen(true);
    EXPECT_TRUE(sock.Listen());
    EXPECT_EQ(sock.LocalPort(), busyPort);
    sock.setListen(true);
    sock.setListen(false);
    EXPECT_FALSE(sock.HasHandle());

    EXPECT_EQ(log.lines, QStringList({"Lookup: Lookup Of Port " + port, "Close: Socket Closed",
                                      "Lookup: Lookup Of Port " + port, "Listen: Listening Started",
                                      "Listen: Listening Already Running", "Close: Socket Closed",
                                      "Listen: Listening Stopped"}));
}

TEST(TSockListen, HostingAgainRightAfterQuittingWorks)
{
    quint16 port = 0;
    {
        SockPair pair;
        ASSERT_TRUE(pair.connect());
        port = pair.listener.LocalPort();
        // The host's side closes first, so its end of the connection waits
        // in TIME_WAIT on the listening port.
        pair.accepted->Close();
        ASSERT_TRUE(waitUntil([&] { return !pair.client.HasHandle(); }));
        pair.listener.Close();
    }
    ASSERT_TRUE(waitUntil([&] { return !plainBindWorks(port); }));

    TSock again;
    again.setPortName(QString::number(port));
    EXPECT_EQ(refusalText([&] { again.setListen(true); }), QStringLiteral("(nothing raised)"));
    EXPECT_TRUE(again.Listen());
}

TEST(TSockListen, AcceptReportsAndCopiesTheConnectionHandlers)
{
    // Declared before the sockets: closing reports into them.
    QStringList log;
    TSock *accepted = nullptr;
    QList<int> reads;
    TSock listener;
    listener.OnInfo = [&](TSock *sender, TSocketInfo kind, const QString &msg) {
        log << QString(sender == &listener ? "listener " : "new ") + infoKindName(kind) + ": " +
                   msg;
    };
    listener.OnRead = [&](TSock *sender, int count) {
        if (sender == accepted)
            reads << count;
    };
    listener.OnWrite = [](TSock *) {};
    listener.OnDisconnect = [](TSock *) {};
    listener.OnConnect = [](TSock *) {};
    listener.OnAutoAccept = [](TSock *, TSock *) {};
    listener.OnAccept = [&](TSock *sender) { sender->Accept(accepted); };
    listener.setBlockingTimeout(7);
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    log.clear();

    RawSocket peer = RawSocket::connectTo(listener.LocalPort());
    // The new socket is writable once it is up, like any fresh connection.
    ASSERT_TRUE(waitUntil([&] { return log.size() == 4; }));
    EXPECT_EQ(log, QStringList({"new Lookup: Setting PortName While Connected Has No Effect",
                                "new Lookup: Setting HostName While Connected Has No Effect",
                                "listener Accept: Created New TSock Structure",
                                "new Send: Non-Blocking Outgoing Data"}));
    EXPECT_EQ(accepted->parent(), &listener);
    EXPECT_TRUE(accepted->Connected());
    EXPECT_EQ(accepted->HostName(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(accepted->PortName(), QStringLiteral("0"));
    EXPECT_EQ(accepted->BlockingTimeout(), 7);
    EXPECT_EQ(accepted->SocketType(), TSocketType::stStream);
    EXPECT_FALSE(accepted->Listen());
    EXPECT_FALSE(accepted->AutoAccept());
    EXPECT_TRUE(accepted->OnRead && accepted->OnWrite && accepted->OnDisconnect &&
                accepted->OnInfo);
    EXPECT_FALSE(accepted->OnConnect || accepted->OnAccept || accepted->OnAutoAccept);

    peer.send("hi");
    ASSERT_TRUE(waitUntil([&] { return !reads.isEmpty(); }));
    EXPECT_EQ(reads, QList<int>({2}));

    // Nothing pending: a failed accept leaves the caller's variable alone.
    log.clear();
    TSock *untouched = accepted;
    EXPECT_FALSE(listener.Accept(untouched));
    EXPECT_EQ(untouched, accepted);
    EXPECT_EQ(log, QStringList({"listener Accept: Could Not Accept Connection"}));

    // The application may free an accepted socket before its listener.
    log.clear();
    delete accepted;
    EXPECT_EQ(log, QStringList({"new Close: Socket Closed"}));
    EXPECT_TRUE(listener.findChildren<TSock *>().isEmpty());
}

TEST(TSockListen, UntakenConnectionWaitsForAcceptWithoutRepeatingTheEvent)
{
    TSock listener;
    int offers = 0;
    listener.OnAccept = [&](TSock *) { ++offers; };
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);

    RawSocket first = RawSocket::connectTo(listener.LocalPort());
    ASSERT_TRUE(waitUntil([&] { return offers == 1; }));
    ASSERT_TRUE(settleEventLoop());
    EXPECT_EQ(offers, 1);

    TSock *taken = nullptr;
    EXPECT_TRUE(listener.Accept(taken));
    ASSERT_NE(taken, nullptr);
    RawSocket second = RawSocket::connectTo(listener.LocalPort());
    EXPECT_TRUE(waitUntil([&] { return offers == 2; }));
}

TEST(TSockListen, AddressesSetWhileConnectedReportNoEffectButServeTheNextOpen)
{
    struct Case
    {
        const char *name;
        std::function<void(TSock &, const QString &port)> set;
        std::function<QString(TSock &)> stored;
        QString noEffect;
        std::function<QString(const QString &port)> nextLookup;
    };
    const Case cases[] = {
        {"HostName", [](TSock &s, const QString &) { s.setHostName("localhost"); },
         [](TSock &s) { return s.HostName(); },
         "Lookup: Setting HostName While Connected Has No Effect",
         [](const QString &) { return QStringLiteral("Lookup: Lookup Of Host localhost"); }},
        // A leading zero: another text for the same port.
        {"PortName", [](TSock &s, const QString &port) { s.setPortName("0" + port); },
         [](TSock &s) { return s.PortName(); },
         "Lookup: Setting PortName While Connected Has No Effect",
         [](const QString &port) { return "Lookup: Lookup Of Port 0" + port; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EventLog log;
        SockPair pair;
        ASSERT_TRUE(pair.connect());
        log.attach(pair.client, false);
        const QString port = QString::number(pair.listener.LocalPort());
        const QString before = c.stored(pair.client);

        c.set(pair.client, port);
        EXPECT_EQ(log.lines, QStringList({c.noEffect}));
        EXPECT_NE(c.stored(pair.client), before);

        pair.client.Close();
        log.lines.clear();
        pair.client.Open();
        EXPECT_TRUE(log.lines.contains(c.nextLookup(port)));
        EXPECT_TRUE(waitUntil([&] { return pair.client.Connected(); }));
    }
}

TEST(TSockListen, RefusalsRaiseTheirTexts)
{
    enum class State { Idle, IdleDatagram, Listening, Connected, OpenDatagram };
    struct Case
    {
        const char *name;
        State state;
        std::function<void(TSock &)> action;
        QString text;
    };
    const Case cases[] = {
        {"listen on datagram", State::IdleDatagram, [](TSock &s) { s.setListen(true); },
         "Listen - Cannot Listen On A Datagram Socket"},
        {"type while listening", State::Listening,
         [](TSock &s) { s.setSocketType(TSocketType::stDatagram); },
         "SocketType - Can't Assign Socket Type While Listening"},
        {"type while connected", State::Connected,
         [](TSock &s) { s.setSocketType(TSocketType::stDatagram); },
         "SocketType - Can't Assign Socket Type While Connected"},
        {"listen while connected", State::Connected, [](TSock &s) { s.setListen(true); },
         "Listen - Socket Already In Use"},
        {"send without handle", State::Idle, [](TSock &s) { s.Send("x"); },
         "Send - Socket Not Connected"},
        {"send on listener", State::Listening, [](TSock &s) { s.Send("x"); },
         "Send - Cannot Send On A Listener Socket"},
        {"receive without handle", State::Idle, [](TSock &s) { s.Receive(); },
         "Receive - Socket Not Connected"},
        {"receive on listener", State::Listening, [](TSock &s) { s.Receive(); },
         "Receive - Cannot Receive On A Listener Socket"},
        {"accept when not listening", State::Connected,
         [](TSock &s) {
             TSock *n = nullptr;
             s.Accept(n);
         },
         "Accept - Socket Not In Listening Mode"},
        {"send datagram without handle", State::IdleDatagram,
         [](TSock &s) { s.SendDatagram("x", "127.0.0.1"); }, "SendDatagram - Socket Not Connected"},
        {"send datagram on stream", State::Connected,
         [](TSock &s) { s.SendDatagram("x", "127.0.0.1"); },
         "SendDatagram - Datagram Send Not Supported On Stream Sockets"},
        {"receive datagram without handle", State::OpenDatagram,
         [](TSock &s) {
             s.Close();
             QString host;
             QByteArray bytes;
             s.ReceiveDatagram(host, bytes);
         },
         "ReceiveDatagram - Socket Not Connected"},
        {"receive datagram on stream", State::Connected,
         [](TSock &s) {
             QString host;
             QByteArray bytes;
             s.ReceiveDatagram(host, bytes);
         },
         "ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets"},
        {"empty port name", State::Idle,
         [](TSock &s) {
             s.setPortName("");
             s.Open();
         },
         "Port Lookup - Could Not Find Service Entry"},
        {"unknown service", State::Idle,
         [](TSock &s) {
             s.setPortName("zandor-no-such-service");
             s.Open();
         },
         "Port Lookup - Could Not Find Service Entry"},
        {"unknown host", State::Idle,
         [](TSock &s) {
             s.setHostName("no-such-host.invalid");
             s.Open();
         },
         "Host Lookup - Could Not Find Host Entry"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SockPair pair;
        TSock idle;
        idle.setPortName("7772");
        idle.setHostName("127.0.0.1");
        TSock *target = &idle;
        switch (c.state) {
        case State::Idle:
            break;
        case State::IdleDatagram:
            idle.setSocketType(TSocketType::stDatagram);
            break;
        case State::Listening:
            pair.listener.setPortName("0");
            pair.listener.setListen(true);
            target = &pair.listener;
            break;
        case State::Connected:
            ASSERT_TRUE(pair.connect());
            target = &pair.client;
            break;
        case State::OpenDatagram:
            idle.setSocketType(TSocketType::stDatagram);
            idle.setPortName("0");
            ASSERT_TRUE(idle.Open());
            break;
        }
        const TSocketType typeBefore = target->SocketType();
        EXPECT_EQ(refusalText([&] { c.action(*target); }), c.text);
        EXPECT_EQ(target->SocketType(), typeBefore);
    }
}

} // namespace

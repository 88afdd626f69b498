#include "tests/net/tsock_support.h"

#include "tests/support/wait.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    if (bytes.size() > 64)
        *os << bytes.size() << " bytes starting \"" << bytes.left(32).toStdString() << '"';
    else
        *os << '"' << bytes.toStdString() << '"';
}

void PrintTo(const QStringList &lines, std::ostream *os)
{
    *os << '{';
    for (const QString &line : lines)
        *os << "\n  \"" << line.toStdString() << '"';
    *os << "\n}";
}

QString infoKindName(TSocketInfo kind)
{
    switch (kind) {
    case TSocketInfo::Lookup:
        return QStringLiteral("Lookup");
    case TSocketInfo::Connect:
        return QStringLiteral("Connect");
    case TSocketInfo::Close:
        return QStringLiteral("Close");
    case TSocketInfo::Listen:
        return QStringLiteral("Listen");
    case TSocketInfo::Receive:
        return QStringLiteral("Receive");
    case TSocketInfo::Send:
        return QStringLiteral("Send");
    case TSocketInfo::Accept:
        return QStringLiteral("Accept");
    case TSocketInfo::Error:
        return QStringLiteral("Error");
    }
    return QStringLiteral("?");
}

void EventLog::attach(TSock &sock, bool events)
{
    sock.OnInfo = [this](TSock *, TSocketInfo kind, const QString &msg) {
        lines << infoKindName(kind) + QStringLiteral(": ") + msg;
    };
    if (!events)
        return;
    sock.OnRead = [this](TSock *, int count) { lines << QStringLiteral("OnRead %1").arg(count); };
    sock.OnWrite = [this](TSock *) { lines << QStringLiteral("OnWrite"); };
    sock.OnConnect = [this](TSock *) { lines << QStringLiteral("OnConnect"); };
    sock.OnDisconnect = [this](TSock *) { lines << QStringLiteral("OnDisconnect"); };
}

// ---------------------------------------------------------------- RawSocket

RawSocket::RawSocket(RawSocket &&other) noexcept
    : received(std::move(other.received)), ended(other.ended), fd(std::exchange(other.fd, -1))
{}

RawSocket &RawSocket::operator=(RawSocket &&other) noexcept
{
    if (this != &other) {
        close();
        fd = std::exchange(other.fd, -1);
        received = std::move(other.received);
        ended = other.ended;
    }
    return *this;
}

RawSocket::~RawSocket()
{
    close();
}

namespace {

int boundSocket(int type, in_addr_t address)
{
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = address;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&where), sizeof where) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

quint16 boundPort(int fd)
{
    sockaddr_in where{};
    socklen_t length = sizeof where;
    if (fd < 0 || ::getsockname(fd, reinterpret_cast<sockaddr *>(&where), &length) != 0)
        return 0;
    return ntohs(where.sin_port);
}

} // namespace

RawSocket RawSocket::listening()
{
    RawSocket s(boundSocket(SOCK_STREAM, htonl(INADDR_ANY)));
    if (s.valid())
        ::listen(s.fd, 5);
    return s;
}

RawSocket RawSocket::boundOnly()
{
    return RawSocket(boundSocket(SOCK_STREAM, htonl(INADDR_LOOPBACK)));
}

RawSocket RawSocket::connectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&where), sizeof where) != 0) {
        ::close(fd);
        return RawSocket();
    }
    return RawSocket(fd);
}

quint16 RawSocket::port() const
{
    return boundPort(fd);
}

RawSocket RawSocket::accept(int timeoutMs) const
{
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0)
        return RawSocket();
    return RawSocket(::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC));
}

void RawSocket::send(const QByteArray &bytes) const
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t sent =
            ::send(fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (sent <= 0)
            return;
        done += sent;
    }
}

bool RawSocket::readAvailable()
{
    char buffer[65536];
    while (!ended) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0)
            received.append(buffer, got);
        else if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            ended = true;
        else
            break;
    }
    return !ended;
}

bool RawSocket::waitForBytes(qsizetype n, int timeoutMs)
{
    return waitUntil(
               [&] {
                   readAvailable();
                   return received.size() >= n || ended;
               },
               timeoutMs) &&
           received.size() >= n;
}

bool RawSocket::waitForEnd(int timeoutMs)
{
    return waitUntil([&] { return !readAvailable(); }, timeoutMs);
}

void RawSocket::resetConnection()
{
    const linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close();
}

void RawSocket::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// ---------------------------------------------------------------- SockPair

bool SockPair::connect()
{
    listener.setPortName(QStringLiteral("0"));
    listener.OnAccept = [this](TSock *sender) { sender->Accept(accepted); };
    listener.setListen(true);
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(listener.LocalPort()));
    client.Open();
    return waitUntil([&] { return accepted && client.Connected(); });
}

// ---------------------------------------------------------------- helpers

bool settleEventLoop(int rounds)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    int seen = 0;
    bool ok = true;
    {
        QSocketNotifier watch(ends[1], QSocketNotifier::Read);
        QObject::connect(&watch, &QSocketNotifier::activated, [&] {
            char byte;
            if (::read(ends[1], &byte, 1) == 1)
                ++seen;
        });
        for (int round = 0; round < rounds && ok; ++round) {
            ok = ::write(ends[0], "x", 1) == 1 && waitUntil([&] { return seen > round; });
        }
    }
    ::close(ends[0]);
    ::close(ends[1]);
    return ok;
}

quint16 freeUdpPort()
{
    const int fd = boundSocket(SOCK_DGRAM, htonl(INADDR_LOOPBACK));
    const quint16 port = boundPort(fd);
    if (fd >= 0)
        ::close(fd);
    return port;
}

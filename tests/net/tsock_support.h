#pragma once

#include "net/tsock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure messages for Qt text types.
void PrintTo(const QString &text, std::ostream *os);
void PrintTo(const QByteArray &bytes, std::ostream *os);
void PrintTo(const QStringList &lines, std::ostream *os);

QString infoKindName(TSocketInfo kind);

// What sockets reported and which events fired, in order, one line each:
// "Close: Socket Closed", "OnRead 3", "OnDisconnect", ...
struct EventLog
{
    QStringList lines;
    // Records OnInfo always; the other events only where given true.
    void attach(TSock &sock, bool events = true);
    qsizetype count(const QString &line) const { return lines.count(line); }
};

// The text of the ESockException that action raises, or "(nothing raised)".
template <typename Action> QString refusalText(Action action)
{
    try {
        action();
    } catch (const ESockException &e) {
        return e.text;
    }
    return QStringLiteral("(nothing raised)");
}

// A plain POSIX socket on loopback for the far end of a connection, so the
// tests see exactly what went over the wire.
class RawSocket
{
public:
    RawSocket() = default;
    explicit RawSocket(int fd) : fd(fd) {}
    RawSocket(RawSocket &&other) noexcept;
    RawSocket &operator=(RawSocket &&other) noexcept;
    ~RawSocket();

    // A stream socket listening on a port the system picks; on every
    // address, as another program would.
    static RawSocket listening();
    // Bound to a port the system picks, but not listening: connections to
    // it are refused.
    static RawSocket boundOnly();
    // Connected to 127.0.0.1:port (blocking connect).
    static RawSocket connectTo(quint16 port);

    bool valid() const { return fd >= 0; }
    int handle() const { return fd; }
    quint16 port() const;
    // Waits (without the event loop) for a pending connection.
    RawSocket accept(int timeoutMs = 5000) const;

    void send(const QByteArray &bytes) const;
    // Reads what is there without waiting; false once the peer has closed.
    bool readAvailable();
    // Runs the event loop until n bytes have arrived, or the end of stream.
    bool waitForBytes(qsizetype n, int timeoutMs = 10000);
    bool waitForEnd(int timeoutMs = 10000);
    // Closes so that the peer sees a reset rather than an orderly end.
    void resetConnection();
    void close();

    QByteArray received;
    bool ended = false;

private:
    int fd = -1;
};

// A loopback connection between a listening TSock (which accepts into
// `accepted`) and a client TSock.
struct SockPair
{
    TSock listener;
    TSock client;
    TSock *accepted = nullptr;

    // Listens on a port the system picks and connects the client; true when
    // both ends are up.
    bool connect();
};

// Lets the event loop deliver socket notifications a number of times, so a
// test can check that something did NOT happen (or did not repeat) without
// a fixed sleep. Returns false if the loop stalled.
bool settleEventLoop(int rounds = 20);

// A UDP port that was free a moment ago.
quint16 freeUdpPort();

#pragma once

// The inside of TSock, shared by the files that hold its parts:
//   tsock.cpp            properties, the handle and its watchers, reports and
//                        the delivery of events, the public operations
//   tsockconnection.cpp  the game's path: a non-blocking stream connection
//                        (connect, read, write, the peer's close)
//   tsocklisten.cpp      listening and accepting connections
//   tsockblocking.cpp    blocking connect, send, receive and accept
//   tsockautoaccept.cpp  auto-accept, on a thread of its own when blocking
//   tsockdatagram.cpp    datagram sockets

#include "net/sockaddress.h"
#include "net/tsock.h"
#include "net/tsocktexts.h"
#include "net/wsaerrors.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QThread>

#include <netinet/in.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <vector>

namespace tsockdetail {

// One system read takes at most this many bytes; more waiting data gives
// further read notifications.
inline constexpr int readBufferSize = 32768;
inline constexpr int listenBacklog = 5;

inline const QString unknownHandlerFailure =
    QStringLiteral("Unknown error in a socket event handler");

inline QString text(QLatin1StringView fixed)
{
    return QString(fixed);
}

inline QString errorReportText(int code)
{
    return text(TSockText::ErrorNumber) + QString::number(code) + QStringLiteral(" (") +
           wsaErrorName(code) + QStringLiteral(")");
}

inline bool isTransient(int err)
{
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

int timeoutMs(int seconds);
// Waits until the handle is ready for the events; a negative timeout waits
// without limit. Signals do not cut the wait short.
bool waitFor(int fd, short events, int waitMs);
void setHandleBlocking(int fd, bool blocking);
// The host sends several small messages in a row; without this, Nagle's
// rule and delayed acknowledgements hold the later ones back ~40 ms.
void setNoDelay(int fd);
// A connection whose far end vanished (a cable pulled, a laptop closed)
// sends nothing more; without keep-alive probes it would look live for
// hours. Idle for 10 s, the system probes every 5 s and gives up after 4
// unanswered probes; bytes left unacknowledged for 30 s end it too. Either
// way the next read fails with ETIMEDOUT and the connection closes as after
// a reset, so its owner hears of it.
inline constexpr int keepAliveIdleSeconds = 10;
inline constexpr int keepAliveIntervalSeconds = 5;
inline constexpr int keepAliveProbes = 4;
inline constexpr int unacknowledgedLimitMs = 30000;
void setKeepAlive(int fd);

} // namespace tsockdetail

struct TSock::Private
{
    explicit Private(TSock *owner) : q(owner), stream(*owner) {}

    TSock *q;

    TSocketType socketType = TSocketType::stStream;
    QString hostName;
    QString portName;
    bool blocking = false;
    bool autoAccept = false;
    bool listening = false;
    bool listenIPv6 = false;
    TLineBreak lineBreak = TLineBreak::lbSmart;
    int blockingTimeout = 0;

    int fd = -1;
    TSocketType handleType = TSocketType::stStream;
    bool listenerHandle = false;
    bool connected = false;
    // A non-blocking connect is under way.
    bool connecting = false;
    // Its error has been reported; the handle is watched no more, so a
    // refused connection does not keep the event loop busy.
    bool connectFailed = false;
    // An error that a send found before the completion was seen; the send
    // took it from the system, so the completion reports it instead.
    int connectError = 0;
    // One writable event is owed: a connection just completed, or the
    // handle was just registered while connected.
    bool writableOwed = false;
    // A send could not hand over everything and may later.
    bool sendStalled = false;
    // OnAccept (or OnRead of a datagram socket) fired; the handle is
    // watched again once Accept (ReceiveDatagram) has been called, so an
    // untaken connection or datagram does not fire without end.
    bool acceptOwed = false;
    bool datagramOwed = false;
    // While an event of this socket is being delivered, its watchers rest,
    // so a nested event loop in a handler cannot deliver the next one early.
    int dispatchDepth = 0;
    quint64 generation = 0;

    QByteArray receiveText;
    QByteArray sendText;
    QByteArray readBuffer;
    SockAddress target;
    SockAddress peer;

    std::unique_ptr<QSocketNotifier> readWatch;
    std::unique_ptr<QSocketNotifier> writeWatch;
    std::vector<QPointer<QThread>> autoAcceptThreads;

    TSockStream stream;

    bool datagramHandle() const { return handleType == TSocketType::stDatagram; }
    char *buffer()
    {
        if (readBuffer.size() != tsockdetail::readBufferSize)
            readBuffer.resize(tsockdetail::readBufferSize);
        return readBuffer.data();
    }

    // Reports and handlers. Each returns false when the handler deleted the
    // socket; the caller then returns at once without touching it.
    bool info(TSocketInfo kind, const QString &msg);
    bool notify(const TNotifyEvent &event);
    bool notifyRead(int count);
    bool reportErrno(int err)
    {
        return info(TSocketInfo::Error, tsockdetail::errorReportText(wsaCodeFromErrno(err)));
    }

    // tsock.cpp
    void adoptHandle(int handle, TSocketType type, bool forListening);
    bool closeHandle();
    void registerEvents();
    void updateWatchers();
    quint16 resolvePort();
    std::uint32_t resolveHost(const QString &name);
    // Where a stream connects: an IPv6 address written out, a dotted IPv4
    // address, or a name's IPv4 address, else its IPv6 one.
    SockAddress resolveTarget(const QString &name, quint16 port);
    // The handle made before the lookup, remade for the family the lookup
    // found; it keeps its number, so nothing that holds it is told.
    bool remakeHandle(int family);
    template <typename Step> void dispatch(Step step);
    void onReadable();
    void onWritable();
    QByteArray takeReceived(int count);

    // tsockconnection.cpp
    void connectNonBlocking();
    void streamReadable();
    void peerClosed();
    void connectionCompleted();
    void writable();
    bool sendNonBlocking();

    // tsocklisten.cpp
    void incomingConnection();
    TSock *makeAccepted(int handle);
    void setAcceptedAddresses(TSock *accepted, const SockAddress &from);

    // tsockblocking.cpp
    bool connectBlocking();
    bool openBlocking();
    void sendBlocking();
    QByteArray receiveBlocking(int readSize);
    bool waitForBlockingAccept();

    // tsockautoaccept.cpp
    void autoAcceptIncoming();
    void startAutoAcceptThread(TSock *accepted);

    // tsockdatagram.cpp
    bool openDatagram();
};

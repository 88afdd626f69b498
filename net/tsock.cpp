// The line socket's core: properties, the handle and its watchers, reports and
// the delivery of events, and the public operations, which hand each mode to
// its own file (see tsockprivate.h).

#include "net/tsockprivate.h"

#include "net/errorreport.h"
#include "net/sockresolve.h"

#include <QDeadlineTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <optional>
#include <utility>

using namespace tsockdetail;

int tsockdetail::timeoutMs(int seconds)
{
    if (seconds < 0)
        return -1;
    return seconds > INT_MAX / 1000 ? INT_MAX : seconds * 1000;
}

bool tsockdetail::waitFor(int fd, short events, int waitMs)
{
    QDeadlineTimer deadline =
        waitMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(waitMs);
    for (;;) {
        pollfd entry{fd, events, 0};
        const int remaining = waitMs < 0 ? -1 : int(deadline.remainingTime());
        const int ready = ::poll(&entry, 1, remaining);
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

void tsockdetail::setHandleBlocking(int fd, bool blocking)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK));
}

void tsockdetail::setNoDelay(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void tsockdetail::setKeepAlive(int fd)
{
    const auto set = [fd](int level, int option, int value) {
        ::setsockopt(fd, level, option, &value, sizeof value);
    };
    set(SOL_SOCKET, SO_KEEPALIVE, 1);
    set(IPPROTO_TCP, TCP_KEEPIDLE, keepAliveIdleSeconds);
    set(IPPROTO_TCP, TCP_KEEPINTVL, keepAliveIntervalSeconds);
    set(IPPROTO_TCP, TCP_KEEPCNT, keepAliveProbes);
    set(IPPROTO_TCP, TCP_USER_TIMEOUT, unacknowledgedLimitMs);
}

// ---------------------------------------------------------------- reports

bool TSock::Private::info(TSocketInfo kind, const QString &msg)
{
    if (!q->OnInfo)
        return true;
    // A copy: the handler may replace OnInfo or delete the socket.
    const TNotifyInfoEvent handler = q->OnInfo;
    QPointer<TSock> alive(q);
    try {
        handler(q, kind, msg);
    } catch (...) {
        throw ESockException(text(TSockText::ErrorHere));
    }
    return !alive.isNull();
}

bool TSock::Private::notify(const TNotifyEvent &event)
{
    if (!event)
        return true;
    const TNotifyEvent handler = event;
    QPointer<TSock> alive(q);
    handler(q);
    return !alive.isNull();
}

bool TSock::Private::notifyRead(int count)
{
    if (!q->OnRead)
        return true;
    const TNotifyReadEvent handler = q->OnRead;
    QPointer<TSock> alive(q);
    handler(q, count);
    return !alive.isNull();
}

// ---------------------------------------------------------------- handle

void TSock::Private::adoptHandle(int handle, TSocketType type, bool forListening)
{
    fd = handle;
    handleType = type;
    listenerHandle = forListening;
    ++generation;
}

bool TSock::Private::closeHandle()
{
    // Watchers go before the handle: the number may be reused at once.
    readWatch.reset();
    writeWatch.reset();
    bool closed = false;
    if (fd >= 0)
        closed = ::close(fd) == 0;
    fd = -1;
    listenerHandle = false;
    connected = false;
    connecting = false;
    connectFailed = false;
    connectError = 0;
    writableOwed = false;
    sendStalled = false;
    acceptOwed = false;
    datagramOwed = false;
    // Unsent bytes belonged to that connection, not to the next one.
    sendText.clear();
    ++generation;
    return closed;
}

void TSock::Private::registerEvents()
{
    if (fd < 0)
        return;
    if (blocking && !listenerHandle) {
        readWatch.reset();
        writeWatch.reset();
        setHandleBlocking(fd, true);
        return;
    }
    setHandleBlocking(fd, false);
    if (!readWatch) {
        readWatch = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        readWatch->setEnabled(false);
        QObject::connect(readWatch.get(), &QSocketNotifier::activated, q, [this] { onReadable(); });
    }
    if (!listenerHandle && !datagramHandle()) {
        if (!writeWatch) {
            writeWatch = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
            writeWatch->setEnabled(false);
            QObject::connect(writeWatch.get(), &QSocketNotifier::activated, q,
                             [this] { onWritable(); });
        }
        // A connected socket that starts being watched is writable once.
        if (connected)
            writableOwed = true;
    }
    updateWatchers();
}

// Linux reports a socket readable or writable for as long as it is; the
// events of this socket come once per occasion, so each watcher is only on
// while its event is due.
void TSock::Private::updateWatchers()
{
    bool wantRead = false;
    bool wantWrite = false;
    if (fd >= 0 && dispatchDepth == 0) {
        if (listenerHandle) {
            wantRead = listening && !acceptOwed;
        } else if (datagramHandle()) {
            wantRead = connected && !datagramOwed;
        } else if (!connectFailed) {
            wantRead = connected;
            wantWrite = connecting || writableOwed || (sendStalled && !sendText.isEmpty());
        }
    }
    if (readWatch && readWatch->isEnabled() != wantRead)
        readWatch->setEnabled(wantRead);
    if (writeWatch && writeWatch->isEnabled() != wantWrite)
        writeWatch->setEnabled(wantWrite);
}

// ---------------------------------------------------------------- names

quint16 TSock::Private::resolvePort()
{
    info(TSocketInfo::Lookup, text(TSockText::LookupOfPort) + portName);
    const auto port = resolvePortName(portName, datagramHandle());
    if (!port)
        throw ESockException(text(TSockText::ServiceNotFound));
    return *port;
}

std::uint32_t TSock::Private::resolveHost(const QString &name)
{
    if (name.isEmpty())
        return htonl(INADDR_ANY);
    info(TSocketInfo::Lookup, text(TSockText::LookupOfHost) + name);
    // A name that begins with a digit is an address and never looked up.
    const auto address =
        looksLikeDottedAddress(name) ? readDottedAddress(name) : resolveHostName(name);
    if (!address)
        throw ESockException(text(TSockText::HostNotFound));
    return *address;
}

SockAddress TSock::Private::resolveTarget(const QString &name, quint16 port)
{
    if (name.isEmpty())
        return SockAddress::ipv4(htonl(INADDR_ANY), port);
    info(TSocketInfo::Lookup, text(TSockText::LookupOfHost) + name);
    // A name that begins with a digit is an IPv4 address and never looked
    // up, unless it is an IPv6 one written out.
    std::optional<SockAddress> address = readIPv6Address(name);
    if (!address && looksLikeDottedAddress(name)) {
        if (const auto ipv4 = readDottedAddress(name))
            address = SockAddress::ipv4(*ipv4, port);
    } else if (!address) {
        address = resolveHostAddress(name);
    }
    if (!address)
        throw ESockException(text(TSockText::HostNotFound));
    address->setPort(port);
    return *address;
}

bool TSock::Private::remakeHandle(int family)
{
    const int other = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (other < 0)
        return false;
    const bool moved = ::dup3(other, fd, O_CLOEXEC) >= 0;
    const int err = errno;
    ::close(other);
    errno = err;
    return moved;
}

// ---------------------------------------------------------------- events

template <typename Step> void TSock::Private::dispatch(Step step)
{
    QPointer<TSock> alive(q);
    ++dispatchDepth;
    updateWatchers();
    std::optional<QString> failure;
    try {
        step();
    } catch (const ESockException &e) {
        failure = e.text;
    } catch (const std::exception &e) {
        failure = QString::fromLocal8Bit(e.what());
    } catch (...) {
        failure = unknownHandlerFailure;
    }
    if (alive) {
        --dispatchDepth;
        updateWatchers();
    }
    // Shown once this event is over, as for any other failed event.
    if (failure)
        reportError(*failure);
}

void TSock::Private::onReadable()
{
    dispatch([this] {
        if (listenerHandle) {
            if (listening)
                incomingConnection();
        } else if (datagramHandle()) {
            datagramOwed = true;
            notifyRead(int(receiveText.size()));
        } else if (connected) {
            streamReadable();
        }
    });
}

void TSock::Private::onWritable()
{
    dispatch([this] {
        if (connecting)
            connectionCompleted();
        else if (connected)
            writable();
    });
}

QByteArray TSock::Private::takeReceived(int count)
{
    if (count < 0 || count >= receiveText.size())
        return std::exchange(receiveText, QByteArray());
    QByteArray head = receiveText.left(count);
    receiveText.remove(0, count);
    return head;
}

// ---------------------------------------------------------------- TSock

TSock::TSock(QObject *owner) : QObject(owner), d(std::make_unique<Private>(this)) {}

TSock::~TSock()
{
    if (d->listening || d->connected)
        Close();
    else
        d->closeHandle();
    // Accepted sockets (children) go after this; their threads must be done.
    for (const auto &thread : d->autoAcceptThreads) {
        if (thread)
            thread->wait();
    }
}

TSocketType TSock::SocketType() const
{
    return d->socketType;
}

void TSock::setSocketType(TSocketType type)
{
    if (d->listening)
        throw ESockException(text(TSockText::TypeWhileListening));
    if (d->connected)
        throw ESockException(text(TSockText::TypeWhileConnected));
    d->socketType = type;
}

QString TSock::HostName() const
{
    return d->hostName;
}

void TSock::setHostName(const QString &host)
{
    if (d->connected && !d->datagramHandle()) {
        if (!d->info(TSocketInfo::Lookup, text(TSockText::HostNameNoEffect)))
            return;
    }
    d->hostName = host;
    if (d->connected && d->datagramHandle())
        d->target = SockAddress::ipv4(d->resolveHost(host), d->target.port());
}

QString TSock::PortName() const
{
    return d->portName;
}

void TSock::setPortName(const QString &port)
{
    if (d->connected) {
        if (!d->info(TSocketInfo::Lookup, text(TSockText::PortNameNoEffect)))
            return;
    }
    d->portName = port;
}

bool TSock::Blocking() const
{
    return d->blocking;
}

void TSock::setBlocking(bool blocking)
{
    d->blocking = blocking;
    d->registerEvents();
}

bool TSock::AutoAccept() const
{
    return d->autoAccept;
}

void TSock::setAutoAccept(bool autoAccept)
{
    d->autoAccept = autoAccept;
}

bool TSock::Listen() const
{
    return d->listening;
}

bool TSock::ListenIPv6() const
{
    return d->listenIPv6;
}

void TSock::setListenIPv6(bool ipv6)
{
    d->listenIPv6 = ipv6;
}

TLineBreak TSock::LineBreak() const
{
    return d->lineBreak;
}

void TSock::setLineBreak(TLineBreak lineBreak)
{
    d->lineBreak = lineBreak;
}

int TSock::BlockingTimeout() const
{
    return d->blockingTimeout;
}

void TSock::setBlockingTimeout(int seconds)
{
    d->blockingTimeout = seconds;
}

bool TSock::Open()
{
    if (d->fd >= 0)
        return d->connected;
    const bool datagram = d->socketType == TSocketType::stDatagram;
    const int handle = ::socket(AF_INET, (datagram ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
    if (handle < 0) {
        d->reportErrno(errno);
        return false;
    }
    d->adoptHandle(handle, datagram ? TSocketType::stDatagram : TSocketType::stStream, false);
    const quint16 port = d->resolvePort();
    // Datagrams stay on IPv4; the game's connection goes where the name
    // leads.
    d->target = datagram ? SockAddress::ipv4(d->resolveHost(QString()), port)
                         : d->resolveTarget(d->hostName, port);
    if (d->target.isIPv6() && !d->remakeHandle(AF_INET6)) {
        const int err = errno;
        d->closeHandle();
        d->reportErrno(err);
        return false;
    }
    d->registerEvents();

    if (datagram)
        return d->openDatagram();
    setNoDelay(handle);
    if (d->blocking)
        return d->openBlocking();
    // The game's way: the outcome comes later, as an event.
    d->connectNonBlocking();
    return false;
}

bool TSock::Close()
{
    bool closed = false;
    try {
        const bool wasListening = d->listening;
        closed = d->closeHandle();
        d->listening = false;
        if (!wasListening)
            d->info(TSocketInfo::Close, text(TSockText::SocketClosed));
    } catch (...) {
        // Closing never fails the caller, not even through its reports.
    }
    return closed;
}

bool TSock::Send(const QByteArray &bytes)
{
    if (d->fd < 0)
        throw ESockException(text(TSockText::SendNotConnected));
    if (d->listening)
        throw ESockException(text(TSockText::SendOnListener));
    if (d->datagramHandle()) {
        SendDatagram(bytes, d->hostName);
        return true;
    }
    d->sendText += bytes;
    if (d->sendText.isEmpty())
        return true;
    if (d->blocking)
        d->sendBlocking();
    else
        d->sendNonBlocking();
    return true;
}

QByteArray TSock::Receive()
{
    return ReceiveCount(-1);
}

QByteArray TSock::ReceiveCount(int count)
{
    if (d->fd < 0 && d->receiveText.isEmpty())
        throw ESockException(text(TSockText::ReceiveNotConnected));
    if (d->listening)
        throw ESockException(text(TSockText::ReceiveOnListener));
    // A read of zero bytes would look like the end of the stream.
    const int readSize = (count <= 0 || count > readBufferSize) ? readBufferSize : count;
    if (d->fd >= 0 && d->datagramHandle()) {
        QString host;
        QByteArray bytes;
        ReceiveDatagram(host, bytes);
        return bytes;
    }
    if (!d->blocking)
        return d->takeReceived(count);
    return d->receiveBlocking(readSize);
}

TSockStream &TSock::Stream()
{
    return d->stream;
}

bool TSock::Connected() const
{
    return d->connected;
}

bool TSock::HasHandle() const
{
    return d->fd >= 0;
}

int TSock::Handle() const
{
    return d->fd;
}

quint16 TSock::LocalPort() const
{
    return SockAddress::ofLocal(d->fd).port();
}

quint16 TSock::PeerPort() const
{
    return SockAddress::ofPeer(d->fd).port();
}

bool TSock::PeerIsLoopback() const
{
    return SockAddress::ofPeer(d->fd).isLoopback();
}

qsizetype TSock::PendingSendBytes() const
{
    return d->sendText.size();
}

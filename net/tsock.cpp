#include "net/tsock.h"

#include "net/errorreport.h"
#include "net/sockresolve.h"
#include "net/tsocktexts.h"
#include "net/wsaerrors.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <utility>

namespace {

// One system read takes at most this many bytes; more waiting data gives
// further read notifications.
constexpr int readBufferSize = 32768;
constexpr int listenBacklog = 5;

const QString unknownHandlerFailure = QStringLiteral("Unknown error in a socket event handler");

QString text(QLatin1StringView fixed)
{
    return QString(fixed);
}

QString errorReportText(int code)
{
    return text(TSockText::ErrorNumber) + QString::number(code) + QStringLiteral(" (") +
           wsaErrorName(code) + QStringLiteral(")");
}

int timeoutMs(int seconds)
{
    if (seconds < 0)
        return -1;
    return seconds > INT_MAX / 1000 ? INT_MAX : seconds * 1000;
}

// Waits until the handle is ready for the events; a negative timeout waits
// without limit. Signals do not cut the wait short.
bool waitFor(int fd, short events, int waitMs)
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

void setHandleBlocking(int fd, bool blocking)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK));
}

// The host sends several small messages in a row; without this, Nagle's
// rule and delayed acknowledgements hold the later ones back ~40 ms.
void setNoDelay(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool isTransient(int err)
{
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

} // namespace

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
    sockaddr_in target{};
    sockaddr_in peer{};

    std::unique_ptr<QSocketNotifier> readWatch;
    std::unique_ptr<QSocketNotifier> writeWatch;
    std::vector<QPointer<QThread>> autoAcceptThreads;

    TSockStream stream;

    bool datagramHandle() const { return handleType == TSocketType::stDatagram; }
    char *buffer()
    {
        if (readBuffer.size() != readBufferSize)
            readBuffer.resize(readBufferSize);
        return readBuffer.data();
    }

    // Reports and handlers. Each returns false when the handler deleted the
    // socket; the caller then returns at once without touching it.
    bool info(TSocketInfo kind, const QString &msg);
    bool notify(const TNotifyEvent &event);
    bool notifyRead(int count);
    bool reportErrno(int err)
    {
        return info(TSocketInfo::Error, errorReportText(wsaCodeFromErrno(err)));
    }

    void adoptHandle(int handle, TSocketType type, bool forListening);
    bool closeHandle();
    void registerEvents();
    void updateWatchers();

    quint16 resolvePort();
    std::uint32_t resolveHost(const QString &name);
    bool connectBlocking();

    template <typename Step> void dispatch(Step step);
    void onReadable();
    void onWritable();
    void streamReadable();
    void peerClosed();
    void incomingConnection();
    void connectionCompleted();
    void writable();
    bool sendNonBlocking();

    TSock *makeAccepted(int handle);
    void setAcceptedAddresses(TSock *accepted, const sockaddr_in &from);
    void startAutoAcceptThread(TSock *accepted);
    QByteArray takeReceived(int count);
};

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

bool TSock::Private::connectBlocking()
{
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&target), sizeof target) == 0)
        return true;
    if (errno != EINTR)
        return false;
    // Interrupted: the attempt goes on; wait for its outcome.
    if (!waitFor(fd, POLLOUT, -1))
        return false;
    int err = 0;
    socklen_t length = sizeof err;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &length) == 0 && err == 0;
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

void TSock::Private::streamReadable()
{
    const ssize_t got = ::recv(fd, buffer(), readBufferSize, 0);
    if (got == 0) {
        peerClosed();
        return;
    }
    if (got < 0) {
        const int err = errno;
        if (!isTransient(err)) {
            // The connection failed (reset, timed out): report it. The
            // system then reads the end of the stream, which closes it.
            reportErrno(err);
            return;
        }
    } else {
        receiveText.append(readBuffer.constData(), got);
    }
    if (!info(TSocketInfo::Receive, text(TSockText::NonBlockingIncoming)))
        return;
    notifyRead(int(receiveText.size()));
}

void TSock::Private::peerClosed()
{
    // The handler sees the socket still open; closing it there is fine,
    // the close below then only reports again.
    if (!notify(q->OnDisconnect))
        return;
    q->Close();
}

void TSock::Private::connectionCompleted()
{
    int err = connectError;
    if (err == 0) {
        socklen_t length = sizeof err;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &length) != 0)
            err = errno;
    }
    connecting = false;
    connectError = 0;
    if (err != 0) {
        connectFailed = true;
        reportErrno(err);
        return;
    }
    connected = true;
    writableOwed = true;
    if (!info(TSocketInfo::Connect, text(TSockText::NonBlockingConnected)))
        return;
    notify(q->OnConnect);
}

void TSock::Private::writable()
{
    writableOwed = false;
    if (!sendText.isEmpty() && !sendNonBlocking())
        return;
    if (!info(TSocketInfo::Send, text(TSockText::NonBlockingOutgoing)))
        return;
    notify(q->OnWrite);
}

bool TSock::Private::sendNonBlocking()
{
    if (!info(TSocketInfo::Send, text(TSockText::NonBlockingOutgoing)))
        return false;
    if (fd < 0 || sendText.isEmpty())
        return true;
    const ssize_t sent =
        ::send(fd, sendText.constData(), size_t(sendText.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0)
        sendText.remove(0, sent);
    if (sent < 0 && !isTransient(errno)) {
        // A broken connection: keep the bytes, but do not wait for it to
        // become writable (it would say so at once, for ever). The read
        // side reports the failure and the close.
        if (connecting)
            connectError = errno;
        sendStalled = false;
    } else {
        sendStalled = !sendText.isEmpty();
    }
    updateWatchers();
    return true;
}

void TSock::Private::incomingConnection()
{
    if (autoAccept && q->OnAutoAccept) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const int handle =
            ::accept4(fd, reinterpret_cast<sockaddr *>(&from), &length, SOCK_CLOEXEC);
        if (handle < 0)
            return; // the caller gave up before we took it
        peer = from;
        QPointer<TSock> alive(q);
        TSock *accepted = makeAccepted(handle);
        setAcceptedAddresses(accepted, from);
        if (!alive)
            return;
        if (!blocking) {
            const TNotifyAutoEvent handler = q->OnAutoAccept;
            handler(q, accepted);
        } else {
            startAutoAcceptThread(accepted);
        }
        return;
    }
    // Watched again once Accept has been called; a connection nobody takes
    // stays pending.
    acceptOwed = true;
    notify(q->OnAccept);
}

TSock *TSock::Private::makeAccepted(int handle)
{
    auto *accepted = new TSock(q);
    Private &n = *accepted->d;
    n.adoptHandle(handle, TSocketType::stStream, false);
    n.connected = true;
    n.blockingTimeout = blockingTimeout;
    accepted->OnRead = q->OnRead;
    accepted->OnWrite = q->OnWrite;
    accepted->OnDisconnect = q->OnDisconnect;
    accepted->OnInfo = q->OnInfo;
    setNoDelay(handle);
    accepted->setBlocking(blocking);
    return accepted;
}

void TSock::Private::setAcceptedAddresses(TSock *accepted, const sockaddr_in &from)
{
    QPointer<TSock> guard(accepted);
    accepted->setPortName(portName);
    if (guard)
        accepted->setHostName(dottedAddress(from.sin_addr.s_addr));
}

void TSock::Private::startAutoAcceptThread(TSock *accepted)
{
    std::erase_if(autoAcceptThreads, [](const QPointer<QThread> &t) { return t.isNull(); });
    const TNotifyAutoEvent handler = q->OnAutoAccept;
    TSock *listener = q;
    QThread *thread = QThread::create([handler, listener, accepted] {
        try {
            handler(listener, accepted);
        } catch (...) {
            QString failure = unknownHandlerFailure;
            try {
                throw;
            } catch (const ESockException &e) {
                failure = e.text;
            } catch (const std::exception &e) {
                failure = QString::fromLocal8Bit(e.what());
            } catch (...) {
            }
            // Error boxes belong to the user-interface thread.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [failure] { reportError(failure); },
                Qt::QueuedConnection);
        }
    });
    thread->setParent(q);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    autoAcceptThreads.emplace_back(thread);
    thread->start();
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
        d->target.sin_addr.s_addr = d->resolveHost(host);
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

void TSock::setListen(bool listen)
{
    if (d->fd >= 0 && !d->listening) {
        d->listening = false;
        throw ESockException(text(TSockText::ListenInUse));
    }
    if (d->socketType == TSocketType::stDatagram && listen) {
        d->listening = false;
        throw ESockException(text(TSockText::ListenOnDatagram));
    }
    const bool wasListening = d->listening;
    d->listening = listen;
    if (!listen) {
        QPointer<TSock> alive(this);
        Close();
        if (alive)
            d->info(TSocketInfo::Listen, text(TSockText::ListeningStopped));
        return;
    }
    if (wasListening) {
        d->info(TSocketInfo::Listen, text(TSockText::ListeningAlreadyRunning));
        return;
    }
    // Listen stays False until listening has really started.
    d->listening = false;
    const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0)
        throw ESockException(text(TSockText::ListenBindError));
    d->adoptHandle(handle, TSocketType::stStream, true);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(d->resolvePort());
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    // A user who quits and hosts again at once finds the port in TIME_WAIT;
    // this lets him listen anyway. A port another program listens on still
    // refuses the bind.
    const int on = 1;
    ::setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    d->registerEvents();
    if (::bind(handle, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        throw ESockException(text(TSockText::ListenBindError));
    if (::listen(handle, listenBacklog) != 0)
        throw ESockException(text(TSockText::ListenStartError));
    d->listening = true;
    d->updateWatchers();
    d->info(TSocketInfo::Listen, text(TSockText::ListeningStarted));
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
    d->target = sockaddr_in{};
    d->target.sin_family = AF_INET;
    d->target.sin_port = htons(d->resolvePort());
    d->target.sin_addr.s_addr = d->resolveHost(datagram ? QString() : d->hostName);
    d->registerEvents();

    QPointer<TSock> alive(this);
    const auto *target = reinterpret_cast<const sockaddr *>(&d->target);
    if (datagram) {
        if (::bind(handle, target, sizeof d->target) == 0) {
            d->connected = true;
            d->updateWatchers();
            if (d->info(TSocketInfo::Connect, text(TSockText::DatagramConnected)))
                d->notify(OnConnect);
        }
        return alive && d->connected;
    }

    setNoDelay(handle);
    if (d->blocking) {
        if (d->connectBlocking()) {
            d->connected = true;
            if (d->info(TSocketInfo::Connect, text(TSockText::BlockingConnected)))
                d->notify(OnConnect);
        } else if (d->info(TSocketInfo::Close, text(TSockText::BlockingCantConnect))) {
            Close();
        }
        return alive && d->connected;
    }

    d->connecting = true;
    if (::connect(handle, target, sizeof d->target) != 0 && errno != EINPROGRESS &&
        errno != EINTR) {
        // Refused at once: still told from the event loop, like any other
        // outcome of the attempt.
        d->connectError = errno;
        const quint64 generation = d->generation;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (d->generation == generation && d->connecting)
                    d->onWritable();
            },
            Qt::QueuedConnection);
    }
    d->updateWatchers();
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
    if (!d->blocking) {
        d->sendNonBlocking();
        return true;
    }
    QPointer<TSock> alive(this);
    while (!d->sendText.isEmpty()) {
        const ssize_t sent =
            ::send(d->fd, d->sendText.constData(), size_t(d->sendText.size()), MSG_NOSIGNAL);
        if (sent < 0) {
            const int err = errno;
            if (err == EINPROGRESS || err == EINTR)
                continue;
            if ((err == EAGAIN || err == EWOULDBLOCK) && waitFor(d->fd, POLLOUT, -1))
                continue;
            d->info(TSocketInfo::Error, text(TSockText::ErrorOnSend));
            throw ESockException(text(TSockText::SendError));
        }
        d->sendText.remove(0, sent);
        if (!d->info(TSocketInfo::Send, text(TSockText::BlockingOutgoing)) || !alive)
            return true;
    }
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

    if (d->connected && waitFor(d->fd, POLLIN, timeoutMs(d->blockingTimeout))) {
        QPointer<TSock> alive(this);
        if (!d->info(TSocketInfo::Receive, text(TSockText::BlockingIncoming)))
            return {};
        ssize_t got;
        do {
            got = ::recv(d->fd, d->buffer(), size_t(readSize), 0);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            const int err = errno;
            d->receiveText.clear();
            d->info(TSocketInfo::Error, text(TSockText::ErrorOnReceive));
            throw ESockException(text(TSockText::ReceiveError) +
                                 wsaErrorName(wsaCodeFromErrno(err)));
        }
        if (got > 0) {
            d->receiveText.append(d->readBuffer.constData(), got);
        } else {
            if (!d->info(TSocketInfo::Close, text(TSockText::DisconnectedOnReceive)))
                return {};
            Close();
            if (!alive || !d->notify(OnDisconnect))
                return {};
        }
    }
    return std::exchange(d->receiveText, QByteArray());
}

bool TSock::Accept(TSock *&newSock)
{
    if (!d->listening)
        throw ESockException(text(TSockText::AcceptNotListening));
    QPointer<TSock> alive(this);
    if (d->blocking) {
        if (!d->info(TSocketInfo::Accept, text(TSockText::BlockingAccept)))
            return false;
        if (d->fd >= 0)
            waitFor(d->fd, POLLIN, -1);
    }
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const int handle = ::accept4(d->fd, reinterpret_cast<sockaddr *>(&from), &length, SOCK_CLOEXEC);
    // Taking a connection (or trying to) re-arms the incoming-connection
    // event; more pending connections fire it again.
    d->acceptOwed = false;
    d->updateWatchers();
    if (handle < 0) {
        d->info(TSocketInfo::Accept, text(TSockText::CouldNotAccept));
        return false;
    }
    d->peer = from;
    TSock *accepted = d->makeAccepted(handle);
    newSock = accepted;
    d->setAcceptedAddresses(accepted, from);
    if (alive)
        d->info(TSocketInfo::Accept, text(TSockText::CreatedNewTSock));
    return true;
}

bool TSock::SendDatagram(const QByteArray &bytes, const QString &host)
{
    if (d->fd < 0)
        throw ESockException(text(TSockText::SendDatagramNotConnected));
    if (!d->datagramHandle())
        throw ESockException(text(TSockText::SendDatagramOnStream));
    QPointer<TSock> alive(this);
    setHostName(host);
    if (alive && d->fd >= 0 && !bytes.isEmpty()) {
        ::sendto(d->fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr *>(&d->target), sizeof d->target);
    }
    return true;
}

void TSock::ReceiveDatagram(QString &host, QByteArray &bytes)
{
    if (d->fd < 0)
        throw ESockException(text(TSockText::ReceiveDatagramNotConnected));
    if (!d->datagramHandle())
        throw ESockException(text(TSockText::ReceiveDatagramOnStream));
    host.clear();
    bytes.clear();
    if (waitFor(d->fd, POLLIN, timeoutMs(d->blockingTimeout))) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t got = ::recvfrom(d->fd, d->buffer(), readBufferSize, MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr *>(&from), &length);
        if (got >= 0)
            d->peer = from;
        if (got > 0) {
            bytes = QByteArray(d->readBuffer.constData(), got);
            host = dottedAddress(from.sin_addr.s_addr);
        }
    }
    // The next datagram may be announced now.
    d->datagramOwed = false;
    d->updateWatchers();
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
    if (d->fd < 0)
        return 0;
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(d->fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

qsizetype TSock::PendingSendBytes() const
{
    return d->sendText.size();
}

// Listening for connections and accepting them, as the host does on its
// game port.

#include "net/tsockprivate.h"

#include "net/sockresolve.h"

#include <arpa/inet.h>
#include <sys/socket.h>

using namespace tsockdetail;

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
    const int family = d->listenIPv6 ? AF_INET6 : AF_INET;
    const int handle = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0)
        throw ESockException(text(TSockText::ListenBindError));
    d->adoptHandle(handle, TSocketType::stStream, true);
    const quint16 port = d->resolvePort();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    sockaddr_in6 address6{};
    address6.sin6_family = AF_INET6;
    address6.sin6_port = htons(port);
    address6.sin6_addr = in6addr_any;
    if (d->listenIPv6) {
        // IPv6 alone: the IPv4 socket beside it keeps IPv4's connections,
        // whatever the system's default for dual-stack sockets.
        const int v6only = 1;
        ::setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, &v6only, sizeof v6only);
    }
    // A user who quits and hosts again at once finds the port in TIME_WAIT;
    // this lets him listen anyway. A port another program listens on still
    // refuses the bind.
    const int on = 1;
    ::setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    d->registerEvents();
    const bool bound =
        d->listenIPv6
            ? ::bind(handle, reinterpret_cast<const sockaddr *>(&address6), sizeof address6) == 0
            : ::bind(handle, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    if (!bound)
        throw ESockException(text(TSockText::ListenBindError));
    if (::listen(handle, listenBacklog) != 0)
        throw ESockException(text(TSockText::ListenStartError));
    d->listening = true;
    d->updateWatchers();
    d->info(TSocketInfo::Listen, text(TSockText::ListeningStarted));
}

void TSock::Private::incomingConnection()
{
    if (autoAccept && q->OnAutoAccept) {
        autoAcceptIncoming();
        return;
    }
    // Watched again once Accept has been called; a connection nobody takes
    // stays pending.
    acceptOwed = true;
    notify(q->OnAccept);
}

bool TSock::Accept(TSock *&newSock)
{
    if (!d->listening)
        throw ESockException(text(TSockText::AcceptNotListening));
    QPointer<TSock> alive(this);
    if (d->blocking && !d->waitForBlockingAccept())
        return false;
    SockAddress from;
    const int handle = ::accept4(d->fd, from.data(), from.lengthToFill(), SOCK_CLOEXEC);
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
    setKeepAlive(handle);
    accepted->setBlocking(blocking);
    return accepted;
}

void TSock::Private::setAcceptedAddresses(TSock *accepted, const SockAddress &from)
{
    QPointer<TSock> guard(accepted);
    accepted->setPortName(portName);
    if (guard)
        accepted->setHostName(from.text());
}

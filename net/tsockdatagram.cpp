// Datagram sockets: bound to a local port, sending to and receiving from
// any address. The game never uses them.

#include "net/tsockprivate.h"

#include "net/sockresolve.h"

#include <poll.h>
#include <sys/socket.h>

using namespace tsockdetail;

bool TSock::Private::openDatagram()
{
    QPointer<TSock> alive(q);
    if (::bind(fd, target.data(), target.length()) == 0) {
        connected = true;
        updateWatchers();
        if (info(TSocketInfo::Connect, text(TSockText::DatagramConnected)))
            notify(q->OnConnect);
    }
    return alive && connected;
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
        ::sendto(d->fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL, d->target.data(),
                 d->target.length());
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
        SockAddress from;
        const ssize_t got = ::recvfrom(d->fd, d->buffer(), readBufferSize, MSG_DONTWAIT,
                                       from.data(), from.lengthToFill());
        if (got >= 0)
            d->peer = from;
        if (got > 0) {
            bytes = QByteArray(d->readBuffer.constData(), got);
            host = from.text();
        }
    }
    // The next datagram may be announced now.
    d->datagramOwed = false;
    d->updateWatchers();
}

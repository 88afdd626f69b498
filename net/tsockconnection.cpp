// The game's own path: a non-blocking stream connection whose connect,
// reads, writes and close arrive as events on the event loop.

#include "net/tsockprivate.h"

#include <sys/socket.h>

using namespace tsockdetail;

void TSock::Private::connectNonBlocking()
{
    connecting = true;
    if (::connect(fd, target.data(), target.length()) != 0 && errno != EINPROGRESS &&
        errno != EINTR) {
        // Refused at once: still told from the event loop, like any other
        // outcome of the attempt.
        connectError = errno;
        const quint64 attempt = generation;
        QMetaObject::invokeMethod(
            q,
            [this, attempt] {
                if (generation == attempt && connecting)
                    onWritable();
            },
            Qt::QueuedConnection);
    }
    updateWatchers();
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
            // The connection failed (reset, or timed out: the keep-alive
            // probes went unanswered, or sent bytes were never
            // acknowledged): report it. The system then reads the end of
            // the stream, which closes it.
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
    // Only now: set before the connect, the unacknowledged-bytes limit would
    // also cut short the attempt to reach a slow host.
    setKeepAlive(fd);
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

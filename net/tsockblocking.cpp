// The blocking modes: connect, send, receive and accept wait on the socket
// instead of being told by events. The game never uses them.

#include "net/tsockprivate.h"

#include <poll.h>
#include <sys/socket.h>

#include <utility>

using namespace tsockdetail;

bool TSock::Private::connectBlocking()
{
    if (::connect(fd, target.data(), target.length()) == 0)
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

bool TSock::Private::openBlocking()
{
    QPointer<TSock> alive(q);
    if (connectBlocking()) {
        connected = true;
        setKeepAlive(fd);
        if (info(TSocketInfo::Connect, text(TSockText::BlockingConnected)))
            notify(q->OnConnect);
    } else if (info(TSocketInfo::Close, text(TSockText::BlockingCantConnect))) {
        q->Close();
    }
    return alive && connected;
}

void TSock::Private::sendBlocking()
{
    QPointer<TSock> alive(q);
    while (!sendText.isEmpty()) {
        const ssize_t sent =
            ::send(fd, sendText.constData(), size_t(sendText.size()), MSG_NOSIGNAL);
        if (sent < 0) {
            const int err = errno;
            if (err == EINPROGRESS || err == EINTR)
                continue;
            if ((err == EAGAIN || err == EWOULDBLOCK) && waitFor(fd, POLLOUT, -1))
                continue;
            info(TSocketInfo::Error, text(TSockText::ErrorOnSend));
            throw ESockException(text(TSockText::SendError));
        }
        sendText.remove(0, sent);
        if (!info(TSocketInfo::Send, text(TSockText::BlockingOutgoing)) || !alive)
            return;
    }
}

QByteArray TSock::Private::receiveBlocking(int readSize)
{
    if (connected && waitFor(fd, POLLIN, timeoutMs(blockingTimeout))) {
        QPointer<TSock> alive(q);
        if (!info(TSocketInfo::Receive, text(TSockText::BlockingIncoming)))
            return {};
        ssize_t got;
        do {
            got = ::recv(fd, buffer(), size_t(readSize), 0);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            const int err = errno;
            receiveText.clear();
            info(TSocketInfo::Error, text(TSockText::ErrorOnReceive));
            throw ESockException(text(TSockText::ReceiveError) +
                                 wsaErrorName(wsaCodeFromErrno(err)));
        }
        if (got > 0) {
            receiveText.append(readBuffer.constData(), got);
        } else {
            if (!info(TSocketInfo::Close, text(TSockText::DisconnectedOnReceive)))
                return {};
            q->Close();
            if (!alive || !notify(q->OnDisconnect))
                return {};
        }
    }
    return std::exchange(receiveText, QByteArray());
}

bool TSock::Private::waitForBlockingAccept()
{
    if (!info(TSocketInfo::Accept, text(TSockText::BlockingAccept)))
        return false;
    if (fd >= 0)
        waitFor(fd, POLLIN, -1);
    return true;
}

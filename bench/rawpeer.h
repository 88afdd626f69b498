#pragma once

// A game peer on a plain POSIX socket, for the measuring programs that fork
// processes of their own (a hostile host, chat hogs): no Qt event loop, so
// it runs in a child process as fast as the system lets it.

#include "net/framer.h"
#include "net/messages.h"

#include <QByteArray>
#include <QByteArrayList>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

inline double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// A listening socket on 127.0.0.1 at a port the system picks.
inline int listenOnLoopback(quint16 &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0)
        return -1;
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

class RawPeer
{
public:
    explicit RawPeer(int fd) : m_fd(fd) {}
    static RawPeer connectTo(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
            ::close(fd);
            return RawPeer(-1);
        }
        return RawPeer(fd);
    }
    ~RawPeer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    RawPeer(RawPeer &&other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    RawPeer(const RawPeer &) = delete;
    RawPeer &operator=(const RawPeer &) = delete;

    int fd() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }

    // Writes everything, waiting as long as it takes; false once the
    // connection is gone.
    bool sendAll(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t sent =
                ::send(m_fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (sent < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += sent;
        }
        return true;
    }
    bool send(const QByteArray &message) { return sendAll(framed(message)); }

    // Reads what has arrived, waiting at most `timeoutMs`; the complete
    // messages go to `inbox`. False once the connection is gone.
    bool read(int timeoutMs, QByteArrayList &inbox)
    {
        pollfd watch{m_fd, POLLIN, 0};
        const int ready = ::poll(&watch, 1, timeoutMs);
        if (ready <= 0)
            return ready == 0 || errno == EINTR;
        char buffer[65536];
        const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
            return false;
        if (got > 0)
            m_framer.feed(QByteArrayView(buffer, got),
                          [&](QByteArrayView message) { inbox.append(message.toByteArray()); });
        return true;
    }

    // Waits until `message` arrives or `timeoutMs` passes; keeps the rest.
    bool waitFor(const QByteArray &message, QByteArrayList &inbox, int timeoutMs)
    {
        const double deadline = monotonicMs() + timeoutMs;
        while (!inbox.contains(message)) {
            const double left = deadline - monotonicMs();
            if (left <= 0 || !read(int(left) + 1, inbox))
                return inbox.contains(message);
        }
        return true;
    }

private:
    int m_fd;
    MessageFramer m_framer;
};

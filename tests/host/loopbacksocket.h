#pragma once

// Plain sockets on the loopback address, for host tests that must order
// connections the kernel completes before the host has accepted any.

#include "net/gamemessage.h"
#include "net/sockaddress.h"
#include "net/sockresolve.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <netinet/in.h>
#include <sys/socket.h>

// A blocking connection to 127.0.0.1 or ::1 (by `family`), complete in the
// kernel when it returns. Returns the handle.
inline int connectOverLoopback(int family, quint16 port)
{
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    SockAddress to = family == AF_INET6 ? *readIPv6Address(QStringLiteral("::1"))
                                        : SockAddress::ipv4(htonl(INADDR_LOOPBACK), 0);
    to.setPort(port);
    EXPECT_EQ(::connect(fd, to.data(), to.length()), 0);
    return fd;
}

inline quint16 localPort(int fd)
{
    return SockAddress::ofLocal(fd).port();
}

// The first whole message the host sent on the handle, without its
// terminator.
inline QByteArray firstMessage(int fd)
{
    QByteArray bytes;
    waitUntil([&] {
        char buffer[64];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0)
            bytes.append(buffer, got);
        return bytes.contains(kMessageTerminator);
    });
    return bytes.left(bytes.indexOf(kMessageTerminator));
}

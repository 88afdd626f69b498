#pragma once

#include <QString>

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <initializer_list>

// What the IPv6 tests need of the computer, and why they skip without it.
inline constexpr const char *kNoIPv6Loopback =
    "this computer has no IPv6 loopback (::1): nothing to test over IPv6";
inline constexpr const char *kNoIPv6OnlyName =
    "no name here resolves to ::1 alone (ip6-localhost, localhost6, ... are not in "
    "/etc/hosts): nothing to test of a name with only an IPv6 address";

// Whether a socket can be bound on ::1, as a listener over IPv6 will be.
inline bool hasIPv6Loopback()
{
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in6 where{};
    where.sin6_family = AF_INET6;
    where.sin6_addr = in6addr_loopback;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&where), sizeof where) == 0;
    ::close(fd);
    return bound;
}

// A name the resolver knows as ::1 and by no IPv4 address, as Debian's
// /etc/hosts writes "ip6-localhost"; empty when there is none. Asked for
// either family, as the game asks (asked for IPv4 alone, the resolver
// answers such a name with 127.0.0.1).
inline QString ipv6OnlyLoopbackName()
{
    const auto onlyIPv6Loopback = [](const char *name) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *answer = nullptr;
        if (::getaddrinfo(name, nullptr, &hints, &answer) != 0 || !answer)
            return false;
        bool only = true;
        for (const addrinfo *entry = answer; entry; entry = entry->ai_next) {
            const auto *address = reinterpret_cast<const sockaddr_in6 *>(entry->ai_addr);
            only =
                only && entry->ai_family == AF_INET6 && IN6_IS_ADDR_LOOPBACK(&address->sin6_addr);
        }
        ::freeaddrinfo(answer);
        return only;
    };
    for (const char *name :
         {"ip6-localhost", "ip6-loopback", "localhost6", "localhost6.localdomain6"}) {
        if (onlyIPv6Loopback(name))
            return QString::fromLatin1(name);
    }
    return {};
}

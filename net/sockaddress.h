#pragma once

#include <QString>

#include <sys/socket.h>

#include <cstdint>

// One address and port of either family, as the system takes and gives it.
// The socket's IPv4 paths read and write it as they always did; an IPv6
// address simply travels beside them in the same place.
class SockAddress
{
public:
    SockAddress();
    // address in network byte order, port in host byte order.
    static SockAddress ipv4(std::uint32_t address, std::uint16_t port);
    // What getpeername, getsockname or accept left in it.
    static SockAddress ofPeer(int fd);
    static SockAddress ofLocal(int fd);
    // Copied from a resolver's answer.
    static SockAddress of(const sockaddr *address, socklen_t length);

    int family() const { return m_storage.ss_family; }
    bool isIPv6() const { return family() == AF_INET6; }
    const sockaddr *data() const { return reinterpret_cast<const sockaddr *>(&m_storage); }
    sockaddr *data() { return reinterpret_cast<sockaddr *>(&m_storage); }
    socklen_t length() const { return m_length; }
    // For the calls that fill it in: the room there is, then what was used.
    socklen_t *lengthToFill();

    // Host byte order; 0 for an address of neither family.
    std::uint16_t port() const;
    void setPort(std::uint16_t port);
    // On this computer: 127.0.0.0/8, ::1, or an IPv4 loopback address
    // carried in IPv6 (::ffff:127.x.y.z).
    bool isLoopback() const;
    // "10.0.0.7" or "2001:db8::7"; empty for neither family.
    QString text() const;

private:
    sockaddr_storage m_storage{};
    socklen_t m_length = 0;
};

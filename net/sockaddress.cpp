#include "net/sockaddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <array>
#include <cstring>

namespace {

sockaddr_in &asIPv4(sockaddr_storage &s)
{
    return reinterpret_cast<sockaddr_in &>(s);
}

sockaddr_in6 &asIPv6(sockaddr_storage &s)
{
    return reinterpret_cast<sockaddr_in6 &>(s);
}

const sockaddr_in &asIPv4(const sockaddr_storage &s)
{
    return reinterpret_cast<const sockaddr_in &>(s);
}

const sockaddr_in6 &asIPv6(const sockaddr_storage &s)
{
    return reinterpret_cast<const sockaddr_in6 &>(s);
}

} // namespace

SockAddress::SockAddress() = default;

SockAddress SockAddress::ipv4(std::uint32_t address, std::uint16_t port)
{
    SockAddress a;
    sockaddr_in &in = asIPv4(a.m_storage);
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    in.sin_addr.s_addr = address;
    a.m_length = sizeof in;
    return a;
}

SockAddress SockAddress::of(const sockaddr *address, socklen_t length)
{
    SockAddress a;
    if (length > sizeof a.m_storage)
        return a;
    std::memcpy(&a.m_storage, address, length);
    a.m_length = length;
    return a;
}

SockAddress SockAddress::ofPeer(int fd)
{
    SockAddress a;
    if (fd < 0 || ::getpeername(fd, a.data(), a.lengthToFill()) != 0)
        return {};
    return a;
}

SockAddress SockAddress::ofLocal(int fd)
{
    SockAddress a;
    if (fd < 0 || ::getsockname(fd, a.data(), a.lengthToFill()) != 0)
        return {};
    return a;
}

socklen_t *SockAddress::lengthToFill()
{
    m_length = sizeof m_storage;
    return &m_length;
}

std::uint16_t SockAddress::port() const
{
    const sockaddr_storage &s = m_storage;
    if (family() == AF_INET)
        return ntohs(asIPv4(s).sin_port);
    if (family() == AF_INET6)
        return ntohs(asIPv6(s).sin6_port);
    return 0;
}

void SockAddress::setPort(std::uint16_t port)
{
    if (family() == AF_INET)
        asIPv4(m_storage).sin_port = htons(port);
    else if (family() == AF_INET6)
        asIPv6(m_storage).sin6_port = htons(port);
}

bool SockAddress::isLoopback() const
{
    const sockaddr_storage &s = m_storage;
    if (family() == AF_INET)
        return (ntohl(asIPv4(s).sin_addr.s_addr) >> 24) == 127;
    if (family() != AF_INET6)
        return false;
    const in6_addr &address = asIPv6(s).sin6_addr;
    if (IN6_IS_ADDR_LOOPBACK(&address))
        return true;
    return IN6_IS_ADDR_V4MAPPED(&address) && address.s6_addr[12] == 127;
}

QString SockAddress::text() const
{
    const sockaddr_storage &s = m_storage;
    std::array<char, INET6_ADDRSTRLEN> buffer{};
    if (family() == AF_INET)
        inet_ntop(AF_INET, &asIPv4(s).sin_addr, buffer.data(), buffer.size());
    else if (family() == AF_INET6)
        inet_ntop(AF_INET6, &asIPv6(s).sin6_addr, buffer.data(), buffer.size());
    return QString::fromLatin1(buffer.data());
}

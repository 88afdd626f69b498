#include "net/sockresolve.h"

#include "net/hostcache.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <array>

std::optional<std::uint16_t> resolvePortName(const QString &name, bool datagram)
{
    if (looksLikeDottedAddress(name)) {
        bool ok = false;
        const uint value = name.toUInt(&ok, 10);
        // A number with trailing junk or out of range names no port.
        if (!ok || value > 65535)
            return std::nullopt;
        for (QChar c : name) {
            if (!c.isDigit())
                return std::nullopt;
        }
        return static_cast<std::uint16_t>(value);
    }
    if (name.isEmpty())
        return std::nullopt;
    const QByteArray service = name.toLocal8Bit();
    servent entry{};
    servent *found = nullptr;
    std::array<char, 4096> buffer{};
    if (getservbyname_r(service.constData(), datagram ? "udp" : "tcp", &entry, buffer.data(),
                        buffer.size(), &found) != 0 ||
        !found)
        return std::nullopt;
    return ntohs(static_cast<std::uint16_t>(found->s_port));
}

bool looksLikeDottedAddress(const QString &name)
{
    return !name.isEmpty() && name.front() >= u'0' && name.front() <= u'9';
}

std::optional<std::uint32_t> readDottedAddress(const QString &text)
{
    in_addr address{};
    if (inet_aton(text.toLatin1().constData(), &address) == 0)
        return std::nullopt;
    return address.s_addr;
}

std::optional<std::uint32_t> resolveHostName(const QString &name)
{
    if (auto cached = HostCache::find(name))
        return cached;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *answer = nullptr;
    if (getaddrinfo(name.toLocal8Bit().constData(), nullptr, &hints, &answer) != 0 || !answer)
        return std::nullopt;
    const auto address = reinterpret_cast<const sockaddr_in *>(answer->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(answer);
    HostCache::add(name, address);
    return address;
}

std::optional<SockAddress> readIPv6Address(const QString &text)
{
    // Every IPv6 address has a colon, no IPv4 address or host name has one.
    if (!text.contains(u':'))
        return std::nullopt;
    QString bare = text;
    if (bare.startsWith(u'[') && bare.endsWith(u']'))
        bare = bare.mid(1, bare.size() - 2);
    addrinfo hints{};
    hints.ai_family = AF_INET6;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo *answer = nullptr;
    if (getaddrinfo(bare.toLatin1().constData(), nullptr, &hints, &answer) != 0 || !answer)
        return std::nullopt;
    const SockAddress address = SockAddress::of(answer->ai_addr, answer->ai_addrlen);
    freeaddrinfo(answer);
    return address;
}

std::optional<SockAddress> resolveHostAddress(const QString &name)
{
    if (auto cached = HostCache::find(name))
        return SockAddress::ipv4(*cached, 0);
    if (name.isEmpty())
        return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *answer = nullptr;
    if (getaddrinfo(name.toLocal8Bit().constData(), nullptr, &hints, &answer) != 0 || !answer)
        return std::nullopt;
    std::optional<SockAddress> ipv6;
    std::optional<std::uint32_t> ipv4;
    for (const addrinfo *entry = answer; entry && !ipv4; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET)
            ipv4 = reinterpret_cast<const sockaddr_in *>(entry->ai_addr)->sin_addr.s_addr;
        else if (entry->ai_family == AF_INET6 && !ipv6)
            ipv6 = SockAddress::of(entry->ai_addr, entry->ai_addrlen);
    }
    freeaddrinfo(answer);
    if (!ipv4)
        return ipv6;
    HostCache::add(name, *ipv4);
    return SockAddress::ipv4(*ipv4, 0);
}

QString dottedAddress(std::uint32_t address)
{
    in_addr in{};
    in.s_addr = address;
    std::array<char, INET_ADDRSTRLEN> text{};
    inet_ntop(AF_INET, &in, text.data(), text.size());
    return QString::fromLatin1(text.data());
}

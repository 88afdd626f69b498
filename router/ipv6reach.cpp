#include "router/ipv6reach.h"

#include <QDeadlineTimer>
#include <QNetworkInterface>

namespace router {

bool isGlobalIPv6(const QHostAddress &address)
{
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return false;
    // The first three bits 001: everything handed out for the internet.
    return (address.toIPv6Address()[0] & 0xe0) == 0x20;
}

QString addressForFriends(const QList<OwnIPv6Address> &own)
{
    const OwnIPv6Address *best = nullptr;
    for (const OwnIPv6Address &candidate : own) {
        if (!isGlobalIPv6(candidate.address) || candidate.deprecated)
            continue;
        if (!best || (best->temporary && !candidate.temporary))
            best = &candidate;
    }
    return best ? best->address.toString() : QString();
}

QList<OwnIPv6Address> ownIPv6Addresses()
{
    QList<OwnIPv6Address> own;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv6Protocol)
                continue;
            OwnIPv6Address address;
            address.address = entry.ip();
            address.temporary = entry.isTemporary();
            address.deprecated = entry.isLifetimeKnown() && entry.preferredLifetime().hasExpired();
            own.append(address);
        }
    }
    return own;
}

} // namespace router

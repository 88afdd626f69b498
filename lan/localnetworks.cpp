#include "lan/localnetworks.h"

#include <QNetworkInterface>

LocalNetworks LocalNetworks::current()
{
    QList<LocalNetwork> found;
    for (const QNetworkInterface &face : QNetworkInterface::allInterfaces()) {
        if (!face.flags().testFlag(QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry &entry : face.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            found.append(LocalNetwork{entry.ip(), entry.broadcast(), entry.prefixLength()});
        }
    }
    return LocalNetworks(std::move(found));
}

QList<QHostAddress> LocalNetworks::broadcastAddresses() const
{
    QList<QHostAddress> targets;
    for (const LocalNetwork &network : networks_) {
        if (network.address.isLoopback() || network.broadcast.isNull())
            continue;
        if (!targets.contains(network.broadcast))
            targets.append(network.broadcast);
    }
    return targets;
}

QList<QHostAddress> LocalNetworks::reachableAddresses() const
{
    QList<QHostAddress> addresses;
    for (const LocalNetwork &network : networks_) {
        if (!network.address.isLoopback() && !addresses.contains(network.address))
            addresses.append(network.address);
    }
    return addresses;
}

bool LocalNetworks::contains(const QHostAddress &sender) const
{
    // An IPv4 sender may come as ::ffff:a.b.c.d on a socket of both kinds.
    bool isIpv4 = false;
    const QHostAddress plain(sender.toIPv4Address(&isIpv4));
    if (!isIpv4)
        return false;
    for (const LocalNetwork &network : networks_) {
        if (plain.isInSubnet(network.address, network.prefixLength))
            return true;
    }
    return false;
}

bool LocalNetworks::isOwnAddress(const QHostAddress &address) const
{
    bool isIpv4 = false;
    const QHostAddress plain(address.toIPv4Address(&isIpv4));
    if (!isIpv4)
        return false;
    for (const LocalNetwork &network : networks_) {
        if (network.address == plain)
            return true;
    }
    return false;
}

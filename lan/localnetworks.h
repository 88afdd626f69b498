#pragma once

#include <QHostAddress>
#include <QList>

// The IPv4 networks this computer is directly on, read afresh each time: a
// laptop may join another network while it hosts.
struct LocalNetwork
{
    QHostAddress address;
    QHostAddress broadcast;
    int prefixLength = 0;
};

class LocalNetworks
{
public:
    // Every up interface's IPv4 address, loopback ones too.
    static LocalNetworks current();
    explicit LocalNetworks(QList<LocalNetwork> networks) : networks_(std::move(networks)) {}

    // Where an announcement reaches everybody on each network (never
    // 255.255.255.255, which needs a default route to go anywhere).
    QList<QHostAddress> broadcastAddresses() const;
    // The addresses others reach this computer at: all but loopback.
    QList<QHostAddress> reachableAddresses() const;
    // Whether `sender` is on one of these networks, so that an answer to it
    // goes no further than the cable.
    bool contains(const QHostAddress &sender) const;
    // Whether `address` is this computer's own.
    bool isOwnAddress(const QHostAddress &address) const;

private:
    QList<LocalNetwork> networks_;
};

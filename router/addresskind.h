#pragma once

#include <QHostAddress>

namespace router {

// What an address the router calls its own outside address is worth to
// friends on the internet.
enum class AddressKind {
    // Reachable from the internet.
    Public,
    // A home or local range (10/8, 172.16/12, 192.168/16, loopback,
    // link-local, unspecified): another router sits between ours and the
    // internet.
    Private,
    // 100.64.0.0/10: the provider's own NAT, one address for many customers.
    Shared,
};

// Pure: the kind of an IPv4 address. Anything that is not IPv4 counts as
// private, since nobody can be told to join it.
AddressKind classify(const QHostAddress &address);

} // namespace router

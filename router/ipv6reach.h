#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

namespace router {

// One of this computer's IPv6 addresses, as the system lists it.
struct OwnIPv6Address
{
    QHostAddress address;
    // A privacy address: it changes every day or so, so a friend told it
    // today may not reach it tomorrow.
    bool temporary = false;
    // Past its preferred lifetime: on its way out.
    bool deprecated = false;
};

// Pure: whether friends on the internet can reach an address at all, that
// is, whether it is a global unicast IPv6 address (2000::/3). Loopback,
// link-local, unique local (fc00::/7), multicast and addresses carried from
// IPv4 are not.
bool isGlobalIPv6(const QHostAddress &address);

// Pure: the address to give friends on the internet among `own`: a global
// one, a lasting one before a privacy address, never a deprecated one.
// Empty when there is none.
QString addressForFriends(const QList<OwnIPv6Address> &own);

// This computer's IPv6 addresses now, on the interfaces that are up.
QList<OwnIPv6Address> ownIPv6Addresses();

} // namespace router

#include "router/addresskind.h"

#include <array>
#include <utility>

namespace router {

AddressKind classify(const QHostAddress &address)
{
    bool isIpv4 = false;
    address.toIPv4Address(&isIpv4);
    if (!isIpv4 || address.protocol() != QAbstractSocket::IPv4Protocol)
        return AddressKind::Private;
    if (address.isInSubnet(QHostAddress(QStringLiteral("100.64.0.0")), 10))
        return AddressKind::Shared;
    static const std::array<std::pair<const char *, int>, 6> local = {{
        {"0.0.0.0", 8},
        {"10.0.0.0", 8},
        {"127.0.0.0", 8},
        {"169.254.0.0", 16},
        {"172.16.0.0", 12},
        {"192.168.0.0", 16},
    }};
    for (const auto &[network, bits] : local) {
        if (address.isInSubnet(QHostAddress(QLatin1String(network)), bits))
            return AddressKind::Private;
    }
    return AddressKind::Public;
}

} // namespace router

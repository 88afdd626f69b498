#include "router/upnpprotocol.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>

#include <cstring>

namespace router {

namespace {

// UPnP IGD error codes the program answers to.
constexpr int kConflictInMappingEntry = 718;
constexpr int kOnlyPermanentLeasesSupported = 725;

QString upnpReason(int code)
{
    const char *text = strupnperror(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("error %1").arg(code);
}

} // namespace

struct UpnpProtocol::Gateway
{
    UPNPUrls urls{};
    IGDdatas data{};
    char lanAddress[64] = {};

    ~Gateway() { FreeUPNPUrls(&urls); }

    const char *control() const { return urls.controlURL; }
    const char *service() const { return data.first.servicetype; }
};

UpnpProtocol::UpnpProtocol(std::chrono::milliseconds discoveryWait) : discoveryWait_(discoveryWait)
{}

UpnpProtocol::~UpnpProtocol() = default;

bool UpnpProtocol::find(QString &externalAddress)
{
    gateway_.reset();
    int error = 0;
    UPNPDev *devices = upnpDiscover(int(discoveryWait_.count()), nullptr, nullptr,
                                    UPNP_LOCAL_PORT_ANY, 0, 2, &error);
    if (!devices)
        return false;
    auto gateway = std::make_unique<Gateway>();
    const int found = UPNP_GetValidIGD(devices, &gateway->urls, &gateway->data, gateway->lanAddress,
                                       sizeof gateway->lanAddress);
    freeUPNPDevlist(devices);
    // 1: a connected gateway, 2: one that says it is not connected (it may
    // still map); 3 is some other device, 0 none.
    if (found != 1 && found != 2) {
        if (found == 3)
            FreeUPNPUrls(&gateway->urls);
        gateway->urls = UPNPUrls{};
        return false;
    }
    char external[64] = {};
    if (UPNP_GetExternalIPAddress(gateway->control(), gateway->service(), external) ==
        UPNPCOMMAND_SUCCESS)
        externalAddress = QString::fromLatin1(external);
    // Routers say 0.0.0.0 when they have no outside address worth telling.
    if (externalAddress == QLatin1String("0.0.0.0"))
        externalAddress.clear();
    gateway_ = std::move(gateway);
    return true;
}

MappingAnswer UpnpProtocol::map(quint16 port, std::chrono::seconds lease)
{
    MappingAnswer answer;
    if (!gateway_)
        return answer;
    const QByteArray portText = QByteArray::number(port);

    char client[64] = {};
    char clientPort[16] = {};
    char description[96] = {};
    char enabled[8] = {};
    char duration[24] = {};
    if (UPNP_GetSpecificPortMappingEntry(gateway_->control(), gateway_->service(), portText, "TCP",
                                         nullptr, client, clientPort, description, enabled,
                                         duration) == UPNPCOMMAND_SUCCESS &&
        std::strcmp(client, gateway_->lanAddress) != 0) {
        answer.result = MappingAnswer::Result::Refused;
        answer.reason = QStringLiteral("the port already leads to another computer (%1)")
                            .arg(QString::fromLatin1(client));
        return answer;
    }

    QByteArray leaseText = QByteArray::number(qint64(lease.count()));
    int code = UPNP_AddPortMapping(gateway_->control(), gateway_->service(), portText, portText,
                                   gateway_->lanAddress, "Zandor", "TCP", nullptr, leaseText);
    if (code == kOnlyPermanentLeasesSupported) {
        // Such a router keeps the port until it is given back; the program
        // gives it back when hosting ends.
        leaseText = "0";
        code = UPNP_AddPortMapping(gateway_->control(), gateway_->service(), portText, portText,
                                   gateway_->lanAddress, "Zandor", "TCP", nullptr, leaseText);
    }
    if (code == UPNPCOMMAND_SUCCESS) {
        answer.result = MappingAnswer::Result::Mapped;
        answer.granted = std::chrono::seconds(leaseText.toLongLong());
        return answer;
    }
    if (code < 0)
        return answer; // no usable answer from the gateway
    answer.result = MappingAnswer::Result::Refused;
    answer.reason = code == kConflictInMappingEntry
                        ? QStringLiteral("the port already leads to another computer")
                        : upnpReason(code);
    return answer;
}

void UpnpProtocol::unmap(quint16 port)
{
    if (!gateway_)
        return;
    const QByteArray portText = QByteArray::number(port);
    UPNP_DeletePortMapping(gateway_->control(), gateway_->service(), portText, "TCP", nullptr);
}

} // namespace router

#pragma once

#include "router/mappingprotocol.h"

#include <chrono>
#include <memory>

namespace router {

// UPnP Internet Gateway Device through miniupnpc: a search on the local
// network that waits `discoveryWait` for the answers to each kind of device
// it asks for (miniupnpc asks for a few in turn), then SOAP calls to the
// gateway found.
class UpnpProtocol : public MappingProtocol
{
public:
    explicit UpnpProtocol(std::chrono::milliseconds discoveryWait = std::chrono::milliseconds(500));
    ~UpnpProtocol() override;

    bool find(QString &externalAddress) override;
    MappingAnswer map(quint16 port, std::chrono::seconds lease) override;
    void unmap(quint16 port) override;

private:
    struct Gateway;
    std::unique_ptr<Gateway> gateway_;
    std::chrono::milliseconds discoveryWait_;
};

} // namespace router

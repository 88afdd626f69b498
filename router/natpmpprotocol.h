#pragma once

#include "router/mappingprotocol.h"

#include <chrono>
#include <memory>

namespace router {

// NAT-PMP (and the PCP routers that still answer it) through libnatpmp.
// The library's own retries would go on for a minute; each request here
// gives up after `patience`.
class NatPmpProtocol : public MappingProtocol
{
public:
    explicit NatPmpProtocol(std::chrono::milliseconds patience = std::chrono::milliseconds(2000));
    ~NatPmpProtocol() override;

    bool find(QString &externalAddress) override;
    MappingAnswer map(quint16 port, std::chrono::seconds lease) override;
    void unmap(quint16 port) override;

private:
    struct Session;
    std::unique_ptr<Session> session_;
    std::chrono::milliseconds patience_;
};

} // namespace router

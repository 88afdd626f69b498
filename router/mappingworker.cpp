#include "router/mappingworker.h"

#include "router/addresskind.h"
#include "router/natpmpprotocol.h"
#include "router/portmapping.h"
#include "router/upnpprotocol.h"

#include <QHostAddress>

namespace router {

MappingWorker::MappingWorker()
{
    protocols_.push_back(std::make_unique<NatPmpProtocol>());
    protocols_.push_back(std::make_unique<UpnpProtocol>());
}

MappingWorker::~MappingWorker() = default;

void MappingWorker::open(quint16 port, qint64 leaseSeconds)
{
    port_ = port;
    leaseSeconds_ = leaseSeconds;
    QString external;
    for (const auto &protocol : protocols_) {
        if (protocol->find(external)) {
            router_ = protocol.get();
            break;
        }
    }
    if (!router_) {
        emit failed(int(PortMapping::Failure::NoRouter), PortMapping::kNoRouter.arg(port));
        return;
    }
    // An outside address in a private or shared range is the provider's,
    // not ours: a forwarded port would still not be reached.
    if (!external.isEmpty() && classify(QHostAddress(external)) != AddressKind::Public) {
        emit failed(int(PortMapping::Failure::SharedAddress), PortMapping::kSharedAddress);
        return;
    }
    const MappingAnswer answer = router_->map(port, std::chrono::seconds(leaseSeconds));
    if (answer.result != MappingAnswer::Result::Mapped) {
        refused(answer);
        return;
    }
    mapped_ = true;
    emit opened(external, answer.granted.count());
}

void MappingWorker::renew()
{
    if (!mapped_)
        return;
    const MappingAnswer answer = router_->map(port_, std::chrono::seconds(leaseSeconds_));
    if (answer.result != MappingAnswer::Result::Mapped) {
        mapped_ = false;
        refused(answer);
        return;
    }
    emit renewed(answer.granted.count());
}

void MappingWorker::close()
{
    if (!mapped_)
        return;
    mapped_ = false;
    router_->unmap(port_);
}

void MappingWorker::refused(const MappingAnswer &answer)
{
    if (answer.result == MappingAnswer::Result::NoAnswer)
        emit failed(int(PortMapping::Failure::NoRouter), PortMapping::kNoRouter.arg(port_));
    else
        emit failed(int(PortMapping::Failure::Refused),
                    PortMapping::kRefused.arg(port_).arg(answer.reason));
}

} // namespace router

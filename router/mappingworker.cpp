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
    router_ = nullptr;
    // The first protocol that tells an outside address is the one used. A
    // router may answer one protocol without an address and tell it on the
    // other.
    QString external;
    bool answered = false;
    for (const auto &protocol : protocols_) {
        QString told;
        if (!protocol->find(told))
            continue;
        answered = true;
        if (!told.isEmpty()) {
            router_ = protocol.get();
            external = told;
            break;
        }
    }
    if (!answered) {
        emit failed(int(PortMapping::Failure::NoRouter), PortMapping::kNoRouter.arg(port));
        return;
    }
    // A router that answers but has no outside address worth telling (as
    // miniupnpd does when its own is private or shared), or one in a
    // private or shared range: the provider's, not ours, and a forwarded
    // port would still not be reached.
    if (!router_ || classify(QHostAddress(external)) != AddressKind::Public) {
        router_ = nullptr;
        emit failed(int(PortMapping::Failure::SharedAddress), PortMapping::kSharedAddress);
        return;
    }
    {
        const std::lock_guard lock(endMutex_);
        if (ending_)
            return;
        mayHoldPort_ = true;
    }
    const MappingAnswer answer = router_->map(port, std::chrono::seconds(leaseSeconds));
    if (answer.result != MappingAnswer::Result::Mapped) {
        refused(answer);
        return;
    }
    mapped_ = true;
    emit opened(external, answer.granted.count());
}

bool MappingWorker::end()
{
    const std::lock_guard lock(endMutex_);
    ending_ = true;
    return mayHoldPort_;
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

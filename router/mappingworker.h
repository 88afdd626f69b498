#pragma once

#include "router/mappingprotocol.h"

#include <QObject>
#include <QString>

#include <memory>
#include <mutex>
#include <vector>

namespace router {

// The side of PortMapping that talks to the router, on its own thread:
// NAT-PMP first, then UPnP; the one that answers is used to the end.
class MappingWorker : public QObject
{
    Q_OBJECT
public:
    MappingWorker();
    ~MappingWorker() override;

    // Called from the owner's thread when the program ends: no port is
    // asked for from now on. True when the router may hold one for us,
    // which the owner then waits to give back.
    bool end();

    void open(quint16 port, qint64 leaseSeconds);
    void renew();
    void close();

signals:
    void opened(const QString &externalAddress, qint64 grantedSeconds);
    void renewed(qint64 grantedSeconds);
    // `kind` is a PortMapping::Failure.
    void failed(int kind, const QString &text);

private:
    void refused(const MappingAnswer &answer);

    std::vector<std::unique_ptr<MappingProtocol>> protocols_;
    MappingProtocol *router_ = nullptr;
    quint16 port_ = 0;
    qint64 leaseSeconds_ = 0;
    bool mapped_ = false;
    // Guards the two below, which the owner's thread reads at the end.
    std::mutex endMutex_;
    bool ending_ = false;
    bool mayHoldPort_ = false;
};

} // namespace router

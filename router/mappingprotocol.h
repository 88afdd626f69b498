#pragma once

#include <QString>

#include <chrono>

namespace router {

// What a router said to one request for a port.
struct MappingAnswer
{
    enum class Result {
        // The port now leads to this computer for `granted`.
        Mapped,
        // Nobody answered in time.
        NoAnswer,
        // The router answered no; `reason` says why in plain words.
        Refused,
    };
    Result result = Result::NoAnswer;
    std::chrono::seconds granted{0};
    QString reason;
};

// One way of asking a router for a port (NAT-PMP, UPnP IGD). Every call
// blocks for a bounded time, so it runs on the mapping's worker thread only.
class MappingProtocol
{
public:
    virtual ~MappingProtocol() = default;

    // Looks for a router that speaks this protocol. True when one answered;
    // `externalAddress` is then what it calls its outside address (empty
    // when it did not say).
    virtual bool find(QString &externalAddress) = 0;
    // Asks for TCP `port` outside to lead to `port` on this computer; also
    // how a lease is renewed.
    virtual MappingAnswer map(quint16 port, std::chrono::seconds lease) = 0;
    // Gives the port back.
    virtual void unmap(quint16 port) = 0;
};

} // namespace router

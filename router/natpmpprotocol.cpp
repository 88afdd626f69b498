#include "router/natpmpprotocol.h"

#include <QDeadlineTimer>
#include <QFile>

#include <arpa/inet.h>
#include <natpmp.h>
#include <sys/select.h>

namespace router {

namespace {

// The default gateway of the network this thread is in. libnatpmp reads
// /proc/net/route, which shows the network of the program's first thread;
// this thread's own table is the one its sockets use.
bool defaultGateway(in_addr_t &gateway)
{
    QFile table(QStringLiteral("/proc/thread-self/net/route"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    table.readLine(); // the column names
    for (QByteArray line = table.readLine(); !line.isEmpty(); line = table.readLine()) {
        // Iface Destination Gateway Flags ..., in hex, in the kernel's byte order
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields[1] != "00000000")
            continue;
        bool ok = false;
        const uint value = fields[2].toUInt(&ok, 16);
        if (ok && value != 0) {
            gateway = in_addr_t(value);
            return true;
        }
    }
    return false;
}

// The library's codes below zero mix the router's own answers with its
// failures to hear one.
bool routerAnswered(int code)
{
    switch (code) {
    case NATPMP_ERR_UNSUPPORTEDVERSION:
    case NATPMP_ERR_UNSUPPORTEDOPCODE:
    case NATPMP_ERR_UNDEFINEDERROR:
    case NATPMP_ERR_NOTAUTHORIZED:
    case NATPMP_ERR_NETWORKFAILURE:
    case NATPMP_ERR_OUTOFRESOURCES:
        return true;
    default:
        return code >= 0;
    }
}

QString natPmpReason(int code)
{
    switch (code) {
    case NATPMP_ERR_NOTAUTHORIZED:
        return QStringLiteral("it does not allow this computer to open ports");
    case NATPMP_ERR_NETWORKFAILURE:
        return QStringLiteral("it has no connection to the internet");
    case NATPMP_ERR_OUTOFRESOURCES:
        return QStringLiteral("it has no room for another forwarded port");
    case NATPMP_ERR_UNSUPPORTEDOPCODE:
    case NATPMP_ERR_UNSUPPORTEDVERSION:
        return QStringLiteral("it does not support this request");
    default:
        return QStringLiteral("error %1").arg(code);
    }
}

} // namespace

struct NatPmpProtocol::Session
{
    natpmp_t handle{};

    ~Session() { closenatpmp(&handle); }

    // Waits for the answer to the request just sent, resending as the
    // library asks, until `patience` has passed. Returns the library's code.
    int answer(natpmpresp_t &response, std::chrono::milliseconds patience)
    {
        const QDeadlineTimer deadline(patience);
        for (;;) {
            timeval wait{};
            getnatpmprequesttimeout(&handle, &wait);
            const qint64 leftMs = deadline.remainingTime();
            if (leftMs <= 0)
                return NATPMP_TRYAGAIN;
            const qint64 waitMs = qint64(wait.tv_sec) * 1000 + wait.tv_usec / 1000;
            if (waitMs > leftMs) {
                wait.tv_sec = leftMs / 1000;
                wait.tv_usec = (leftMs % 1000) * 1000;
            }
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(handle.s, &readable);
            select(handle.s + 1, &readable, nullptr, nullptr, &wait);
            const int code = readnatpmpresponseorretry(&handle, &response);
            if (code != NATPMP_TRYAGAIN)
                return code;
        }
    }
};

NatPmpProtocol::NatPmpProtocol(std::chrono::milliseconds patience) : patience_(patience) {}

NatPmpProtocol::~NatPmpProtocol() = default;

bool NatPmpProtocol::find(QString &externalAddress)
{
    session_ = std::make_unique<Session>();
    in_addr_t gateway = 0;
    const bool known = defaultGateway(gateway);
    if (initnatpmp(&session_->handle, known ? 1 : 0, gateway) != 0) {
        // No default gateway: nobody to ask. The handle holds no socket.
        session_->handle.s = -1;
        session_.reset();
        return false;
    }
    natpmpresp_t response{};
    if (sendpublicaddressrequest(&session_->handle) < 0) {
        session_.reset();
        return false;
    }
    const int code = session_->answer(response, patience_);
    if (!routerAnswered(code)) {
        session_.reset();
        return false;
    }
    // A router that answers with an error still speaks NAT-PMP: it simply
    // has no outside address to tell (no connection, or one it thinks is
    // not worth telling).
    externalAddress =
        code >= 0 ? QString::fromLatin1(inet_ntoa(response.pnu.publicaddress.addr)) : QString();
    return true;
}

MappingAnswer NatPmpProtocol::map(quint16 port, std::chrono::seconds lease)
{
    MappingAnswer answer;
    if (!session_)
        return answer;
    if (sendnewportmappingrequest(&session_->handle, NATPMP_PROTOCOL_TCP, port, port,
                                  uint32_t(lease.count())) < 0)
        return answer;
    natpmpresp_t response{};
    const int code = session_->answer(response, patience_);
    if (!routerAnswered(code))
        return answer;
    if (code < 0) {
        answer.result = MappingAnswer::Result::Refused;
        answer.reason = natPmpReason(code);
        return answer;
    }
    if (response.pnu.newportmapping.mappedpublicport != port) {
        // The router gave another outside port: ours is taken or not
        // allowed. The one it gave is of no use to friends, who are told
        // the game's port.
        const uint16_t offered = response.pnu.newportmapping.mappedpublicport;
        sendnewportmappingrequest(&session_->handle, NATPMP_PROTOCOL_TCP, port,
                                  response.pnu.newportmapping.mappedpublicport, 0);
        natpmpresp_t ignored{};
        session_->answer(ignored, patience_);
        answer.result = MappingAnswer::Result::Refused;
        answer.reason = QStringLiteral("it offered port %1 instead").arg(offered);
        return answer;
    }
    answer.result = MappingAnswer::Result::Mapped;
    answer.granted = std::chrono::seconds(response.pnu.newportmapping.lifetime);
    return answer;
}

void NatPmpProtocol::unmap(quint16 port)
{
    if (!session_)
        return;
    // A lifetime of 0 removes the mapping.
    if (sendnewportmappingrequest(&session_->handle, NATPMP_PROTOCOL_TCP, port, 0, 0) < 0)
        return;
    natpmpresp_t ignored{};
    session_->answer(ignored, patience_);
}

} // namespace router

#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

class QThread;

namespace router {

class MappingWorker;

// Asks the local router to forward a TCP port to this computer while the
// game is hosted, and gives it back at the end. The router is asked on a
// thread of its own, so the window and the hosted game never wait for it.
//
// The thread starts with the object: sockets to the router are made in the
// network the constructing thread is in.
class PortMapping : public QObject
{
    Q_OBJECT
public:
    enum class Failure { NoRouter, Refused, SharedAddress };

    static inline const QString kNoRouter =
        QStringLiteral("No router answered. Friends on the internet need port %1 forwarded to "
                       "this computer; see Help.");
    static inline const QString kRefused =
        QStringLiteral("The router refused to open port %1: %2.");
    // Said when the user turns the mapping off while hosting: routers
    // forget the connections that came in through a port they give back.
    static inline const QString kGivenBack =
        QStringLiteral("Port %1 is closed on the router again: friends on the internet can no "
                       "longer join, and those who joined through it lose their connection.");
    static inline const QString kSharedAddress =
        QStringLiteral("Your internet provider shares one address among many customers, so "
                       "friends on the internet cannot reach this computer over IPv4.");

    // An hour, renewed at half time; a crashed program's port goes back to
    // the router when it runs out.
    static constexpr std::chrono::seconds kLease{3600};
    // How long the end of hosting waits for the router to take the port back.
    static constexpr std::chrono::milliseconds kGoodbyeWait{3000};
    // How long it waits for a thread that holds no port to end.
    static constexpr std::chrono::milliseconds kIdleWait{100};

    explicit PortMapping(std::chrono::seconds lease = kLease, QObject *parent = nullptr);
    // Gives the port back, waiting at most kGoodbyeWait.
    ~PortMapping() override;

    // Asks for `port`; after stop() it may be asked again.
    void start(quint16 port);
    // Gives the port back in the background. True when the router was
    // forwarding it until now.
    bool stop();

signals:
    // The port leads here; friends on the internet join at
    // `externalAddress`.
    void mapped(const QString &externalAddress);
    // The router extended the lease.
    void renewed();
    // Said once; the router is not asked again.
    void failed(router::PortMapping::Failure kind, const QString &text);

private:
    void granted(std::chrono::seconds lease);

    QThread *thread_ = nullptr;
    MappingWorker *worker_ = nullptr;
    std::chrono::seconds lease_;
    QTimer renewal_;
    bool started_ = false;
    // The router said yes and nobody has given the port back since.
    bool forwarded_ = false;
};

} // namespace router

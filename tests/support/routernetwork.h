#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A small home network behind a real router, built from network namespaces
// for one test: "home" (192.168.77.2, the game's computer), "router" (the
// home's gateway at 192.168.77.1, with Debian's miniupnpd answering NAT-PMP
// and UPnP on the home side) and "internet" (a friend's computer beside the
// router's outside address). Over IPv6 the router only routes: home is
// 2001:db8:77::2, the friend 2001:db8:81::2. Nothing leads anywhere else.
// Everything is taken down again when the object goes, also after a failed
// assertion.
class RouterNetwork
{
public:
    static inline const QString kHomeAddress = QStringLiteral("192.168.77.2");
    static inline const QString kHomeIPv6 = QStringLiteral("2001:db8:77::2");

    // `outsidePrefix` is the first three parts of the outside range: the
    // router is .1 there, the friend .2.
    explicit RouterNetwork(QString outsidePrefix = QStringLiteral("81.0.0"));
    ~RouterNetwork();
    RouterNetwork(const RouterNetwork &) = delete;
    RouterNetwork &operator=(const RouterNetwork &) = delete;

    // Why the test cannot run here (not root, a tool missing); empty when
    // it can.
    static QString missingPart();

    // A port the router already forwards when its daemon starts, as if
    // another computer at home had asked for it: the lease runs for an hour.
    struct Lease
    {
        QString address;
        quint16 port = 0;
        QString description;
    };

    // How the router's daemon is set up.
    struct Daemon
    {
        // The shortest lease it grants, in seconds.
        int minLifetime = 4;
        // A permission line put before the rule that lets the home range map.
        QString firstRule;
        // Off, the router speaks UPnP IGD alone.
        bool natPmp = true;
        // On, a computer may map and remove only ports that lead to itself
        // over UPnP; off, any computer may remove any mapping, as many home
        // routers allow.
        bool secureMode = true;
        // Listed in its lease file before it starts, which it reloads.
        QList<Lease> leases;
    };

    bool build();
    // Starts miniupnpd in the router, in the foreground. Returns once it
    // listens.
    bool startDaemon(const Daemon &daemon);
    // The same with a Daemon as it comes.
    bool startDaemon();
    QString routerOutside() const { return outsidePrefix_ + QStringLiteral(".1"); }
    // What the daemon's lease file lists now, one mapping a line.
    QString leases() const;
    // The router's forwarding rules as nft lists them.
    QString forwardingRules() const;
    // What the daemon has written to its log so far.
    QString daemonLog();

    // Moves the calling thread into a network; sockets and threads made
    // from now on are that network's. leave() goes back to the test's own.
    bool enterHome() { return enter(home_); }
    bool enterInternet() { return enter(internet_); }
    bool leave();

private:
    bool enter(const QString &name);
    bool buildIPv6(const QString &homeEnd, const QString &routerHome, const QString &routerOut,
                   const QString &internetEnd);

    QString outsidePrefix_;
    QString home_;
    QString router_;
    QString internet_;
    QTemporaryDir folder_;
    QProcess daemon_;
    QString daemonOutput_;
    QStringList created_;
    int ownNetworkFd_ = -1;
};

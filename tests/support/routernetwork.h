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

    bool build();
    // Starts miniupnpd in the router, in the foreground, with `minLifetime`
    // seconds as the shortest lease it grants and `firstRule` (a permission
    // line) before the rule that lets the home range map. Returns once it
    // listens.
    bool startDaemon(int minLifetime = 4, const QString &firstRule = {});
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

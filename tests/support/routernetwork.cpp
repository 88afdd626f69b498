#include "tests/support/routernetwork.h"

#include "tests/support/wait.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace {

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning() << program << arguments << "failed:" << process.exitCode()
                   << process.errorString();
        return false;
    }
    return true;
}

QString yesNo(bool on)
{
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

bool ip(const QStringList &arguments)
{
    return run(QStringLiteral("ip"), arguments);
}

QString findTool(const QString &name)
{
    return QStandardPaths::findExecutable(name,
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                           QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
}

// The tables miniupnpd puts its rules in: a forward chain that lets
// everything through (a home router lets replies out) and the nat chains.
const char kRules[] = R"(table inet filter {
  chain forward { type filter hook forward priority 0; policy accept; jump miniupnpd; }
  chain miniupnpd { }
  chain prerouting { type nat hook prerouting priority -100; policy accept; jump prerouting_miniupnpd; }
  chain postrouting { type nat hook postrouting priority 100; policy accept; jump postrouting_miniupnpd; }
  chain prerouting_miniupnpd { }
  chain postrouting_miniupnpd { }
}
)";

} // namespace

RouterNetwork::RouterNetwork(QString outsidePrefix)
    : outsidePrefix_(std::move(outsidePrefix)),
      home_(QStringLiteral("zandor-home-%1").arg(::getpid())),
      router_(QStringLiteral("zandor-router-%1").arg(::getpid())),
      internet_(QStringLiteral("zandor-net-%1").arg(::getpid()))
{}

RouterNetwork::~RouterNetwork()
{
    leave();
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(5000)) {
            daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }
    for (const QString &name : created_)
        ip({"netns", "del", name});
}

QString RouterNetwork::missingPart()
{
    if (::geteuid() != 0)
        return QStringLiteral("a router between network namespaces needs root");
    for (const char *tool : {"ip", "nft", "miniupnpd"}) {
        if (findTool(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/install-deps.sh installs it)")
                .arg(QLatin1String(tool));
    }
    return {};
}

bool RouterNetwork::build()
{
    for (const QString &name : {home_, router_, internet_}) {
        if (!ip({"netns", "add", name}))
            return false;
        created_.append(name);
        if (!ip({"-n", name, "link", "set", "lo", "up"}))
            return false;
    }
    const QString pid = QString::number(::getpid());
    const QString homeEnd = QStringLiteral("zh") + pid;
    const QString routerHome = QStringLiteral("zrh") + pid;
    const QString routerOut = QStringLiteral("zro") + pid;
    const QString internetEnd = QStringLiteral("zi") + pid;
    const QString outside = outsidePrefix_ + QStringLiteral(".1/24");
    const QString friendAddress = outsidePrefix_ + QStringLiteral(".2/24");
    return ip({"link", "add", homeEnd, "netns", home_, "type", "veth", "peer", "name", routerHome,
               "netns", router_}) &&
           ip({"link", "add", routerOut, "netns", router_, "type", "veth", "peer", "name",
               internetEnd, "netns", internet_}) &&
           ip({"-n", home_, "addr", "add", kHomeAddress + "/24", "dev", homeEnd}) &&
           ip({"-n", home_, "link", "set", homeEnd, "up"}) &&
           ip({"-n", home_, "route", "add", "default", "via", "192.168.77.1"}) &&
           ip({"-n", router_, "addr", "add", "192.168.77.1/24", "dev", routerHome}) &&
           ip({"-n", router_, "link", "set", routerHome, "up"}) &&
           ip({"-n", router_, "addr", "add", outside, "dev", routerOut}) &&
           ip({"-n", router_, "link", "set", routerOut, "up"}) &&
           ip({"-n", internet_, "addr", "add", friendAddress, "dev", internetEnd}) &&
           ip({"-n", internet_, "link", "set", internetEnd, "up"}) &&
           ip({"netns", "exec", router_, "sysctl", "-qw", "net.ipv4.ip_forward=1"}) &&
           buildIPv6(homeEnd, routerHome, routerOut, internetEnd);
}

bool RouterNetwork::buildIPv6(const QString &homeEnd, const QString &routerHome,
                              const QString &routerOut, const QString &internetEnd)
{
    // Routed, not translated: the home computer's own global address is
    // the one friends reach. No duplicate detection, so the addresses work
    // at once.
    return ip({"-n", home_, "addr", "add", kHomeIPv6 + "/64", "dev", homeEnd, "nodad"}) &&
           ip({"-n", home_, "route", "add", "default", "via", "2001:db8:77::1"}) &&
           ip({"-n", router_, "addr", "add", "2001:db8:77::1/64", "dev", routerHome, "nodad"}) &&
           ip({"-n", router_, "addr", "add", "2001:db8:81::1/64", "dev", routerOut, "nodad"}) &&
           ip({"-n", internet_, "addr", "add", "2001:db8:81::2/64", "dev", internetEnd, "nodad"}) &&
           ip({"-n", internet_, "route", "add", "default", "via", "2001:db8:81::1"}) &&
           ip({"netns", "exec", router_, "sysctl", "-qw", "net.ipv6.conf.all.forwarding=1"});
}

bool RouterNetwork::startDaemon()
{
    return startDaemon(Daemon{});
}

bool RouterNetwork::startDaemon(const Daemon &daemon)
{
    if (!folder_.isValid())
        return false;
    const QString rules = folder_.filePath(QStringLiteral("rules.nft"));
    const QString config = folder_.filePath(QStringLiteral("miniupnpd.conf"));
    QFile rulesFile(rules);
    QFile configFile(config);
    if (!rulesFile.open(QIODevice::WriteOnly) || rulesFile.write(kRules) < 0 ||
        !configFile.open(QIODevice::WriteOnly))
        return false;
    rulesFile.close();
    const QString pid = QString::number(::getpid());
    const QString firstRule = daemon.firstRule.isEmpty() ? QString() : daemon.firstRule + '\n';
    const QString settings = QStringLiteral("ext_ifname=zro%1\n"
                                            "listening_ip=zrh%1\n"
                                            "enable_natpmp=%6\n"
                                            "enable_upnp=yes\n"
                                            "secure_mode=%7\n"
                                            "min_lifetime=%2\n"
                                            "lease_file=%3\n"
                                            "uuid=3b6e1a52-7f9c-4d2e-9a41-5d0c%5\n"
                                            "upnp_table_name=filter\n"
                                            "upnp_nat_table_name=filter\n"
                                            "upnp_forward_chain=miniupnpd\n"
                                            "upnp_nat_chain=prerouting_miniupnpd\n"
                                            "upnp_nat_postrouting_chain=postrouting_miniupnpd\n"
                                            "%4"
                                            "allow 1024-65535 192.168.77.0/24 1024-65535\n"
                                            "deny 0-65535 0.0.0.0/0 0-65535\n")
                                 .arg(pid)
                                 .arg(daemon.minLifetime)
                                 .arg(folder_.filePath(QStringLiteral("leases")))
                                 .arg(firstRule)
                                 .arg(pid.rightJustified(8, '0').right(8))
                                 .arg(yesNo(daemon.natPmp))
                                 .arg(yesNo(daemon.secureMode));
    configFile.write(settings.toUtf8());
    configFile.close();

    // One line a mapping: protocol, outside port, address, port, the time
    // the lease ends (seconds since 1970) and its description.
    QFile leaseFile(folder_.filePath(QStringLiteral("leases")));
    if (!leaseFile.open(QIODevice::WriteOnly))
        return false;
    const qint64 leaseEnd = QDateTime::currentSecsSinceEpoch() + 3600;
    for (const Lease &lease : daemon.leases) {
        leaseFile.write(QStringLiteral("TCP:%1:%2:%1:%3:%4\n")
                            .arg(lease.port)
                            .arg(lease.address)
                            .arg(leaseEnd)
                            .arg(lease.description)
                            .toUtf8());
    }
    leaseFile.close();
    if (!ip({"netns", "exec", router_, "nft", "-f", rules}))
        return false;

    daemon_.setProcessChannelMode(QProcess::MergedChannels);
    daemon_.start(QStringLiteral("ip"),
                  {"netns", "exec", router_, findTool(QStringLiteral("miniupnpd")), "-d", "-f",
                   config, "-P", folder_.filePath(QStringLiteral("miniupnpd.pid"))});
    // Its last words before it serves: the NAT-PMP socket when it speaks
    // NAT-PMP, the UPnP web server otherwise.
    const QLatin1String ready = daemon.natPmp ? QLatin1String("Listening for NAT-PMP")
                                              : QLatin1String("HTTP listening on port");
    return daemon_.waitForStarted(10000) &&
           waitUntil([&] { return daemonLog().contains(ready); }, 20000);
}

QString RouterNetwork::leases() const
{
    QFile file(folder_.filePath(QStringLiteral("leases")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString RouterNetwork::forwardingRules() const
{
    QProcess nft;
    nft.start(QStringLiteral("ip"), {"netns", "exec", router_, "nft", "list", "chain", "inet",
                                     "filter", "prerouting_miniupnpd"});
    nft.waitForFinished(30000);
    return QString::fromUtf8(nft.readAllStandardOutput());
}

QString RouterNetwork::daemonLog()
{
    daemonOutput_ += QString::fromUtf8(daemon_.readAll());
    return daemonOutput_;
}

bool RouterNetwork::enter(const QString &name)
{
    if (ownNetworkFd_ < 0)
        ownNetworkFd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const QByteArray path = QStringLiteral("/var/run/netns/%1").arg(name).toLocal8Bit();
    const int target = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    const bool moved = ownNetworkFd_ >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
    if (target >= 0)
        ::close(target);
    return moved;
}

bool RouterNetwork::leave()
{
    if (ownNetworkFd_ < 0)
        return true;
    const bool back = ::setns(ownNetworkFd_, CLONE_NEWNET) == 0;
    ::close(ownNetworkFd_);
    ownNetworkFd_ = -1;
    return back;
}

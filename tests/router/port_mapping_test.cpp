#include "router/portmapping.h"
#include "tests/support/routernetwork.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <optional>

namespace {

using router::PortMapping;

constexpr quint16 kGamePort = 7772;
const QString kHomeLease = QStringLiteral("TCP:7772:192.168.77.2:7772:");

// What a mapping job said, as it said it.
struct Heard
{
    QString address;
    bool mapped = false;
    int renewals = 0;
    std::optional<PortMapping::Failure> failure;
    QString text;
    int failures = 0;

    void listen(PortMapping &mapping)
    {
        QObject::connect(&mapping, &PortMapping::mapped, [this](const QString &external) {
            mapped = true;
            address = external;
        });
        QObject::connect(&mapping, &PortMapping::renewed, [this] { ++renewals; });
        QObject::connect(&mapping, &PortMapping::failed,
                         [this](PortMapping::Failure kind, const QString &words) {
                             failure = kind;
                             text = words;
                             ++failures;
                         });
    }
};

// A friend on the internet knocks at the router's outside address: true
// when a connection got through to `game`, false when it was refused.
bool friendGetsThrough(RouterNetwork &network, QTcpServer &game)
{
    if (!network.enterInternet())
        return false;
    QTcpSocket knock;
    knock.connectToHost(QHostAddress(network.routerOutside()), kGamePort);
    network.leave();
    const bool answered = waitUntil(
        [&] {
            return game.hasPendingConnections() ||
                   knock.state() == QAbstractSocket::UnconnectedState;
        },
        20000);
    if (!answered || !game.hasPendingConnections()) {
        qInfo() << "the friend's knock ended:" << knock.errorString();
        return false;
    }
    delete game.nextPendingConnection();
    return true;
}

// A mapping job made at home, so that its sockets are the home's, telling
// `heard` what it hears, and asked for the game's port. Null when home
// could not be entered or left.
std::unique_ptr<PortMapping> askFromHome(RouterNetwork &network, Heard &heard,
                                         std::chrono::seconds lease = PortMapping::kLease)
{
    if (!network.enterHome())
        return nullptr;
    auto mapping = std::make_unique<PortMapping>(lease);
    if (!network.leave())
        return nullptr;
    heard.listen(*mapping);
    mapping->start(kGamePort);
    return mapping;
}

// The copy at home hosts on the game's port and asks the router: the port
// leads to it with the router's outside address, a friend gets through,
// the short lease is renewed past its end, and once the job ends the port
// is given back: the router neither lists the lease nor keeps a rule for it.
TEST(PortMapping, TheRouterForwardsTheGamePortWhileHosting)
{
    if (const QString missing = RouterNetwork::missingPart(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing);
    RouterNetwork network;
    ASSERT_TRUE(network.build());
    ASSERT_TRUE(network.startDaemon());

    ASSERT_TRUE(network.enterHome());
    QTcpServer game;
    ASSERT_TRUE(game.listen(QHostAddress::AnyIPv4, kGamePort));
    ASSERT_TRUE(network.leave());
    constexpr std::chrono::seconds kShortLease{6};
    Heard heard;
    QElapsedTimer clock;
    clock.start();
    auto mapping = askFromHome(network, heard, kShortLease);
    ASSERT_TRUE(mapping);
    ASSERT_TRUE(waitUntil([&] { return heard.mapped || heard.failure; }, 30000))
        << qPrintable(network.daemonLog());
    qInfo() << "the router answered after" << clock.elapsed() << "ms";
    ASSERT_TRUE(heard.mapped) << qPrintable(heard.text) << qPrintable(network.daemonLog());
    EXPECT_EQ(heard.address.toStdString(), network.routerOutside().toStdString());
    EXPECT_TRUE(network.leases().contains(kHomeLease)) << qPrintable(network.leases());
    EXPECT_TRUE(friendGetsThrough(network, game));

    // Two renewals of a 6 s lease renewed at half time: the first lease
    // has run out by then, and only the renewal keeps the port open.
    ASSERT_TRUE(waitUntil([&] { return heard.renewals >= 2 || heard.failure; }, 60000))
        << qPrintable(network.daemonLog());
    EXPECT_FALSE(heard.failure) << qPrintable(heard.text);
    qInfo() << "second renewal after" << clock.elapsed() << "ms";
    EXPECT_TRUE(friendGetsThrough(network, game)) << "the renewed port no longer leads home";

    clock.restart();
    mapping.reset();
    qInfo() << "the port was given back in" << clock.elapsed() << "ms";
    EXPECT_FALSE(network.leases().contains(kHomeLease)) << qPrintable(network.leases());
    EXPECT_FALSE(network.forwardingRules().contains(QLatin1String("dport 7772")))
        << qPrintable(network.forwardingRules()) << qPrintable(network.daemonLog());
    EXPECT_EQ(heard.failures, 0);
}

// Another computer at home that forwards the game's port to itself, as a
// second copy of the game would.
const RouterNetwork::Lease kOtherComputer{QStringLiteral("192.168.77.3"), kGamePort,
                                          QStringLiteral("NAT-PMP 7772 tcp")};

// How the router's lease file lists `lease`.
QString leaseLine(const RouterNetwork::Lease &lease)
{
    return QStringLiteral("TCP:%1:%2:%1:").arg(lease.port).arg(lease.address);
}

// The rule that forwards `lease` to its computer.
QString ruleFor(const RouterNetwork::Lease &lease)
{
    return QStringLiteral("dport %1 dnat ip to %2:%1").arg(lease.port).arg(lease.address);
}

// What the router logs each time this computer asks it for the game's port.
const QRegularExpression kAskedOverNatPmp(QStringLiteral(
    R"(NAT-PMP port mapping request : 7772->192\.168\.77\.2:7772 tcp lifetime=[1-9])"));
const QRegularExpression kAskedOverUpnp(
    QStringLiteral(R"(SOAPAction: \S+#(AddPortMapping|GetSpecificPortMappingEntry)\b)"));

struct FailureCase
{
    const char *what;
    const char *outsidePrefix;
    // No daemon: no router answers at all.
    std::optional<RouterNetwork::Daemon> daemon;
    PortMapping::Failure kind;
    // How the words begin; a router may add its own details.
    QString text;
    // How the router logs a request for the port, and how often it hears
    // one; none for no router.
    const QRegularExpression *asked;
    int askedTimes;
};

// The words a refusal begins with, up to the router's own details.
QString refusal(const QString &reason)
{
    return PortMapping::kRefused.arg(kGamePort).arg(reason).chopped(1);
}

// Each way the router can fail the host is said once, in plain words, after
// asking the router once at most, and leaves no mapping behind. A port that
// already leads to another computer still leads there once the game has
// stopped asking.
TEST(PortMapping, EachFailureIsSaidOnceInPlainWords)
{
    if (const QString missing = RouterNetwork::missingPart(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing);
    RouterNetwork::Daemon denying;
    denying.firstRule = QStringLiteral("deny 7772 192.168.77.0/24 7772");
    RouterNetwork::Daemon taken;
    taken.leases = {kOtherComputer};
    // UPnP alone, on a router that would let this computer remove the
    // other's mapping.
    RouterNetwork::Daemon takenUpnpOnly = taken;
    takenUpnpOnly.natPmp = false;
    takenUpnpOnly.secureMode = false;
    const FailureCase cases[] = {
        {"no router", "81.0.0", std::nullopt, PortMapping::Failure::NoRouter,
         PortMapping::kNoRouter.arg(kGamePort), nullptr, 0},
        // A forwarded port would not be reached: it is not asked for.
        {"an outside address the provider shares", "100.64.0", RouterNetwork::Daemon{},
         PortMapping::Failure::SharedAddress, PortMapping::kSharedAddress, &kAskedOverNatPmp, 0},
        {"a router that does not let this computer have the port", "81.0.0", denying,
         PortMapping::Failure::Refused, refusal(QStringLiteral("it offered port ")),
         &kAskedOverNatPmp, 1},
        // NAT-PMP cannot say whose the port is: the router offers another.
        {"a port that leads to another computer, over NAT-PMP", "81.0.0", taken,
         PortMapping::Failure::Refused, refusal(QStringLiteral("it offered port ")),
         &kAskedOverNatPmp, 1},
        {"a port that leads to another computer, over UPnP", "81.0.0", takenUpnpOnly,
         PortMapping::Failure::Refused,
         refusal(QStringLiteral("the port already leads to another computer")), &kAskedOverUpnp, 1},
    };
    for (const FailureCase &c : cases) {
        SCOPED_TRACE(c.what);
        RouterNetwork network{QLatin1String(c.outsidePrefix)};
        ASSERT_TRUE(network.build());
        const QList<RouterNetwork::Lease> others =
            c.daemon ? c.daemon->leases : QList<RouterNetwork::Lease>{};
        if (c.daemon) {
            ASSERT_TRUE(network.startDaemon(*c.daemon));
        }
        for (const RouterNetwork::Lease &other : others) {
            ASSERT_TRUE(network.leases().contains(leaseLine(other)))
                << qPrintable(network.leases()) << qPrintable(network.daemonLog());
            ASSERT_TRUE(network.forwardingRules().contains(ruleFor(other)))
                << qPrintable(network.forwardingRules());
        }

        Heard heard;
        QElapsedTimer clock;
        clock.start();
        auto mapping = askFromHome(network, heard);
        ASSERT_TRUE(mapping);
        ASSERT_TRUE(waitUntil([&] { return heard.mapped || heard.failure; }, 30000))
            << qPrintable(network.daemonLog());
        qInfo() << c.what << "was told after" << clock.elapsed() << "ms:" << heard.text;
        EXPECT_FALSE(heard.mapped);
        EXPECT_EQ(heard.failure, c.kind) << qPrintable(heard.text);
        EXPECT_TRUE(heard.text.startsWith(c.text)) << qPrintable(heard.text);
        mapping.reset();
        EXPECT_EQ(heard.failures, 1);
        if (c.asked) {
            EXPECT_EQ(network.daemonLog().count(*c.asked), c.askedTimes)
                << qPrintable(network.daemonLog());
        }
        EXPECT_FALSE(network.leases().contains(RouterNetwork::kHomeAddress))
            << qPrintable(network.leases());
        for (const RouterNetwork::Lease &other : others) {
            EXPECT_TRUE(network.leases().contains(leaseLine(other)))
                << qPrintable(network.leases()) << qPrintable(network.daemonLog());
            EXPECT_TRUE(network.forwardingRules().contains(ruleFor(other)))
                << qPrintable(network.forwardingRules()) << qPrintable(network.daemonLog());
        }
    }
}

} // namespace

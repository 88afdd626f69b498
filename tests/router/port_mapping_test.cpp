#include "router/portmapping.h"
#include "tests/support/routernetwork.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>
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
    constexpr std::chrono::seconds kShortLease{6};
    auto mapping = std::make_unique<PortMapping>(kShortLease);
    ASSERT_TRUE(network.leave());
    Heard heard;
    heard.listen(*mapping);

    QElapsedTimer clock;
    clock.start();
    mapping->start(kGamePort);
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

struct FailureCase
{
    const char *what;
    const char *outsidePrefix;
    bool daemon;
    const char *firstRule;
    PortMapping::Failure kind;
    // How the words begin; a router may add its own details.
    QString text;
};

// Each way the router can fail the host is said once, in plain words, and
// leaves no mapping behind.
TEST(PortMapping, EachFailureIsSaidOnceInPlainWords)
{
    if (const QString missing = RouterNetwork::missingPart(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing);
    const FailureCase cases[] = {
        {"no router", "81.0.0", false, "", PortMapping::Failure::NoRouter,
         PortMapping::kNoRouter.arg(kGamePort)},
        {"an outside address the provider shares", "100.64.0", true, "",
         PortMapping::Failure::SharedAddress, PortMapping::kSharedAddress},
        {"a router that does not let this computer have the port", "81.0.0", true,
         "deny 7772 192.168.77.0/24 7772", PortMapping::Failure::Refused,
         PortMapping::kRefused.arg(kGamePort).arg(QStringLiteral("it offered port ")).chopped(1)},
    };
    for (const FailureCase &c : cases) {
        SCOPED_TRACE(c.what);
        RouterNetwork network{QLatin1String(c.outsidePrefix)};
        ASSERT_TRUE(network.build());
        if (c.daemon) {
            ASSERT_TRUE(network.startDaemon(4, QLatin1String(c.firstRule)));
        }

        ASSERT_TRUE(network.enterHome());
        auto mapping = std::make_unique<PortMapping>();
        ASSERT_TRUE(network.leave());
        Heard heard;
        heard.listen(*mapping);
        QElapsedTimer clock;
        clock.start();
        mapping->start(kGamePort);
        ASSERT_TRUE(waitUntil([&] { return heard.mapped || heard.failure; }, 30000))
            << qPrintable(network.daemonLog());
        qInfo() << c.what << "was told after" << clock.elapsed() << "ms";
        EXPECT_FALSE(heard.mapped);
        EXPECT_EQ(heard.failure, c.kind) << qPrintable(heard.text);
        EXPECT_TRUE(heard.text.startsWith(c.text)) << qPrintable(heard.text);
        mapping.reset();
        EXPECT_EQ(heard.failures, 1);
        EXPECT_FALSE(network.leases().contains(RouterNetwork::kHomeAddress))
            << qPrintable(network.leases());
    }
}

} // namespace

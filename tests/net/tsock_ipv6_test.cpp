// IPv6 beside IPv4: addresses written out, a listener on IPv6 alone next to
// an IPv4 one on the same port, connections over ::1 and names that only
// have an IPv6 address.

#include "net/hostcache.h"
#include "net/sockresolve.h"
#include "net/tsock.h"
#include "tests/net/tsock_support.h"
#include "tests/support/ipv6loopback.h"
#include "tests/support/wait.h"

#include <arpa/inet.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(TSockIPv6, AddressesWrittenOutAreReadBareOrInBrackets)
{
    struct Case
    {
        const char *text;
        const char *address; // nullptr: not an IPv6 address
    };
    const Case cases[] = {
        {"::1", "::1"},
        {"[::1]", "::1"},
        {"2001:db8::7", "2001:db8::7"},
        {"[2001:db8::7]", "2001:db8::7"},
        {"2001:DB8:0:0:0:0:0:7", "2001:db8::7"},
        {"::ffff:10.1.2.3", "::ffff:10.1.2.3"},
        {"[::1", nullptr},
        {"::1]", nullptr},
        {"[[::1]]", nullptr},
        {"2001:db8::zz", nullptr},
        {"1:2:3:4:5:6:7:8:9", nullptr},
        {"127.0.0.1", nullptr},
        {"localhost", nullptr},
        {"[]", nullptr},
        {"", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<SockAddress> read = readIPv6Address(QString::fromLatin1(c.text));
        ASSERT_EQ(read.has_value(), c.address != nullptr);
        if (read) {
            EXPECT_TRUE(read->isIPv6());
            EXPECT_EQ(read->text(), QString::fromLatin1(c.address));
        }
    }
}

TEST(TSockIPv6, MalformedAddressesAreRefusedWithTheLookupText)
{
    for (const char *host : {"[::1", "2001:db8::zz", "::1]", "[127.0.0.1]"}) {
        SCOPED_TRACE(host);
        EventLog log;
        TSock client;
        log.attach(client, false);
        client.setHostName(QString::fromLatin1(host));
        client.setPortName(QStringLiteral("1"));
        EXPECT_EQ(refusalText([&] { client.Open(); }),
                  QStringLiteral("Host Lookup - Could Not Find Host Entry"));
        EXPECT_EQ(log.lines, QStringList({"Lookup: Lookup Of Port 1",
                                          "Lookup: Lookup Of Host " + QString::fromLatin1(host)}));
    }
}

// An IPv4 and an IPv6 listener on one port, as the host has them. Each
// connection must arrive at the listener of its own family: an IPv6
// listener that also took IPv4 would not even let the IPv4 one bind.
class TwoListeners : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!hasIPv6Loopback())
            GTEST_SKIP() << kNoIPv6Loopback;
        ipv4.setPortName(QStringLiteral("0"));
        ipv4.OnAccept = [this](TSock *sender) { sender->Accept(acceptedIPv4); };
        ipv4.setListen(true);
        ipv6.setListenIPv6(true);
        ipv6.setPortName(QString::number(ipv4.LocalPort()));
        ipv6.OnAccept = [this](TSock *sender) { sender->Accept(acceptedIPv6); };
        ipv6.setListen(true);
    }

    EventLog log; // outlives the sockets, whose closing reports into it
    TSock ipv4;
    TSock ipv6;
    TSock *acceptedIPv4 = nullptr;
    TSock *acceptedIPv6 = nullptr;
};

TEST_F(TwoListeners, EachFamilyArrivesAtItsOwnListener)
{
    ASSERT_TRUE(ipv6.Listen());
    ASSERT_EQ(ipv6.LocalPort(), ipv4.LocalPort());
    struct Case
    {
        QString host;
        bool overIPv6;
        QString peer; // the accepted socket's HostName
    };
    const IPv6OnlyName ipv6OnlyName;
    const QString ownName = ipv6OnlyName.name();
    std::vector<Case> cases = {
        {"127.0.0.1", false, "127.0.0.1"},
        {"localhost", false, "127.0.0.1"},
        {"::1", true, "::1"},
        {"[::1]", true, "::1"},
        {"0:0:0:0:0:0:0:1", true, "::1"},
    };
    // A name with only an IPv6 address, where one can be given.
    if (!ownName.isEmpty())
        cases.push_back({ownName, true, "::1"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.host.toStdString());
        acceptedIPv4 = acceptedIPv6 = nullptr;
        auto client = std::make_unique<TSock>();
        log.lines.clear();
        log.attach(*client, false);
        client->setHostName(c.host);
        client->setPortName(QString::number(ipv4.LocalPort()));
        client->Open();
        TSock *const *accepted = c.overIPv6 ? &acceptedIPv6 : &acceptedIPv4;
        ASSERT_TRUE(waitUntil([&] { return client->Connected() && *accepted; }));
        EXPECT_EQ(c.overIPv6 ? acceptedIPv4 : acceptedIPv6, nullptr);
        TSock &far = **accepted;
        EXPECT_EQ(far.HostName(), c.peer);
        EXPECT_TRUE(far.PeerIsLoopback());
        EXPECT_TRUE(client->PeerIsLoopback());
        EXPECT_EQ(far.PeerPort(), client->LocalPort());
        EXPECT_EQ(client->PeerPort(), ipv4.LocalPort());
        EXPECT_EQ(far.LocalPort(), ipv4.LocalPort());
        // The same reports as ever, whichever family carried it.
        EXPECT_EQ(log.lines.mid(0, 3),
                  QStringList({"Lookup: Lookup Of Port " + QString::number(ipv4.LocalPort()),
                               "Lookup: Lookup Of Host " + c.host,
                               "Connect: Non-Blocking Socket Connected"}));

        QByteArray arrived;
        far.OnRead = [&](TSock *sender, int) { arrived += sender->Receive(); };
        client->Send("hello\xff");
        ASSERT_TRUE(waitUntil([&] { return arrived == "hello\xff"; }));
        client.reset();
        delete *accepted;
    }
}

TEST_F(TwoListeners, StoppingOneLeavesTheOther)
{
    ipv6.setListen(false);
    EXPECT_FALSE(ipv6.HasHandle());
    TSock refused;
    QStringList errors;
    refused.OnInfo = [&](TSock *, TSocketInfo kind, const QString &text) {
        if (kind == TSocketInfo::Error)
            errors << text;
    };
    refused.setHostName(QStringLiteral("::1"));
    refused.setPortName(QString::number(ipv4.LocalPort()));
    refused.Open();
    ASSERT_TRUE(waitUntil([&] { return !errors.isEmpty(); }));
    EXPECT_EQ(errors, QStringList{"Error #10061 (WSAECONNREFUSED)"});

    TSock still;
    still.setHostName(QStringLiteral("127.0.0.1"));
    still.setPortName(QString::number(ipv4.LocalPort()));
    still.Open();
    EXPECT_TRUE(waitUntil([&] { return still.Connected() && acceptedIPv4; }));
}

TEST(TSockIPv6, ANameWithOnlyAnIPv6AddressResolvesToIt)
{
    const IPv6OnlyName ipv6OnlyName;
    const QString name = ipv6OnlyName.name();
    if (name.isEmpty())
        GTEST_SKIP() << kNoIPv6OnlyName;
    const std::optional<SockAddress> address = resolveHostAddress(name);
    ASSERT_TRUE(address);
    EXPECT_EQ(address->text(), QStringLiteral("::1"));
    // The cache holds IPv4 addresses only.
    EXPECT_EQ(HostCache::find(name), std::nullopt);
}

TEST(TSockIPv6, ANameWithAnIPv4AddressStaysOnIPv4)
{
    struct Case
    {
        const char *name;
        const char *address; // nullptr: not found
    };
    // "localhost" has 127.0.0.1 and, on most systems, ::1 too: the game
    // keeps connecting where it always did.
    HostCache::add(QStringLiteral("zandor-ipv6-table.invalid"), ::inet_addr("10.9.9.9"));
    const Case cases[] = {
        {"localhost", "127.0.0.1"},
        {"ZANDOR-IPv6-Table.invalid", "10.9.9.9"},
        {"no-such-host.invalid", nullptr},
        {"", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<SockAddress> address = resolveHostAddress(QString::fromLatin1(c.name));
        ASSERT_EQ(address.has_value(), c.address != nullptr);
        if (address) {
            EXPECT_FALSE(address->isIPv6());
            EXPECT_EQ(address->text(), QString::fromLatin1(c.address));
        }
    }
    EXPECT_EQ(HostCache::find(QStringLiteral("LOCALHOST")), ::inet_addr("127.0.0.1"));
}

} // namespace

// The host over IPv6: its game port open on ::1 beside 127.0.0.1, the host's
// own slot kept for its own copy whichever family anybody uses, and hosting
// over IPv4 alone where IPv6 cannot be had.

#include "host/tserver.h"
#include "net/gamemessage.h"
#include "net/messages.h"
#include "tests/host/loopbacksocket.h"
#include "tests/host/rawclient.h"
#include "tests/support/ipv6loopback.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char *familyName(int family)
{
    return family == AF_INET6 ? "::1" : "127.0.0.1";
}

// A stranger connects first, then the host's own copy: the host's slot goes
// to the own copy alone, over either family.
TEST(HostOverIPv6, TheHostsSlotWaitsForItsOwnCopyWhateverTheFamilies)
{
    if (!hasIPv6Loopback())
        GTEST_SKIP() << kNoIPv6Loopback;
    struct Case
    {
        int stranger;
        int own;
    };
    const Case cases[] = {
        {AF_INET6, AF_INET},
        {AF_INET, AF_INET6},
        {AF_INET6, AF_INET6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("stranger over ") + familyName(c.stranger) + ", own copy over " +
                     familyName(c.own));
        TServer server(0);
        server.startListening();
        ASSERT_TRUE(server.listeningIPv6());
        const int stranger = connectOverLoopback(c.stranger, server.listeningPort());
        const int own = connectOverLoopback(c.own, server.listeningPort());
        server.reserveHostSlot(localPort(own));
        EXPECT_EQ(firstMessage(stranger), msg::Sendlogininfo{2}.build());
        EXPECT_EQ(firstMessage(own), msg::Sendlogininfo{1}.build());
        ::close(stranger);
        ::close(own);
    }
}

TEST(HostOverIPv6, APlayerLogsInOverIPv6AndTheOthersSeeHim)
{
    if (!hasIPv6Loopback())
        GTEST_SKIP() << kNoIPv6Loopback;
    TServer server(0);
    server.startListening();
    RawClient alice(server.listeningPort());
    ASSERT_EQ(alice.login("Alice"), 1);
    RawClient bob(server.listeningPort(), QHostAddress::LocalHostIPv6);
    ASSERT_EQ(bob.login("Bob"), 2);
    EXPECT_TRUE(alice.waitFor(msg::Newplayerinfo{2, "Bob"}.build()));
    EXPECT_TRUE(bob.hasReceived(msg::Existingplayers{1, "Alice"}.build()));
    EXPECT_EQ(server.player(2).name, QByteArray("Bob"));
}

// Another program holds the game port on IPv6 (as a computer without IPv6
// refuses it): the host goes on over IPv4 without a word.
TEST(HostOverIPv6, WithoutTheIPv6PortHostingGoesOnOverIPv4)
{
    if (!hasIPv6Loopback())
        GTEST_SKIP() << kNoIPv6Loopback;
    const int other = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int v6only = 1;
    ::setsockopt(other, IPPROTO_IPV6, IPV6_V6ONLY, &v6only, sizeof v6only);
    sockaddr_in6 any{};
    any.sin6_family = AF_INET6;
    any.sin6_addr = in6addr_any;
    ASSERT_EQ(::bind(other, reinterpret_cast<sockaddr *>(&any), sizeof any), 0);
    ASSERT_EQ(::listen(other, 1), 0);
    const quint16 port = localPort(other);

    TServer server(port);
    EXPECT_NO_THROW(server.startListening());
    EXPECT_TRUE(server.listening());
    EXPECT_FALSE(server.listeningIPv6());
    EXPECT_EQ(server.listeningPort(), port);
    RawClient alice(port);
    EXPECT_EQ(alice.login("Alice"), 1);

    // Once the port is free on IPv6 too, hosting again opens it there.
    ::close(other);
    server.stopListening();
    EXPECT_FALSE(server.listeningIPv6());
    server.startListening();
    EXPECT_TRUE(server.listeningIPv6());
    RawClient bob(port, QHostAddress::LocalHostIPv6);
    EXPECT_EQ(bob.login("Bob"), 2);
}

TEST(HostOverIPv6, StoppingClosesTheIPv6PortToo)
{
    if (!hasIPv6Loopback())
        GTEST_SKIP() << kNoIPv6Loopback;
    TServer server(0);
    server.startListening();
    const quint16 port = server.listeningPort();
    server.stopListening();
    EXPECT_FALSE(server.listeningIPv6());
    const int late = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in6 loopback{};
    loopback.sin6_family = AF_INET6;
    loopback.sin6_port = htons(port);
    loopback.sin6_addr = in6addr_loopback;
    EXPECT_NE(::connect(late, reinterpret_cast<sockaddr *>(&loopback), sizeof loopback), 0);
    EXPECT_EQ(errno, ECONNREFUSED);
    ::close(late);
}

} // namespace

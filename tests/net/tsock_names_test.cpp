// Error codes and names, port and host resolution, the host-name cache.

#include "net/hostcache.h"
#include "net/sockresolve.h"
#include "net/tsock.h"
#include "net/wsaerrors.h"
#include "tests/net/tsock_support.h"
#include "tests/support/wait.h"

#include <arpa/inet.h>
#include <cerrno>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::uint32_t ipv4(const char *dotted)
{
    return ::inet_addr(dotted);
}

TEST(TSockNames, ErrnoValuesReadAsWindowsSocketsCodes)
{
    struct Case
    {
        int errnoValue;
        int code;
        const char *name;
    };
    const Case cases[] = {
        {ECONNREFUSED, 10061, "WSAECONNREFUSED"},
        {ECONNRESET, 10054, "WSAECONNRESET"},
        {EAGAIN, 10035, "WSAEWOULDBLOCK"},
        {EINPROGRESS, 10036, "WSAEINPROGRESS"},
        {EADDRINUSE, 10048, "WSAEADDRINUSE"},
        {ETIMEDOUT, 10060, "WSAETIMEDOUT"},
        {EHOSTUNREACH, 10065, "WSAEHOSTUNREACH"},
        {EINTR, 10004, "WSAEINTR"},
        {EMFILE, 10024, "WSAEMFILE"},
        {EPIPE, 10058, "WSAESHUTDOWN"},
        // No counterpart: the number stays, the name is unknown.
        {EIO, EIO, "UNKNOWN ERROR"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wsaCodeFromErrno(c.errnoValue), c.code);
        EXPECT_EQ(wsaErrorName(c.code), QString::fromLatin1(c.name));
    }
}

TEST(TSockNames, WindowsSocketsNamesCoverTheirRangesOnly)
{
    const std::pair<int, const char *> cases[] = {
        {10004, "WSAEINTR"},          {10009, "WSAEBADF"},          {10013, "WSAEACCES"},
        {10014, "WSAEFAULT"},         {10022, "WSAEINVAL"},         {10035, "WSAEWOULDBLOCK"},
        {10050, "WSAENETDOWN"},       {10067, "WSAEPROCLIM"},       {10071, "WSAEREMOTE"},
        {10091, "WSASYSNOTREADY"},    {10093, "WSANOTINITIALISED"}, {10101, "WSAEDISCON"},
        {11001, "WSAHOST_NOT_FOUND"}, {11004, "WSANO_DATA"},        {0, "UNKNOWN ERROR"},
        {10000, "UNKNOWN ERROR"},     {10034, "UNKNOWN ERROR"},     {10072, "UNKNOWN ERROR"},
        {10094, "UNKNOWN ERROR"},     {11000, "UNKNOWN ERROR"},     {11005, "UNKNOWN ERROR"},
    };
    for (const auto &[code, name] : cases)
        EXPECT_EQ(wsaErrorName(code), QString::fromLatin1(name)) << code;
}

TEST(TSockNames, PortNamesAreNumbersOrServices)
{
    struct Case
    {
        const char *name;
        bool datagram;
        std::optional<std::uint16_t> port;
    };
    const Case cases[] = {
        {"7772", false, 7772},
        {"007772", false, 7772},
        {"0", false, 0},
        {"65535", false, 65535},
        {"65536", false, std::nullopt},
        {"77x", false, std::nullopt},
        {"", false, std::nullopt},
        {"http", false, 80},
        {"domain", true, 53},
        {"zandor-no-such-service", false, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(resolvePortName(QString::fromLatin1(c.name), c.datagram), c.port);
    }
}

TEST(TSockNames, HostNamesBeginningWithADigitAreAddresses)
{
    // Even a cached name is never looked up when it begins with a digit.
    HostCache::add(QStringLiteral("9zandor"), ipv4("10.9.9.9"));
    struct Case
    {
        const char *name;
        std::optional<std::uint32_t> address;
    };
    const Case cases[] = {
        {"127.0.0.1", ipv4("127.0.0.1")},
        {"10.1.2.3", ipv4("10.1.2.3")},
        {"1.2.3.999", std::nullopt},
        {"9zandor", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        ASSERT_TRUE(looksLikeDottedAddress(name));
        EXPECT_EQ(readDottedAddress(name), c.address);
    }
    EXPECT_FALSE(looksLikeDottedAddress(QStringLiteral("localhost")));
    EXPECT_FALSE(looksLikeDottedAddress(QString()));
}

TEST(TSockNames, ResolvedNamesAreCachedWhateverTheirCase)
{
    ASSERT_EQ(resolveHostName(QStringLiteral("localhost")), ipv4("127.0.0.1"));
    EXPECT_EQ(HostCache::find(QStringLiteral("LocalHost")), ipv4("127.0.0.1"));
    EXPECT_EQ(resolveHostName(QStringLiteral("no-such-host.invalid")), std::nullopt);
    EXPECT_EQ(HostCache::find(QStringLiteral("no-such-host.invalid")), std::nullopt);
}

// The resolver knows no .invalid name, so connecting through one proves the
// socket took it from the cache, in another case than it was stored.
TEST(TSockNames, SocketConnectsThroughTheHostCache)
{
    HostCache::add(QStringLiteral("zandor-table.invalid"), ipv4("127.0.0.1"));
    EventLog log; // outlives the sockets, whose closing reports into it
    SockPair pair;
    pair.listener.setPortName(QStringLiteral("0"));
    pair.listener.OnAccept = [&](TSock *sender) { sender->Accept(pair.accepted); };
    pair.listener.setListen(true);

    log.attach(pair.client, false);
    pair.client.setHostName(QStringLiteral("ZANDOR-Table.INVALID"));
    pair.client.setPortName(QString::number(pair.listener.LocalPort()));
    pair.client.Open();
    EXPECT_TRUE(waitUntil([&] { return pair.client.Connected() && pair.accepted; }));
    EXPECT_TRUE(log.lines.contains("Lookup: Lookup Of Host ZANDOR-Table.INVALID"));
}

} // namespace

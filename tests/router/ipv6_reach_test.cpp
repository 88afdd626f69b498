#include "router/ipv6reach.h"

#include <gtest/gtest.h>

#include <QHostAddress>

namespace {

using router::OwnIPv6Address;

OwnIPv6Address own(const char *address, bool temporary = false, bool deprecated = false)
{
    return {QHostAddress(QLatin1String(address)), temporary, deprecated};
}

// Which of a computer's addresses friends on the internet are told.
TEST(IPv6Reach, TheLastingGlobalAddressIsGiven)
{
    struct Case
    {
        const char *what;
        QList<OwnIPv6Address> own;
        const char *given; // "" for none
    };
    const Case cases[] = {
        {"none at all", {}, ""},
        {"only addresses the internet cannot reach",
         {own("::1"), own("fe80::1"), own("fd00::2"), own("fc00::2"), own("ff02::1"),
          own("::ffff:81.0.0.2"), own("81.0.0.2"), own("4000::1")},
         ""},
        {"the edges of 2000::/3", {own("1fff:ffff::1"), own("2000::1")}, "2000::1"},
        {"the top edge", {own("3fff:ffff::1")}, "3fff:ffff::1"},
        {"a global one among local ones",
         {own("fe80::1"), own("2001:db8:77::2"), own("fd00::2")},
         "2001:db8:77::2"},
        {"a lasting one before a privacy one",
         {own("2001:db8::abcd", true), own("2001:db8::7")},
         "2001:db8::7"},
        {"a privacy one when there is nothing else",
         {own("2001:db8::abcd", true)},
         "2001:db8::abcd"},
        {"never a deprecated one",
         {own("2001:db8::7", false, true), own("2001:db8::abcd", true)},
         "2001:db8::abcd"},
        {"only deprecated ones", {own("2001:db8::7", false, true)}, ""},
        {"the first of two lasting ones", {own("2001:db8::7"), own("2001:db8::8")}, "2001:db8::7"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(router::addressForFriends(c.own), QLatin1String(c.given)) << c.what;
}

} // namespace

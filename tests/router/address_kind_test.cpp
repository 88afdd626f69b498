#include "router/addresskind.h"

#include <gtest/gtest.h>

#include <QHostAddress>

namespace {

using router::AddressKind;

struct Case
{
    const char *address;
    AddressKind kind;
};

// The edges of every range, and what lies just outside them.
const Case kCases[] = {
    {"203.0.113.7", AddressKind::Public},     {"81.0.0.1", AddressKind::Public},
    {"8.8.8.8", AddressKind::Public},         {"100.63.255.255", AddressKind::Public},
    {"100.64.0.0", AddressKind::Shared},      {"100.64.0.1", AddressKind::Shared},
    {"100.127.255.255", AddressKind::Shared}, {"100.128.0.0", AddressKind::Public},
    {"10.0.0.1", AddressKind::Private},       {"10.255.255.255", AddressKind::Private},
    {"11.0.0.0", AddressKind::Public},        {"172.15.255.255", AddressKind::Public},
    {"172.16.0.0", AddressKind::Private},     {"172.31.255.255", AddressKind::Private},
    {"172.32.0.0", AddressKind::Public},      {"192.167.255.255", AddressKind::Public},
    {"192.168.0.1", AddressKind::Private},    {"192.168.255.255", AddressKind::Private},
    {"192.169.0.0", AddressKind::Public},     {"127.0.0.1", AddressKind::Private},
    {"169.254.10.20", AddressKind::Private},  {"0.0.0.0", AddressKind::Private},
    {"2001:db8::1", AddressKind::Private},    {"not an address", AddressKind::Private},
};

TEST(AddressKind, EachRangeIsToldApart)
{
    for (const Case &c : kCases) {
        EXPECT_EQ(router::classify(QHostAddress(QLatin1String(c.address))), c.kind) << c.address;
    }
}

} // namespace

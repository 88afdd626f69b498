#pragma once

#include "net/sockaddress.h"

#include <QString>

#include <cstdint>
#include <optional>

// Name resolution for the line socket. The socket gives the reports and
// raises the refusals; these only find the numbers.

// A port name: a decimal number when it begins with a digit (the whole text
// must be one, at most 65535), otherwise a service name looked up for "tcp"
// or "udp". Host byte order. Empty or unknown names give nothing.
std::optional<std::uint16_t> resolvePortName(const QString &name, bool datagram);

// True when the host name is to be read as a dotted address rather than
// looked up by name: its first character is a digit.
bool looksLikeDottedAddress(const QString &name);

// A dotted IPv4 address in network byte order; nothing when it is malformed.
std::optional<std::uint32_t> readDottedAddress(const QString &text);

// A host name through the host-name cache, then the resolver (first IPv4
// address of its answer, which is then cached). Nothing when not found.
std::optional<std::uint32_t> resolveHostName(const QString &name);

// An IPv6 address written out, bare or in brackets: "2001:db8::7",
// "[::1]", "fe80::1%eth0". Nothing for any other text. Port 0.
std::optional<SockAddress> readIPv6Address(const QString &text);

// A host name for a connection: through the cache, then one resolver call
// for either family. An IPv4 address when the name has one (cached, as
// resolveHostName does), otherwise its first IPv6 address. The resolver is
// asked for both at once because asked for IPv4 alone it answers a name
// written for ::1 (ip6-localhost) with 127.0.0.1. Port 0. Nothing when not
// found.
std::optional<SockAddress> resolveHostAddress(const QString &name);

// The dotted text of an IPv4 address held in network byte order.
QString dottedAddress(std::uint32_t address);

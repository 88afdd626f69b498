#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The process-wide list of host names already resolved, so each name costs
// one resolver call per run. Names match regardless of letter case. Entries
// stay until the program ends. Safe to use from the auto-accept threads.
namespace HostCache {

// The IPv4 address (network byte order) cached for the name, if any.
std::optional<std::uint32_t> find(const QString &name);
void add(const QString &name, std::uint32_t address);

} // namespace HostCache

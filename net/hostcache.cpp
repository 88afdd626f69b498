#include "net/hostcache.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

struct Entry
{
    QString name;
    std::uint32_t address;
};

struct Cache
{
    std::mutex lock;
    std::vector<Entry> entries;
};

Cache &cache()
{
    static Cache instance;
    return instance;
}

} // namespace

std::optional<std::uint32_t> HostCache::find(const QString &name)
{
    auto &c = cache();
    std::lock_guard guard(c.lock);
    for (const auto &entry : c.entries) {
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0)
            return entry.address;
    }
    return std::nullopt;
}

void HostCache::add(const QString &name, std::uint32_t address)
{
    auto &c = cache();
    std::lock_guard guard(c.lock);
    c.entries.push_back({name, address});
}

#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// What the IPv6 tests need of the computer, and why they skip without it.
inline constexpr const char *kNoIPv6Loopback =
    "this computer has no IPv6 loopback (::1): nothing to test over IPv6";
inline constexpr const char *kNoIPv6OnlyName =
    "no mount namespace of its own here (not root?), so no name can be given ::1 "
    "alone: nothing to test of a name with only an IPv6 address";

// Whether a socket can be bound on ::1, as a listener over IPv6 will be.
inline bool hasIPv6Loopback()
{
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in6 where{};
    where.sin6_family = AF_INET6;
    where.sin6_addr = in6addr_loopback;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&where), sizeof where) == 0;
    ::close(fd);
    return bound;
}

// A name the resolver knows as ::1 alone, for as long as the object lives:
// the calling thread gets a mount namespace of its own in which /etc/hosts
// is the computer's own file plus "::1 <name>". The game's lookups run on
// that thread, the resolver reads the real file format, and nothing outside
// the test sees the name. Needs root (as the network tests do); name() is
// empty where that cannot be had.
class IPv6OnlyName
{
public:
    static constexpr const char *kName = "zandor-ipv6-only.test";

    IPv6OnlyName()
    {
        original_ = ::open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC);
        if (original_ < 0 || !folder_.isValid() || ::unshare(CLONE_NEWNS) != 0)
            return;
        entered_ = true;
        QFile own(QStringLiteral("/etc/hosts"));
        QFile hosts(folder_.filePath(QStringLiteral("hosts")));
        if (!own.open(QIODevice::ReadOnly) || !hosts.open(QIODevice::WriteOnly))
            return;
        hosts.write(own.readAll() + "\n::1 " + kName + "\n");
        hosts.close();
        // Private first, so the file laid over /etc/hosts stays in here.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(hosts.fileName().toLocal8Bit().constData(), "/etc/hosts", nullptr, MS_BIND,
                    nullptr) != 0)
            return;
        name_ = QString::fromLatin1(kName);
    }
    ~IPv6OnlyName()
    {
        if (entered_)
            ::setns(original_, CLONE_NEWNS);
        if (original_ >= 0)
            ::close(original_);
    }
    IPv6OnlyName(const IPv6OnlyName &) = delete;
    IPv6OnlyName &operator=(const IPv6OnlyName &) = delete;

    QString name() const { return name_; }

private:
    QTemporaryDir folder_;
    int original_ = -1;
    bool entered_ = false;
    QString name_;
};

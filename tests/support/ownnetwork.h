#pragma once

#include <cstring>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

// Moves the calling thread into a network of its own with its loopback up,
// so that a test can use the game's own port beside anything else on the
// machine. False where that is not allowed (it needs root).
inline bool ownNetwork()
{
    if (::unshare(CLONE_NEWNET) != 0)
        return false;
    const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
    ifreq loopback{};
    std::strncpy(loopback.ifr_name, "lo", IFNAMSIZ - 1);
    loopback.ifr_flags = IFF_UP | IFF_LOOPBACK | IFF_RUNNING;
    const bool up = probe >= 0 && ::ioctl(probe, SIOCSIFFLAGS, &loopback) == 0;
    if (probe >= 0)
        ::close(probe);
    return up;
}

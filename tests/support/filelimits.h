#pragma once

// Real write failures for tests, ones that stop root as well as anybody.

#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, no file this process writes may grow past `bytes`: the
// write that would cross it writes what fits and the next one fails, as on a
// disk that fills up half-way through a file.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        // The kernel's answer is a signal that ends the process unless ignored.
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};

// Root writes into any folder whatever its permissions say. While this
// lives, the calling thread gives up that power (it keeps it in reserve and
// takes it back at the end), so a read-only folder is read-only for root too.
// For any other user it changes nothing.
class ObeyFilePermissions
{
public:
    ObeyFilePermissions()
    {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ok_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~ObeyFilePermissions()
    {
        if (ok_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    ObeyFilePermissions(const ObeyFilePermissions &) = delete;
    ObeyFilePermissions &operator=(const ObeyFilePermissions &) = delete;

    bool ok() const { return ok_; }

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool ok_ = false;
};

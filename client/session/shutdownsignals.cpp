#include "client/session/shutdownsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] is written by the handler, [1] read on the event loop.
int signalSockets[2] = {-1, -1};

extern "C" void writeSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // Non-blocking: a burst of signals that fills the socket loses the
    // extras, which all ask the same thing, instead of hanging the handler.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

const std::vector<int> &ShutdownSignals::handledSignals()
{
    static const std::vector<int> kSignals = {SIGTERM, SIGHUP, SIGINT};
    return kSignals;
}

ShutdownSignals::ShutdownSignals(QObject *parent) : QObject(parent)
{
    if (signalSockets[0] >= 0)
        return; // another object already holds the signals
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        signalSockets[0] = signalSockets[1] = -1;
        return;
    }
    ::fcntl(signalSockets[0], F_SETFL, ::fcntl(signalSockets[0], F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readSignals);

    struct sigaction action = {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on; the event loop sees the byte next.
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : handledSignals()) {
        struct sigaction before = {};
        ::sigaction(signalNumber, nullptr, &before);
        previous_.push_back(before);
        // Started under nohup, or by a parent that wants a signal ignored:
        // that choice stands.
        if (before.sa_handler != SIG_IGN)
            ::sigaction(signalNumber, &action, nullptr);
    }
}

ShutdownSignals::~ShutdownSignals()
{
    if (!notifier_)
        return;
    for (size_t i = 0; i < previous_.size(); ++i)
        ::sigaction(handledSignals()[i], &previous_[i], nullptr);
    delete notifier_;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void ShutdownSignals::readSignals()
{
    char bytes[16];
    const ssize_t count = ::read(signalSockets[1], bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i)
        emit received(static_cast<unsigned char>(bytes[i]));
}

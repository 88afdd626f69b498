#include "client/session/relaunch.h"

#include "windows/tplaywithothers.h"

#include <QLocalSocket>
#include <QProcess>

namespace {
const QString kLoopback = QStringLiteral("127.0.0.1");
const QString kHost = QStringLiteral("true");
const QString kJoin = QStringLiteral("false");
constexpr int kProbeMs = 50;

// Whether a copy answers on the key now. Connecting counts as a request to
// come to the front, which is what the new copy should do anyway.
bool keyIsOwned(const QString &key)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(key);
    const bool owned = socket.waitForConnected(kProbeMs);
    socket.abort();
    return owned;
}
} // namespace

QStringList commandLineFor(const PlayChoice &choice)
{
    if (choice.host)
        return {kGameArgumentsFollow, choice.name, kLoopback, kHost};
    return {kGameArgumentsFollow, choice.name, choice.address, kJoin};
}

SplitCommandLine splitCommandLine(int argc, const char *const *argv)
{
    const QByteArray mark = kGameArgumentsFollow.toLocal8Bit();
    for (int at = 1; at < argc; ++at) {
        if (mark != argv[at])
            continue;
        QStringList game;
        for (int each = at + 1; each < argc; ++each)
            game.append(QString::fromLocal8Bit(argv[each]));
        return {at, game};
    }
    return {argc, std::nullopt};
}

Relaunch::Relaunch(QString program, QString instanceKey, QObject *parent)
    : QObject(parent), program_(std::move(program)), key_(std::move(instanceKey))
{
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &Relaunch::poll);
}

bool Relaunch::start(const QStringList &arguments)
{
    if (!QProcess::startDetached(program_, arguments, QString(), &pid_))
        return false;
    waitedMs_ = 0;
    poll_.start();
    return true;
}

void Relaunch::poll()
{
    waitedMs_ += kPollMs;
    if (keyIsOwned(key_)) {
        poll_.stop();
        emit handedOver();
    } else if (waitedMs_ >= kGiveUpMs) {
        poll_.stop();
        emit failed();
    }
}

#include "client/session/singleinstance.h"

#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include <memory>

namespace {
const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");
}

SingleInstance::SingleInstance(QString key, QObject *parent) : QObject(parent), key_(std::move(key))
{}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::desktopKey()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QGuiApplication::platformName();
    // "vrokex" is the game's own name for its one-copy mark.
    return QStringLiteral("vrokex-%1-%2").arg(getuid()).arg(display);
}

SingleInstance::Role SingleInstance::claim(int timeoutMs)
{
    if (askRunningCopy(timeoutMs))
        return Role::Second;

    if (reclaim())
        return Role::First;
    // Another copy started at the same moment and took the name first.
    if (askRunningCopy(timeoutMs))
        return Role::Second;
    // The name cannot be had at all; running without the check beats not
    // running.
    return Role::First;
}

bool SingleInstance::askRunningCopy(int timeoutMs)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(key_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::answerNewCopies()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        // A connection is the whole request; what it says does not matter.
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromServer();
        emit raiseRequested();
    }
}

bool SingleInstance::reclaim()
{
    if (server_)
        return true;
    auto server = std::make_unique<QLocalServer>(this);
    server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (!server->listen(key_))
        return false;
    server_ = server.release();
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::answerNewCopies);
    return true;
}

void SingleInstance::release()
{
    if (!server_)
        return;
    server_->close();
    server_->deleteLater();
    server_ = nullptr;
}

#include "tests/client/startup_support.h"
#include "tests/client/programwindow.h"

#include "client/composition.h"
#include "client/session/clientsettings.h"
#include "client/tchat.h"
#include "net/framer.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "tests/support/wait.h"

#include <QTextEdit>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

SilentHost::SilentHost()
{
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd_, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(fd_, 0) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
    // The one connection the queue holds; never accepted.
    filler_.connectToHost(QHostAddress::LocalHost, port_);
    filler_.waitForConnected(2000);
}

SilentHost::~SilentHost()
{
    ::close(fd_);
}

ScriptedHost::ScriptedHost()
{
    server_.listen(QHostAddress::LocalHost, 0);
}

bool ScriptedHost::waitForClient()
{
    return waitUntil([this] {
        if (!client_ && server_.hasPendingConnections())
            client_ = server_.nextPendingConnection();
        return bool(client_);
    });
}

bool ScriptedHost::waitForClientAgain()
{
    if (client_)
        client_->deleteLater();
    client_ = nullptr;
    bytes_.clear();
    return waitUntil([this] { return server_.hasPendingConnections(); }, 10000) && waitForClient();
}

void ScriptedHost::send(const QByteArray &message)
{
    sendRaw(framed(message));
}

void ScriptedHost::sendRaw(const QByteArray &bytes)
{
    client_->write(bytes);
    client_->flush();
}

void ScriptedHost::closeClient()
{
    client_->disconnectFromHost();
}

QByteArrayList ScriptedHost::received()
{
    if (client_)
        bytes_ += client_->readAll();
    QByteArrayList messages = bytes_.split(kMessageTerminator);
    messages.removeLast(); // the unfinished rest
    return messages;
}

bool ScriptedHost::waitForMessage(const QByteArray &message)
{
    return waitUntil([&] { return received().contains(message); });
}

bool ScriptedHost::clientConnected() const
{
    return client_ && client_->state() == QAbstractSocket::ConnectedState;
}

QStringList chatLines(const QWidget *window)
{
    const auto *log = window->findChild<QTextEdit *>(QStringLiteral("mainchat"));
    if (!log)
        return {};
    QString text = log->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(0x2029), QChar('\n'));
    // The marks that keep a name's direction to itself are not seen.
    text.remove(QChar(peertext::kIsolateStart)).remove(QChar(peertext::kIsolateEnd));
    return text.split(QChar('\n'));
}

bool chatHasLine(const QWidget *window, const QString &line)
{
    return chatLines(window).contains(line);
}

JoinedWindow::JoinedWindow(const QString &settingsFolder)
{
    lobby.listen(QHostAddress::LocalHost, 0);
    chat = std::make_unique<Composition>(
        QStringList{"Ann", "127.0.0.1", "false"}, TchatPorts{host.port(), lobby.serverPort()},
        nullptr, settingsFolder.isEmpty() ? settings.path() : settingsFolder);
    chat->show();
}

JoinedWindow::~JoinedWindow() = default;

bool JoinedWindow::login(int slot)
{
    if (!host.waitForClient())
        return false;
    host.send(msg::Sendlogininfo{slot}.build());
    if (!host.waitForMessage(msg::Logininfo{slot, kVersionText, "Ann"}.build()))
        return false;
    host.send(msg::Newplayerinfo{slot, "Ann"}.build());
    return true;
}

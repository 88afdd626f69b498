#include "download_server.h"

#include <QTcpSocket>

DownloadServer::DownloadServer()
{
    connect(&server_, &QTcpServer::newConnection, this, &DownloadServer::onConnection);
}

DownloadServer::~DownloadServer() = default;

bool DownloadServer::start()
{
    return server_.listen(QHostAddress::LocalHost, 0);
}

QString DownloadServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

int DownloadServer::openConnections() const
{
    int open = 0;
    for (const QPointer<QTcpSocket> &socket : sockets_)
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            ++open;
    return open;
}

QByteArray DownloadServer::patternBody(qsizetype size)
{
    QByteArray body(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        body[i] = char((i * 7 + i / 251) & 0xFF);
    return body;
}

void DownloadServer::onConnection()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        sockets_.append(socket);
        socket->setProperty("head", QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void DownloadServer::onReadable(QTcpSocket *socket)
{
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty("head", head);
        return;
    }
    head.truncate(end);
    requests_.append(head);
    socket->setProperty("head", QByteArray());

    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    Reply reply;
    if (replies_.contains(path)) {
        reply = replies_.value(path);
    } else {
        reply.statusLine = "HTTP/1.0 404 Not Found";
        reply.headerLines = {"Content-Type: text/plain"};
        reply.body = "Not Found";
    }

    QByteArray answer = reply.statusLine + "\r\n";
    for (const QByteArray &line : reply.headerLines)
        answer += line + "\r\n";
    answer += "\r\n";
    if (reply.stallAfter >= 0) {
        socket->write(answer + reply.body.left(reply.stallAfter));
        return;
    }
    socket->write(answer + reply.body);
    socket->disconnectFromHost();
}

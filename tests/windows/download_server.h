#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP server on the loopback address for the download tests. It
// answers each path with a prepared reply, closes the connection after it as
// an HTTP/1.0 server does, and can stop in the middle of a body and hold the
// connection open, like a server that has gone slow.
class DownloadServer : public QObject
{
    Q_OBJECT
public:
    struct Reply
    {
        QByteArray statusLine = "HTTP/1.0 200 OK";
        QList<QByteArray> headerLines;
        QByteArray body;
        // Send only this many body bytes, then keep the connection open
        // without sending more. Negative: send everything.
        qsizetype stallAfter = -1;
    };

    DownloadServer();
    ~DownloadServer() override;

    // Listens on 127.0.0.1 at a port the system picks.
    bool start();
    quint16 port() const { return server_.serverPort(); }
    QString url(const QString &path) const;

    // Paths without a reply get "404 Not Found".
    void setReply(const QString &path, const Reply &reply) { replies_[path] = reply; }

    // The request heads received so far, oldest first, each up to and
    // without the empty line that ends it.
    const QList<QByteArray> &requests() const { return requests_; }
    // Connections still open on the server's side.
    int openConnections() const;

    // A body of `size` bytes that is not all one value.
    static QByteArray patternBody(qsizetype size);

private:
    void onConnection();
    void onReadable(QTcpSocket *socket);

    QTcpServer server_;
    QMap<QString, Reply> replies_;
    QList<QByteArray> requests_;
    QList<QPointer<QTcpSocket>> sockets_;
};

#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "net/tsockstream.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

// The line socket: one operating-system socket (TCP stream or UDP datagram)
// whose events arrive on the event loop's thread, one at a time. It frames
// nothing: Send writes exactly the bytes given, Receive hands over exactly
// what arrived.
//
// Handlers may Close the reporting socket, and may even delete it (prefer
// deleteLater). Destroying a connected or listening socket closes it first,
// and that close reports "Socket Closed" through OnInfo: an owner that is
// going away should clear the handlers or close its sockets before.
// An exception thrown by a handler while an event is delivered is shown
// through reportError() and the event loop goes on.

enum class TSocketType { stStream = 0, stDatagram = 1 };
enum class TLineBreak { lbCRLF = 0, lbCR = 1, lbLF = 2, lbSmart = 3 };
enum class TSocketInfo {
    Lookup = 0,
    Connect = 1,
    Close = 2,
    Listen = 3,
    Receive = 4,
    Send = 5,
    Accept = 6,
    Error = 7
};

// Every refusal of the socket raises this, with one of its fixed texts.
class ESockException : public std::runtime_error
{
public:
    explicit ESockException(const QString &message)
        : std::runtime_error(message.toStdString()), text(message)
    {}
    QString text;
};

class TSock;

using TNotifyEvent = std::function<void(TSock *sender)>;
using TNotifyReadEvent = std::function<void(TSock *sender, int count)>;
using TNotifyAutoEvent = std::function<void(TSock *sender, TSock *newSock)>;
using TNotifyInfoEvent = std::function<void(TSock *sender, TSocketInfo info, const QString &msg)>;

class TSock : public QObject
{
    Q_OBJECT
public:
    explicit TSock(QObject *owner = nullptr);
    ~TSock() override;

    // Properties. Setters have the side effects of the running component
    // (reports, refusals, starting and stopping to listen).
    TSocketType SocketType() const;
    void setSocketType(TSocketType type);
    QString HostName() const;
    void setHostName(const QString &host);
    QString PortName() const;
    void setPortName(const QString &port);
    bool Blocking() const;
    void setBlocking(bool blocking);
    bool AutoAccept() const;
    void setAutoAccept(bool autoAccept);
    bool Listen() const;
    void setListen(bool listen);
    // Listen on IPv6 (every address, IPv6 alone) instead of IPv4; set before
    // listening. The host listens with a second socket so, beside its IPv4
    // one, and the IPv4 socket stays exactly as it always was.
    bool ListenIPv6() const;
    void setListenIPv6(bool ipv6);
    TLineBreak LineBreak() const;
    void setLineBreak(TLineBreak lineBreak);
    int BlockingTimeout() const;
    void setBlockingTimeout(int seconds);

    // The free integer every component carries; the host keeps a
    // connection's slot here.
    int Tag = 0;

    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TNotifyInfoEvent OnInfo;
    TNotifyReadEvent OnRead;
    TNotifyEvent OnWrite;
    TNotifyEvent OnAccept;
    TNotifyAutoEvent OnAutoAccept;

    bool Open();
    bool Close();
    bool Send(const QByteArray &text);
    QByteArray Receive();
    QByteArray ReceiveCount(int count);
    bool Accept(TSock *&newSock);
    bool SendDatagram(const QByteArray &text, const QString &host);
    void ReceiveDatagram(QString &host, QByteArray &text);

    // The byte-stream view made together with the socket.
    TSockStream &Stream();

    bool Connected() const;
    bool HasHandle() const;
    // The operating-system socket, -1 when there is none.
    int Handle() const;
    // The port the operating system bound a listening socket to; useful when
    // PortName is "0" and the system picks a free port (tests do this).
    quint16 LocalPort() const;
    // The far end's port of a connection, 0 when there is none.
    quint16 PeerPort() const;
    // Whether the far end is on this computer (127.0.0.0/8 or ::1).
    bool PeerIsLoopback() const;
    // Bytes handed to Send that the operating system has not taken yet.
    qsizetype PendingSendBytes() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

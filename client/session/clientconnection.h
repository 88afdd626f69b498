#pragma once

#include "client/session/clientdispatcher.h"
#include "net/framer.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

class TSock;
enum class TSocketInfo;

// The client's connection to the game host: the socket `sock`, the framing
// of its bytes into messages, the receive queue and the queue timer `Timer1`
// that hands one message per tick to the dispatch table.
//
// The queue timer ticks every millisecond while messages wait and stops when
// the queue is empty, so an idle program does not wake a thousand times a
// second; a read that queues something starts it again.
//
// A host that sends more than a game ever sends (more messages or bytes
// waiting than any real burst, or a message without end) is given up: the
// connection is closed and what waits is dropped. A connection the network
// breaks is given up too, after what arrived before it. Either way the
// window stays open and says why in the chat.
class ClientConnection : public QObject
{
    Q_OBJECT
public:
    // What may wait in the receive queue; a real game's bursts are a few
    // hundred short messages.
    static constexpr qsizetype kMaxWaitingMessages = 20000;
    static constexpr qsizetype kMaxWaitingBytes = 8 * 1024 * 1024;
    // A host that has not answered a connection attempt by then is not
    // coming; the user hears so instead of waiting for ever.
    static constexpr int kConnectTimeoutMs = 10000;

    explicit ClientConnection(QObject *parent = nullptr);
    ~ClientConnection() override;

    // Opens `sock` towards host:port, again after a connection that ended
    // too. Throws ESockException when the host name cannot be looked up; a
    // refused connection is not an error here (the socket only reports it,
    // and the client stays unconnected).
    void open(const QString &host, quint16 port);
    // Tests shorten the wait for a host that does not answer.
    void setConnectTimeout(int milliseconds) { connectTimer_.setInterval(milliseconds); }

    // Sends one game message (without its terminator) to the host. Does
    // nothing while the socket is not open; a socket refusal is reported.
    void sendToHost(const QByteArray &message);

    bool isOpen() const;
    // The port this end of the connection was given, 0 before an open.
    quint16 localPort() const;
    ClientDispatcher &dispatcher() { return dispatcher_; }
    qsizetype queuedMessages() const { return qsizetype(receivedlist_.size()); }
    qsizetype queuedBytes() const { return queuedBytes_; }
    // The connection was given up (see above); nothing more comes.
    bool lost() const { return lost_; }
    // It was given up because the host sent more than a game ever sends:
    // no host to go back to.
    bool hostMisbehaved() const { return overflow_; }
    bool queueTimerActive() const { return Timer1_.isActive(); }

    // Handles the first message of the receive queue now.
    void processsocktimer();

signals:
    // The host closed the connection (or it broke) and every message that
    // had arrived before has been handled.
    void ended();
    // The connection was given up; `notice` says why, for the chat.
    void connectionLost(const QString &notice);
    // The host could not be reached: it refused, or did not answer in time.
    // `socketText` is the socket's own error text.
    void unreachable(const QString &socketText);

private:
    void makeSocket();
    void dropSocket();
    void sockRead(TSock *sender, int count);
    void sockInfo(TSock *sender, TSocketInfo info, const QString &text);
    void Timer1Timer();
    void takeReceivedBytes();
    void enqueue(QByteArrayView message);
    void announceEndIfDrained();
    void giveUp(const QString &notice);
    void connectTimedOut();

    std::unique_ptr<TSock> sock_;
    MessageFramer framer_;
    std::deque<QByteArray> receivedlist_;
    qsizetype queuedBytes_ = 0;
    bool overflow_ = false;
    bool lost_ = false;
    QTimer Timer1_;
    ClientDispatcher dispatcher_;
    bool closed_ = false;
    bool endAnnounced_ = false;
    QTimer connectTimer_;
    bool unreachable_ = false; // the attempt to connect failed; nothing follows
    bool used_ = false;        // opened before: another open starts afresh
};

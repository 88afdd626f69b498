#include "client/session/clientconnection.h"

#include "net/errorreport.h"
#include "net/messages.h"
#include "net/tsock.h"
#include "net/tsocktexts.h"
#include "net/wsaerrors.h"

namespace {
// The queue starts with one line of its own, which the first tick drops as a
// message without a name.
const QByteArray kInitialQueueLine = QByteArrayLiteral("receivedlist");
const QString kHostSentTooMuch =
    QStringLiteral("The host sent more than a game ever sends. The connection was closed.");
const QString kConnectionLost = QStringLiteral("The connection to the game was lost: %1");
// The socket's own wording for an attempt that timed out.
const QString kErrorText = QStringLiteral("Error #%1 (%2)");
constexpr int kTimedOut = 10060;
} // namespace

ClientConnection::ClientConnection(QObject *parent) : QObject(parent)
{
    makeSocket();
    connectTimer_.setSingleShot(true);
    connectTimer_.setInterval(kConnectTimeoutMs);
    connect(&connectTimer_, &QTimer::timeout, this, &ClientConnection::connectTimedOut);
    Timer1_.setInterval(1);
    connect(&Timer1_, &QTimer::timeout, this, &ClientConnection::Timer1Timer);
    enqueue(kInitialQueueLine);
}

ClientConnection::~ClientConnection()
{
    dropSocket();
}

void ClientConnection::makeSocket()
{
    sock_ = std::make_unique<TSock>();
    sock_->setSocketType(TSocketType::stStream);
    sock_->setBlocking(false);
    sock_->setAutoAccept(false);
    sock_->setLineBreak(TLineBreak::lbSmart);
    sock_->OnRead = [this](TSock *sender, int count) { sockRead(sender, count); };
    sock_->OnInfo = [this](TSock *sender, TSocketInfo info, const QString &text) {
        sockInfo(sender, info, text);
    };
}

void ClientConnection::dropSocket()
{
    // Closing the socket on the way out reports "Socket Closed"; nobody is
    // left to hear it.
    sock_->OnRead = nullptr;
    sock_->OnInfo = nullptr;
    sock_.reset();
}

void ClientConnection::open(const QString &host, quint16 port)
{
    // A connection opened again after one that ended (the way back after
    // a drop) starts afresh: what the old one left is of no use.
    if (used_) {
        dropSocket();
        makeSocket();
        receivedlist_.clear();
        queuedBytes_ = 0;
        Timer1_.stop();
        overflow_ = false;
        lost_ = false;
        closed_ = false;
        endAnnounced_ = false;
    }
    used_ = true;
    framer_.clear();
    sock_->setPortName(QString::number(port));
    sock_->setHostName(host);
    sock_->Open();
    unreachable_ = false;
    connectTimer_.start();
}

void ClientConnection::connectTimedOut()
{
    if (sock_->Connected())
        return;
    // Our own close of the attempt is no end of a game.
    unreachable_ = true;
    sock_->Close();
    emit unreachable(kErrorText.arg(kTimedOut).arg(wsaErrorName(kTimedOut)));
}

void ClientConnection::sendToHost(const QByteArray &message)
{
    if (!sock_->HasHandle())
        return;
    try {
        sock_->Send(framed(message));
    } catch (const ESockException &error) {
        reportError(error.text);
    }
}

quint16 ClientConnection::localPort() const
{
    return sock_->LocalPort();
}

bool ClientConnection::isOpen() const
{
    return sock_->HasHandle();
}

void ClientConnection::sockRead(TSock *, int)
{
    try {
        takeReceivedBytes();
    } catch (const ESockException &error) {
        reportError(error.text);
    }
}

void ClientConnection::takeReceivedBytes()
{
    const QByteArray bytes = sock_->Receive();
    if (overflow_)
        return;
    framer_.feed(QByteArrayView(bytes), [this](QByteArrayView message) { enqueue(message); });
    // A host that never ends its message, or floods us faster than any game
    // goes, is no game host; the connection is of no further use.
    if (overflow_ || framer_.pendingBytes() > kMaxUnterminatedBytes) {
        overflow_ = true;
        giveUp(kHostSentTooMuch);
    }
}

void ClientConnection::giveUp(const QString &notice)
{
    if (lost_)
        return;
    lost_ = true;
    emit connectionLost(notice);
    if (overflow_) {
        framer_.clear();
        receivedlist_.clear();
        queuedBytes_ = 0;
        sock_->Close();
    }
}

void ClientConnection::sockInfo(TSock *, TSocketInfo info, const QString &text)
{
    if (unreachable_)
        return;
    if (info == TSocketInfo::Connect) {
        connectTimer_.stop();
        return;
    }
    if (info == TSocketInfo::Error && connectTimer_.isActive() && !sock_->Connected()) {
        connectTimer_.stop();
        unreachable_ = true;
        sock_->Close();
        emit unreachable(text);
        return;
    }
    // A connection the network breaks reports its error while it still
    // counts as connected; a host that cannot be reached never got there,
    // and the client only waits on.
    if (info == TSocketInfo::Error && sock_->Connected()) {
        giveUp(kConnectionLost.arg(text));
        return;
    }
    if (text != TSockText::SocketClosed || closed_)
        return;
    closed_ = true;
    // Bytes that came in just before the close still count.
    try {
        takeReceivedBytes();
    } catch (const ESockException &) {
        // Nothing was left to take.
    }
    announceEndIfDrained();
}

void ClientConnection::enqueue(QByteArrayView message)
{
    if (overflow_)
        return;
    if (qsizetype(receivedlist_.size()) >= kMaxWaitingMessages ||
        queuedBytes_ + message.size() > kMaxWaitingBytes) {
        overflow_ = true;
        return;
    }
    receivedlist_.emplace_back(message.toByteArray());
    queuedBytes_ += message.size();
    if (!Timer1_.isActive())
        Timer1_.start();
}

void ClientConnection::Timer1Timer()
{
    processsocktimer();
    if (receivedlist_.empty()) {
        Timer1_.stop();
        announceEndIfDrained();
    }
}

void ClientConnection::processsocktimer()
{
    if (receivedlist_.empty())
        return;
    const QByteArray message = std::move(receivedlist_.front());
    receivedlist_.pop_front();
    queuedBytes_ -= message.size();
    dispatcher_.dispatch(message);
}

void ClientConnection::announceEndIfDrained()
{
    // A connection given up leaves the window open with its notice.
    if (!closed_ || endAnnounced_ || lost_ || !receivedlist_.empty())
        return;
    endAnnounced_ = true;
    emit ended();
}

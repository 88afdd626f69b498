#include "lan/gameannouncer.h"

#include "lan/localnetworks.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

GameAnnouncer::GameAnnouncer(quint16 port, std::function<lan::Announcement()> describe,
                             QObject *parent)
    : QObject(parent), port_(port), describe_(std::move(describe))
{
    beat_.setInterval(kIntervalMs);
    connect(&beat_, &QTimer::timeout, this, &GameAnnouncer::announceNow);
    started_.start();
}

GameAnnouncer::~GameAnnouncer()
{
    // The table may be gone already; the closing word repeats the last one.
    if (running_) {
        running_ = false;
        lan::Announcement closing = last_;
        closing.closed = true;
        send(closing);
    }
}

bool GameAnnouncer::start()
{
    if (running_)
        return socket_ && socket_->state() == QAbstractSocket::BoundState;
    running_ = true;
    socket_ = std::make_unique<QUdpSocket>();
    const bool bound = socket_->bind(QHostAddress::AnyIPv4, port_,
                                     QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    connect(socket_.get(), &QUdpSocket::readyRead, this, &GameAnnouncer::readQueries);
    announceNow();
    beat_.start();
    return bound;
}

void GameAnnouncer::stop()
{
    if (!running_)
        return;
    running_ = false;
    beat_.stop();
    lan::Announcement closing = last_;
    closing.closed = true;
    send(closing);
    socket_.reset();
}

void GameAnnouncer::announceNow()
{
    if (!running_)
        return;
    last_ = describe_();
    last_.closed = false;
    send(last_);
}

void GameAnnouncer::send(const lan::Announcement &told)
{
    if (!socket_)
        return;
    const QByteArray datagram = told.build();
    for (const QHostAddress &target : LocalNetworks::current().broadcastAddresses())
        socket_->writeDatagram(datagram, target, port_);
}

void GameAnnouncer::readQueries()
{
    while (socket_ && socket_->hasPendingDatagrams()) {
        const QNetworkDatagram query = socket_->receiveDatagram(lan::kDatagramSize + 1);
        if (!running_ || !lan::isQuery(query.data()))
            continue;
        const QHostAddress sender = query.senderAddress();
        bool isIpv4 = false;
        const quint32 senderIpv4 = sender.toIPv4Address(&isIpv4);
        if (!isIpv4 || query.senderPort() <= 0)
            continue;
        // Only to the cable, and not so often that we could be made to
        // flood anybody there.
        if (!LocalNetworks::current().contains(sender))
            continue;
        const qint64 now = clock_ ? clock_() : started_.elapsed();
        if (!limit_.allow(senderIpv4, now))
            continue;
        last_ = describe_();
        last_.closed = false;
        socket_->writeDatagram(last_.build(), sender, quint16(query.senderPort()));
    }
}

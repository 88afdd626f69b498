#include "lan/gamefinder.h"

#include "lan/localnetworks.h"
#include "net/lanannouncement.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

GameFinder::GameFinder(quint16 port, QObject *parent) : QObject(parent), port_(port)
{
    queryBeat_.setInterval(kQueryIntervalMs);
    connect(&queryBeat_, &QTimer::timeout, this, &GameFinder::queryNow);
    expiryBeat_.setInterval(kExpiryCheckMs);
    connect(&expiryBeat_, &QTimer::timeout, this, &GameFinder::expire);
    clock_.start();
}

GameFinder::~GameFinder() = default;

void GameFinder::start()
{
    if (running())
        return;
    const bool hadGames = !found_.games().isEmpty();
    found_.clear();
    announcements_ = std::make_unique<QUdpSocket>();
    announcements_->bind(QHostAddress::AnyIPv4, port_,
                         QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    queries_ = std::make_unique<QUdpSocket>();
    queries_->bind(QHostAddress::AnyIPv4, 0);
    for (QUdpSocket *socket : {announcements_.get(), queries_.get()})
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { read(*socket); });
    queryNow();
    queryBeat_.start();
    expiryBeat_.start();
    if (hadGames)
        emit gamesChanged();
}

void GameFinder::stop()
{
    queryBeat_.stop();
    expiryBeat_.stop();
    announcements_.reset();
    queries_.reset();
}

void GameFinder::queryNow()
{
    if (!queries_)
        return;
    const QByteArray query = lan::buildQuery();
    for (const QHostAddress &target : LocalNetworks::current().broadcastAddresses())
        queries_->writeDatagram(query, target, port_);
}

void GameFinder::read(QUdpSocket &socket)
{
    bool changed = false;
    std::optional<LocalNetworks> networks;
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket.receiveDatagram(lan::kDatagramSize + 1);
        const std::optional<lan::Announcement> told = lan::Announcement::read(datagram.data());
        if (!told)
            continue;
        bool isIpv4 = false;
        const QHostAddress sender(datagram.senderAddress().toIPv4Address(&isIpv4));
        if (!isIpv4)
            continue;
        const quint16 ownPort = ownPort_ ? ownPort_() : 0;
        if (ownPort != 0 && told->port == ownPort) {
            if (!networks)
                networks = LocalNetworks::current();
            if (networks->isOwnAddress(sender))
                continue;
        }
        changed = found_.heard(sender, *told, now()) || changed;
    }
    if (changed)
        emit gamesChanged();
}

void GameFinder::expire()
{
    if (found_.expire(now()))
        emit gamesChanged();
}

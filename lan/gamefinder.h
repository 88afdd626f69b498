#pragma once

#include "lan/foundgames.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QUdpSocket;

// The joining side: while it runs it hears the hosts' announcements on the
// network, asks for the games when it starts and every few seconds, and
// keeps the list of games heard, without this copy's own.
class GameFinder : public QObject
{
    Q_OBJECT
public:
    static constexpr int kQueryIntervalMs = 3000;
    static constexpr int kExpiryCheckMs = 1000;

    // `port` is the UDP port the hosts announce to and answer on.
    explicit GameFinder(quint16 port, QObject *parent = nullptr);
    ~GameFinder() override;

    // The TCP port this copy hosts on, 0 when it hosts nothing: a game of
    // this computer's on that port is its own and never listed.
    void setOwnGamePort(std::function<quint16()> ownPort) { ownPort_ = std::move(ownPort); }

    // Starts with an empty list and asks at once.
    void start();
    void stop();
    bool running() const { return bool(queries_); }
    void queryNow();

    const QList<FoundGame> &games() const { return found_.games(); }

signals:
    void gamesChanged();

private:
    void read(QUdpSocket &socket);
    void expire();
    qint64 now() const { return clock_.elapsed(); }

    quint16 port_;
    std::function<quint16()> ownPort_;
    // The announcements come to the shared game port; the answers to our
    // queries to a port of our own, so that a host on this computer, which
    // holds the game port too, never takes them.
    std::unique_ptr<QUdpSocket> announcements_;
    std::unique_ptr<QUdpSocket> queries_;
    QTimer queryBeat_;
    QTimer expiryBeat_;
    QElapsedTimer clock_;
    FoundGames found_;
};

#pragma once

#include "lan/answerlimit.h"
#include "net/lanannouncement.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QUdpSocket;

// The host's voice on the local network while it hosts for others: it
// sends its announcement to the broadcast address of every network the
// computer is on when it starts, every few seconds, and whenever the table
// changes, and a last one saying it closed when it stops. A query from a
// joining copy is answered at once, to that sender only, if he is on one of
// those networks and has not asked too often. Nothing else that arrives is
// looked at twice.
class GameAnnouncer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 3000;

    // `describe` tells the game as it is now. `port` is the UDP port the
    // announcements go to and the queries come to.
    GameAnnouncer(quint16 port, std::function<lan::Announcement()> describe,
                  QObject *parent = nullptr);
    ~GameAnnouncer() override;

    // Binds the port (shared, so that a joining copy on this computer hears
    // the network too) and announces. Returns whether the port could be
    // bound; announcements go out either way.
    bool start();
    // Tells the network the game closed and goes quiet.
    void stop();
    bool running() const { return running_; }
    // The table changed: tell it now rather than at the next beat.
    void announceNow();

    // The time the answer limit reads; tests set it.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

private:
    void send(const lan::Announcement &told);
    void readQueries();

    quint16 port_;
    std::function<lan::Announcement()> describe_;
    std::unique_ptr<QUdpSocket> socket_;
    QTimer beat_;
    AnswerLimit limit_;
    QElapsedTimer started_;
    std::function<qint64()> clock_;
    // What was told last: the closing word repeats it.
    lan::Announcement last_;
    bool running_ = false;
};

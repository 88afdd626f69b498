// The host's real timing, as a player's copy sees it on loopback: the pause
// between rounds, from the bust (CMD_roundover) to the next deal
// (CMD_startround), which the game sets at 7 seconds; and the computer
// players' delay, from the turn falling to a computer seat (CMD_nextplayer)
// to its card (CMD_playcard), which is the bot speed (750 ms, "Normal").
// One human plays seat 1 at once whenever it is his turn; the other three
// seats are computer players. Usage: bench_pause [pauses to measure, 4]

#include "host/computerplayer.h"
#include "host/random.h"
#include "host/tserver.h"
#include "net/framer.h"
#include "net/gamemessage.h"
#include "net/messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <vector>

namespace {

constexpr int kBotDelayMs = 750;

struct Arrival
{
    QByteArray message;
    double ms = 0; // since the clock started
};

class Player
{
public:
    Player(quint16 port, const QElapsedTimer &clock) : m_clock(clock)
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] {
            const double now = double(m_clock.nsecsElapsed()) / 1e6;
            m_framer.feed(QByteArrayView(m_socket.readAll()), [this, now](QByteArrayView message) {
                m_inbox.push_back({message.toByteArray(), now});
            });
        });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

    void send(const QByteArray &message)
    {
        m_socket.write(framed(message));
        m_socket.flush();
    }

    Arrival next()
    {
        while (m_inbox.empty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        Arrival arrival = m_inbox.front();
        m_inbox.pop_front();
        return arrival;
    }

private:
    const QElapsedTimer &m_clock;
    QTcpSocket m_socket;
    MessageFramer m_framer;
    std::deque<Arrival> m_inbox;
};

void report(const char *what, std::vector<double> ms, double goal)
{
    if (ms.empty()) {
        std::printf("%-28s no samples\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s median %8.1f ms   min %8.1f   max %8.1f   (goal %.0f ms, %zu samples)\n",
                what, ms[ms.size() / 2], ms.front(), ms.back(), goal, ms.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int pausesWanted = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 4;
    Random random;
    random.setSeed(777);
    TServer server(0, random);
    server.startListening();

    QElapsedTimer clock;
    clock.start();
    Player alice(server.listeningPort(), clock);
    int slot = 0;
    while (slot == 0) {
        const GameMessage parsed = GameMessage::parse(alice.next().message);
        if (parsed.name == cmd::sendlogininfo)
            slot = FieldReader(parsed.payload).number();
    }
    alice.send(msg::Logininfo{slot, kVersionText, "Alice"}.build());
    alice.send(msg::Botspeed{slot, kBotDelayMs}.build());
    alice.send(msg::StartgameToHost{"Alice", gamemode::withComputers}.build());

    std::vector<double> pauses;
    std::vector<double> delays;
    Hand hand{};
    int total = 0;
    double turnAt = -1;
    int turnSeat = 0;
    double bustAt = -1;
    Random choice;
    choice.setSeed(99);
    while (int(pauses.size()) < pausesWanted) {
        const Arrival arrival = alice.next();
        const GameMessage parsed = GameMessage::parse(arrival.message);
        FieldReader fields(parsed.payload);
        if (parsed.name == cmd::placecard && fields.number() == slot) {
            hand = fields.numberedList();
        } else if (parsed.name == cmd::newcard && fields.number() == slot) {
            const int position = fields.number();
            hand[position - 1] = fields.number();
        } else if (parsed.name == cmd::startround) {
            total = 0;
            if (bustAt >= 0) {
                pauses.push_back(arrival.ms - bustAt);
                std::printf("pause %zu: %.1f ms\n", pauses.size(), pauses.back());
                std::fflush(stdout);
            }
            bustAt = -1;
        } else if (parsed.name == cmd::nextplayer) {
            turnSeat = fields.number();
            turnAt = arrival.ms;
            if (turnSeat == slot)
                alice.send(msg::PlaycardToHost{slot, cplayChoice(hand, total, choice)}.build());
        } else if (parsed.name == cmd::playcard) {
            const int seat = fields.number();
            fields.number();
            total = fields.number();
            if (seat != slot && seat == turnSeat && turnAt >= 0)
                delays.push_back(arrival.ms - turnAt);
            turnAt = -1;
        } else if (parsed.name == cmd::roundover) {
            bustAt = arrival.ms;
        } else if (parsed.name == cmd::winner) {
            bustAt = -1;
            alice.send(msg::StartgameToHost{"Alice", gamemode::withComputers}.build());
        }
    }
    report("pause between rounds:", pauses, 7000);
    report("computer player's delay:", delays, kBotDelayMs);
    return 0;
}

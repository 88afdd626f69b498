// Four hogs against a host, and an honest player's chat round trip beside
// them. The host (a TServer) runs in this process; the honest player and
// each hog are child processes on plain sockets, so the hogs send as fast as
// the system lets them.
//
// Two rounds:
//   chat hogs:  four hogs write 8,000-character chat lines without pause.
//   queue hogs: three seated hogs each keep 90 requests waiting at the host
//               (play-again requests, which the host answers to everybody),
//               and the fourth writes chat lines without pause.
// The honest player sends one chat line every 1.1 seconds (within the chat
// limit) and times each until the host's relay of it comes back.

#include "bench/rawpeer.h"
#include "host/tserver.h"
#include "net/gamemessage.h"
#include "net/messages.h"

#include <QCoreApplication>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kSamples = 12;
constexpr double kSampleSpacingMs = 1100;
constexpr int kHogs = 4;
constexpr int kInFlight = 90;

int loginAs(RawPeer &peer, const QByteArray &name, QByteArrayList &inbox)
{
    while (true) {
        for (const QByteArray &message : inbox) {
            const GameMessage parsed = GameMessage::parse(message);
            if (parsed.name == cmd::sendlogininfo) {
                const int slot = parseStrictInt(parsed.payload).value_or(0);
                inbox.clear();
                peer.send(msg::Logininfo{slot, kVersionText, name}.build());
                peer.waitFor(msg::Newplayerinfo{slot, name}.build(), inbox, 10000);
                return slot;
            }
        }
        if (!peer.read(10000, inbox))
            return 0;
    }
}

[[noreturn]] void honestPlayer(quint16 port)
{
    RawPeer peer = RawPeer::connectTo(port);
    QByteArrayList inbox;
    const int slot = loginAs(peer, "Honest", inbox);
    // The hogs get going first.
    ::usleep(1500 * 1000);
    std::vector<double> ms;
    for (int i = 0; i < kSamples; ++i) {
        const QByteArray words = "ping " + QByteArray::number(i) + "|clBlack";
        inbox.clear();
        const double start = monotonicMs();
        peer.send(msg::ChatToHost{slot, words}.build());
        if (!peer.waitFor(msg::ChatToAll{"Honest", words}.build(), inbox, 60000)) {
            std::printf("  honest player: no answer within 60 s\n");
            break;
        }
        ms.push_back(monotonicMs() - start);
        const double left = kSampleSpacingMs - (monotonicMs() - start);
        if (left > 0)
            ::usleep(useconds_t(left * 1000));
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        const auto at = [&ms](double q) { return ms[size_t(q * double(ms.size() - 1))]; };
        std::printf("  honest chat round trip: median %.1f ms, 95th percentile %.1f ms, "
                    "worst %.1f ms (%zu samples)\n",
                    at(0.5), at(0.95), ms.back(), ms.size());
    }
    std::fflush(stdout);
    std::_Exit(0);
}

[[noreturn]] void hog(quint16 port, int number, bool queueHog)
{
    RawPeer peer = RawPeer::connectTo(port);
    QByteArrayList inbox;
    const int slot = loginAs(peer, "Hog" + QByteArray::number(number), inbox);
    if (queueHog && slot >= 2 && slot <= 4) {
        const QByteArray request = framed(msg::Justwatch{slot, watchflag::playAgain}.build());
        const QByteArray answer = msg::Justwatching{slot, watchflag::playAgain}.build();
        int inFlight = 0;
        while (true) {
            QByteArray burst;
            for (; inFlight < kInFlight; ++inFlight)
                burst += request;
            if (!burst.isEmpty() && !peer.sendAll(burst))
                break;
            inbox.clear();
            if (!peer.read(5, inbox))
                break;
            inFlight -= int(inbox.count(answer));
        }
    } else {
        QByteArray burst;
        for (int i = 0; i < 10; ++i)
            burst += framed(msg::ChatToHost{slot, QByteArray(8000, 'h') + "|clRed"}.build());
        while (peer.sendAll(burst)) {
            inbox.clear();
            if (!peer.read(0, inbox))
                break;
        }
    }
    std::_Exit(0);
}

void runUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

int loggedIn(const TServer &server)
{
    int count = 0;
    for (int slot = 1; slot <= kHighestSlot; ++slot)
        count += server.player(slot).loggedIn ? 1 : 0;
    return count;
}

void round(const char *title, bool queueHogs)
{
    std::printf("%s\n", title);
    std::fflush(stdout);
    Random random;
    random.setSeed(11);
    TServer server(0, random);
    server.startListening();
    const quint16 port = server.listeningPort();

    const pid_t honest = ::fork();
    if (honest == 0)
        honestPlayer(port);
    runUntil([&] { return server.player(1).loggedIn; });
    std::vector<pid_t> hogs;
    for (int i = 1; i <= kHogs; ++i) {
        const pid_t child = ::fork();
        if (child == 0)
            hog(port, i, queueHogs);
        hogs.push_back(child);
        runUntil([&] { return loggedIn(server) == i + 1; });
    }

    int status = 0;
    runUntil([&] { return ::waitpid(honest, &status, WNOHANG) == honest; });
    int hogsLeft = 0;
    for (int slot = 2; slot <= kHighestSlot; ++slot)
        hogsLeft += server.player(slot).connected ? 1 : 0;
    std::printf("  hogs still connected at the end: %d of %d\n", hogsLeft, kHogs);
    for (const pid_t child : hogs) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    round("chat hogs: four connections writing 8,000-character chat lines without pause", false);
    round("queue hogs: three seats keeping 90 requests waiting each, one chat writer", true);
    return 0;
}

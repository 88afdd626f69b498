// A hostile host floods a joining client: a child process plays the host,
// logs the client in and then writes messages as fast as the socket takes
// them; this process is the client (the real main window, offscreen). It
// prints the client's memory before the flood and its peak during it, how
// long the client took to give up, and how much the host got to send.
//
// Usage: bench_client_flood [short|long]
//   short: one short valid message after another (CMD_nextplayer)
//   long:  messages of 60,000 bytes, under the unterminated-message limit

#include "bench/rawpeer.h"
#include "client/composition.h"
#include "client/session/clientconnection.h"
#include "client/tchat.h"
#include "net/messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <sys/wait.h>

#include <cstdio>

namespace {

constexpr int kFloodSeconds = 10;

// A figure of /proc/self/status, in MiB.
double statusMiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').first().toDouble() /
                   1024.0;
    }
    return -1;
}

[[noreturn]] void hostileHost(int listener, bool longMessages)
{
    RawPeer client(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
    QByteArrayList inbox;
    client.send(msg::Sendlogininfo{2}.build());
    client.waitFor(msg::Logininfo{2, kVersionText, "Ann"}.build(), inbox, 10000);
    client.send(msg::Newplayerinfo{2, "Ann"}.build());
    // Time for the client to settle and take its measure.
    ::usleep(500 * 1000);

    const QByteArray one =
        framed(longMessages ? "CMD_pad+" + QByteArray(60000, 'p') : msg::Nextplayer{2}.build());
    QByteArray chunk;
    while (chunk.size() < 1024 * 1024)
        chunk += one;
    const double start = monotonicMs();
    qint64 sent = 0;
    while (monotonicMs() - start < kFloodSeconds * 1000.0 && client.sendAll(chunk))
        sent += chunk.size();
    std::printf("host: sent %.1f MiB (%lld messages) in %.2f s before the client closed\n",
                double(sent) / (1024.0 * 1024.0), (long long)(sent / one.size()),
                (monotonicMs() - start) / 1000.0);
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace

int main(int argc, char **argv)
{
    const bool longMessages = argc > 1 && qstrcmp(argv[1], "long") == 0;
    quint16 port = 0;
    quint16 lobbyPort = 0;
    const int listener = listenOnLoopback(port);
    const int lobby = listenOnLoopback(lobbyPort); // the lobby link; never read
    if (listener < 0 || lobby < 0) {
        std::fprintf(stderr, "cannot listen on loopback\n");
        return 1;
    }
    std::fflush(stdout);
    const pid_t host = ::fork();
    if (host == 0)
        hostileHost(listener, longMessages);
    ::close(listener);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Composition program(
        {QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("false")},
        TchatPorts{port, lobbyPort});
    Tchat &window = program.window();
    ClientConnection &connection = window.connection();

    double before = 0;
    QElapsedTimer flood;
    qint64 mostWaiting = 0;
    qint64 mostBytes = 0;
    double gaveUpAfter = -1;
    QObject::connect(&window, &Tchat::ownLoginConfirmed, [&] {
        before = statusMiB("VmHWM:");
        flood.start();
    });
    QObject::connect(&connection, &ClientConnection::connectionLost, [&] {
        mostWaiting = std::max<qint64>(mostWaiting, connection.queuedMessages());
        mostBytes = std::max<qint64>(mostBytes, connection.queuedBytes());
        gaveUpAfter = double(flood.elapsed()) / 1000.0;
    });
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        mostWaiting = std::max<qint64>(mostWaiting, connection.queuedMessages());
        mostBytes = std::max<qint64>(mostBytes, connection.queuedBytes());
    });
    sample.start(5);
    window.show();

    // Run until the host is done (it stops when the client closes, or after
    // the flood's time), and a moment more.
    int status = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (::waitpid(host, &status, WNOHANG) == host)
            QTimer::singleShot(500, &app, &QCoreApplication::quit);
    });
    watch.start(50);
    app.exec();

    std::printf("client (%s messages): memory before the flood %.1f MiB, peak %.1f MiB "
                "(VmHWM), now %.1f MiB (VmRSS)\n",
                longMessages ? "long" : "short", before, statusMiB("VmHWM:"), statusMiB("VmRSS:"));
    if (gaveUpAfter >= 0)
        std::printf("client: gave up %.2f s into the flood; at most %lld messages, %.1f MiB "
                    "waiting\n",
                    gaveUpAfter, (long long)mostWaiting, double(mostBytes) / (1024.0 * 1024.0));
    else
        std::printf("client: never gave up; at most %lld messages, %.1f MiB waiting\n",
                    (long long)mostWaiting, double(mostBytes) / (1024.0 * 1024.0));
    return 0;
}

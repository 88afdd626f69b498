// A hostile or broken host against a joining main window: a flood of
// messages, a message without end, a connection reset. The window stays
// open, says in the chat what happened, and holds only a bounded queue.

#include "client/chat/chatlog.h"
#include "client/session/clientconnection.h"
#include "client/session/shutdownsignals.h"
#include "client/tchat.h"
#include "net/framer.h"
#include "net/messages.h"
#include "tests/client/programwindow.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <sys/socket.h>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <memory>

namespace {

const QString kTooMuch =
    QStringLiteral("The host sent more than a game ever sends. The connection was closed.");

// The main window joined as "Ann" to a host this test plays, with the host's
// end of the connection at hand (to flood it, or to reset it).
class HostileHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
        ASSERT_TRUE(files.isValid());
        window = std::make_unique<Composition>(QStringList{"Ann", "127.0.0.1", "false"},
                                               TchatPorts{server.serverPort(), lobby.serverPort()},
                                               nullptr, files.path());
        QObject::connect(window.get(), &Tchat::mainWindowClosed, [this] { closed = true; });
        window->show();
        ASSERT_TRUE(waitUntil([this] {
            if (!client && server.hasPendingConnections())
                client = server.nextPendingConnection();
            return bool(client);
        }));
    }

    void send(const QByteArray &bytes)
    {
        client->write(bytes);
        client->flush();
    }
    void login()
    {
        send(framed(msg::Sendlogininfo{2}.build()) + framed(msg::Newplayerinfo{2, "Ann"}.build()));
        ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "You are Connected."); }));
    }
    bool hostSeesClose() const
    {
        return waitUntil(
            [this] { return !client || client->state() != QAbstractSocket::ConnectedState; });
    }

    QTcpServer server;
    QTcpServer lobby;
    QPointer<QTcpSocket> client;
    QTemporaryDir files; // the settings and the tally
    ProgramWindow window;
    bool closed = false;
};

struct FloodCase
{
    const char *what;
    QByteArray bytes;
};

void PrintTo(const FloodCase &c, std::ostream *os)
{
    *os << c.what;
}

QByteArray repeated(const QByteArray &message, int times)
{
    const QByteArray one = framed(message);
    QByteArray all;
    all.reserve(one.size() * times);
    for (int i = 0; i < times; ++i)
        all += one;
    return all;
}

class Flood : public HostileHost, public ::testing::WithParamInterface<FloodCase>
{
};

TEST_P(Flood, TheClientClosesTheConnectionSaysSoAndStaysOpen)
{
    login();
    ClientConnection &connection = window->connection();
    qsizetype mostWaiting = 0;
    qsizetype mostBytes = 0;
    QObject::connect(&connection, &ClientConnection::connectionLost, [&] {
        // What waited when the client gave up, before it dropped it.
        mostWaiting = connection.queuedMessages();
        mostBytes = connection.queuedBytes();
    });
    send(GetParam().bytes);
    ASSERT_TRUE(hostSeesClose());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), kTooMuch); }));
    EXPECT_TRUE(connection.lost());
    EXPECT_LE(mostWaiting, ClientConnection::kMaxWaitingMessages);
    EXPECT_LE(mostBytes, ClientConnection::kMaxWaitingBytes);
    EXPECT_EQ(connection.queuedMessages(), 0);

    // The window stays, with the game as it was and the notice once.
    EXPECT_FALSE(waitUntil([&] { return closed; }, 300));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(chatLines(window.get()).count(kTooMuch), 1);
    EXPECT_TRUE(chatHasLine(window.get(), "You are Connected."));
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, Flood,
    ::testing::Values(
        // Short valid messages, far more than wait in any game.
        FloodCase{"short messages", repeated(msg::Nextplayer{2}.build(), 3 * 20000)},
        // Fewer, but long: the bytes give out first.
        FloodCase{"long messages", repeated("CMD_pad+" + QByteArray(60000, 'p'), 200)},
        FloodCase{"a message without end", QByteArray(70 * 1024, 'x')}),
    [](const auto &info) {
        QByteArray name = info.param.what;
        name.replace(' ', '_');
        return std::string(name.constData());
    });

TEST_F(HostileHost, AResetLeavesTheWindowOpenWithTheSocketsError)
{
    login();
    send(framed(msg::Existingplayers{1, "Bo"}.build()));
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "Bo is Connected."); }));
    // A zero linger time makes the close a reset.
    const linger reset{1, 0};
    ASSERT_EQ(
        ::setsockopt(int(client->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset),
        0);
    client->abort();
    EXPECT_TRUE(waitUntil([&] {
        return chatHasLine(window.get(),
                           "The connection to the game was lost: Error #10054 (WSAECONNRESET)");
    }));
    EXPECT_FALSE(waitUntil([&] { return closed; }, 300));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->connection().lost());
    EXPECT_FALSE(window->connection().isOpen());
}

// Resident memory in MiB.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// A host that sends 60,000-character chat lines as fast as the client takes
// them once froze the window for good inside the chat log's text layout: no
// menu opened and a logout's signal went unheard. For a minute the host
// keeps one line waiting; all the while a click opens the menu and a signal
// is heard within a second, and the memory the window holds stays bounded.
TEST_F(HostileHost, LongChatLinesAtTheClientsPaceForAMinuteLeaveTheWindowAnswering)
{
    login();
    ClientConnection &connection = window->connection();
    QByteArray words;
    while (words.size() < 60000)
        words += "flooding ";
    const QByteArray line = framed("CMD_chat+Eve chats: " + words.left(60000) + "|clRed");
    qint64 linesSent = 0;
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, [&] {
        if (client && client->bytesToWrite() == 0 && connection.queuedMessages() == 0) {
            send(line);
            ++linesSent;
        }
    });
    pace.start(1);

    ShutdownSignals shutdown;
    ASSERT_TRUE(shutdown.active());
    int signalsHeard = 0;
    QObject::connect(&shutdown, &ShutdownSignals::received, [&] { ++signalsHeard; });
    QMenuBar *bar = window->menuBar();
    QAction *file = bar->actions().value(0);
    ASSERT_NE(file, nullptr);
    ASSERT_NE(file->menu(), nullptr);
    const QPoint onFile = bar->actionGeometry(file).center();

    waitUntil([] { return false; }, 5000);
    const double settledMiB = residentMiB();
    double mostMiB = settledMiB;
    QElapsedTimer minute;
    minute.start();
    int checks = 0;
    qint64 slowestAnswerMs = 0;
    QElapsedTimer answer;
    while (minute.elapsed() < 60000) {
        ++checks;
        answer.start();
        QCoreApplication::postEvent(bar, new QMouseEvent(QEvent::MouseButtonPress, onFile,
                                                         bar->mapToGlobal(onFile), Qt::LeftButton,
                                                         Qt::LeftButton, Qt::NoModifier));
        ASSERT_TRUE(waitUntil([&] { return file->menu()->isVisible(); }, 1000)) << checks;
        slowestAnswerMs = std::max(slowestAnswerMs, answer.elapsed());
        QCoreApplication::postEvent(
            file->menu(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        ASSERT_TRUE(waitUntil([&] { return !file->menu()->isVisible(); }, 1000)) << checks;
        answer.start();
        ASSERT_EQ(::raise(SIGTERM), 0);
        ASSERT_TRUE(waitUntil([&] { return signalsHeard == checks; }, 1000)) << checks;
        slowestAnswerMs = std::max(slowestAnswerMs, answer.elapsed());
        mostMiB = std::max(mostMiB, residentMiB());
        waitUntil([] { return false; }, 3000);
    }
    pace.stop();

    std::printf("%lld lines of 60,000 characters sent; %d menus and signals answered, the "
                "slowest in %lld ms; memory %.1f MiB after 5 s, at most %.1f MiB\n",
                (long long)linesSent, checks, (long long)slowestAnswerMs, settledMiB, mostMiB);
    EXPECT_FALSE(connection.lost());
    EXPECT_GT(linesSent, 100);
    const auto *log = window->findChild<QTextEdit *>(QStringLiteral("mainchat"));
    ASSERT_NE(log, nullptr);
    EXPECT_LE(log->document()->characterCount(), ChatLog::kMaxCharacters + 60000);
    // Generous: the log's limits hold it to a few MiB of text and layout;
    // without them its text grew by some 150 MB a minute.
    EXPECT_LT(mostMiB - settledMiB, 100.0);
}

// A host that closes in good order without a word is taken for a drop:
// the window stays and tries again, and no broken connection is reported.
TEST_F(HostileHost, AnOrderlyCloseWithoutAWordIsTriedAgain)
{
    login();
    client->disconnectFromHost();
    ASSERT_TRUE(waitUntil([&] {
        return chatHasLine(window.get(), "Lost the connection to the game. Trying again...");
    }));
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->connection().lost());
    EXPECT_TRUE(chatLines(window.get()).filter("connection was lost").isEmpty());
}

} // namespace

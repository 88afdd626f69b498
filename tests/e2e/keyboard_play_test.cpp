#include "net/messages.h"
#include "tests/e2e/xdisplay.h"
#include "tests/e2e/xinput.h"
#include "tests/support/ownnetwork.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QByteArrayList>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Bob in seat 2, a bare peer on the wire: he reads everything the host
// sends and lays his first card whenever his turn comes.
class Peer
{
public:
    bool join()
    {
        const bool reached = waitUntil(
            [&] {
                if (socket_.state() == QAbstractSocket::UnconnectedState)
                    socket_.connectToHost(QStringLiteral("127.0.0.1"), 7772);
                socket_.waitForConnected(100);
                return socket_.state() == QAbstractSocket::ConnectedState;
            },
            30000);
        if (!reached || !waitFor(msg::Sendlogininfo{2}.build())) {
            qWarning() << "Bob could not log in; connected:" << reached << "heard:" << messages_;
            return false;
        }
        send(msg::Logininfo{2, kVersionText, "Bob"}.build());
        return true;
    }

    void send(const QByteArray &message)
    {
        socket_.write(message + '\xff');
        socket_.flush();
    }

    // Reads what has come and plays Bob's turns; returns every message.
    const QByteArrayList &read()
    {
        socket_.waitForReadyRead(5);
        bytes_ += socket_.readAll();
        for (qsizetype end = bytes_.indexOf('\xff'); end >= 0; end = bytes_.indexOf('\xff')) {
            const QByteArray message = bytes_.left(end);
            bytes_.remove(0, end + 1);
            messages_.append(message);
            if (message == msg::Nextplayer{2}.build())
                send(msg::PlaycardToHost{2, 1}.build());
        }
        return messages_;
    }

    bool waitFor(const QByteArray &message, int timeoutMs = 30000)
    {
        return waitUntil([&] { return read().contains(message); }, timeoutMs);
    }

    // The seat whose turn the host announced last, 0 before any.
    int turn()
    {
        for (qsizetype i = messages_.size() - 1; i >= 0; --i) {
            if (messages_[i].startsWith("CMD_nextplayer+"))
                return messages_[i].mid(15).chopped(1).toInt();
        }
        return 0;
    }

    // Cards the host's user laid, as everybody is told.
    int playsOfSeat1()
    {
        int plays = 0;
        for (const QByteArray &message : messages_)
            plays += message.startsWith("CMD_playcard+1+") ? 1 : 0;
        return plays;
    }

private:
    QTcpSocket socket_;
    QByteArray bytes_;
    QByteArrayList messages_;
};

// The real program hosts for Ann; a game is started and her cards are
// played with keys alone, typed on the X server's keyboard: Alt+F and Enter
// open File > Start Game, Enter starts it in the game options window, and
// on each of her turns a digit, or Right and Enter, lays a card.
TEST(KeyboardPlay, AGameStartedAndPlayedWithKeysAlone)
{
    if (!ownNetwork())
        GTEST_SKIP() << "no network namespace of our own (needs root)";
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb is not available";
    XTestInput input(display.name());
    ASSERT_TRUE(input.connected()) << "the X test extension is not available";

    // A desktop's window manager: it gives the new window the keyboard and
    // hands it back when the game options window closes.
    WindowManager windowManager(display);
    if (!windowManager.missing().isEmpty())
        GTEST_SKIP() << windowManager.missing().toStdString();

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("zandor"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZANDOR_BINARY), program));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.name());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("XDG_RUNTIME_DIR", folder.path());
    environment.remove("WAYLAND_DISPLAY");
    QProcess game;
    game.setProcessEnvironment(environment);
    game.setProcessChannelMode(QProcess::ForwardedChannels);
    game.start(program,
               {QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    ASSERT_TRUE(game.waitForStarted());

    Peer bob;
    ASSERT_TRUE(bob.join()) << "the game " << (game.state() == QProcess::Running ? "runs" : "ended")
                            << ", exit code " << game.exitCode();
    ASSERT_TRUE(bob.waitFor(msg::Newplayerinfo{2, "Bob"}.build()));

    // Ann greets Bob in the chat line, which has the keys in a new window;
    // once the greeting arrives, the window manager has given it the keys.
    const auto greeted = [&] {
        for (const QByteArray &message : bob.read())
            if (message.startsWith("CMD_chat+Ann") && message.contains("hi"))
                return true;
        return false;
    };
    ASSERT_TRUE(waitUntil(
        [&] {
            input.key("h");
            input.key("i");
            input.key("Return");
            return waitUntil(greeted, 1000);
        },
        30000));

    // Each key waits for what the one before it brought up: the File menu
    // as a new window on the screen, then the game options window with the
    // keyboard.
    const int windowsBefore = input.topLevelWindows();
    ASSERT_TRUE(input.key("f", "Alt_L"));
    ASSERT_TRUE(waitUntil([&] { return input.topLevelWindows() > windowsBefore; }, 10000))
        << "the File menu did not open";
    const unsigned long mainWindowFocus = input.focusWindow();
    ASSERT_TRUE(input.key("Return"));
    ASSERT_TRUE(waitUntil([&] { return input.focusWindow() != mainWindowFocus; }, 10000))
        << "the game options window did not get the keyboard";
    ASSERT_TRUE(input.key("Return"));
    ASSERT_TRUE(bob.waitFor(msg::StartgameToAll{"Ann", gamemode::withComputers}.build()))
        << "the game did not start from the keys";

    // Ann's turns, with keys only: a digit, or Right then Enter. A key may
    // come before her copy has heard of the turn; it is typed again.
    int typed = 0;
    QElapsedTimer sinceKey;
    const bool played = waitUntil(
        [&] {
            bob.read();
            if (bob.turn() == 1 && (!sinceKey.isValid() || sinceKey.elapsed() > 700)) {
                // Keys that lay nothing twice over go where a player sends
                // them then: Escape leaves the chat line for the table.
                if (typed >= 2 && bob.playsOfSeat1() == 0 && typed % 3 == 2)
                    input.key("Escape");
                if (typed % 2 == 0) {
                    input.key("1");
                } else {
                    input.key("Right");
                    input.key("Return");
                }
                ++typed;
                sinceKey.start();
            }
            return bob.playsOfSeat1() >= 4;
        },
        120000);
    EXPECT_TRUE(played) << "keys typed " << typed << " times, cards laid " << bob.playsOfSeat1();

    game.kill();
    game.waitForFinished();
}

} // namespace

#include "client/composition.h"
#include "client/mainmenu.h"
#include "client/model/tablestate.h"
#include "client/session/playwithothers.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "router/portmapping.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/routernetwork.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tplaywithothers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextEdit>

#include <memory>

#include <signal.h>

namespace {

constexpr quint16 kGamePort = 7772;
const QString kHomeLease = QStringLiteral("TCP:7772:192.168.77.2:7772:");

// The chat log as the user reads it, one line each.
QStringList chatLines(const QWidget &window)
{
    const auto *log = window.findChild<QTextEdit *>(QStringLiteral("mainchat"));
    if (!log)
        return {};
    QString text = log->toPlainText();
    text.replace(QChar(0x2029), QChar('\n'));
    text.remove(QChar(peertext::kIsolateStart)).remove(QChar(peertext::kIsolateEnd));
    return text.split(QChar('\n'));
}

// Lines as a failed comparison prints them.
std::string shown(const QStringList &lines)
{
    return lines.join(QChar('\n')).toStdString();
}

// Bob, a guest speaking the game's login and chat from a plain socket.
class Guest
{
public:
    // Connects from the network the calling thread is in now.
    void connectTo(const QString &address) { socket_.connectToHost(address, kGamePort); }

    bool logIn()
    {
        if (!heard(msg::Sendlogininfo{2}.build()))
            return false;
        send(msg::Logininfo{2, kVersionText, "Bob"}.build());
        return true;
    }

    void say(const QByteArray &words) { send(msg::ChatToHost{2, words + "|0"}.build()); }

    bool heard(const QByteArray &message)
    {
        return waitUntil(
            [&] {
                bytes_ += socket_.readAll();
                return bytes_.split('\xff').contains(message);
            },
            30000);
    }

    QByteArray everything() const { return bytes_; }

private:
    void send(const QByteArray &message)
    {
        socket_.write(message + '\xff');
        socket_.flush();
    }

    QTcpSocket socket_;
    QByteArray bytes_;
};

// Hal hosts for others from home, on the game's own port.
class HomeHost
{
public:
    explicit HomeHost(const QString &folder)
        : program_({QStringLiteral("Hal"), QStringLiteral("127.0.0.1"), QStringLiteral("true")},
                   TchatPorts{kGamePort, lobby_.serverPort()}, nullptr, fastSettingsFolder(folder))
    {}

    // Shows the window, which starts hosting.
    bool host()
    {
        program_.window().show();
        return waitUntil(
            [&] { return program_.server().listening() && window().session().loggedIn; }, 30000);
    }

    bool chatSays(const QString &line) { return chatLines(program_.window()).contains(line); }
    bool waitForLine(const QString &line)
    {
        return waitUntil([&] { return chatSays(line); }, 30000);
    }
    // Waits for these lines, one right after the other.
    bool waitForLines(const QStringList &lines)
    {
        return waitUntil(
            [&] {
                const QStringList all = chatLines(program_.window());
                for (qsizetype at = 0; at + lines.size() <= all.size(); ++at) {
                    if (all.mid(at, lines.size()) == lines)
                        return true;
                }
                return false;
            },
            30000);
    }

    Tchat &window() { return program_.window(); }
    Composition &program() { return program_; }

private:
    QTcpServer lobby_;
    const bool lobbyListening_ = lobby_.listen(QHostAddress::LocalHost, 0);
    Composition program_;
};

// Hal hosts at home behind a router that forwards ports: the chat and the
// Play with Others window give the router's outside address and the home
// computer's IPv6 address, the copy buttons put them on the clipboard, Bob
// logs in from the internet through the router, turning the option off
// gives the port back, and so does the end of the program after it is
// turned on again.
TEST(RouterPort, FriendsOnTheInternetJoinThroughTheRouter)
{
    if (const QString missing = RouterNetwork::missingPart(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing);
    RouterNetwork network;
    ASSERT_TRUE(network.build());
    ASSERT_TRUE(network.startDaemon());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    ASSERT_TRUE(network.enterHome());
    auto hal = std::make_unique<HomeHost>(folder.path());
    ASSERT_TRUE(hal->host()) << "Hal did not start hosting";
    const QString reachable = TplayWithOthers::kReachableAt.arg(network.routerOutside());
    const QString overIPv6 = TplayWithOthers::kOverIPv6.arg(RouterNetwork::kHomeIPv6);
    ASSERT_TRUE(hal->waitForLines({reachable, overIPv6}))
        << qPrintable(chatLines(hal->window()).join('\n')) << qPrintable(network.daemonLog());
    EXPECT_TRUE(network.leases().contains(kHomeLease)) << qPrintable(network.leases());

    TplayWithOthers &others = hal->program().playWithOthers().window();
    // File > Play with Others..., chosen with the keys in the main window.
    ASSERT_TRUE(windowinput::chooseMenuItem('f', hal->window().menu().PlayWithOthers1));
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &others; }));
    EXPECT_EQ(shown(others.reachableLines()), shown({reachable, overIPv6}));
    const std::pair<const char *, QString> copies[] = {
        {"button_copyaddress", network.routerOutside()},
        {"button_copyaddress6", RouterNetwork::kHomeIPv6},
    };
    for (const auto &[button, copied] : copies) {
        auto *copy = others.findChild<QPushButton *>(QLatin1String(button));
        ASSERT_TRUE(copy && copy->isVisible()) << button;
        clickWidget(*copy, Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), copied.toStdString());
    }
    windowinput::press(Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !others.isVisible(); }));

    ASSERT_TRUE(network.enterInternet());
    Guest bob;
    bob.connectTo(network.routerOutside());
    ASSERT_TRUE(network.leave());
    ASSERT_TRUE(bob.logIn()) << "Bob heard: " << bob.everything().toStdString();
    ASSERT_TRUE(waitUntil([&] { return hal->window().state().seat(2).name == "Bob"; }, 30000));

    // Options > Open Port On Router, off and on again, chosen with the keys,
    // by Hal at home, where his program looks for its own addresses.
    ASSERT_TRUE(network.enterHome());
    QAction *option = hal->window().menu().OpenPortOnRouter1;
    ASSERT_TRUE(option->isEnabled() && option->isChecked());
    const auto chooseOption = [&] {
        hal->window().activateWindow(); // the player clicks the main window
        return waitUntil([&] { return QApplication::activeWindow() == &hal->window(); }) &&
               windowinput::chooseMenuItem('o', option);
    };
    ASSERT_TRUE(chooseOption());
    EXPECT_FALSE(option->isChecked());
    EXPECT_TRUE(waitUntil([&] { return !network.leases().contains(kHomeLease); }, 10000))
        << qPrintable(network.leases());
    EXPECT_EQ(shown(others.reachableLines()),
              shown({TplayWithOthers::kReachableAt.arg(RouterNetwork::kHomeIPv6)}))
        << "the router's address is no longer reachable, the IPv6 one still is";
    // Bob came in through the port: the host is told what giving it back
    // costs.
    EXPECT_TRUE(hal->chatSays(router::PortMapping::kGivenBack.arg(kGamePort)));
    ASSERT_TRUE(chooseOption());
    EXPECT_TRUE(option->isChecked());
    EXPECT_TRUE(waitUntil([&] { return network.leases().contains(kHomeLease); }, 10000))
        << qPrintable(network.daemonLog());
    EXPECT_TRUE(waitUntil([&] {
        return others.reachableLines() == QStringList{reachable, overIPv6};
    }));

    QElapsedTimer clock;
    clock.start();
    hal.reset();
    qInfo() << "the program ended in" << clock.elapsed() << "ms";
    EXPECT_FALSE(network.leases().contains(kHomeLease)) << qPrintable(network.leases());
    EXPECT_FALSE(network.forwardingRules().contains(QLatin1String("dport 7772")))
        << qPrintable(network.forwardingRules());
}

// Hal's provider shares one IPv4 address among many customers: the chat
// says so, then gives the home computer's IPv6 address, where Bob on the
// internet logs in.
TEST(RouterPort, ASharedAddressLeavesIPv6)
{
    if (const QString missing = RouterNetwork::missingPart(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing);
    RouterNetwork network{QStringLiteral("100.64.0")};
    ASSERT_TRUE(network.build());
    ASSERT_TRUE(network.startDaemon());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    ASSERT_TRUE(network.enterHome());
    HomeHost hal(folder.path());
    ASSERT_TRUE(hal.host());
    const QString overIPv6 = TplayWithOthers::kOverIPv6.arg(RouterNetwork::kHomeIPv6);
    ASSERT_TRUE(hal.waitForLines({router::PortMapping::kSharedAddress, overIPv6}))
        << qPrintable(chatLines(hal.window()).join('\n')) << qPrintable(network.daemonLog());
    EXPECT_EQ(shown(hal.program().playWithOthers().window().reachableLines()),
              shown({TplayWithOthers::kReachableAt.arg(RouterNetwork::kHomeIPv6)}));

    ASSERT_TRUE(network.enterInternet());
    Guest bob;
    bob.connectTo(RouterNetwork::kHomeIPv6);
    ASSERT_TRUE(network.leave());
    ASSERT_TRUE(bob.logIn()) << "Bob heard: " << bob.everything().toStdString();
    ASSERT_TRUE(waitUntil([&] { return hal.window().state().seat(2).name == "Bob"; }, 30000));
}

// With no router at home the search takes its few seconds on its own
// thread: the hosted game logs Bob in and passes his chat on meanwhile, and
// then the chat says that nobody answered.
TEST(RouterPort, TheGameGoesOnWhileNoRouterAnswers)
{
    if (const QString missing = RouterNetwork::missingPart(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing);
    RouterNetwork network;
    ASSERT_TRUE(network.build());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    ASSERT_TRUE(network.enterHome());
    HomeHost hal(folder.path());
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(hal.host());
    Guest bob;
    bob.connectTo(RouterNetwork::kHomeAddress);
    ASSERT_TRUE(bob.logIn());
    bob.say("anyone there?");
    ASSERT_TRUE(bob.heard(msg::ChatToAll{"Bob", "anyone there?|0"}.build()))
        << bob.everything().toStdString();
    qInfo() << "Bob's chat came back" << clock.elapsed() << "ms after the start";
    const QString noRouter = router::PortMapping::kNoRouter.arg(kGamePort);
    EXPECT_FALSE(hal.chatSays(noRouter)) << "the search was over before Bob's chat came back";
    ASSERT_TRUE(hal.waitForLine(noRouter)) << qPrintable(chatLines(hal.window()).join('\n'));
    qInfo() << "no router was told" << clock.elapsed() << "ms after the start";
}

// The program itself, hosting at home, ends on SIGTERM, SIGINT or SIGHUP as
// it ends on Exit: the port goes back to the router on the way out. Killed,
// it leaves the router a lease of at most an hour.
TEST(RouterPort, TheProgramGivesThePortBackWhenASignalEndsIt)
{
    if (const QString missing = RouterNetwork::missingPart(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing);
    RouterNetwork network;
    ASSERT_TRUE(network.build());
    ASSERT_TRUE(network.startDaemon());
    // SIGKILL last: a program killed outright cannot give the port back, and
    // the router keeps it until the lease the program asked for runs out.
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(signalNumber);
        const bool crash = signalNumber == SIGKILL;
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const QString program = folder.filePath(QStringLiteral("zandor"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZANDOR_BINARY), program));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", folder.path());
        environment.insert("HOME", folder.path());

        QProcess game;
        game.setProcessEnvironment(environment);
        game.setProcessChannelMode(QProcess::ForwardedChannels);
        // Started from home, the program's sockets are the home's.
        ASSERT_TRUE(network.enterHome());
        game.start(program,
                   {QStringLiteral("Hal"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
        ASSERT_TRUE(network.leave());
        ASSERT_TRUE(game.waitForStarted());
        ASSERT_TRUE(waitUntil([&] { return network.leases().contains(kHomeLease); }, 30000))
            << qPrintable(network.daemonLog());

        ASSERT_EQ(::kill(pid_t(game.processId()), signalNumber), 0);
        const bool ended = waitUntil([&] { return game.state() == QProcess::NotRunning; }, 30000);
        if (!ended) {
            game.kill();
            game.waitForFinished();
        }
        ASSERT_TRUE(ended);
        if (crash) {
            EXPECT_EQ(game.exitStatus(), QProcess::CrashExit);
            // The lease file gives each mapping's end in seconds since 1970.
            const QStringList lease = network.leases().split(QChar('\n')).filter(kHomeLease);
            ASSERT_EQ(lease.size(), 1) << qPrintable(network.leases());
            const qint64 endsIn = lease.first().split(QChar(':')).value(4).toLongLong() -
                                  QDateTime::currentSecsSinceEpoch();
            qInfo() << "the crashed program's lease runs out in" << endsIn << "s";
            EXPECT_GT(endsIn, 0);
            EXPECT_LE(endsIn, router::PortMapping::kLease.count());
            continue;
        }
        EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
        EXPECT_FALSE(network.leases().contains(kHomeLease)) << qPrintable(network.leases());
        EXPECT_FALSE(network.forwardingRules().contains(QLatin1String("dport 7772")))
            << qPrintable(network.forwardingRules());
    }
}

} // namespace

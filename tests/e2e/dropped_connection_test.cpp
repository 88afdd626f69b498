#include "client/composition.h"
#include "client/model/seatrotation.h"
#include "client/model/tablestate.h"
#include "client/session/clientconnection.h"
#include "client/table/hand.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/peertext.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/ownnetwork.h"
#include "tests/support/twonetworks.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"

#include <gtest/gtest.h>

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstring>
#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr quint16 kPort = 7772;
// Long enough for both ends to give the old connection up (keep-alive and
// the user timeout take about half a minute) and for the guest to have
// tried, and failed, to come back a few times.
constexpr int kLinkDownMs = 45000;
constexpr int kNoticeDeadlineMs = 60000;
constexpr int kReturnDeadlineMs = 60000;
const QString kDropLine =
    QStringLiteral("Bob lost the connection; his seat is kept for 2 minutes.");
const QString kLostLine = QStringLiteral("Lost the connection to the game. Trying again...");
const QString kBackLine = QStringLiteral("You are back in your seat.");

// The chat log as the user reads it, one line each.
QStringList chatLines(const QWidget &window)
{
    const auto *log = window.findChild<QTextEdit *>(QStringLiteral("mainchat"));
    if (!log)
        return {};
    QString text = log->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(0x2029), QChar('\n'));
    text.remove(QChar(peertext::kIsolateStart)).remove(QChar(peertext::kIsolateEnd));
    return text.split(QChar('\n'));
}

bool chatHasLine(const QWidget &window, const QString &line)
{
    return chatLines(window).contains(line);
}

// The name the window's table shows at a seat.
QString shownName(Tchat &window, int seat)
{
    QString name = window.table().seatControls(seat)->label_playername->text();
    return name.remove(QChar(peertext::kIsolateStart)).remove(QChar(peertext::kIsolateEnd));
}

// The user's hand shows at least one card face.
bool handShowsCards(Tchat &window)
{
    HandView &hand = window.table().hand();
    for (int place = 1; place <= HandLayout::kPlayPlaces; ++place) {
        const CardImage *card = hand.image(hand.layout().positionAt(place));
        if (card && !card->pixmap().isNull())
            return true;
    }
    return false;
}

bool roundOn(const TServer &server)
{
    return server.gameState().phase == GameState::Phase::Round;
}

// Watchers sit in slots 5 to 9; a returning player must never land there.
bool anyWatcherConnected(const TServer &server)
{
    for (int slot = 5; slot <= 9; ++slot) {
        if (server.player(slot).connected)
            return true;
    }
    return false;
}

// Hal hosts on the game's own port, with a lobby link nobody answers and
// the Fast computer players from his settings.
class Host
{
public:
    explicit Host(const QString &folder)
        : program_({QStringLiteral("Hal"), QStringLiteral("127.0.0.1"), QStringLiteral("true")},
                   TchatPorts{kPort, lobby_.serverPort()}, nullptr, fastSettingsFolder(folder))
    {
        program_.window().show();
    }

    bool ready()
    {
        TServer &server = program_.server();
        return waitUntil(
            [&] {
                return server.listening() && window().session().loggedIn &&
                       window().state().seat(1).name == "Hal" && server.botdelay() == 500;
            },
            30000);
    }

    // File > Start Game, then the options window's start button.
    bool startGame()
    {
        auto *startGame = window().findChild<QAction *>(QStringLiteral("StartGame1"));
        if (!startGame || !startGame->isEnabled())
            return false;
        if (!waitUntil([&] { return windowinput::topWindow() == &window(); }) ||
            !windowinput::chooseMenuItem('f', startGame))
            return false;
        auto *options = window().findChild<QWidget *>(QStringLiteral("Tgamestart"));
        if (!options || !options->isVisible())
            return false;
        clickWidget(*options->findChild<QLabel *>(QStringLiteral("button_start")), Qt::LeftButton);
        return waitUntil([&] { return program_.server().gameState().ingame(); }, 30000);
    }

    Tchat &window() { return program_.window(); }
    TServer &server() { return program_.server(); }
    quint16 lobbyPort() const { return lobby_.serverPort(); }

private:
    QTcpServer lobby_;
    const bool lobbyListening_ = lobby_.listen(QHostAddress::LocalHost, 0);
    Composition program_;
};

// The seat key the guest's settings file holds.
QString savedSeatKey(const QString &settingsFile)
{
    QFile file(settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("Seatkey="))
            return QString::fromLatin1(trimmed.mid(8));
    }
    return {};
}

// Bob plays from his own network, the host from the test's. In the middle
// of a round his cable is pulled for 45 seconds: the host keeps his seat and
// lets the computer play it, his window keeps trying, and once the cable is
// back he sits down in his own seat again with his bags as the game has
// them and his hand on the table.
TEST(DroppedConnection, AGuestCutOffForAWhileComesBackToHisSeat)
{
    // The guest's own network, joined to the host's by a veth cable:
    // pulling the guest's end out is a cut neither program is told about.
    TwoNetworks network;
    if (const QString missing = network.setUp(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();

    QTemporaryDir hostFolder;
    QTemporaryDir guestFolder;
    ASSERT_TRUE(hostFolder.isValid() && guestFolder.isValid());
    Host host(hostFolder.path());
    ASSERT_TRUE(host.ready()) << "the host did not start listening and log in";
    Tchat &hal = host.window();
    TServer &server = host.server();

    ASSERT_TRUE(network.enterThere()) << "could not move into the guest's network";
    Composition guestProgram({"Bob", TwoNetworks::kHere, "false"},
                             TchatPorts{kPort, host.lobbyPort()}, nullptr,
                             fastSettingsFolder(guestFolder.path()));
    Tchat &bob = guestProgram.window();
    bob.show();
    ASSERT_TRUE(waitUntil(
        [&] {
            return bob.session().ownSlot == 2 && bob.session().loggedIn &&
                   hal.state().seat(2).name == "Bob";
        },
        30000))
        << "Bob did not get seat 2 over the cable";

    hal.activateWindow(); // the player clicks the main window
    ASSERT_TRUE(host.startGame());
    UserAtTable halPlays(hal);
    UserAtTable bobPlays(bob);
    // A few cards each, and then a moment when a round is under way and Bob
    // holds his hand.
    ASSERT_TRUE(waitUntil(
        [&] {
            hurryPause(server);
            halPlays.play();
            bobPlays.play();
            return halPlays.cardsClicked() >= 2 && bobPlays.cardsClicked() >= 2 &&
                   roundOn(server) && server.gameState().seat(2).playing && handShowsCards(bob);
        },
        120000))
        << "Hal clicked " << halPlays.cardsClicked() << ", Bob " << bobPlays.cardsClicked();

    // The cards the host's table sees laid at seat 2 while Bob is away.
    int laidWhileAway = 0;
    QObject::connect(&hal.state(), &TableState::cardPlayed, &hal, [&](int seat) {
        if (seat == 2 && shownName(hal, 2) == "Bob (away)")
            ++laidWhileAway;
    });

    const int bagsAtCut = server.gameState().seat(2).money;
    ASSERT_EQ(network.setCableThere(false), QString());
    QElapsedTimer sinceCut;
    sinceCut.start();
    qInfo() << "cable cut in round" << server.gameState().round << "with Bob's bags at"
            << bagsAtCut;

    // Both sides go on playing as they can; the host's pauses run at their
    // own pace now, so the game lasts past the outage.
    const auto playOn = [&] {
        halPlays.play();
        bobPlays.play();
    };
    const bool hostNoticed = waitUntil(
        [&] {
            playOn();
            return !server.player(2).connected;
        },
        kNoticeDeadlineMs);
    qInfo() << "the host noticed the drop after" << sinceCut.elapsed() << "ms";
    ASSERT_TRUE(hostNoticed) << "the host still counts Bob connected a minute after the cut";
    EXPECT_TRUE(waitUntil(
        [&] {
            playOn();
            return chatHasLine(hal, kDropLine);
        },
        10000))
        << chatLines(hal).join('\n').toStdString();
    EXPECT_TRUE(waitUntil(
        [&] {
            playOn();
            return shownName(hal, 2) == "Bob (away)";
        },
        10000))
        << "the host's table shows " << shownName(hal, 2).toStdString();

    // The cable stays out for the whole time; meanwhile Bob's own window
    // notices and keeps trying, and the computer plays his seat.
    waitUntil(
        [&] {
            playOn();
            return sinceCut.elapsed() >= kLinkDownMs;
        },
        kLinkDownMs + 5000);
    EXPECT_TRUE(bob.isVisible());
    EXPECT_TRUE(chatHasLine(bob, kLostLine)) << chatLines(bob).join('\n').toStdString();
    EXPECT_GT(laidWhileAway, 0) << "nobody played seat 2 while Bob was away";
    EXPECT_TRUE(server.seatHeld(2));

    ASSERT_EQ(network.setCableThere(true), QString());
    QElapsedTimer sinceRepair;
    sinceRepair.start();
    const bool back = waitUntil(
        [&] {
            hurryPause(server);
            playOn();
            return chatHasLine(bob, kBackLine);
        },
        kReturnDeadlineMs);
    qInfo() << "Bob was back" << sinceRepair.elapsed() << "ms after the cable was back";
    ASSERT_TRUE(back) << "Bob's chat:\n" << chatLines(bob).join('\n').toStdString();

    // He sits in seat 2 again under his own name, not as a watcher.
    EXPECT_TRUE(server.player(2).connected);
    EXPECT_TRUE(waitUntil([&] { return server.player(2).loggedIn; }, 10000));
    EXPECT_EQ(server.player(2).name, QByteArray("Bob"));
    EXPECT_EQ(bob.session().ownSlot, 2);
    EXPECT_FALSE(anyWatcherConnected(server));
    EXPECT_FALSE(server.seatHeld(2));
    EXPECT_TRUE(waitUntil([&] { return shownName(hal, 2) == "Bob"; }, 10000))
        << "the host's table shows " << shownName(hal, 2).toStdString();

    // His bags are the game's, never a fresh three: they can only have gone
    // down while he was away.
    EXPECT_LE(server.gameState().seat(2).money, bagsAtCut);
    EXPECT_TRUE(waitUntil(
        [&] { return bob.state().seat(2).bags == server.gameState().seat(2).money; }, 10000))
        << "Bob's table shows " << bob.state().seat(2).bags << " bags, the host's game "
        << server.gameState().seat(2).money;

    // Nobody clicks now, so a round under way waits at the first human's
    // turn: Bob's hand of that round must come to his table.
    const int roundAtReturn = server.gameState().round;
    const bool bobInRound = roundOn(server) && server.gameState().seat(2).playing;
    const bool handBack = waitUntil([&] { return handShowsCards(bob); }, 20000);
    if (bobInRound && server.gameState().round == roundAtReturn) {
        EXPECT_TRUE(handBack) << "round " << roundAtReturn << " is on but Bob's hand is empty";
    } else {
        qInfo() << "the round ended by itself before Bob's hand could be looked at";
    }
}

// The guest is the real program. It is killed outright in the middle of a
// game and started again from the same folder: the key in its settings file
// brings it back to seat 2, and the host gives it a new one.
TEST(DroppedConnection, AGuestKilledAndStartedAgainGetsHisSeatBack)
{
    if (!ownNetwork())
        GTEST_SKIP() << "no network namespace of our own (needs root)";

    QTemporaryDir hostFolder;
    QTemporaryDir guestFolder;
    ASSERT_TRUE(hostFolder.isValid() && guestFolder.isValid());
    Host host(hostFolder.path());
    ASSERT_TRUE(host.ready()) << "the host did not start listening and log in";
    Tchat &hal = host.window();
    TServer &server = host.server();

    const QString program = guestFolder.filePath(QStringLiteral("zandor"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZANDOR_BINARY), program));
    const QString settingsFile = guestFolder.filePath(QStringLiteral("ridodezaz.ini"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", guestFolder.path());
    const auto startGuest = [&](QProcess &guest) {
        guest.setProcessEnvironment(environment);
        guest.setProcessChannelMode(QProcess::ForwardedChannels);
        guest.start(program,
                    {QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("false")});
        return guest.waitForStarted();
    };

    QProcess firstRun;
    ASSERT_TRUE(startGuest(firstRun));
    ASSERT_TRUE(waitUntil(
        [&] {
            return server.player(2).loggedIn && server.player(2).name == "Bob" &&
                   !savedSeatKey(settingsFile).isEmpty();
        },
        30000))
        << "Bob did not log in to seat 2 with a key saved";
    const QString firstKey = savedSeatKey(settingsFile);

    ASSERT_TRUE(host.startGame());
    UserAtTable halPlays(hal);
    ASSERT_TRUE(waitUntil(
        [&] {
            hurryPause(server);
            halPlays.play();
            return roundOn(server) && server.gameState().seat(2).playing;
        },
        60000));

    firstRun.kill();
    ASSERT_TRUE(firstRun.waitForFinished(10000));
    EXPECT_TRUE(waitUntil(
        [&] {
            halPlays.play();
            return !server.player(2).connected && shownName(hal, 2) == "Bob (away)";
        },
        30000))
        << "the host's table shows " << shownName(hal, 2).toStdString();
    EXPECT_TRUE(server.seatHeld(2));
    EXPECT_TRUE(chatHasLine(hal, kDropLine)) << chatLines(hal).join('\n').toStdString();

    qInfo() << "Bob was killed in round" << server.gameState().round;
    QProcess secondRun;
    QElapsedTimer sinceRestart;
    sinceRestart.start();
    ASSERT_TRUE(startGuest(secondRun));
    const bool seatedAgain = waitUntil(
        [&] {
            hurryPause(server);
            halPlays.play();
            return server.player(2).connected && server.player(2).loggedIn &&
                   shownName(hal, 2) == "Bob";
        },
        60000);
    qInfo() << "Bob sat in seat 2 again" << sinceRestart.elapsed() << "ms after his new start";
    EXPECT_TRUE(seatedAgain) << "the host's table shows " << shownName(hal, 2).toStdString();
    EXPECT_EQ(server.player(2).name, QByteArray("Bob"));
    EXPECT_FALSE(server.seatHeld(2));
    EXPECT_FALSE(anyWatcherConnected(server));
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat != 2) {
            EXPECT_NE(shownName(hal, seat), "Bob") << "Bob shows at seat " << seat << " too";
        }
    }
    EXPECT_TRUE(waitUntil(
        [&] {
            const QString key = savedSeatKey(settingsFile);
            return !key.isEmpty() && key != firstKey;
        },
        30000))
        << "the settings file still holds " << savedSeatKey(settingsFile).toStdString();

    secondRun.kill();
    secondRun.waitForFinished(10000);
}

} // namespace

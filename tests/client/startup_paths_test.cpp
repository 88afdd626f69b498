#include "client/composition.h"
#include "client/mainmenu.h"
#include "client/session/clientconnection.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/tsock.h"
#include "tests/client/startup_support.h"
#include "tests/support/hostingcopy.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

const QString kSolo = QStringLiteral("Loading Solo Game..Please wait.");
const QString kMulti = QStringLiteral("Loading Multi-player Game.. Please Wait.");

struct PathCase
{
    const char *what;
    QStringList arguments;
    bool hostsItself; // false: a server the test runs is the host
    bool connects;
    bool host;
    QString firstNotice;
    QString playerName;
    bool startButton;
    bool lobbyLink;
};

void PrintTo(const PathCase &c, std::ostream *os)
{
    *os << c.what;
}

class StartupPaths : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(StartupPaths, CommandLineDecidesHowTheClientStarts)
{
    const PathCase &c = GetParam();
    TServer otherHost(0);
    otherHost.startListening();
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    TchatPorts ports;
    ports.game = c.hostsItself ? 0 : otherHost.listeningPort();
    ports.lobby = lobby.serverPort();

    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    Composition program(c.arguments, ports, nullptr, files.path());
    Tchat &window = program.window();
    window.show();

    EXPECT_EQ(chatLines(&window).value(0), c.firstNotice);
    if (c.connects) {
        ASSERT_TRUE(waitUntil([&] { return chatHasLine(&window, "You are Connected."); }));
        // A joining copy says where it connects first.
        int next = 1;
        if (!c.hostsItself)
            EXPECT_EQ(chatLines(&window).value(next++),
                      QStringLiteral("Connecting to %1...").arg(c.arguments.value(1)));
        EXPECT_EQ(
            chatLines(&window).mid(next, 4),
            (QStringList{"You are Connected.", "", "For Quick Instructions press ctrl-i", ""}));
        EXPECT_EQ(window.session().ownSlot, 1);
        EXPECT_TRUE(window.session().loggedIn);
        const TServer &used = c.hostsItself ? window.server() : otherHost;
        const TServer &unused = c.hostsItself ? otherHost : window.server();
        EXPECT_EQ(used.slotcount(), 1);
        EXPECT_EQ(unused.slotcount(), 0);
        EXPECT_EQ(QString::fromUtf8(used.player(1).name), c.playerName);
        EXPECT_EQ(window.findChild<QLabel *>("label_playername1")->text(), c.playerName);
    } else {
        EXPECT_FALSE(window.connection().isOpen());
        EXPECT_EQ(otherHost.slotcount(), 0);
        EXPECT_EQ(window.session().playerName, c.playerName);
    }
    EXPECT_EQ(window.session().host, c.host);
    EXPECT_EQ(!window.findChild<QPushButton *>("button_start")->isHidden(), c.startButton);
    EXPECT_EQ(window.findChild<QAction *>("StartGame1")->isEnabled(), c.startButton);

    const auto *lobbyLink = window.findChild<TSock *>("Sock11");
    EXPECT_EQ(lobbyLink->HasHandle(), c.lobbyLink);
    if (c.lobbyLink) {
        EXPECT_TRUE(waitUntil([&] { return lobby.hasPendingConnections(); }));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, StartupPaths,
    ::testing::Values(
        PathCase{"solo", {}, true, true, true, kSolo, "You", true, false},
        PathCase{"host", {"Ann", "127.0.0.1", "true"}, true, true, true, kMulti, "Ann", true, true},
        PathCase{
            "join", {"Ann", "127.0.0.1", "false"}, false, true, false, kMulti, "Ann", false, true},
        // Only the exact "true" hosts.
        PathCase{"join TRUE",
                 {"Ann", "127.0.0.1", "TRUE"},
                 false,
                 true,
                 false,
                 kMulti,
                 "Ann",
                 false,
                 true},
        PathCase{"extra arguments",
                 {"Ann", "127.0.0.1", "true", "x"},
                 true,
                 true,
                 true,
                 kMulti,
                 "Ann",
                 true,
                 true},
        PathCase{"one argument", {"Ann"}, false, false, false, kMulti, "Ann", false, false},
        PathCase{"two arguments",
                 {"Ann", "127.0.0.1"},
                 false,
                 false,
                 false,
                 kMulti,
                 "Ann",
                 false,
                 false}),
    [](const auto &info) {
        QString name = QString::fromLatin1(info.param.what);
        name.replace(' ', '_');
        return name.toStdString();
    });

// Two copies on one host: the host's user may remove a player, the joined
// one may not, and the removed player is told so and stays out.
TEST(StartupHostAndGuest, SeatMenuBelongsToTheHostAndRemovesAPlayer)
{
    QTemporaryDir hostFiles;
    QTemporaryDir guestFiles;
    ASSERT_TRUE(hostFiles.isValid() && guestFiles.isValid());
    HostingCopy hosting(hostFiles.path());
    Tchat &host = hosting.window();
    host.show();
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(&host, "You are Connected."); }));

    Composition guestProgram({"Bob", "127.0.0.1", "false"}, hosting.guestPorts(), nullptr,
                             guestFiles.path());
    Tchat &guest = guestProgram.window();
    bool guestEnded = false;
    QObject::connect(&guest, &Tchat::mainWindowClosed, [&] { guestEnded = true; });
    guest.show();
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(&host, "Bob is Connected."); }));
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(&guest, "You are Connected."); }));
    EXPECT_EQ(guest.session().ownSlot, 2);

    auto items = [](Tchat &window) {
        QStringList enabled;
        for (const char *name : {"RemoveFromGame1", "SettoJustWatch1", "UnsetJustWatch1"})
            enabled.append(window.findChild<QAction *>(name)->isEnabled() ? "on" : "off");
        return enabled;
    };
    // The player right-clicks a name on the table and looks at the menu.
    auto rightClick = [](Tchat &window, const char *label) {
        EXPECT_EQ(windowinput::openContextMenu(*window.findChild<QLabel *>(label)),
                  window.findChild<QMenu *>("popup_kick"));
    };
    auto putAway = [] { windowinput::press(Qt::Key_Escape); };

    rightClick(guest, "label_playername1");
    EXPECT_EQ(items(guest), (QStringList{"off", "off", "off"}));
    putAway();

    rightClick(host, "label_playername3"); // "<Waiting>"
    EXPECT_EQ(items(host), (QStringList{"off", "on", "on"}));
    EXPECT_EQ(host.popupSeat(), 3);
    putAway();

    rightClick(host, "label_playername1"); // the host's own seat
    EXPECT_EQ(items(host), (QStringList{"off", "on", "on"}));
    putAway();

    rightClick(host, "label_playername2");
    EXPECT_EQ(items(host), (QStringList{"on", "on", "on"}));
    EXPECT_EQ(host.popupSeat(), 2);
    ASSERT_TRUE(windowinput::chooseInOpenMenu(host.findChild<QAction *>("RemoveFromGame1")));

    // The removed player is told so, and his copy does not try to come back.
    EXPECT_TRUE(waitUntil([&] { return chatHasLine(&guest, "Hal removed you from the game."); }));
    EXPECT_TRUE(guest.isVisible());
    EXPECT_FALSE(guestEnded);
    EXPECT_FALSE(guest.menu().StopReconnecting1->isEnabled());
    EXPECT_TRUE(waitUntil([&] { return chatHasLine(&host, "Bob disconnected."); }));
    EXPECT_EQ(host.findChild<QLabel *>("label_playername2")->text(), "Zaze");
    EXPECT_TRUE(host.isVisible());
}

} // namespace

#include "client/composition.h"
#include "client/mainmenu.h"
#include "client/session/clientconnection.h"
#include "client/session/clientsettings.h"
#include "client/session/inifile.h"
#include "client/session/playwithothers.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "tests/client/programwindow.h"
#include "tests/client/startup_support.h"
#include "tests/support/errorhandler.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tdownload.h"
#include "windows/tplaywithothers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// Playing with others from the window: the Play with Others window through
// the real main window, a join that cannot reach its host, leaving a game
// others have joined, and the host's turn time limit.

namespace {

const QString kSection = QStringLiteral("Zandor");

// A main window with its settings in a folder of its own.
struct Window
{
    QTemporaryDir folder;
    QTcpServer lobby;
    ProgramWindow chat;
    std::vector<QStringList> restarts;

    explicit Window(const QStringList &arguments, quint16 gamePort = 0)
    {
        lobby.listen(QHostAddress::LocalHost, 0);
        chat = std::make_unique<Composition>(arguments, TchatPorts{gamePort, lobby.serverPort()},
                                             nullptr, folder.path());
        QObject::connect(&chat.parts().playWithOthers(), &PlayWithOthers::restartRequested,
                         [this](const QStringList &line) { restarts.push_back(line); });
    }
    TplayWithOthers &others() { return chat.parts().playWithOthers().window(); }
    IniFile settingsFile() { return IniFile::load(chat.parts().settings().filePath()); }
};

QStringList swallowErrors(std::function<void()> run)
{
    const ReportedErrors reported;
    run();
    return reported.texts;
}

// A joining copy says at once where it connects to. One that cannot reach
// its host says why in plain words, then the socket's own, and opens the
// Play with Others window on that address; the main window stays open and
// unconnected.
TEST(PlayWithOthersWindow, AJoinThatCannotReachItsHostSaysWhyAndOffersTheWindow)
{
    enum class Host { Refusing, Silent, Unknown };
    struct Case
    {
        const char *what;
        QString address;
        Host host;
        QString why; // %1: the game port
    };
    const Case cases[] = {
        {"refused", "127.0.0.1", Host::Refusing,
         "nobody is hosting a game there (Error #10061 (WSAECONNREFUSED))"},
        {"no answer", "127.0.0.1", Host::Silent,
         "no answer; the computer may be off, or a firewall may block port %1 (Error #10060 "
         "(WSAETIMEDOUT))"},
        {"unknown name", "no-such-host.invalid", Host::Unknown,
         "no computer of that name could be found (Host Lookup - Could Not Find Host Entry)"},
    };
    for (const Case &c : cases) {
        quint16 port = 0;
        SilentHost silent;
        if (c.host == Host::Refusing) {
            QTcpServer gone;
            gone.listen(QHostAddress::LocalHost, 0);
            port = gone.serverPort();
        } else if (c.host == Host::Silent) {
            port = silent.port();
        }
        Window w({"Ann", c.address, "false"}, port);
        w.chat->connection().setConnectTimeout(300);
        swallowErrors([&] {
            w.chat->show();
            waitUntil([&] { return w.others().isVisible(); });
        });
        const QString connecting = QStringLiteral("Connecting to %1...").arg(c.address);
        const QString notice = QStringLiteral("Could not reach the game at %1: %2.")
                                   .arg(c.address, c.why.contains("%1") ? c.why.arg(port) : c.why);
        ASSERT_TRUE(waitUntil([&] { return chatHasLine(w.chat.get(), notice); })) << c.what;
        const QStringList lines = chatLines(w.chat.get());
        EXPECT_LT(lines.indexOf("Loading Multi-player Game.. Please Wait."),
                  lines.indexOf(connecting))
            << c.what;
        EXPECT_LT(lines.indexOf(connecting), lines.indexOf(notice)) << c.what;
        EXPECT_TRUE(w.others().isVisible()) << c.what;
        EXPECT_EQ(w.others().choice(), (PlayChoice{"Ann", false, c.address})) << c.what;
        EXPECT_TRUE(w.chat->isVisible());
        EXPECT_FALSE(w.chat->session().loggedIn);
    }
}

// File > Play with Others: the window remembers the name and the addresses
// joined, and Start asks for the command line the lobby would have used.
TEST(PlayWithOthersWindow, StartRemembersTheChoiceAndRestartsInTheChosenRole)
{
    Window w({"Ann", "127.0.0.1", "true"});
    w.chat->show();
    ASSERT_TRUE(waitUntil([&] { return w.chat->session().loggedIn; }));
    QAction *item = w.chat->menu().PlayWithOthers1;
    EXPECT_EQ(item->text(), "&Play with Others...");
    EXPECT_EQ(w.chat->menu().Exit1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == w.chat.get(); }));
    ASSERT_TRUE(windowinput::chooseMenuItem('f', item));
    ASSERT_TRUE(w.others().isVisible());
    EXPECT_EQ(w.others().choice().name, "Ann");
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &w.others(); }));
    // Alt+N goes to the name box, Alt+J chooses joining; the address is
    // typed over the one remembered.
    windowinput::press(Qt::Key_N, Qt::AltModifier);
    windowinput::press(Qt::Key_A, Qt::ControlModifier);
    windowinput::type("Zoë");
    auto *join = w.others().findChild<QRadioButton *>("radio_join");
    windowinput::press(Qt::Key_J, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return join->isChecked(); }));
    windowinput::retype(*w.others().findChild<QComboBox *>("combo_address")->lineEdit(),
                        "192.0.2.7");
    windowinput::click(*w.others().findChild<QPushButton *>("button_start"));
    ASSERT_EQ(w.restarts.size(), 1u);
    EXPECT_EQ(w.restarts[0], (QStringList{"--", "Zoë", "192.0.2.7", "false"}));
    EXPECT_EQ(w.settingsFile().value(kSection, "Playername", ""), "Zoë");
    EXPECT_EQ(w.settingsFile().value(kSection, "Recenthosts", ""), "192.0.2.7");

    // The window that had the keys is gone, and no window manager hands
    // them back.
    w.chat->activateWindow(); // the player clicks the main window
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == w.chat.get(); }));
    ASSERT_TRUE(windowinput::chooseMenuItem('f', item));
    EXPECT_EQ(w.others().choice().name, "Zoë");
    EXPECT_EQ(w.others().findChild<QComboBox *>("combo_address")->itemText(0), "192.0.2.7");
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &w.others(); }));
    auto *host = w.others().findChild<QRadioButton *>("radio_host");
    // The window opens on hosting; the player chooses joining and back.
    windowinput::press(Qt::Key_J, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return join->isChecked(); }));
    windowinput::press(Qt::Key_H, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return host->isChecked(); }));
    windowinput::click(*w.others().findChild<QPushButton *>("button_start"));
    ASSERT_EQ(w.restarts.size(), 2u);
    EXPECT_EQ(w.restarts[1], (QStringList{"--", "Zoë", "127.0.0.1", "true"}));
}

// Without a lobby, the lobby offer's Play with Others opens our window; the
// offer can be kept away from later solo starts.
TEST(PlayWithOthersWindow, TheLobbyOfferLeadsHereAndCanStayAway)
{
    {
        Window w({});
        auto *offer = w.chat->findChild<Tdownload *>();
        ASSERT_NE(offer, nullptr);
        offer->setLobbyProgram(w.folder.filePath("no-lobby.exe"));
        swallowErrors([&] { w.chat->show(); });
        ASSERT_TRUE(waitUntil([&] { return offer->isVisible(); }));
        // The player ticks "don't show" and takes the way to others.
        windowinput::click(*offer->findChild<QCheckBox *>("check_dontshow"));
        windowinput::click(*offer->findChild<QPushButton *>("Button2"));
        EXPECT_TRUE(w.others().isVisible());
        EXPECT_FALSE(offer->isVisible());
        EXPECT_EQ(w.settingsFile().value(kSection, "Hidelobbyoffer", ""), "1");
    }
    Window again({});
    IniFile ini;
    ini.setValue(kSection, "Hidelobbyoffer", "1");
    ASSERT_TRUE(ini.save(again.chat.parts().settings().filePath()));
    auto *offer = again.chat->findChild<Tdownload *>();
    swallowErrors([&] { again.chat->show(); });
    ASSERT_TRUE(waitUntil([&] { return again.chat->session().loggedIn; }));
    EXPECT_FALSE(offer->isVisible());
}

// Closing the host's copy while others play asks once; No keeps the game,
// and a solo host leaves at once.
TEST(PlayWithOthersWindow, LeavingAGameOthersJoinedAsksFirst)
{
    Window solo({"Hal", "127.0.0.1", "true"});
    int asked = 0;
    solo.chat->setLeaveQuestion([&](const QString &) { return ++asked, false; });
    solo.chat->show();
    ASSERT_TRUE(waitUntil([&] { return solo.chat->session().loggedIn; }));
    solo.chat->close();
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(solo.chat->isVisible());

    Window host({"Hal", "127.0.0.1", "true"});
    QStringList questions;
    bool answer = false;
    host.chat->setLeaveQuestion([&](const QString &question) {
        questions.append(question);
        return answer;
    });
    host.chat->show();
    ASSERT_TRUE(waitUntil([&] { return host.chat->session().loggedIn; }));
    Window guest({"Ann", "127.0.0.1", "false"}, host.chat->server().listeningPort());
    guest.chat->show();
    ASSERT_TRUE(waitUntil([&] { return guest.chat->session().loggedIn; }));
    ASSERT_TRUE(waitUntil([&] { return host.chat->server().player(2).connected; }));
    host.chat->close();
    EXPECT_EQ(questions, QStringList{"Other players are connected. Closing Zandor ends the game "
                                     "for them. Exit?"});
    EXPECT_TRUE(host.chat->isVisible());
    answer = true;
    host.chat->close();
    EXPECT_EQ(questions.size(), 2);
    EXPECT_FALSE(host.chat->isVisible());
    // The guest's copy leaves without a question: it hosts nobody.
    guest.chat->setLeaveQuestion([&](const QString &question) {
        questions.append(question);
        return false;
    });
    guest.chat->close();
    EXPECT_EQ(questions.size(), 2);
}

// Options > Turn Time Limit: the host's choice reaches its own server and
// the settings file; a joined copy has nothing to set.
TEST(PlayWithOthersWindow, TheTurnTimeLimitIsTheHostsChoice)
{
    Window host({"Hal", "127.0.0.1", "true"});
    host.chat->show();
    ASSERT_TRUE(waitUntil([&] { return host.chat->session().loggedIn; }));
    const MainMenu &menu = host.chat->menu();
    EXPECT_TRUE(menu.TurnTimeLimit1->isEnabled());
    EXPECT_TRUE(menu.turnLimits[0]->isChecked());
    EXPECT_EQ(host.chat->server().turnLimit(), 0);
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == host.chat.get(); }));
    ASSERT_TRUE(windowinput::chooseSubmenuItem('o', menu.TurnTimeLimit1, menu.turnLimits[1]));
    EXPECT_EQ(menu.turnLimits[1]->text(), "30 Seconds");
    EXPECT_EQ(host.chat->server().turnLimit(), 30000);
    EXPECT_EQ(host.settingsFile().value(kSection, "Turntimelimit", ""), "30");

    Window guest({"Ann", "127.0.0.1", "false"}, host.chat->server().listeningPort());
    guest.chat->show();
    ASSERT_TRUE(waitUntil([&] { return guest.chat->session().loggedIn; }));
    EXPECT_FALSE(guest.chat->menu().TurnTimeLimit1->isEnabled());
    guest.chat->close();
}

// Options > Open Port On Router belongs to a copy hosting for others: a
// solo game and a joined copy leave it off. The host's choice is kept in
// the settings file and shown again when it hosts the next time.
TEST(PlayWithOthersWindow, OpeningThePortOnTheRouterIsTheHostsChoice)
{
    struct Case
    {
        const char *what;
        QStringList arguments;
        bool joins;
        bool hostsForOthers;
    };
    Window host({"Hal", "127.0.0.1", "true"});
    const Case cases[] = {
        {"a solo game", {}, false, false},
        {"a joined copy", {"Ann", "127.0.0.1", "false"}, true, false},
        {"a copy hosting for others", {"Hal", "127.0.0.1", "true"}, false, true},
    };
    host.chat->show();
    ASSERT_TRUE(waitUntil([&] { return host.chat->session().loggedIn; }));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Window copy(c.arguments, c.joins ? host.chat->server().listeningPort() : 0);
        copy.chat->show();
        ASSERT_TRUE(waitUntil([&] { return copy.chat->session().loggedIn; }));
        const QAction *item = copy.chat->menu().OpenPortOnRouter1;
        EXPECT_EQ(item->isEnabled(), c.hostsForOthers);
        EXPECT_TRUE(item->isChecked());
        copy.chat->close();
    }

    QAction *item = host.chat->menu().OpenPortOnRouter1;
    ASSERT_TRUE(item->isEnabled());
    host.chat->activateWindow(); // the player clicks the main window
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == host.chat.get(); }));
    ASSERT_TRUE(windowinput::chooseMenuItem('o', item));
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(host.settingsFile().value(kSection, "Openportonrouter", ""), "0");
    host.chat.reset();
    host.chat = std::make_unique<Composition>(QStringList{"Hal", "127.0.0.1", "true"},
                                              TchatPorts{0, host.lobby.serverPort()}, nullptr,
                                              host.folder.path());
    host.chat->show();
    ASSERT_TRUE(waitUntil([&] { return host.chat->session().loggedIn; }));
    EXPECT_TRUE(host.chat->menu().OpenPortOnRouter1->isEnabled());
    EXPECT_FALSE(host.chat->menu().OpenPortOnRouter1->isChecked());
}

} // namespace

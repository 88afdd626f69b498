#include "client/mainmenu.h"
#include "client/model/tablestate.h"
#include "client/session/clientsettings.h"
#include "client/session/inifile.h"
#include "client/table/soundplayer.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "net/messages.h"
#include "tests/client/programwindow.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tplaywithothers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

// The main window joined to a scripted host as "Ann", so that a test can
// send it any message the host might send.
class JoinedWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
        ASSERT_TRUE(files.isValid());
        window = std::make_unique<Composition>(QStringList{"Ann", "127.0.0.1", "false"},
                                               TchatPorts{host.port(), lobby.serverPort()}, nullptr,
                                               files.path());
        QObject::connect(window.get(), &Tchat::ownLoginConfirmed, [this] { ++loginsConfirmed; });
        QObject::connect(window.get(), &Tchat::mainWindowClosed, [this] { ended = true; });
        window->show();
        ASSERT_TRUE(host.waitForClient());
    }

    void login(int slot)
    {
        host.send(msg::Sendlogininfo{slot}.build());
        ASSERT_TRUE(host.waitForMessage(msg::Logininfo{slot, kVersionText, "Ann"}.build()));
        host.send(msg::Newplayerinfo{slot, "Ann"}.build());
        ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "You are Connected."); }));
    }

    // Messages are handled in order: once this one shows, all before it
    // have been handled.
    void sync()
    {
        const QString line = QStringLiteral("sync has a different version of the game then you.");
        const int before = linesWith(line);
        host.send(msg::Havewrongversion{"sync"}.build());
        ASSERT_TRUE(waitUntil([&] { return linesWith(line) > before; }));
    }

    // The player picks an item of the main window's menu bar with the
    // keyboard; `submenu` when the item sits in one.
    bool choose(char menuLetter, const QAction *item, const QMenu *submenu = nullptr)
    {
        if (!waitUntil([&] { return windowinput::topWindow() == window.get(); }))
            return false;
        return submenu ? windowinput::chooseSubmenuItem(menuLetter, submenu, item)
                       : windowinput::chooseMenuItem(menuLetter, item);
    }

    QWidget *control(const QString &name) const { return window->findChild<QWidget *>(name); }
    QString nameAt(TablePlace place) const
    {
        return window->table().atPlace(place).label_playername->text();
    }
    // How many messages the window sent with this name.
    qsizetype sentOfKind(const QByteArray &name)
    {
        const QByteArrayList sent = host.received();
        return std::count_if(sent.begin(), sent.end(), [&](const QByteArray &message) {
            return message.startsWith(name + '+');
        });
    }
    int linesWith(const QString &text) const
    {
        return int(chatLines(window.get()).filter(text).size());
    }

    ScriptedHost host;
    QTcpServer lobby;
    QTemporaryDir files; // the settings and the tally
    ProgramWindow window;
    int loginsConfirmed = 0;
    bool ended = false;
};

TEST_F(JoinedWindow, WatcherOwnLoginShowsTheBottomFan)
{
    login(5);
    EXPECT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "You are spying."); }));
    EXPECT_EQ(window->state().watcherEntries(), QStringList{"5: \u2068Ann\u2069"});
    EXPECT_FALSE(control("image_card1")->isHidden());
    EXPECT_EQ(loginsConfirmed, 1);
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(window->findChild<QLabel *>(QString("label_playername%1").arg(seat))->text(),
                  "<Waiting>");
}

struct RotationCase
{
    int ownSlot;
    // Who sits at the bottom, left, upper left and upper right.
    std::array<QString, 4> places;
};

void PrintTo(const RotationCase &c, std::ostream *os)
{
    *os << "own slot " << c.ownSlot;
}

class OwnSeatRotation : public JoinedWindow, public ::testing::WithParamInterface<RotationCase>
{
};

TEST_P(OwnSeatRotation, OwnSeatIsDrawnAtTheBottom)
{
    const int own = GetParam().ownSlot;
    login(own);
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat != own)
            host.send(
                msg::Existingplayers{seat, QByteArray("P") + QByteArray::number(seat)}.build());
    }
    sync();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(nameAt(TablePlace(i)), GetParam().places[i]) << "place " << i;
        const int seat = window->table().rotation().seatAt(TablePlace(i));
        EXPECT_EQ(window->state().seat(seat).name, GetParam().places[i]) << "place " << i;
    }
    // The controls keep their places on the form.
    EXPECT_EQ(window->table().atPlace(TablePlace::Bottom).label_playername->pos(),
              QPoint(176, 398));
    EXPECT_EQ(window->table().atPlace(TablePlace::UpperRight).label_playername->pos(),
              QPoint(280, 152));
    EXPECT_TRUE(control("image_card1")->isHidden());
}

INSTANTIATE_TEST_SUITE_P(OwnSeats, OwnSeatRotation,
                         ::testing::Values(RotationCase{1, {"Ann", "P2", "P3", "P4"}},
                                           RotationCase{2, {"Ann", "P3", "P4", "P1"}},
                                           RotationCase{3, {"Ann", "P4", "P1", "P2"}},
                                           RotationCase{4, {"Ann", "P1", "P2", "P3"}}));

struct NoticeCase
{
    QByteArray message;
    QString notice;
};

void PrintTo(const NoticeCase &c, std::ostream *os)
{
    *os << c.message.constData();
}

class Notices : public JoinedWindow, public ::testing::WithParamInterface<NoticeCase>
{
};

TEST_P(Notices, HostMessageGivesItsNotice)
{
    host.send(GetParam().message);
    EXPECT_TRUE(waitUntil([&] { return chatHasLine(window.get(), GetParam().notice); }))
        << chatLines(window.get()).join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Messages, Notices,
    ::testing::Values(NoticeCase{msg::Havewrongversion{"Bob"}.build(),
                                 "Bob has a different version of the game then you."},
                      NoticeCase{msg::Wrongversion{}.build(),
                                 "You have a differnt version of the game then the host."},
                      NoticeCase{msg::Existingplayers{2, "Bob"}.build(), "Bob is Connected."},
                      NoticeCase{msg::Newplayerinfo{7, "Cy"}.build(), "Cy is spying."}));

TEST_F(JoinedWindow, SlotsAreGivenOnceAndOnlyFromOneToNine)
{
    login(2);
    const QString bottomBefore = nameAt(TablePlace::Bottom);
    // A second slot, or a slot no host hands out, neither answers nor turns
    // the table again.
    host.send(msg::Sendlogininfo{3}.build());
    host.send(msg::Newplayerinfo{12, "Ghost"}.build());
    host.send(msg::Newplayerinfo{0, "Nobody"}.build());
    sync();
    EXPECT_EQ(nameAt(TablePlace::Bottom), bottomBefore);
    EXPECT_EQ(linesWith("Ghost"), 0);
    EXPECT_EQ(linesWith("Nobody"), 0);
    // Everything the window sent before this request has arrived with it.
    ASSERT_TRUE(choose('o', window->findChild<QAction *>(QStringLiteral("JustWatch1"))));
    ASSERT_TRUE(host.waitForMessage(msg::Justwatch{2, "1"}.build()));
    const QByteArrayList sent = host.received();
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const QByteArray &m) { return m.startsWith("CMD_logininfo+"); }),
              1);
}

TEST_F(JoinedWindow, DeparturesSpeakOnlyOfWhoWasThere)
{
    login(1);
    host.send(msg::Newplayerinfo{2, "Bob"}.build());
    host.send(msg::Playerdisconnected{2, "Bob"}.build());
    // The seat already shows its computer player's name: nothing to say.
    host.send(msg::Playerdisconnected{2, "Bob"}.build());
    host.send(msg::Newplayerinfo{6, "Cy"}.build());
    host.send(msg::Playerdisconnected{6, "Cy"}.build());
    host.send(msg::Playerdisconnected{7, "Dee"}.build());
    sync();

    EXPECT_EQ(linesWith("disconnected."), 1);
    EXPECT_TRUE(chatHasLine(window.get(), "Bob disconnected."));
    EXPECT_EQ(window->state().seat(2).name, "Zaze");
    EXPECT_TRUE(window->state().seat(2).computer);
    EXPECT_EQ(window->findChild<QLabel *>("label_playername2")->text(), "Zaze");
    EXPECT_TRUE(chatHasLine(window.get(), "Cy has left."));
    EXPECT_EQ(linesWith("has left."), 1);
    EXPECT_TRUE(window->state().watcherEntries().isEmpty());
}

TEST_F(JoinedWindow, JustWatchFollowsTheHostNotTheClick)
{
    login(3);
    QAction *justWatch = window->findChild<QAction *>("JustWatch1");

    ASSERT_TRUE(choose('o', justWatch));
    EXPECT_TRUE(host.waitForMessage(msg::Justwatch{3, watchflag::justWatch}.build()));
    EXPECT_FALSE(justWatch->isChecked());

    host.send(msg::Justwatching{3, watchflag::justWatch}.build());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "Ann is just watching"); }));
    EXPECT_TRUE(justWatch->isChecked());
    EXPECT_FALSE(control("image_eyes3")->isHidden());

    ASSERT_TRUE(choose('o', justWatch));
    EXPECT_TRUE(host.waitForMessage(msg::Justwatch{3, watchflag::playAgain}.build()));
    EXPECT_TRUE(justWatch->isChecked());

    host.send(msg::Justwatching{3, watchflag::playAgain}.build());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "Ann is now playing again"); }));
    EXPECT_FALSE(justWatch->isChecked());
    EXPECT_TRUE(control("image_eyes3")->isHidden());

    // Slots above the seats have no seat to watch from.
    host.send(msg::Justwatching{5, watchflag::justWatch}.build());
    sync();
    EXPECT_EQ(linesWith("is just watching"), 1);
}

TEST_F(JoinedWindow, GameStartTakesTheJustWatchMarkOff)
{
    login(2);
    QAction *justWatch = window->menu().JustWatch1;
    host.send(msg::Justwatching{2, watchflag::justWatch}.build());
    ASSERT_TRUE(waitUntil([&] { return justWatch->isChecked(); }));
    host.send(msg::StartgameToAll{"Hal", gamemode::withComputers}.build());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "Hal has started a game."); }));
    EXPECT_FALSE(justWatch->isChecked());
    EXPECT_EQ(window->findChild<QAction *>("JustWatch1"), justWatch);
}

// The Options menu's two radio groups and "Play Sounds" of the real window,
// after the settings file is read at the login and after the user picks.
TEST_F(JoinedWindow, OptionsShowTheFileAndThePick)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile ini(folder.filePath("ridodezaz.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Zandor]\r\nTextsize=12\r\nBotspeed=1000\r\nPlaysounds=false\r\n");
    ini.close();
    window->findChild<ClientSettings *>()->setFolder(folder.path());
    const MainMenu &menu = window->menu();
    const auto checked = [](const auto &items) {
        QStringList names;
        for (const QAction *item : items) {
            if (item->isChecked())
                names.append(item->objectName());
        }
        return names;
    };
    const auto chatSize = [&] {
        return window->findChild<QWidget *>("mainchat")->font().pointSize();
    };
    EXPECT_EQ(checked(menu.textSizes), QStringList{"N8"});
    EXPECT_EQ(checked(menu.botSpeeds()), QStringList{"Normal1"});

    login(2);
    EXPECT_EQ(checked(menu.textSizes), QStringList{"N12"});
    EXPECT_EQ(chatSize(), 12);
    EXPECT_EQ(checked(menu.botSpeeds()), QStringList{"Slow1"});
    EXPECT_EQ(menu.BotSpeed1->menuAction()->data().toInt(), 1000);
    // "Play Sounds" off in the file: the sounds are off too.
    const SoundPlayer *sounds = window->findChild<SoundPlayer *>();
    EXPECT_FALSE(menu.PlaySounds1->isChecked());
    EXPECT_FALSE(sounds->enabled());
    ASSERT_TRUE(choose('o', menu.PlaySounds1));
    EXPECT_TRUE(sounds->enabled());

    ASSERT_TRUE(choose('o', menu.textSizes[3], menu.TextSize1)); // 14
    ASSERT_TRUE(choose('o', menu.Fast1, menu.BotSpeed1));
    EXPECT_EQ(checked(menu.textSizes), QStringList{"N14"});
    EXPECT_EQ(chatSize(), 14);
    EXPECT_EQ(checked(menu.botSpeeds()), QStringList{"Fast1"});
    EXPECT_EQ(menu.BotSpeed1->menuAction()->data().toInt(), 500);
    // The pick goes to the host and into the file.
    EXPECT_TRUE(host.waitForMessage(msg::Botspeed{2, 500}.build()));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray written = ini.readAll();
    EXPECT_TRUE(written.contains("Textsize=14")) << written.constData();
    EXPECT_TRUE(written.contains("Botspeed=500")) << written.constData();
}

// The players the main window hands the tally: the own seat and empty
// seats are left out, watchers are no players, computers are.
TEST_F(JoinedWindow, TallySeesThePlayersAtTheTable)
{
    login(2);
    host.send(msg::Existingplayers{1, "Hal"}.build());
    host.send(msg::Newplayerinfo{3, "Bob"}.build());
    host.send(msg::Newplayerinfo{6, "Cy"}.build());
    sync();
    const auto atTable = [&] {
        EXPECT_TRUE(choose('v', window->menu().ViewTally1));
        const auto *list = window->findChild<QListWidget *>("checklist");
        QStringList names;
        for (int row = 0; row < list->count(); ++row)
            names.append(list->item(row)->text());
        // Escape puts the tally away again.
        EXPECT_TRUE(waitUntil([&] { return list->window()->isActiveWindow(); }));
        windowinput::press(Qt::Key_Escape);
        EXPECT_TRUE(waitUntil([&] { return list->window()->isHidden(); }));
        window->activateWindow(); // the player clicks the main window
        return names;
    };
    EXPECT_EQ(atTable(), (QStringList{"Hal", "Bob"}));
    host.send(msg::StartgameToAll{"Hal", gamemode::withComputers}.build());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "Hal has started a game."); }));
    EXPECT_EQ(atTable(), (QStringList{"Hal", "Bob", "Darar"}));
    host.send(msg::Playerdisconnected{3, "Bob"}.build());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "Bob disconnected."); }));
    EXPECT_EQ(atTable(), (QStringList{"Hal", "Doruv", "Darar"}));
}

TEST_F(JoinedWindow, GameIsFullWaitsForTheUserThenEnds)
{
    host.send(msg::Full{}.build());
    host.closeClient();
    QMessageBox *box = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        box = window->findChild<QMessageBox *>();
        return box && box->isVisible();
    }));
    EXPECT_EQ(box->text(), "Game is full");
    // The connection is gone, but the window waits for the box.
    ASSERT_TRUE(waitUntil([&] { return !host.clientConnected(); }));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(ended);

    box->accept();
    EXPECT_TRUE(waitUntil([&] { return ended; }));
    EXPECT_FALSE(window->isVisible());
}

// A host that closes the connection without a word (as one built without
// seat keys does) is a drop: the window stays, says so, and joins again by
// itself as a late arrival; File > Stop Reconnecting is there meanwhile.
TEST_F(JoinedWindow, ADroppedConnectionIsJoinedAgainByItself)
{
    login(2);
    host.send(msg::Newplayerinfo{1, "Hal"}.build());
    host.send(msg::Newplayerinfo{6, "Wat"}.build());
    sync();
    QAction *stop = window->menu().StopReconnecting1;
    EXPECT_FALSE(stop->isEnabled());
    host.closeClient();
    ASSERT_TRUE(waitUntil([&] {
        return chatHasLine(window.get(), "Lost the connection to the game. Trying again...");
    }));
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(ended);

    ASSERT_TRUE(host.waitForClientAgain());
    host.send(msg::Sendlogininfo{2}.build());
    ASSERT_TRUE(host.waitForMessage(msg::Logininfo{2, kVersionText, "Ann"}.build()));
    EXPECT_TRUE(window->state().watchers().isEmpty()) << "the table is told anew";
    host.send(msg::Newplayerinfo{2, "Ann"}.build());
    host.send(msg::Existingplayers{1, "Hal"}.build());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "You are back in your seat."); }));
    sync();
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(window->state().seat(1).name, "Hal");
    EXPECT_EQ(sentOfKind("CMD_reclaim"), 0) << "no key was given";
}

// A host that gives a seat key gets it back first on the new connection,
// and the key is kept in the settings file for a copy started again.
TEST_F(JoinedWindow, TheSeatKeyGoesBackBeforeTheLogin)
{
    const QByteArray key = "00112233445566778899aabbccddeeff";
    login(3);
    host.send(msg::Seatkey{key}.build());
    sync();
    const IniFile stored = IniFile::load(window.parts().settings().filePath());
    EXPECT_EQ(stored.value("Zandor", "Seatkey", QString()), QString::fromLatin1(key));
    EXPECT_EQ(stored.value("Zandor", "Seatkeyhost", QString()),
              QStringLiteral("127.0.0.1:%1").arg(host.port()));
    EXPECT_EQ(stored.value("Zandor", "Seatkeyslot", QString()), "3");
    // Another's seat shows him away while the host keeps it for him.
    host.send(msg::Newplayerinfo{1, "Hal"}.build());
    host.send(msg::Away{1, true}.build());
    sync();
    const QLabel *hal =
        window->table().atPlace(window->table().rotation().placeOf(1)).label_playername;
    EXPECT_EQ(hal->text(), "Hal (away)");
    host.send(msg::Away{1, false}.build());
    sync();
    EXPECT_EQ(hal->text(), "Hal");

    host.closeClient();
    ASSERT_TRUE(host.waitForClientAgain());
    host.send(msg::Sendlogininfo{6}.build());
    ASSERT_TRUE(host.waitForMessage(msg::Reclaim{3, key}.build()));
    EXPECT_EQ(sentOfKind("CMD_logininfo"), 0) << "the key goes first";
    host.send(msg::Sendlogininfo{3}.build());
    ASSERT_TRUE(host.waitForMessage(msg::Logininfo{3, kVersionText, "Ann"}.build()));
    host.send(msg::Newplayerinfo{3, "Ann"}.build());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "You are back in your seat."); }));
}

// A player who ends the program while it tries to take him back gives up
// his seat: a copy started later does not present the old key.
TEST_F(JoinedWindow, AProgramEndedWhileTryingAgainForgetsTheKey)
{
    login(3);
    host.send(msg::Seatkey{"00112233445566778899aabbccddeeff"}.build());
    sync();
    const QString settingsFile = window.parts().settings().filePath();
    ASSERT_FALSE(IniFile::load(settingsFile).value("Zandor", "Seatkey", QString()).isEmpty());
    host.closeClient();
    ASSERT_TRUE(waitUntil([&] {
        return chatHasLine(window.get(), "Lost the connection to the game. Trying again...");
    }));
    window.reset();
    EXPECT_EQ(IniFile::load(settingsFile).value("Zandor", "Seatkey", QString()), QString());
}

// A host that ends its game on purpose says so: no attempts to go back,
// and the Play with Others window offers another game.
TEST_F(JoinedWindow, AHostThatClosesTheGameSaysSoAndIsNotTriedAgain)
{
    login(2);
    host.send(msg::Goodbye{goodbyereason::closed, "Hal"}.build());
    host.closeClient();
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(window.get(), "Hal closed the game."); }))
        << chatLines(window.get()).join('|').toStdString();
    auto *others = window->findChild<TplayWithOthers *>();
    ASSERT_NE(others, nullptr);
    EXPECT_TRUE(waitUntil([&] { return others->isVisible(); }));
    EXPECT_FALSE(window->menu().StopReconnecting1->isEnabled());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(chatLines(window.get()).filter("Trying again").isEmpty());
}

} // namespace

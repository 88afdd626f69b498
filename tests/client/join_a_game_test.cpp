#include "client/composition.h"
#include "client/session/accountname.h"
#include "client/session/clientsettings.h"
#include "client/session/commandline.h"
#include "client/session/inifile.h"
#include "client/session/playchoices.h"
#include "client/session/playwithothers.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "tests/client/programwindow.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tdownload.h"
#include "windows/tplaywithothers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTcpServer>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// "Join a Game..." from the desktop (`--play-with-others`): the Play with
// Others window comes up on joining, with no game behind it, and a player
// nobody has named yet is asked for his name.

namespace {

using windowinput::press;
using windowinput::type;

const QString kSection = QStringLiteral("Zandor");

// A copy started as main() starts it for the desktop action, with its
// settings file (holding `remembered`) in a folder of its own.
struct StartedFromTheDesktop
{
    explicit StartedFromTheDesktop(const PlayChoices &remembered)
    {
        IniFile ini;
        remembered.write(ini, kSection);
        lobby.listen(QHostAddress::LocalHost, 0);
        const CommandLine start = CommandLine::read({"--play-with-others"}, remembered.playerName);
        chat = std::make_unique<Composition>(start.arguments(), TchatPorts{0, lobby.serverPort()},
                                             nullptr, folder.path());
        ini.save(chat.parts().settings().filePath());
        QObject::connect(&chat.parts().playWithOthers(), &PlayWithOthers::restartRequested,
                         [this](const QStringList &line) { restarts.push_back(line); });
        if (start.start == CommandLine::Start::PlayWithOthers)
            chat->choosePlayAtStart();
        chat->show();
    }
    TplayWithOthers &others() { return chat.parts().playWithOthers().window(); }
    QComboBox *address() { return others().findChild<QComboBox *>("combo_address"); }
    QLineEdit *name() { return others().findChild<QLineEdit *>("edit_name"); }

    QTemporaryDir folder;
    QTcpServer lobby;
    ProgramWindow chat;
    std::vector<QStringList> restarts;
};

TEST(JoinAGame, TheWindowOpensOnJoiningWithNoGameBehindIt)
{
    PlayChoices ann;
    ann.playerName = "Ann";
    ann.recentHosts = {"192.0.2.7", "games.example"};
    StartedFromTheDesktop copy(ann);
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &copy.others(); }));

    EXPECT_TRUE(copy.others().findChild<QRadioButton *>("radio_join")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), copy.address());
    EXPECT_EQ(copy.address()->currentText(), "192.0.2.7");
    EXPECT_TRUE(copy.address()->lineEdit()->hasSelectedText());
    EXPECT_EQ(copy.name()->text(), "Ann");
    EXPECT_EQ(copy.others().problem(), QString());
    // Neither a solo game nor the lobby offer.
    EXPECT_FALSE(copy.chat->server().listening());
    EXPECT_FALSE(copy.chat->findChild<Tdownload *>()->isVisible());
    EXPECT_FALSE(chatHasLine(copy.chat.get(), "Loading Solo Game..Please wait."));
    EXPECT_TRUE(
        chatHasLine(copy.chat.get(), "Host a game or join one through File > Play with Others..."));

    // The address typed over the selected one is joined.
    type("games.example");
    press(Qt::Key_Return);
    ASSERT_EQ(copy.restarts.size(), 1u);
    EXPECT_EQ(copy.restarts[0], (QStringList{"--", "Ann", "games.example", "false"}));
}

TEST(JoinAGame, APlayerWithoutANameIsAskedForOne)
{
    StartedFromTheDesktop copy(PlayChoices{});
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &copy.others(); }));

    // The account's name, never the solo game's "You", and the box asks.
    EXPECT_EQ(copy.name()->text(), accountName());
    EXPECT_NE(copy.name()->text(), "You");
    EXPECT_EQ(QApplication::focusWidget(), copy.name());
    EXPECT_EQ(copy.others().problem(), TplayWithOthers::kAskName);

    // Without a name nothing starts.
    press(Qt::Key_Backspace);
    press(Qt::Key_Return);
    EXPECT_TRUE(copy.restarts.empty());
    EXPECT_EQ(copy.others().problem(), TplayWithOthers::kNoName);
    EXPECT_EQ(QApplication::focusWidget(), copy.name());

    // Nor without an address to join; the window takes the player there.
    type("Cleo");
    press(Qt::Key_Return);
    EXPECT_TRUE(copy.restarts.empty());
    EXPECT_EQ(copy.others().problem(), TplayWithOthers::kNoAddress);
    ASSERT_EQ(QApplication::focusWidget(), copy.address());
    type("192.0.2.9");
    press(Qt::Key_Return);
    ASSERT_EQ(copy.restarts.size(), 1u);
    EXPECT_EQ(copy.restarts[0], (QStringList{"--", "Cleo", "192.0.2.9", "false"}));
}

} // namespace

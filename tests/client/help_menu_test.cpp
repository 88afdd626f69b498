#include "client/composition.h"
#include "client/tchat.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "tests/windows/sidewindow_print.h"
#include "widgets/tselbutton.h"
#include "windows/tabout.h"
#include "windows/tdownload.h"
#include "windows/thelp.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

const QStringList kQuickInstructions = {
    "Quick Instructions",
    "You lose a money bag if you make the number go over 98.",
    "A player wins by being the only player with money bags.",
    "2-9 increase the number by their number. Ace increases by 1",
    "Tens decrease the number by 10.",
    "Queens and Jacks keep the number the same.",
    "Kings make the number equal to 98.",
};

QAction *menuItem(const Tchat &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

// A main window that has not connected anywhere: one argument only says
// that a game is loading.
class HelpMenuTest : public ::testing::Test
{
protected:
    // A folder of its own for the settings and the tally.
    QTemporaryDir files;
    Composition program{QStringList{"Ann"}, TchatPorts{}, nullptr, files.path()};
    Tchat &window = program.window();
};

TEST_F(HelpMenuTest, QuickInstructionsGoIntoTheChatInBlueEachTime)
{
    QAction *quick = menuItem(window, "QuickInstructions1");
    ASSERT_NE(quick, nullptr);
    EXPECT_EQ(quick->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.isActiveWindow(); }));
    windowinput::press(Qt::Key_I, Qt::ControlModifier);
    windowinput::press(Qt::Key_I, Qt::ControlModifier);

    // Each time: an empty line, the seven lines, an empty line.
    const QStringList block = QStringList{""} + kQuickInstructions + QStringList{""};
    const QStringList lines = chatLines(&window);
    EXPECT_EQ(lines.mid(lines.size() - 2 * block.size()), block + block);

    const auto *log = window.findChild<QTextEdit *>(QStringLiteral("mainchat"));
    int blueLines = 0;
    for (QTextBlock line = log->document()->begin(); line.isValid(); line = line.next()) {
        if (!kQuickInstructions.contains(line.text()))
            continue;
        for (auto piece = line.begin(); !piece.atEnd(); ++piece)
            EXPECT_EQ(piece.fragment().charFormat().foreground().color(), window.systemColour())
                << line.text().toStdString();
        ++blueLines;
    }
    EXPECT_EQ(blueLines, 2 * kQuickInstructions.size());
}

TEST_F(HelpMenuTest, ContentAndAboutShowTheirWindows)
{
    auto *help = window.findChild<Thelp *>();
    auto *about = window.findChild<Tabout *>();
    ASSERT_NE(help, nullptr);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(help->isVisible());
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(menuItem(window, "Help2")->shortcut(), QKeySequence(Qt::Key_F1));

    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.isActiveWindow(); }));
    ASSERT_TRUE(windowinput::chooseMenuItem('h', menuItem(window, "About1")));
    EXPECT_TRUE(about->isVisible());
    ASSERT_TRUE(waitUntil([&] { return about->isActiveWindow(); }));
    windowinput::press(Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());

    window.activateWindow(); // the player clicks the main window
    ASSERT_TRUE(waitUntil([&] { return window.isActiveWindow(); }));
    windowinput::press(Qt::Key_F1);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    // The help window's own "About" shows the same window.
    windowinput::click(*help->findChild<TSelButton *>(QStringLiteral("button_about")));
    EXPECT_TRUE(about->isVisible());
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

TEST(HelpMenuSolo, SoloStartShowsTheDownloadWindowWhoseExitEndsTheGame)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    Composition program({}, TchatPorts{freePort(), lobby.serverPort()}, nullptr, folder.path());
    Tchat &window = program.window();
    bool ended = false;
    QObject::connect(&window, &Tchat::mainWindowClosed, [&] { ended = true; });
    auto *download = window.findChild<Tdownload *>();
    ASSERT_NE(download, nullptr);
    EXPECT_FALSE(download->isVisible());

    window.show();
    EXPECT_TRUE(download->isVisible());
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(&window, "You are Connected."); }));

    // "Play with Others" with a lobby in place hands over to it and ends
    // the game.
    const QString lobbyProgram = folder.filePath(QStringLiteral("KorvexLobby.exe"));
    QFile lobbyFile(lobbyProgram);
    ASSERT_TRUE(lobbyFile.open(QIODevice::WriteOnly));
    download->setLobbyProgram(lobbyProgram);
    QStringList started;
    download->setShellOpen(
        [&](const QString &file, const QString &, shellopen::Show, const shellopen::Done &done) {
            started << file;
            done(true);
        });
    windowinput::click(*download->findChild<QPushButton *>(QStringLiteral("Button2")));
    EXPECT_EQ(started, QStringList{lobbyProgram});
    EXPECT_TRUE(ended);
}

} // namespace

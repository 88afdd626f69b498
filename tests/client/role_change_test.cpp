#include "client/composition.h"
#include "client/errorbox.h"
#include "client/mainmenu.h"
#include "client/session/clientsettings.h"
#include "client/session/playwithothers.h"
#include "client/session/relaunch.h"
#include "client/session/rolechange.h"
#include "client/session/singleinstance.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/tsock.h"
#include "stats/tallyfile.h"
#include "stats/ttallylist.h"
#include "tests/client/programwindow.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tplaywithothers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

// Play with Others restarts the game in another role. Driven here as a
// player drives it, with keys on the real main window: a copy whose host
// could not bind its port, and restarts that fail, leave the program
// running with everything it gave up taken back.

namespace {

using windowinput::chooseMenuItem;
using windowinput::press;
using windowinput::topWindow;

// A desktop key of this test's own, so no real copy answers on it.
QString freshKey()
{
    static int count = 0;
    return QStringLiteral("zandor-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++count);
}

bool processRuns(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // A zombie has let go of everything it held.
    const QByteArray line = stat.readAll();
    const qsizetype state = line.lastIndexOf(')') + 2;
    return state < line.size() && line.at(state) != 'Z';
}

bool keyAnswers(const QString &key)
{
    QLocalSocket probe;
    probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    probe.connectToServer(key);
    return probe.waitForConnected(1000);
}

// One copy of the program as main() puts it together: the main window with
// its error box, the desktop's key and the restart, with the settings in a
// folder of its own. `program` stands in for the new copy.
struct Copy
{
    Copy(const QStringList &arguments, quint16 gamePort, const QString &program)
        : key(freshKey()), instance(key), relaunch(program, key)
    {
        lobby.listen(QHostAddress::LocalHost, 0);
        chat = std::make_unique<Composition>(arguments, TchatPorts{gamePort, lobby.serverPort()},
                                             nullptr, folder.path());
        errors = std::make_unique<ErrorBox>(chat.get());
        relaunch.setGiveUpMs(1500);
        change = std::make_unique<RoleChange>(chat.parts(), instance, relaunch);
        QObject::connect(&chat.parts().playWithOthers(), &PlayWithOthers::restartRequested,
                         change.get(), &RoleChange::begin);
        QObject::connect(change.get(), &RoleChange::takenBack, [this] { takenBack = true; });
        instance.claim();
    }
    ~Copy()
    {
        errors.reset();
        chat.reset();
    }

    // The error box on screen says `text`; Enter closes it.
    bool errorShown(const QString &text)
    {
        if (!waitUntil([&] { return errors->current() != nullptr; }))
            return false;
        const bool said = errors->current()->text() == text;
        QWidget *box = errors->current();
        box->activateWindow(); // the player clicks it
        waitUntil([&] { return QApplication::activeWindow() == box; });
        press(Qt::Key_Return);
        waitUntil([&] { return errors->current() != box; });
        return said;
    }
    // File > Play with Others..., then Start with the name `name` typed.
    bool playWithOthers(const QString &name)
    {
        chat->activateWindow(); // the player clicks the main window
        if (!waitUntil([&] { return QApplication::activeWindow() == chat.get(); }))
            return ADD_FAILURE() << "the main window is not active", false;
        if (!chooseMenuItem('f', chat->menu().PlayWithOthers1))
            return ADD_FAILURE() << "the menu item was not reached", false;
        TplayWithOthers &window = chat.parts().playWithOthers().window();
        if (!waitUntil([&] { return window.isVisible() && topWindow() == &window; }))
            return ADD_FAILURE() << "the window did not come up", false;
        if (!name.isEmpty()) {
            // The name box has the focus with its guess selected.
            press(Qt::Key_A, Qt::ControlModifier);
            windowinput::type(name);
        }
        press(Qt::Key_Return);
        if (!waitUntil([&] { return !window.isVisible(); }))
            return ADD_FAILURE() << "still open: " << window.problem().toStdString(), false;
        return true;
    }

    QTemporaryDir folder;
    QTcpServer lobby;
    QString key;
    SingleInstance instance;
    Relaunch relaunch;
    ProgramWindow chat;
    std::unique_ptr<ErrorBox> errors;
    std::unique_ptr<RoleChange> change;
    bool takenBack = false;
};

// Another copy already hosts on the port: this one's host fails to bind,
// says so, and Play with Others > Start must not end the program.
TEST(RoleChange, AHostThatCouldNotBindItsPortStillOffersPlayWithOthers)
{
    TServer other(0);
    other.startListening();
    const quint16 port = other.listeningPort();
    QTemporaryDir programs;
    Copy copy({}, port, programs.filePath(QStringLiteral("no-such-zandor")));
    copy.chat->show();

    ASSERT_TRUE(copy.errorShown(QStringLiteral("Listen - Error Binding Socket")));
    EXPECT_TRUE(chatHasLine(
        copy.chat.get(),
        QStringLiteral("Could not host a game: port %1 is already in use on this computer, "
                       "perhaps by another copy of Zandor (Listen - Error Binding Socket).")
            .arg(port)));

    ASSERT_TRUE(copy.playWithOthers(QStringLiteral("Hal")));
    // The new copy cannot be started: this one goes on, window and key.
    EXPECT_TRUE(copy.errorShown(RoleChange::kCouldNotStart));
    ASSERT_TRUE(waitUntil([&] { return copy.takenBack; }));
    EXPECT_TRUE(copy.chat->isVisible());
    EXPECT_TRUE(keyAnswers(copy.key));
    EXPECT_FALSE(copy.chat->server().listening());
    // Its failed attempt does not stand in the way of hosting once the port
    // is free (the system may take a moment to free it).
    other.stopListening();
    EXPECT_TRUE(waitUntil([&] {
        try {
            copy.chat->server().startListening();
        } catch (const ESockException &) {
        }
        return copy.chat->server().listening();
    }));
}

// A restart that fails is taken back whole: the desktop's key, the game
// port it hosted on, its window; the copy it started is ended. Before it
// handed over it wrote the tally, which the new copy reads at its start.
TEST(RoleChange, ARestartThatFailsIsTakenBackWhole)
{
    struct Case
    {
        const char *what;
        bool programExists;
        QString error;
    };
    const Case cases[] = {
        {"cannot be started", false, RoleChange::kCouldNotStart},
        {"never takes the key", true, RoleChange::kDidNotStart},
    };
    for (const Case &c : cases) {
        QTemporaryDir programs;
        const QString program = programs.filePath(QStringLiteral("zandor"));
        const QString seenTally = programs.filePath(QStringLiteral("seen.tld"));
        Copy copy({"Hal", "127.0.0.1", "true"}, 0, program);
        if (c.programExists) {
            // Reads the tally as the new copy would, then hangs.
            QFile script(program);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\ncp '%1' '%2'\nexec sleep 600\n")
                             .arg(copy.chat.parts().tally().filePath(), seenTally)
                             .toUtf8());
            script.close();
            script.setPermissions(script.permissions() | QFile::ExeOwner);
        }
        copy.chat->show();
        ASSERT_TRUE(waitUntil([&] { return copy.chat->session().loggedIn; })) << c.what;
        const quint16 port = copy.chat->server().listeningPort();

        // A game started adds to the tally, which is written only at exit.
        const Ttallylist &tally = copy.chat.parts().tally();
        const QByteArray before = tally.grid().text();
        ASSERT_TRUE(chooseMenuItem('f', copy.chat->menu().StartGame1)) << c.what;
        ASSERT_TRUE(waitUntil([&] { return topWindow() && topWindow() != copy.chat.get(); }));
        press(Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return tally.grid().text() != before; })) << c.what;

        ASSERT_TRUE(copy.playWithOthers(QStringLiteral("Hal"))) << c.what;
        ASSERT_TRUE(copy.errorShown(c.error)) << c.what;
        ASSERT_TRUE(waitUntil([&] { return copy.takenBack; })) << c.what;

        EXPECT_TRUE(copy.chat->isVisible()) << c.what;
        EXPECT_TRUE(keyAnswers(copy.key)) << c.what;
        EXPECT_EQ(copy.chat->server().listeningPort(), port) << c.what;
        QTcpSocket newcomer;
        newcomer.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(newcomer.waitForConnected(2000)) << c.what;
        if (c.programExists) {
            const qint64 started = copy.relaunch.startedPid();
            ASSERT_GT(started, 0);
            EXPECT_TRUE(waitUntil([&] { return !processRuns(started); })) << c.what;
            ASSERT_TRUE(QFile::exists(seenTally)) << c.what;
            QTemporaryDir seen;
            ASSERT_TRUE(QFile::copy(seenTally, QDir(seen.path()).filePath(TallyFile::kFileName)));
            const TallyFile::LoadResult read = TallyFile(seen.path()).load();
            ASSERT_EQ(read.outcome, TallyFile::Outcome::Loaded);
            EXPECT_EQ(read.grid.text(), copy.chat.parts().tally().grid().text()) << c.what;
        }
    }
}

} // namespace

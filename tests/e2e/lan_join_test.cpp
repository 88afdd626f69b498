// Two computers of one house, two network namespaces on a virtual cable:
// Ann hosts with the real program on one, Cleo opens "Join a Game..." on the
// other and joins Ann's game from the list with Alt+G and Enter, through the
// X test extension as a keyboard would.

#include "lan/gamefinder.h"
#include "net/gamerules.h"
#include "tests/e2e/xdisplay.h"
#include "tests/e2e/xinput.h"
#include "tests/support/twonetworks.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <iostream>

#include <signal.h>

namespace {

constexpr int kPatienceMs = 60000;

// Ann's game as it is heard on her own computer; -1 while it is not.
int seatsTaken(const GameFinder &heard)
{
    for (const FoundGame &game : heard.games()) {
        if (game.announcement.hostName == "Ann")
            return game.announcement.seatsTaken;
    }
    return -1;
}

// A copy of the program in a folder of its own: its settings file lives
// beside it.
struct Copy
{
    explicit Copy(const VirtualDisplay &display)
    {
        program = folder.filePath(QStringLiteral("zandor"));
        copied = QFile::copy(QStringLiteral(ZANDOR_BINARY), program);
        process.setProcessEnvironment(programEnvironment(display, folder.path()));
        process.setProcessChannelMode(QProcess::ForwardedChannels);
    }
    ~Copy()
    {
        process.kill();
        process.waitForFinished();
        // A copy that started itself again in the chosen part runs on
        // without us: it is found by its own program file.
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
            if (exe == program && pid.toInt() > 0)
                ::kill(pid.toInt(), SIGKILL);
        }
    }
    QTemporaryDir folder;
    QString program;
    bool copied = false;
    QProcess process;
};

TEST(LanJoin, GameHostedThereIsJoinedFromTheListWithAltGAndEnter)
{
    TwoNetworks networks;
    const QString problem = networks.setUp();
    if (!problem.isEmpty())
        GTEST_SKIP() << "no two networks to test on: " << problem.toStdString();
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb is not available";
    XTestInput input(display.name());
    ASSERT_TRUE(input.connected()) << "the X test extension is not available";
    WindowManager windowManager(display);
    if (!windowManager.missing().isEmpty())
        GTEST_SKIP() << windowManager.missing().toStdString();

    // What Ann's computer hears of her game: the seats taken.
    GameFinder heardHere(kGamePort);
    heardHere.start();

    Copy ann(display);
    ASSERT_TRUE(ann.copied);
    ann.process.start(ann.program, {"Ann", "127.0.0.1", "true"});
    ASSERT_TRUE(ann.process.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return seatsTaken(heardHere) == 1; }, kPatienceMs))
        << "Ann's game was never announced";

    // Cleo on the other computer.
    const unsigned long focusBefore = input.focusWindow();
    Copy cleo(display);
    ASSERT_TRUE(cleo.copied);
    QElapsedTimer clock;
    clock.start();
    cleo.process.start(TwoNetworks::ipProgram(),
                       {"netns", "exec", networks.thereName(), cleo.program, "--play-with-others"});
    ASSERT_TRUE(cleo.process.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return input.focusWindow() != focusBefore; }, kPatienceMs))
        << "the Play with Others window did not get the keyboard";

    // The list may not have heard of the game when the first keys come: an
    // empty list refuses the Start, and the keys are pressed again.
    const bool joined = waitUntil(
        [&] {
            input.key("g", "Alt_L");
            input.key("Return");
            return waitUntil([&] { return seatsTaken(heardHere) == 2; }, 2000);
        },
        kPatienceMs);
    EXPECT_TRUE(joined) << "Cleo never sat down at Ann's table";
    std::cout << "Cleo sat at Ann's table " << clock.elapsed() << " ms after her copy started\n";
}

} // namespace

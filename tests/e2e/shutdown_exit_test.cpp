#include "stats/tallyfile.h"
#include "tests/e2e/xdisplay.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <csignal>

namespace {

// The real program, in a folder of its own (it keeps its files beside
// itself), is sent the signal of a logout or a shutdown: it ends as after
// "Exit", with a normal exit and its tally written on the way out.
TEST(ShutdownExit, LogoutAndShutdownEndTheProgramAsExitDoes)
{
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb is not available";
    XWindowProbe probe(display.name());
    ASSERT_TRUE(probe.connected());

    for (const int signalNumber : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const QString program = folder.filePath(QStringLiteral("zandor"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZANDOR_BINARY), program));

        QProcess game;
        game.setProcessEnvironment(programEnvironment(display, folder.path()));
        game.setProcessChannelMode(QProcess::ForwardedChannels);
        // One argument: the game only says it is loading and opens no port.
        game.start(program, {QStringLiteral("Ann")});
        ASSERT_TRUE(game.waitForStarted());
        ASSERT_TRUE(
            waitUntil([&] { return probe.mappedWindowsTitled("Zandor").size() == 1; }, 30000));
        ASSERT_FALSE(QFile::exists(folder.filePath(TallyFile::kFileName)));

        ASSERT_EQ(::kill(pid_t(game.processId()), signalNumber), 0);
        const bool ended = waitUntil([&] { return game.state() == QProcess::NotRunning; }, 30000);
        if (!ended) {
            game.kill();
            game.waitForFinished();
        }
        ASSERT_TRUE(ended);
        EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(game.exitCode(), 0);
        const TallyFile::LoadResult tally = TallyFile(folder.path()).load();
        EXPECT_EQ(tally.outcome, TallyFile::Outcome::Loaded) << tally.error.toStdString();
        EXPECT_TRUE(waitUntil([&] { return probe.mappedWindowsTitled("Zandor").empty(); }));
    }
}

} // namespace

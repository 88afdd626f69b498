#include "client/session/shutdownsignals.h"
#include "stats/tallyfile.h"
#include "stats/ttallylist.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

void (*handlerOf(int signalNumber))(int)
{
    struct sigaction now = {};
    ::sigaction(signalNumber, nullptr, &now);
    return now.sa_handler;
}

// Runs an event loop as main() does, ending it the way main() does when a
// signal arrives; sends `signalNumber` to this process once the loop runs.
// Returns the signal that ended the loop, or 0 when nothing did in time.
int runUntilSignal(ShutdownSignals &shutdown, int signalNumber)
{
    QEventLoop loop;
    int received = 0;
    QObject::connect(&shutdown, &ShutdownSignals::received, &loop, [&](int number) {
        received = number;
        loop.exit(0);
    });
    QTimer::singleShot(0, &loop, [signalNumber] { ::kill(::getpid(), signalNumber); });
    QTimer::singleShot(10000, &loop, [&] { loop.exit(1); });
    loop.exec();
    return received;
}

TEST(ShutdownSignals, LoggingOutShuttingDownOrCtrlCEndTheEventLoopNotTheProcess)
{
    for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        // Whatever the test was started with (ctest under nohup ignores SIGHUP).
        const auto started = std::signal(signalNumber, SIG_DFL);
        {
            ShutdownSignals shutdown;
            ASSERT_TRUE(shutdown.active());
            EXPECT_EQ(runUntilSignal(shutdown, signalNumber), signalNumber);
        }
        EXPECT_EQ(handlerOf(signalNumber), SIG_DFL) << "the old handler is back";
        std::signal(signalNumber, started);
    }
}

TEST(ShutdownSignals, ASignalThatTheParentIgnoresStaysIgnored)
{
    // Started under nohup: logging out must not end the game.
    const auto started = std::signal(SIGHUP, SIG_IGN);
    {
        ShutdownSignals shutdown;
        EXPECT_EQ(handlerOf(SIGHUP), SIG_IGN);
        // Were SIGHUP still counted, it would end the loop before SIGTERM.
        ::kill(::getpid(), SIGHUP);
        EXPECT_EQ(runUntilSignal(shutdown, SIGTERM), SIGTERM);
    }
    EXPECT_EQ(handlerOf(SIGHUP), SIG_IGN);
    std::signal(SIGHUP, started);
}

// The game's way out on a signal: the loop ends, the windows are destroyed,
// and the tally window writes everything, also what came after the last
// finished game (which it saved at once).
TEST(ShutdownSignals, SigtermAfterAGameLeavesTheTallyWithThatGame)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto tally = std::make_unique<Ttallylist>(dir.path());

    // One game played and won, the next one dealt.
    tally->addtomineincrease(TallyGrid::kBagsReceived, 3);
    tally->addtomineincrease(TallyGrid::kBagsWon, 12 - 2);
    tally->addgame(true, QString(), {"Computer 2", "Computer 3", "Computer 4"});
    tally->addtomineincrease(TallyGrid::kBagsReceived, 3);

    ShutdownSignals shutdown;
    ASSERT_EQ(runUntilSignal(shutdown, SIGTERM), SIGTERM);
    tally.reset();

    const TallyFile::LoadResult saved = TallyFile(dir.path()).load();
    ASSERT_EQ(saved.outcome, TallyFile::Outcome::Loaded) << saved.error.toStdString();
    EXPECT_EQ(saved.grid.cell(TallyGrid::kTotalGames, 0), QStringLiteral("1"));
    EXPECT_EQ(saved.grid.cell(TallyGrid::kUserWins, 0), QStringLiteral("1"));
    EXPECT_EQ(saved.grid.cell(TallyGrid::kBagsWon, 0), QStringLiteral("10"));
    EXPECT_EQ(saved.grid.cell(TallyGrid::kBagsReceived, 0), QStringLiteral("6"));
}

} // namespace

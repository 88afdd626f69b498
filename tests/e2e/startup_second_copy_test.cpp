#include "tests/e2e/xdisplay.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

// The real program, twice, on one private display: the second start finds
// the first, brings its window back from being minimised and to the front,
// and ends without a window. The display has no window manager; the test
// minimises the first window as one would, and reads the window's state
// back from the X server.
TEST(SecondCopy, RaisesTheMinimisedFirstCopyAndEnds)
{
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb is not available";
    XWindowProbe probe(display.name());
    ASSERT_TRUE(probe.connected());

    QTemporaryDir runtime;
    const QProcessEnvironment environment = programEnvironment(display, runtime.path());
    // One argument: the program only says a game is loading, so these copies
    // never touch the game's port.
    const QStringList arguments = {"Ann"};

    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start(ZANDOR_BINARY, arguments);
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return probe.mappedWindowsTitled("Zandor").size() == 1; }, 30000));
    const quint32 window = probe.mappedWindowsTitled("Zandor").front();

    const quint32 cover = probe.coverScreen();
    ASSERT_TRUE(waitUntil([&] { return probe.isAbove(cover, window); }));
    probe.iconify(window);
    ASSERT_TRUE(waitUntil([&] { return !probe.isViewable(window); }));
    ASSERT_TRUE(probe.mappedWindowsTitled("Zandor").empty());

    QProcess second;
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(ZANDOR_BINARY, arguments);
    ASSERT_TRUE(second.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return second.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    EXPECT_TRUE(waitUntil([&] { return probe.isViewable(window); })) << "restored";
    EXPECT_TRUE(waitUntil([&] { return probe.isAbove(window, cover); })) << "in front";
    EXPECT_EQ(probe.mappedWindowsTitled("Zandor"), std::vector<quint32>{window});
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    if (!first.waitForFinished(5000))
        first.kill();
    first.waitForFinished();
}

} // namespace

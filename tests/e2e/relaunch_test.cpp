#include "client/session/relaunch.h"
#include "client/session/singleinstance.h"
#include "tests/e2e/xdisplay.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <csignal>

namespace {

// A restart in another role: the copy that gives up the desktop's key starts
// the real program, which takes the key over and shows its window; only then
// is the old copy told it may close.
TEST(Relaunch, TheNewCopyTakesTheDesktopOver)
{
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb is not available";
    XWindowProbe probe(display.name());
    ASSERT_TRUE(probe.connected());

    QTemporaryDir runtime;
    // The new copy inherits this process's environment.
    qputenv("DISPLAY", display.name().toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    qunsetenv("WAYLAND_DISPLAY");
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "xcb");
    const QString key = SingleInstance::desktopKey();

    SingleInstance old(key);
    ASSERT_EQ(old.claim(), SingleInstance::Role::First);
    old.release();

    Relaunch relaunch(ZANDOR_BINARY, key);
    bool handedOver = false;
    bool failed = false;
    QObject::connect(&relaunch, &Relaunch::handedOver, [&] { handedOver = true; });
    QObject::connect(&relaunch, &Relaunch::failed, [&] { failed = true; });
    // One argument: the new copy only says a game is loading, so it never
    // touches the game's port.
    ASSERT_TRUE(relaunch.start({"Ann"}));
    qputenv("QT_QPA_PLATFORM", platform);
    ASSERT_TRUE(waitUntil([&] { return handedOver || failed; }, 30000));
    EXPECT_TRUE(handedOver);
    EXPECT_TRUE(waitUntil([&] { return probe.mappedWindowsTitled("Zandor").size() == 1; }, 30000));

    // The desktop is the new copy's: a later copy is sent to it.
    SingleInstance later(key);
    EXPECT_EQ(later.claim(), SingleInstance::Role::Second);

    ASSERT_GT(relaunch.startedPid(), 0);
    ::kill(pid_t(relaunch.startedPid()), SIGKILL);
}

} // namespace

#include "client/relaunch.h"
#include "client/singleinstance.h"
#include "tests/e2e/xdisplay.h"
#include "tests/support/wait.h"
#include "windows/tplaywithothers.h"

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

// The restart hands the new copy the player's name, and Qt takes an
// argument that begins with "-" for one of its options: the name "-platform"
// killed the new copy and "-qwindowtitle" retitled its window. Whatever the
// name, the new copy starts, takes the desktop over and is the game's window.
TEST(Relaunch, ANameLikeAnOptionOfQtIsOnlyAName)
{
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb is not available";
    XWindowProbe probe(display.name());
    ASSERT_TRUE(probe.connected());
    QTemporaryDir runtime;
    qputenv("DISPLAY", display.name().toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    qunsetenv("WAYLAND_DISPLAY");
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QString key = SingleInstance::desktopKey();

    for (const char *name : {"-platform", "-qwindowtitle"}) {
        SCOPED_TRACE(name);
        // A host that cannot be found: the new copy says so and touches no
        // game's port.
        const PlayChoice join{name, false, QStringLiteral("no-such-host.invalid")};
        Relaunch relaunch(ZANDOR_BINARY, key);
        bool handedOver = false;
        bool failed = false;
        QObject::connect(&relaunch, &Relaunch::handedOver, [&] { handedOver = true; });
        QObject::connect(&relaunch, &Relaunch::failed, [&] { failed = true; });
        qputenv("QT_QPA_PLATFORM", "xcb");
        ASSERT_TRUE(relaunch.start(commandLineFor(join)));
        qputenv("QT_QPA_PLATFORM", platform);
        ASSERT_TRUE(waitUntil([&] { return handedOver || failed; }, 30000));
        EXPECT_TRUE(handedOver);
        EXPECT_TRUE(waitUntil([&] { return !probe.mappedWindowsTitled("Zandor").empty(); }, 30000));
        EXPECT_TRUE(probe.mappedWindowsTitled(join.address).empty());

        ASSERT_GT(relaunch.startedPid(), 0);
        ::kill(pid_t(relaunch.startedPid()), SIGKILL);
        EXPECT_TRUE(waitUntil([&] { return probe.mappedWindowsTitled("Zandor").empty(); }, 10000));
    }
}

} // namespace

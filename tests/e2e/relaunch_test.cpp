#include "client/session/commandline.h"
#include "client/session/relaunch.h"
#include "client/session/singleinstance.h"
#include "tests/e2e/xdisplay.h"
#include "tests/support/wait.h"
#include "windows/tplaywithothers.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <csignal>
#include <memory>

namespace {

// A private display the new copies start on; they inherit this process's
// environment, so it points at the display while a test runs.
class RelaunchOnDisplay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!display.running())
            GTEST_SKIP() << "Xvfb is not available";
        probe = std::make_unique<XWindowProbe>(display.name());
        ASSERT_TRUE(probe->connected());
        qputenv("DISPLAY", display.name().toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        qunsetenv("WAYLAND_DISPLAY");
        key = SingleInstance::desktopKey();
    }
    void TearDown() override { qputenv("QT_QPA_PLATFORM", platform); }

    // Starts the real program through a Relaunch and waits until it has
    // taken the desktop's key over, or has failed to.
    void start(Relaunch &relaunch, const QStringList &arguments)
    {
        QObject::connect(&relaunch, &Relaunch::handedOver, [this] { handedOver = true; });
        QObject::connect(&relaunch, &Relaunch::failed, [this] { failed = true; });
        qputenv("QT_QPA_PLATFORM", "xcb");
        ASSERT_TRUE(relaunch.start(arguments));
        qputenv("QT_QPA_PLATFORM", platform);
        ASSERT_TRUE(waitUntil([this] { return handedOver || failed; }, 30000));
    }

    VirtualDisplay display;
    std::unique_ptr<XWindowProbe> probe;
    QTemporaryDir runtime;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    QString key;
    bool handedOver = false;
    bool failed = false;
};

// A restart in another role: the copy that gives up the desktop's key starts
// the real program, which takes the key over and shows its window; only then
// is the old copy told it may close.
TEST_F(RelaunchOnDisplay, TheNewCopyTakesTheDesktopOver)
{
    SingleInstance old(key);
    ASSERT_EQ(old.claim(), SingleInstance::Role::First);
    old.release();

    Relaunch relaunch(ZANDOR_BINARY, key);
    // One argument: the new copy only says a game is loading, so it never
    // touches the game's port.
    start(relaunch, {"Ann"});
    EXPECT_TRUE(handedOver);
    EXPECT_TRUE(waitUntil([&] { return probe->mappedWindowsTitled("Zandor").size() == 1; }, 30000));

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
TEST_F(RelaunchOnDisplay, ANameLikeAnOptionOfQtIsOnlyAName)
{
    for (const char *name : {"-platform", "-qwindowtitle"}) {
        SCOPED_TRACE(name);
        handedOver = failed = false;
        // A host that cannot be found: the new copy says so and touches no
        // game's port.
        const PlayChoice join{name, false, QStringLiteral("no-such-host.invalid")};
        Relaunch relaunch(ZANDOR_BINARY, key);
        start(relaunch, CommandLine::forChoice(join).forNewCopy());
        EXPECT_TRUE(handedOver);
        EXPECT_TRUE(
            waitUntil([&] { return !probe->mappedWindowsTitled("Zandor").empty(); }, 30000));
        EXPECT_TRUE(probe->mappedWindowsTitled(join.address).empty());

        ASSERT_GT(relaunch.startedPid(), 0);
        ::kill(pid_t(relaunch.startedPid()), SIGKILL);
        EXPECT_TRUE(waitUntil([&] { return probe->mappedWindowsTitled("Zandor").empty(); }, 10000));
    }
}

} // namespace

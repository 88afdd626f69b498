#include "client/session/clientsettings.h"
#include "tests/e2e/xdisplay.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

// The settings are read while the windows are built, before the error box
// exists: a settings file set aside at start-up was told only on standard
// error, where a player never looks. The real program, started beside a
// file that holds no settings, sets it aside and says so in a box over its
// window.
TEST(StartupSettings, AFileSetAsideAtStartIsToldInTheWindow)
{
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb is not available";
    XWindowProbe probe(display.name());
    ASSERT_TRUE(probe.connected());

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("zandor"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZANDOR_BINARY), program));
    const QString settings = folder.filePath(ClientSettings::kFileName);
    {
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[Zandor]\nTextsize=12\n\0\0\0\0", 26));
    }

    QProcessEnvironment environment = programEnvironment(display, folder.path());
    environment.insert("XDG_CONFIG_HOME", folder.path());
    QProcess game;
    game.setProcessEnvironment(environment);
    game.setProcessChannelMode(QProcess::ForwardedChannels);
    // One argument: the game only says it is loading and opens no port.
    game.start(program, {QStringLiteral("Ann")});
    ASSERT_TRUE(game.waitForStarted());

    // The main window and the box over it.
    EXPECT_TRUE(waitUntil([&] { return probe.mappedWindowsTitled("Zandor").size() == 2; }, 30000));
    EXPECT_TRUE(QFile::exists(settings + ClientSettings::kDamagedSuffix));
    game.kill();
    game.waitForFinished();
}

} // namespace

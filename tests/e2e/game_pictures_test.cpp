#include "client/clientconnection.h"
#include "client/hand.h"
#include "client/tablestate.h"
#include "client/tableview.h"
#include "client/tchat.h"
#include "host/random.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

constexpr int kTestBotDelay = 2;
constexpr int kDeadlineMs = 240000;

// The window as the screen shows it. On a real display (scripts/
// table_screenshots.sh runs this under Xvfb) the pixels come from the X
// server; elsewhere the window paints itself into the picture.
QImage picture(Tchat &window)
{
    for (QWidget *other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible())
            other->hide();
    }
    QCoreApplication::processEvents();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        window.raise();
        QCoreApplication::processEvents();
        return window.screen()->grabWindow(window.winId()).toImage();
    }
    return window.grab().toImage();
}

bool hasManyColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    }
    return colours.size() > 50;
}

QString status(const Tchat &window)
{
    return window.findChild<QLabel *>(QStringLiteral("label_status"))->text();
}

// A solo game photographed at its four moments: the table before the start,
// a round under way with the user's hand, a seat going broke, and the
// winner. The pictures go to ZANDOR_SCREENSHOT_DIR when it is set (the
// README's pictures come from there), else to a temporary folder.
TEST(TablePictures, EveryMomentOfAGameShowsOnTheTable)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString target = qEnvironmentVariableIsSet("ZANDOR_SCREENSHOT_DIR")
                               ? qEnvironmentVariable("ZANDOR_SCREENSHOT_DIR")
                               : scratch.path();
    QDir().mkpath(target);
    const auto save = [&](Tchat &window, const char *name) {
        const QImage image = picture(window);
        EXPECT_TRUE(hasManyColours(image)) << name;
        EXPECT_TRUE(image.save(QDir(target).filePath(QLatin1String(name)))) << name;
    };

    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    Tchat window({}, TchatPorts{0, lobby.serverPort()});
    // The same deal every time, so that pictures of two builds compare.
    programRandom().setSeed(20261210);
    useSettingsFolder(window, scratch.path());
    window.show();
    TServer &server = window.server();
    ASSERT_TRUE(waitUntil([&] { return server.botdelay() == 500; }, 30000));
    window.connection().sendToHost(msg::botspeed(1, kTestBotDelay));
    ASSERT_TRUE(waitUntil([&] { return server.botdelay() == kTestBotDelay; }, 30000));
    save(window, "table-start.png");

    clickWidget(*window.findChild<QPushButton *>(QStringLiteral("button_start")), Qt::LeftButton);
    clickWidget(*window.findChild<QWidget *>(QStringLiteral("Tgamestart"))
                     ->findChild<QLabel *>(QStringLiteral("button_start")),
                Qt::LeftButton);

    // A round under way: the user to play, his four cards out, a few
    // cards on the pile already.
    UserAtTable user(window);
    const auto cardCount = [&] { return window.state().cardCount(); };
    ASSERT_TRUE(waitUntil(
        [&] {
            if (status(window) == "Your Turn." && cardCount() >= 3 &&
                window.findChildren<CardImage *>().size() == 4)
                return true;
            hurryPause(server);
            user.play();
            return false;
        },
        kDeadlineMs));
    save(window, "table-round.png");

    // A seat loses its last bag: the pause before the next round shows it.
    ASSERT_TRUE(waitUntil(
        [&] {
            if (server.pauseRunning() && status(window).endsWith("lost a bag of money.")) {
                for (int seat = 1; seat <= 4; ++seat) {
                    if (window.table().seatControls(seat)->image_money->isVisible())
                        return true;
                }
            }
            hurryPause(server);
            user.play();
            return false;
        },
        kDeadlineMs));
    save(window, "table-bust.png");

    ASSERT_TRUE(waitUntil(
        [&] {
            hurryPause(server);
            user.play();
            return !winnerBanner(window).isEmpty();
        },
        kDeadlineMs));
    save(window, "table-winner.png");
}

} // namespace

// Takes the documentation's pictures: the four moments of a solo game on the
// table, and the game options, tally, phrase and spy list windows. A
// program, not a test: scripts/table_screenshots.sh runs it under Xvfb.
// Usage: docs_pictures <folder>

#include "client/composition.h"
#include "client/model/tablestate.h"
#include "client/session/clientconnection.h"
#include "client/table/hand.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "host/random.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "resources/artwork.h"
#include "stats/lzrw1container.h"
#include "stats/ttallylist.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/wait.h"
#include "windows/tgamestart.h"
#include "windows/tphrases.h"
#include "windows/tplaywithothers.h"
#include "windows/tspylist.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTcpServer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kTestBotDelay = 2;
constexpr int kDeadlineMs = 240000;

QDir target;
int failures = 0;

// The window as the screen shows it: on a real display from the X server,
// elsewhere painted into the picture by the window itself.
QImage picture(QWidget &window)
{
    for (QWidget *other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible())
            other->hide();
    }
    QCoreApplication::processEvents();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        window.raise();
        waitUntil([] { return false; }, 200); // let the server draw it
        return window.screen()->grabWindow(window.winId()).toImage();
    }
    return window.grab().toImage();
}

void save(QWidget &window, const char *name)
{
    const QString path = target.filePath(QLatin1String(name));
    if (picture(window).save(path)) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++failures;
    }
}

bool check(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "gave up waiting for %s\n", what);
        ++failures;
    }
    return holds;
}

QString status(const Tchat &window)
{
    return window.findChild<QLabel *>(QStringLiteral("label_status"))->text();
}

// A solo game at its four moments: the table before the start, a round
// under way with the user's hand, a seat going broke, and the winner; and
// the round once more with the window filling the screen. With a
// `roundOnly` name only the round is taken, under that name.
void tablePictures(const char *roundOnly = nullptr)
{
    QTemporaryDir scratch;
    QTcpServer lobby;
    lobby.listen(QHostAddress::LocalHost, 0);
    Composition program({}, TchatPorts{0, lobby.serverPort()}, nullptr,
                        fastSettingsFolder(scratch.path()));
    Tchat &window = program.window();
    // The same deal every time, so that pictures of two builds compare.
    programRandom().setSeed(20261210);
    window.show();
    TServer &server = window.server();
    if (!check(waitUntil([&] { return server.botdelay() == 500; }, 30000), "the login"))
        return;
    window.connection().sendToHost(msg::Botspeed{1, kTestBotDelay}.build());
    if (!check(waitUntil([&] { return server.botdelay() == kTestBotDelay; }, 30000),
               "the bot speed"))
        return;
    if (!roundOnly)
        save(window, "table-start.png");

    clickWidget(*window.findChild<QPushButton *>(QStringLiteral("button_start")), Qt::LeftButton);
    clickWidget(*window.findChild<QWidget *>(QStringLiteral("Tgamestart"))
                     ->findChild<QLabel *>(QStringLiteral("button_start")),
                Qt::LeftButton);

    UserAtTable user(window);
    const auto cardCount = [&] { return window.state().cardCount(); };
    const auto playUntil = [&](const auto &moment) {
        return waitUntil(
            [&] {
                if (moment())
                    return true;
                hurryPause(server);
                user.play();
                return false;
            },
            kDeadlineMs);
    };
    if (!check(playUntil([&] {
                   return status(window) == "Your Turn." && cardCount() >= 3 &&
                          window.findChildren<CardImage *>().size() == 4;
               }),
               "a round under way"))
        return;
    if (roundOnly) {
        save(window, roundOnly);
        return;
    }
    save(window, "table-round.png");
    // The same moment with the window as large as the screen, as a
    // maximised window on a desktop shows it, then back to the designed
    // size for the rest.
    const QSize designed = window.size();
    window.setGeometry(window.screen()->availableGeometry());
    waitUntil([] { return false; }, 300);
    save(window, "table-maximised.png");
    window.resize(designed);
    waitUntil([] { return false; }, 300);

    if (!check(playUntil([&] {
                   if (!server.pauseRunning() || !status(window).endsWith("lost a bag of money."))
                       return false;
                   for (int seat = 1; seat <= 4; ++seat) {
                       if (window.table().seatControls(seat)->image_money->isVisible())
                           return true;
                   }
                   return false;
               }),
               "a bust"))
        return;
    save(window, "table-bust.png");

    if (!check(playUntil([&] { return !winnerBanner(window).isEmpty(); }), "the winner"))
        return;
    save(window, "table-winner.png");
}

void gameOptionsPicture()
{
    GameStartHooks hooks;
    hooks.numhumans = [] { return 1; };
    Tgamestart window(hooks);
    window.open();
    waitUntil([&] { return window.isVisible(); });
    save(window, "gamestart.png");
}

// Grid text with the user's row first, each row given as its nine cells.
QByteArray gridText(const QList<QStringList> &rows)
{
    QByteArray text = "9\r\n" + QByteArray::number(rows.size()) + "\r\n";
    for (int column = 0; column < 9; ++column) {
        for (const QStringList &row : rows)
            text += row[column].toUtf8() + "\r\n";
    }
    return text;
}

void tallyPicture()
{
    QTemporaryDir folder;
    QFile file(QDir(folder.path()).filePath(QStringLiteral("Zandortally.tld")));
    if (!file.open(QIODevice::WriteOnly))
        return void(check(false, "a tally file"));
    file.write(lzrw1::compress(gridText({{"0", "57", "19", "96", "131", "171", "0", "0", "0"},
                                         {"Marta", "23", "7", "9", "7", "3", "1", "1", "1"},
                                         {"Computer 2", "41", "12", "14", "15", "3", "1", "2", "0"},
                                         {"Computer 3", "38", "10", "13", "15", "3", "0", "1", "2"},
                                         {"Old Pete", "6", "1", "4", "1", "0", "0", "0", "0"}})));
    file.close();
    const QStringList atTable = {"Marta", "Computer 2", "Computer 3"};
    Ttallylist window(folder.path());
    window.addgame(false, QStringLiteral("Computer 2"), atTable);
    window.addgame(true, QString(), atTable);
    window.addgame(false, QStringLiteral("Marta"), atTable);
    window.viewtally(atTable);
    window.findChild<QListWidget *>(QStringLiteral("listbox_tally"))->setCurrentRow(1);
    waitUntil([&] { return window.isVisible(); });
    save(window, "tally.png");
}

void phrasesPicture()
{
    Tphrases window([] { return artwork::backgroundTile(); });
    window.showphrases({QStringLiteral("Way To Go!"), QStringLiteral("Good One!"), QString(),
                        QStringLiteral("Excellent!"), QStringLiteral("Brilliant!"),
                        QStringLiteral("Wow, WTG!"), QStringLiteral("Thanks, partner!"),
                        QStringLiteral("Way To Go Teamie!"), QStringLiteral("Good Game Everyone!"),
                        QStringLiteral("/me waves \"Good-Bye\"")});
    waitUntil([&] { return window.isVisible(); });
    save(window, "phrases.png");
}

void spyListPicture()
{
    Tspylist window(artwork::backgroundTile());
    window.setEntries(
        {QStringLiteral("5: Ann"), QStringLiteral("6: Old Pete"), QStringLiteral("8: Marta")});
    window.findChild<QListWidget *>(QStringLiteral("listbox_spys"))->setCurrentRow(1);
    window.showspylist();
    waitUntil([&] { return window.isVisible(); });
    save(window, "spylist.png");
}

void playWithOthersPicture()
{
    TplayWithOthers window;
    window.open(QStringLiteral("Ann"),
                {QStringLiteral("192.0.2.7"), QStringLiteral("games.example")});
    window.showGames({{QStringLiteral("Bob's game - 2 of 4 seats taken, 1 watching, playing"),
                       QStringLiteral("192.168.1.20")},
                      {QStringLiteral("Cleo's game - 1 of 4 seats taken, 0 watching, waiting to "
                                      "start"),
                       QStringLiteral("192.168.1.31")}});
    waitUntil([&] { return window.isVisible(); });
    save(window, "playwithothers.png");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // With a file name only the table in a round is taken, under that
    // name: the script runs it once more on a screen scaled to 200%.
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: docs_pictures <folder> [round picture's name]\n");
        return 2;
    }
    target = QDir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(target.path());
    if (argc == 3) {
        tablePictures(argv[2]);
        return failures == 0 ? 0 : 1;
    }
    gameOptionsPicture();
    tallyPicture();
    phrasesPicture();
    spyListPicture();
    playWithOthersPicture();
    tablePictures();
    return failures == 0 ? 0 : 1;
}

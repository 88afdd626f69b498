// The games of the local network as the program shows them: a copy that
// hosts for others makes its game known and says where it can be reached,
// and the Play with Others window lists the games and joins one by keys.
// Two network namespaces on a virtual cable stand for two computers.

#include "client/composition.h"
#include "client/mainmenu.h"
#include "client/session/clientsettings.h"
#include "client/session/commandline.h"
#include "client/session/inifile.h"
#include "client/session/playchoices.h"
#include "client/session/playwithothers.h"
#include "client/session/relaunch.h"
#include "client/session/rolechange.h"
#include "client/session/singleinstance.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "lan/gameannouncer.h"
#include "lan/gamefinder.h"
#include "tests/client/programwindow.h"
#include "tests/client/startup_support.h"
#include "tests/support/errorhandler.h"
#include "tests/support/twonetworks.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tplaywithothers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMutex>
#include <QRadioButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <functional>
#include <iostream>
#include <memory>
#include <vector>

namespace {

using windowinput::press;
using windowinput::type;

constexpr quint16 kPort = 7772;
constexpr int kPatienceMs = 30000;

// The other computer: whatever `build` makes there lives on an event loop
// of its own, on that computer's network.
class OtherComputer : public QThread
{
public:
    OtherComputer(int networkFd, std::function<void(QObject &home)> build)
        : networkFd_(networkFd), build_(std::move(build))
    {}
    ~OtherComputer() override
    {
        quit();
        wait();
    }

protected:
    void run() override
    {
        ::setns(networkFd_, CLONE_NEWNET);
        QObject home;
        build_(home);
        exec();
    }

private:
    int networkFd_;
    std::function<void(QObject &)> build_;
};

// The games a finder on the other computer has heard of.
class ListThere
{
public:
    explicit ListThere(int networkFd)
        : computer_(networkFd, [this](QObject &home) {
              auto *finder = new GameFinder(kPort, &home);
              QObject::connect(finder, &GameFinder::gamesChanged, &home,
                               [this, finder] { heard(finder->games()); });
              finder->start();
          })
    {
        computer_.start();
    }
    QList<FoundGame> games() const
    {
        QMutexLocker lock(&mutex_);
        return games_;
    }
    bool lists(const QString &host) const
    {
        QMutexLocker lock(&mutex_);
        return listed(games_, host);
    }
    // How often the host's game has left the list.
    int losses(const QString &host) const
    {
        QMutexLocker lock(&mutex_);
        return losses_.value(host);
    }

private:
    static bool listed(const QList<FoundGame> &games, const QString &host)
    {
        for (const FoundGame &game : games) {
            if (game.announcement.hostName == host)
                return true;
        }
        return false;
    }
    void heard(const QList<FoundGame> &games)
    {
        QMutexLocker lock(&mutex_);
        for (const FoundGame &game : games_) {
            const QString host = game.announcement.hostName;
            if (!listed(games, host))
                ++losses_[host];
        }
        games_ = games;
    }

    mutable QMutex mutex_;
    QList<FoundGame> games_;
    QHash<QString, int> losses_;
    OtherComputer computer_;
};

class LanGamesInTheWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString problem = networks_.setUp();
        if (!problem.isEmpty())
            GTEST_SKIP() << "no two networks to test on: " << problem.toStdString();
        lobby_.listen(QHostAddress::LocalHost, 0);
    }

    // A copy started with `arguments` as the lobby or the desktop gives
    // them, its settings remembering Ann and an address she joined before.
    std::unique_ptr<Composition> start(const QStringList &arguments)
    {
        PlayChoices ann;
        ann.playerName = "Ann";
        ann.recentHosts = {"192.0.2.7"};
        auto folder = std::make_unique<QTemporaryDir>();
        IniFile ini;
        ann.write(ini, QStringLiteral("Zandor"));
        const CommandLine line = CommandLine::read(arguments, ann.playerName);
        auto program = std::make_unique<Composition>(
            line.arguments(), TchatPorts{kPort, lobby_.serverPort()}, nullptr, folder->path());
        ini.save(program->settings().filePath());
        if (line.start == CommandLine::Start::PlayWithOthers)
            program->window().choosePlayAtStart();
        program->window().show();
        folders_.push_back(std::move(folder));
        return program;
    }

    TwoNetworks networks_;
    QTcpServer lobby_;
    std::vector<std::unique_ptr<QTemporaryDir>> folders_;
};

TEST_F(LanGamesInTheWindow, HostForOthersIsAnnouncedAndSaysWhereToJoinSoloIsNot)
{
    ListThere bobsList(networks_.thereFd());

    // A solo game first: nobody else hears of it. A marker game of this
    // computer, announced after it, proves the solo one would have arrived.
    {
        ProgramWindow solo;
        solo = start({});
        ASSERT_TRUE(waitUntil([&] { return solo->server().listening(); }, kPatienceMs));
        GameAnnouncer marker(kPort, [] {
            lan::Announcement told;
            told.hostName = "Marker";
            told.port = 9999;
            return told;
        });
        marker.start();
        ASSERT_TRUE(waitUntil([&] { return bobsList.lists("Marker"); }, kPatienceMs));
        EXPECT_FALSE(bobsList.lists("You")) << "the solo game was announced";
        marker.stop();
        EXPECT_FALSE(chatHasLine(solo.get(), "Others on this network can join you at " +
                                                 TwoNetworks::kHere + "."));
    }

    ProgramWindow host;
    host = start({"Ann", "127.0.0.1", "true"});
    ASSERT_TRUE(waitUntil([&] { return bobsList.lists("Ann"); }, kPatienceMs));
    // Her own seat, once she has logged in to her own game.
    const auto annsSeats = [&] {
        for (const FoundGame &game : bobsList.games()) {
            if (game.announcement.hostName == "Ann")
                return game.announcement.seatsTaken;
        }
        return -1;
    };
    EXPECT_TRUE(waitUntil([&] { return annsSeats() == 1; }, kPatienceMs));
    const FoundGame game = bobsList.games().constLast();
    EXPECT_EQ(game.address, QHostAddress(TwoNetworks::kHere));
    EXPECT_EQ(game.announcement.port, kPort);
    EXPECT_TRUE(waitUntil([&] {
        return chatHasLine(host.get(),
                           "Others on this network can join you at " + TwoNetworks::kHere + ".");
    }));

    // Closing the program is the game's end for the network too.
    host.reset();
    EXPECT_TRUE(waitUntil([&] { return !bobsList.lists("Ann"); }, kPatienceMs));
}

// Play with Others gives the port up for the new copy; when that copy
// cannot start, the game is hosted and announced here again.
TEST_F(LanGamesInTheWindow, RestartThatFailsAnnouncesTheGameAgain)
{
    ListThere bobsList(networks_.thereFd());
    QStringList errors;
    ScopedErrorHandler caught([&errors](const QString &text) { errors.append(text); });
    QTemporaryDir programs;
    const QString key = QStringLiteral("zandor-test-lan-%1").arg(QCoreApplication::applicationPid());
    SingleInstance instance(key);
    Relaunch relaunch(programs.filePath(QStringLiteral("none")), key);
    ProgramWindow host;
    host = start({"Ann", "127.0.0.1", "true"});
    RoleChange change(host.parts(), instance, relaunch);
    QObject::connect(&host.parts().playWithOthers(), &PlayWithOthers::restartRequested, &change,
                     &RoleChange::begin);
    bool takenBack = false;
    QObject::connect(&change, &RoleChange::takenBack, [&takenBack] { takenBack = true; });
    instance.claim();
    ASSERT_TRUE(waitUntil([&] { return bobsList.lists("Ann"); }, kPatienceMs));

    host->activateWindow(); // the player clicks the main window
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == host.get(); }));
    ASSERT_TRUE(windowinput::chooseMenuItem('f', host->menu().PlayWithOthers1));
    TplayWithOthers &others = host.parts().playWithOthers().window();
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &others; }));
    press(Qt::Key_Return); // hosting, as Ann, as before
    ASSERT_TRUE(waitUntil([&] { return takenBack; }, kPatienceMs));
    EXPECT_EQ(errors, QStringList{RoleChange::kCouldNotStart});

    EXPECT_TRUE(waitUntil([&] { return bobsList.losses("Ann") == 1 && bobsList.lists("Ann"); },
                          kPatienceMs))
        << "closed " << bobsList.losses("Ann") << " times, listed now: " << bobsList.lists("Ann");
}

// Bob hosts on the other computer; Ann opens "Join a Game..." here.
TEST_F(LanGamesInTheWindow, PlayWithOthersListsTheGameAndJoinsIt)
{
    OtherComputer bob(networks_.thereFd(), [](QObject &home) {
        auto *host = new GameAnnouncer(
            kPort,
            [] {
                lan::Announcement told;
                told.gameVersion = "1.0.3";
                told.hostName = "Bob";
                told.seatsTaken = 2;
                told.watchers = 1;
                told.playing = true;
                told.port = kPort;
                return told;
            },
            &home);
        host->start();
    });
    bob.start();

    const QString bobsGame = "Bob's game - 2 of 4 seats taken, 1 watching, playing";
    struct Case
    {
        const char *what;
        std::function<void(QTreeWidget &list)> keys;
        QString joined;
    };
    const Case cases[] = {
        {"Alt+G and Enter",
         [](QTreeWidget &) {
             press(Qt::Key_G, Qt::AltModifier);
             press(Qt::Key_Return);
         },
         TwoNetworks::kThere},
        {"a double-click",
         [](QTreeWidget &list) {
             // The first click of a double-click is a click of its own.
             const QPoint row = list.visualItemRect(list.topLevelItem(0)).center();
             QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row);
             QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row);
         },
         TwoNetworks::kThere},
        {"Alt+G, then an address typed",
         [](QTreeWidget &) {
             press(Qt::Key_G, Qt::AltModifier);
             press(Qt::Key_Tab);
             type("games.example");
             press(Qt::Key_Return);
         },
         "games.example"},
        {"an address typed over the remembered one",
         [](QTreeWidget &) {
             type("192.0.2.9");
             press(Qt::Key_Return);
         },
         "192.0.2.9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ProgramWindow copy;
        copy = start({"--play-with-others"});
        std::vector<QStringList> restarts;
        QObject::connect(&copy.parts().playWithOthers(), &PlayWithOthers::restartRequested,
                         [&restarts](const QStringList &line) { restarts.push_back(line); });
        TplayWithOthers &others = copy.parts().playWithOthers().window();
        ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &others; }, kPatienceMs));
        auto *list = others.findChild<QTreeWidget *>("list_games");
        auto *address = others.findChild<QComboBox *>("combo_address");
        ASSERT_TRUE(list && address);

        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(waitUntil([&] { return list->topLevelItemCount() == 1; }, kPatienceMs));
        std::cout << "The window listed Bob's game " << clock.elapsed() << " ms after it came up\n";
        EXPECT_EQ(list->topLevelItem(0)->text(0), bobsGame);
        EXPECT_EQ(list->topLevelItem(0)->text(1), TwoNetworks::kThere);
        EXPECT_FALSE(others.findChild<QLabel *>("label_nogames")->isVisible());
        EXPECT_EQ(address->currentText(), "192.0.2.7") << "the typed address changed";

        c.keys(*list);
        ASSERT_EQ(restarts.size(), 1u);
        EXPECT_EQ(restarts[0], (QStringList{"--", "Ann", c.joined, "false"}));
    }
}

} // namespace

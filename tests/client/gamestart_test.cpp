#include "client/composition.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/framer.h"
#include "net/gamemessage.h"
#include "net/messages.h"
#include "resources/artwork.h"
#include "tests/client/startup_support.h"
#include "tests/support/hostingcopy.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tgamestart.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

// A click on a picture of the window, once it is sure to be there.
void clickOn(QWidget *widget)
{
    ASSERT_NE(widget, nullptr);
    windowinput::click(*widget);
}

class GameStart : public ::testing::Test
{
protected:
    void SetUp() override { openNew(); }
    // A new window, opened.
    void openNew()
    {
        GameStartHooks hooks;
        hooks.numhumans = [this] { return humans; };
        hooks.playerName = [] { return QStringLiteral("Ann"); };
        hooks.showMessage = [this](const QString &text) { messages.append(text); };
        window = std::make_unique<Tgamestart>(hooks);
        QObject::connect(window.get(), &Tgamestart::sendToHost,
                         [this](const QByteArray &message) { sent.append(message); });
        QObject::connect(window.get(), &Tgamestart::gameStarted, [this] { ++saves; });
        window->open();
    }

    QLabel *picture(const char *name) const { return window->findChild<QLabel *>(name); }
    bool switchShows(int on) const
    {
        return picture("image_bot")->pixmap().toImage() ==
               QPixmap::fromImage(artwork::botSwitch(on)).toImage();
    }
    // A key of the player's, once the window is the active one.
    void key(Qt::Key code)
    {
        ASSERT_TRUE(waitUntil([this] { return windowinput::topWindow() == window.get(); }));
        windowinput::press(code);
    }

    int humans = 1;
    int saves = 0;
    QByteArrayList sent;
    QStringList messages;
    std::unique_ptr<Tgamestart> window;
};

TEST_F(GameStart, OpensAsTheGameOptionsWithBotsOn)
{
    EXPECT_EQ(window->windowTitle(), "Zandor - Game Start");
    EXPECT_EQ(window->size(), QSize(257, 125));
    EXPECT_EQ(window->botTag(), 1);
    EXPECT_TRUE(switchShows(1));
}

TEST_F(GameStart, OneHumanCannotTurnTheBotsOff)
{
    clickOn(picture("image_bot"));
    EXPECT_EQ(window->botTag(), 1);
    EXPECT_TRUE(switchShows(1));
    EXPECT_EQ(messages, QStringList{"You cannot turn the bots off unless there are at least two "
                                    "human players."});
    clickOn(picture("button_start"));
    EXPECT_EQ(sent, QByteArrayList{(msg::StartgameToHost{"Ann", gamemode::withComputers}.build())});
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(saves, 1);
}

TEST_F(GameStart, TwoHumansSwitchTheBotsOffAndOnAgain)
{
    humans = 2;
    clickOn(picture("image_bot"));
    EXPECT_EQ(window->botTag(), 0);
    EXPECT_TRUE(switchShows(0));
    clickOn(picture("button_start"));
    EXPECT_EQ(sent, QByteArrayList{(msg::StartgameToHost{"Ann", gamemode::humansOnly}.build())});

    // The switch keeps its state for the next game.
    window->open();
    EXPECT_EQ(window->botTag(), 0);
    clickOn(picture("image_bot"));
    EXPECT_EQ(window->botTag(), 1);
    EXPECT_TRUE(switchShows(1));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(GameStart, EnterStartsAndEscapeCloses)
{
    key(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(sent.isEmpty());

    // A new window for Enter: without a window manager a hidden window keeps
    // the platform's focus, and the same one shown again is never made the
    // active one, so its keys would go nowhere.
    window.reset();
    openNew();
    key(Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sent, QByteArrayList{(msg::StartgameToHost{"Ann", gamemode::withComputers}.build())});
}

// A bare player of the host: takes the slot it is given and logs in.
class Seat
{
public:
    Seat(quint16 port, const QByteArray &name) : name_(name)
    {
        QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] {
            framer_.feed(QByteArrayView(socket_.readAll()), [this](QByteArrayView message) {
                received.append(message.toByteArray());
                const GameMessage parsed = GameMessage::parse(message);
                if (parsed.name == cmd::sendlogininfo) {
                    slot = parseStrictInt(parsed.payload).value_or(0);
                    socket_.write(framed(msg::Logininfo{slot, kVersionText, name_}.build()));
                }
            });
        });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    bool loggedIn()
    {
        return waitUntil([&] {
            return received.contains(msg::Newplayerinfo{slot, name_}.build());
        });
    }
    // Leaves on purpose, as a closed window does: the seat is free at once.
    void leave()
    {
        socket_.write(framed(msg::Leaving{slot}.build()));
        socket_.disconnectFromHost();
    }

    int slot = 0;
    QByteArrayList received;

private:
    QByteArray name_;
    QTcpSocket socket_;
    MessageFramer framer_;
};

// The bots switch against the host's real seat table: a watcher is no
// player, so the host with one watcher may not switch the bots off; with a
// second player he may, and the game then starts without computer players.
TEST(GameStartOnAHost, WatchersDoNotCountAndTwoHumansPlayWithoutBots)
{
    QTemporaryDir settings;
    ASSERT_TRUE(settings.isValid());
    HostingCopy hosting(settings.path());
    Tchat &host = hosting.window();
    host.show();
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(&host, "You are Connected."); }));
    TServer &server = host.server();
    const quint16 port = server.listeningPort();

    // A watcher's slot comes after the four seats: fill them, take slot 5,
    // and let the seats go again.
    std::vector<std::unique_ptr<Seat>> passing;
    for (const QByteArray name : {"Bea", "Cy", "Dot"}) {
        passing.push_back(std::make_unique<Seat>(port, name));
        ASSERT_TRUE(passing.back()->loggedIn());
    }
    Seat watcher(port, "Wat");
    ASSERT_TRUE(watcher.loggedIn());
    ASSERT_EQ(watcher.slot, 5);
    for (auto &seat : passing)
        seat->leave();
    ASSERT_TRUE(waitUntil([&] { return server.numhumans() == 1 && server.slotcount() == 5; }));

    auto *start = host.findChild<QPushButton *>(QStringLiteral("button_start"));
    ASSERT_TRUE(start->isVisible());
    windowinput::click(*start);
    auto *options = host.findChild<Tgamestart *>();
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(options->isVisible());
    QLabel *botSwitch = options->findChild<QLabel *>(QStringLiteral("image_bot"));
    clickOn(botSwitch);
    EXPECT_EQ(options->botTag(), 1) << "one player and a watcher";
    auto *box = options->findChild<QMessageBox *>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), Tgamestart::kBotsRule);
    ASSERT_TRUE(waitUntil([&] { return box->isActiveWindow(); }));
    const QPointer<QMessageBox> shown(box);
    windowinput::press(Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([&] { return !shown || !shown->isVisible(); }));

    Seat bea(port, "Bea");
    ASSERT_TRUE(bea.loggedIn());
    ASSERT_EQ(bea.slot, 2);
    ASSERT_TRUE(waitUntil([&] { return server.numhumans() == 2; }));
    clickOn(botSwitch);
    EXPECT_EQ(options->botTag(), 0) << "two players and a watcher";
    clickOn(options->findChild<QLabel *>(QStringLiteral("button_start")));
    EXPECT_FALSE(options->isVisible());

    const QByteArray started = msg::StartgameToAll{"Hal", gamemode::humansOnly}.build();
    EXPECT_TRUE(waitUntil([&] { return bea.received.contains(started); }));
    EXPECT_TRUE(waitUntil([&] { return watcher.received.contains(started); }));
    EXPECT_TRUE(server.gameState().botsoff);
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(server.gameState().seat(seat).money, seat <= 2 ? 3 : 0) << seat;
}

} // namespace

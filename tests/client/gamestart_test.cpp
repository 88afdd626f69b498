#include "net/messages.h"
#include "resources/artwork.h"
#include "tests/support/wait.h"
#include "windows/tgamestart.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include <memory>

namespace {

void clickOn(QWidget *widget)
{
    ASSERT_NE(widget, nullptr);
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

class GameStart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GameStartHooks hooks;
        hooks.numhumans = [this] { return humans; };
        hooks.send = [this](const QByteArray &message) { sent.append(message); };
        hooks.playerName = [] { return QStringLiteral("Ann"); };
        hooks.saveinifile = [this] { ++saves; };
        hooks.showMessage = [this](const QString &text) { messages.append(text); };
        window = std::make_unique<Tgamestart>(hooks);
        window->open();
    }

    QLabel *picture(const char *name) const { return window->findChild<QLabel *>(name); }
    bool switchShows(int on) const
    {
        return picture("image_bot")->pixmap().toImage() ==
               QPixmap::fromImage(artwork::botSwitch(on)).toImage();
    }
    void key(int code)
    {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &press);
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

    window->open();
    key(Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sent, QByteArrayList{(msg::StartgameToHost{"Ann", gamemode::withComputers}.build())});
}

// Writes the picture of the window when ZANDOR_SCREENSHOT_DIR names a
// folder (the documentation's picture).
TEST_F(GameStart, Picture)
{
    const QString folder = qEnvironmentVariable("ZANDOR_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "ZANDOR_SCREENSHOT_DIR not set";
    ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
    const QImage picture = window->grab().toImage();
    EXPECT_EQ(picture.size() / picture.devicePixelRatio(), QSize(257, 125));
    EXPECT_TRUE(picture.save(QDir(folder).filePath(QStringLiteral("gamestart.png"))));
}

} // namespace

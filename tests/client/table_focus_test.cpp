#include "client/model/tablestate.h"
#include "client/table/hand.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "net/messages.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QWindow>

namespace {

// Ann in seat 2 of a real window joined to a scripted host. Every key and
// click goes to the top-level window as the window system delivers it, so
// it reaches whichever control the program itself gave the focus.
// Dealt Seven of Clubs, King of Diamonds, Ace of Hearts and Queen of
// Spades; sorted, the hand shows Ace (position 3), Seven (1), Queen (4) and
// King (2) from left to right.
class TableFocus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(joined.login(2));
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
        ASSERT_TRUE(waitUntil([&] { return chat().session().loggedIn; }));
    }

    Tchat &chat() { return *joined.chat; }
    QWindow *window() { return chat().windowHandle(); }
    QWidget *board() { return chat().table().board(); }
    QLineEdit *input() { return chat().findChild<QLineEdit *>(QStringLiteral("mychat")); }
    bool boardHasFocus() { return chat().focusWidget() == board() && board()->hasFocus(); }
    bool frameShown()
    {
        const QWidget *frame = board()->findChild<QWidget *>(QStringLiteral("tablefocusframe"));
        return frame && frame->isVisible();
    }

    void key(int code) { QTest::keyClick(window(), Qt::Key(code), Qt::NoModifier); }
    void type(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(window(), c.toLatin1());
    }
    // A left click at a point of the window's client area.
    void clickAt(QPoint inWindow)
    {
        QTest::mouseClick(window(), Qt::LeftButton, Qt::NoModifier, inWindow);
    }
    QPoint centreOf(const QWidget *widget)
    {
        return widget->mapTo(&chat(), widget->rect().center());
    }

    void startGameAndDeal()
    {
        joined.host.send(msg::StartgameToAll{"Host", "b"}.build());
        joined.host.send(msg::Startround{1, {3, 3, 3, 3}}.build());
        joined.host.send(msg::Placecard{2, {7, 26, 27, 51}}.build());
        joined.host.send(msg::Nextplayer{2}.build());
        ASSERT_TRUE(waitUntil([&] { return chat().state().turnSeat() == 2; }));
        ASSERT_NE(chat().table().hand().image(3), nullptr);
    }

    int playsSent()
    {
        int plays = 0;
        for (const QByteArray &line : joined.host.received())
            plays += line.startsWith("CMD_playcard") ? 1 : 0;
        return plays;
    }

    JoinedWindow joined;
};

TEST_F(TableFocus, AGameStartsWithTheKeysOnTheTableAndADigitPlaysItsCard)
{
    startGameAndDeal();
    EXPECT_TRUE(boardHasFocus());
    EXPECT_TRUE(frameShown());
    key(Qt::Key_4);
    EXPECT_TRUE(joined.host.waitForMessage(msg::PlaycardToHost{2, 2}.build()));
    // Refused: the card shows blank and the next turn opens the hand again;
    // the keys still reach the table.
    joined.host.send(msg::Nocard{2, 2}.build());
    joined.host.send(msg::Nextplayer{2}.build());
    ASSERT_TRUE(waitUntil([&] { return chat().state().turnSeat() == 2; }));
    key(Qt::Key_Escape);
    key(Qt::Key_Right);
    key(Qt::Key_Return);
    EXPECT_TRUE(joined.host.waitForMessage(msg::PlaycardToHost{2, 3}.build()));
    EXPECT_EQ(playsSent(), 2);
}

TEST_F(TableFocus, TypingInTheChatLineKeepsItsKeysThroughAGameStart)
{
    // The chat line has the focus in a new window; what is typed there is
    // chat, digits and Enter included.
    ASSERT_EQ(chat().focusWidget(), input());
    type(QStringLiteral("gl 1"));
    startGameAndDeal();
    EXPECT_EQ(chat().focusWidget(), input()) << "a game start took the keys from the chat line";
    EXPECT_FALSE(frameShown());
    key(Qt::Key_1);
    key(Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] {
        for (const QByteArray &line : joined.host.received())
            if (line.startsWith("CMD_chat") && line.contains("gl 11"))
                return true;
        return false;
    }));
    EXPECT_EQ(playsSent(), 0);

    // Escape leaves the chat line for the table, where keys play.
    key(Qt::Key_Escape);
    EXPECT_TRUE(boardHasFocus());
    EXPECT_TRUE(frameShown());
    key(Qt::Key_1);
    EXPECT_TRUE(joined.host.waitForMessage(msg::PlaycardToHost{2, 3}.build()));
}

TEST_F(TableFocus, TabGoesBetweenTheChatLineAndTheTable)
{
    ASSERT_EQ(chat().focusWidget(), input());
    key(Qt::Key_Tab);
    EXPECT_TRUE(boardHasFocus());
    EXPECT_TRUE(frameShown());
    key(Qt::Key_Tab);
    EXPECT_EQ(chat().focusWidget(), input());
    EXPECT_FALSE(frameShown());
    key(Qt::Key_Backtab);
    EXPECT_TRUE(boardHasFocus());
}

TEST_F(TableFocus, AClickOnTheClothOrACardGivesTheTableTheKeys)
{
    startGameAndDeal();
    // Into the chat line with a click, as a player would.
    clickAt(centreOf(input()));
    ASSERT_EQ(chat().focusWidget(), input());
    // The cloth between the seats.
    clickAt(board()->mapTo(&chat(), QPoint(board()->width() / 4, board()->height() / 2 + 20)));
    EXPECT_TRUE(boardHasFocus());

    clickAt(centreOf(input()));
    ASSERT_EQ(chat().focusWidget(), input());
    // The cloth of the window's margin, outside the board.
    chat().resize(chat().width() + 200, chat().height());
    ASSERT_TRUE(waitUntil([&] { return board()->x() > 50; }));
    clickAt(QPoint(5, chat().height() / 2));
    EXPECT_TRUE(boardHasFocus());

    clickAt(centreOf(input()));
    ASSERT_EQ(chat().focusWidget(), input());
    // A card, on its left edge that the next card leaves uncovered: the
    // click plays it and the keys go to the table.
    const QWidget *seven = chat().table().hand().image(1);
    const QPoint card = seven->mapTo(&chat(), QPoint(seven->width() / 8, seven->height() / 2));
    ASSERT_EQ(chat().childAt(card), seven);
    clickAt(card);
    EXPECT_TRUE(boardHasFocus());
    EXPECT_TRUE(joined.host.waitForMessage(msg::PlaycardToHost{2, 1}.build()));
}

} // namespace

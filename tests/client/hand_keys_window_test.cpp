#include "client/clientsettings.h"
#include "client/hand.h"
#include "client/tablestate.h"
#include "client/tableview.h"
#include "client/tchat.h"
#include "net/messages.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

void key(QWidget *to, int code, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(to, &release);
}

// The user in seat 2 of a real window, dealt Seven of Clubs, King of
// Diamonds, Ace of Hearts and Queen of Spades; sorted, the hand shows Ace
// (position 3), Seven (1), Queen (4), King (2) from left to right.
TEST(HandKeysWindow, ChatInputKeepsItsKeysAndTheTableGetsTheRest)
{
    JoinedWindow joined;
    ScriptedHost &host = joined.host;
    Tchat &window = *joined.chat;
    ASSERT_TRUE(joined.login(2));
    host.send(msg::Placecard{2, {7, 26, 27, 51}}.build());
    host.send(msg::Nextplayer{2}.build());
    ASSERT_TRUE(waitUntil([&] { return window.state().turnSeat() == 2; }));
    ASSERT_NE(window.table().hand().image(3), nullptr);
    EXPECT_EQ(window.table().hand().image(3)->accessibleName(), "Ace of Hearts, adds 1");

    // Typing in the chat input, Enter included, plays nothing.
    auto *chat = window.findChild<QLineEdit *>(QStringLiteral("mychat"));
    ASSERT_NE(chat, nullptr);
    chat->setFocus();
    ASSERT_EQ(window.focusWidget(), chat);
    key(chat, Qt::Key_1, "1");
    key(chat, Qt::Key_Return);
    key(chat, Qt::Key_4, "4");
    key(chat, Qt::Key_Right);
    key(chat, Qt::Key_Left);
    EXPECT_EQ(window.table().hand().image(3)->y(), 296);
    EXPECT_EQ(window.table().hand().layout().highlighted(), 0);

    // Away from the chat input, 4 plays the rightmost card, the King.
    chat->clearFocus();
    window.table().board()->setFocus();
    key(window.table().board(), Qt::Key_4, "4");
    ASSERT_TRUE(host.waitForMessage(msg::PlaycardToHost{2, 2}.build()));
    // Refused: the card is blank, the next turn 1 plays the Ace.
    host.send(msg::Nocard{2, 2}.build());
    host.send(msg::Nextplayer{2}.build());
    ASSERT_TRUE(waitUntil([&] { return window.state().turnSeat() == 2; }));
    key(window.table().board(), Qt::Key_1, "1");
    ASSERT_TRUE(host.waitForMessage(msg::PlaycardToHost{2, 3}.build()));
    QByteArrayList plays;
    for (const QByteArray &line : host.received())
        if (line.startsWith("CMD_playcard"))
            plays.append(line);
    EXPECT_EQ(plays, (QByteArrayList{msg::PlaycardToHost{2, 2}.build(),
                                     msg::PlaycardToHost{2, 3}.build()}));
}

} // namespace

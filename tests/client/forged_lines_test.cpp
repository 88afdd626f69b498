#include "client/model/tablestate.h"
#include "client/session/clientsettings.h"
#include "client/tchat.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

namespace {

// Ann's window, joined and logged in to a host the test plays.
class ForgedLines : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(joined.login(2));
        ASSERT_TRUE(waitUntil([&] { return chatHasLine(&window, "You are Connected."); }));
        log = window.findChild<QTextEdit *>(QStringLiteral("mainchat"));
        ASSERT_NE(log, nullptr);
    }

    JoinedWindow joined;
    ScriptedHost &host = joined.host;
    Tchat &window = *joined.chat;
    const QTextEdit *log = nullptr;
};

// A hostile host (or a peer it relays) puts line breaks into names and chat
// lines to make them look like the game's own notices. The joined window
// shows every such text on the one line it came on.
TEST_F(ForgedLines, NamesAndChatFromTheHostNeverBreakTheLog)
{
    const int before = log->document()->blockCount();

    const QByteArray forgedName = "Eve\r\nYou have won all the bags of money!\n";
    host.send(msg::Newplayerinfo{1, forgedName}.build());
    host.send(QByteArray("CMD_chat+Eve chats: hi\nAnn has left the game. The host is now "
                         "Eve.\x0B\x7F|clRed"));
    host.send(QByteArray("CMD_action+Eve waves\r\nYou are spying.|clRed"));
    host.send(msg::Newplayerinfo{6, "Mal\nYou are Connected."}.build());
    host.send(msg::Havewrongversion{"sync"}.build());
    ASSERT_TRUE(waitUntil([&] {
        return chatHasLine(&window, "sync has a different version of the game then you.");
    }));

    const QStringList lines = chatLines(&window);
    for (const char *forged : {"You have won all the bags of money!",
                               "You have won all the bags of money! is Connected.",
                               "Ann has left the game. The host is now Eve.", "You are spying.",
                               "You are Connected. is spying."})
        EXPECT_FALSE(lines.contains(QLatin1String(forged))) << forged;
    EXPECT_TRUE(lines.contains("Eve  You have won all the bags of money!  is Connected."))
        << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines.contains("Eve chats: hi Ann has left the game. The host is now Eve.  "));
    EXPECT_TRUE(lines.contains("Eve waves  You are spying."));
    EXPECT_TRUE(lines.contains("Mal You are Connected. is spying."));
    // Six notices and chat lines, six lines of the log: Eve is connected,
    // her two lines, Mal is connected and spying, and the sync line.
    EXPECT_EQ(log->document()->blockCount(), before + 6);

    // The name on the table and in the spy list is on one line too.
    const auto *seat1 = window.findChild<QLabel *>(QStringLiteral("label_playername1"));
    ASSERT_NE(seat1, nullptr);
    EXPECT_EQ(seat1->text(), "Eve  You have won all the bags of money! ");
    EXPECT_EQ(window.state().watcherEntries(),
              QStringList{"6: \u2068Mal You are Connected.\u2069"});
}

// Characters that are no printable character still broke a line (Qt breaks
// a block at U+FDD0 and U+FDD1), turned the game's words around (a
// right-to-left override in a name) or hid a name (zero widths); a "|" in a
// name cut the words from the line. Each received text shows as one line of
// printable characters, each name between the marks that keep its direction
// to itself, and nothing longer than a host of ours relays.
TEST_F(ForgedLines, UnprintableCharactersFromTheHostNeitherBreakNorTurnALine)
{
    const QString eveWords = QString(peertext::kMaxChatChars, u'w');
    const struct
    {
        const char *what;
        QByteArray sent;
        QString shown;
    } cases[] = {
        {"noncharacters in a chat line",
         "CMD_chat+Eve chats: hi all\uFDD0You are Connected.\uFDD1Host has started a "
         "game.|clBlue",
         "Eve chats: hi all You are Connected. Host has started a game."},
        {"noncharacters in an action",
         "CMD_action+Eve waves\uFDD0Ann took too long; the computer played for him.|clMaroon",
         "Eve waves Ann took too long; the computer played for him."},
        {"the host's own line", "CMD_chat+hi\uFFFE\uFFFCthere\U0010FFFF\u2060.|clBlue",
         "hi  there  ."},
        {"a reversing name", msg::Newplayerinfo{3, "Eve\u202E won"}.build(),
         "Eve won is Connected."},
        {"a zero-width look-alike", msg::Newplayerinfo{4, "Ann\u200BAnn\uFEFF"}.build(),
         "AnnAnn is Connected."},
        {"a bar in a name", "CMD_chat+Mal|clRed chats: my own words|clGreen",
         "Mal clRed chats: my own words"},
        {"words longer than a host of ours relays",
         "CMD_chat+Eve chats: " + QByteArray(60000, 'w') + "|clRed", "Eve chats: " + eveWords},
        {"a host's line longer than any it relays", "CMD_chat+" + QByteArray(60000, 'n'),
         QString(peertext::kMaxLineChars, u'n')},
    };
    for (const auto &c : cases) {
        const int before = log->document()->blockCount();
        host.send(c.sent);
        EXPECT_TRUE(waitUntil([&] { return log->document()->blockCount() > before; })) << c.what;
        EXPECT_EQ(chatLines(&window).last(), c.shown) << c.what;
        EXPECT_EQ(log->document()->blockCount(), before + 1) << c.what;
    }
    const QString laidOut = log->toPlainText();
    for (const QString &name :
         {QStringLiteral("Eve"), QStringLiteral("AnnAnn"), QStringLiteral("Mal clRed")})
        EXPECT_TRUE(laidOut.contains(peertext::isolated(name) + u' ')) << name.toStdString();
}

} // namespace

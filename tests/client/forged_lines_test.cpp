#include "client/session/clientsettings.h"
#include "client/model/tablestate.h"
#include "client/tchat.h"
#include "net/messages.h"
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

// A hostile host (or a peer it relays) puts line breaks into names and chat
// lines to make them look like the game's own notices. The joined window
// shows every such text on the one line it came on.
TEST(ForgedLines, NamesAndChatFromTheHostNeverBreakTheLog)
{
    JoinedWindow joined;
    ScriptedHost &host = joined.host;
    Tchat &window = *joined.chat;
    ASSERT_TRUE(joined.login(2));
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(&window, "You are Connected."); }));

    const auto *log = window.findChild<QTextEdit *>(QStringLiteral("mainchat"));
    ASSERT_NE(log, nullptr);
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
    EXPECT_EQ(window.state().watcherEntries(), QStringList{"6: Mal You are Connected."});
}

} // namespace

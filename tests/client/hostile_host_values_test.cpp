#include "client/tchat.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTcpServer>

namespace {

// A host that sends values no game has: seats and slots that do not exist,
// cards outside the deck, totals and bags out of range, names of thousands of
// characters. The main window must ignore each such message (or cut the
// name) and go on with the game as before.
class HostileHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Ann at seat 1, in her own turn in the first round of a game.
        ASSERT_TRUE(joined.login(1));
        host.send(msg::StartgameToAll{"Ann", gamemode::withComputers}.build());
        host.send(msg::Startround{1, {3, 3, 3, 3}}.build());
        host.send(msg::Placecard{1, {5, 18, 33, 47}}.build());
        host.send(msg::Nextplayer{1}.build());
        sync();
    }

    // Messages are handled in order: once this one shows, all before it
    // have been handled.
    void sync()
    {
        const QString name = QStringLiteral("sync%1").arg(++syncs);
        host.send(msg::Havewrongversion{name.toUtf8()}.build());
        ASSERT_TRUE(waitUntil([&] {
            return chatHasLine(window.get(),
                               name + " has a different version of the game then you.");
        }));
    }

    QLabel *label(const QString &name) const { return window->findChild<QLabel *>(name); }

    // Everything the table shows: each name, count, total, pile, bag, marker
    // and hand card, with its text, its picture and whether it shows.
    QStringList table() const
    {
        QStringList shown;
        const QWidget *board = window->findChild<QWidget *>(QStringLiteral("panel_board"));
        for (const QLabel *each : board->findChildren<QLabel *>()) {
            const QString name = each->objectName();
            if (!name.startsWith(u"label_") && !name.startsWith(u"image_") &&
                !name.startsWith(u"card"))
                continue;
            const QImage picture = each->pixmap().toImage();
            shown << QStringLiteral("%1 %2 '%3' %4")
                         .arg(name)
                         .arg(each->isVisibleTo(board) ? "shown" : "hidden")
                         .arg(each->text())
                         .arg(qHashBits(picture.constBits(), size_t(picture.sizeInBytes())));
        }
        shown.sort();
        return shown;
    }

    // The lines of `after` that `before` does not have, one per line.
    static std::string changes(const QStringList &before, const QStringList &after)
    {
        QStringList changed;
        for (const QString &line : after) {
            if (!before.contains(line))
                changed << line;
        }
        if (after.size() != before.size())
            changed
                << QStringLiteral("(%1 controls, were %2)").arg(after.size()).arg(before.size());
        return changed.join('\n').toStdString();
    }

    JoinedWindow joined;
    ScriptedHost &host = joined.host;
    ProgramWindow &window = joined.chat;
    int syncs = 0;
};

TEST_F(HostileHost, ValuesNoGameHasLeaveTheTableAsItWas)
{
    const QStringList before = table();
    ASSERT_FALSE(before.isEmpty());
    const QByteArray cases[] = {
        // Seats and slots that do not exist.
        "CMD_nextplayer+0+",
        "CMD_nextplayer+99+",
        "CMD_playcard+99+5+5+",
        "CMD_playcard+0+5+5+",
        "CMD_newcard+0+2+6+",
        "CMD_roundover+99+1+",
        "CMD_justwatching+99+1",
        "CMD_justwatching+0+2",
        "CMD_winner+Ann+99+",
        "CMD_winner+Ann+0+",
        "CMD_placecard+0+1+5+2+6+3+7+4+8",
        "CMD_newplayerinfo+0+Ghost",
        "CMD_newplayerinfo+10+Ghost",
        "CMD_existingplayers+-1+Ghost",
        "CMD_playerdisconnected+10+Ghost",
        // Cards outside the deck where a card is laid or dealt.
        "CMD_playcard+1+0+5+",
        "CMD_playcard+1+53+5+",
        "CMD_playcard+1+-1+5+",
        "CMD_placecard+1+1+53+2+6+3+7+4+8",
        "CMD_placecard+1+1+5+2+-1+3+7+4+8",
        "CMD_newcard+1+2+53+",
        "CMD_newcard+1+2+-1+",
        // Totals and bags out of range.
        "CMD_playcard+1+5+100+",
        "CMD_playcard+1+5+-1+",
        "CMD_roundover+1+4+",
        "CMD_roundover+1+-1+",
        "CMD_startround+2+1+3+2+7+3+3+4+3",
        "CMD_gamestats+2+150+0+1+1+3+2+3+3+3+4+3",
        "CMD_gamestats+2+50+53+1+1+3+2+3+3+3+4+3",
        "CMD_gamestats+2+50+5+9+1+3+2+3+3+3+4+3",
        "CMD_gamestats+2+50+5+1+1+9+2+3+3+3+4+3",
        // Hand positions outside 1 to 4.
        "CMD_newcard+1+0+6+",
        "CMD_newcard+1+5+6+",
        "CMD_nocard+1+0+",
        "CMD_nocard+1+7+",
    };
    for (const QByteArray &message : cases) {
        host.send(message);
        sync();
        EXPECT_EQ(changes(before, table()), "") << message.constData();
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(host.clientConnected());
    EXPECT_TRUE(chatLines(window.get()).filter("Ghost").isEmpty());

    // The window still plays: a card the game has is laid and counted.
    host.send(msg::PlaycardToAll{1, 5, 5}.build());
    sync();
    EXPECT_NE(changes(before, table()), "");
    EXPECT_EQ(label(QStringLiteral("label_cardcount"))->text(), "Card Count: 1");
}

TEST_F(HostileHost, NamesOfThousandsOfCharactersAreCut)
{
    const QByteArray longName(5000, 'Z');
    const QString shown(peertext::kMaxNameChars, QLatin1Char('Z'));
    host.send(msg::Newplayerinfo{2, longName}.build());
    sync();
    EXPECT_EQ(label(QStringLiteral("label_playername2"))->text(), shown);
    EXPECT_TRUE(chatHasLine(window.get(), shown + " is Connected."));

    host.send(msg::Winner{longName, 2}.build());
    sync();
    EXPECT_EQ(label(QStringLiteral("label_winner1"))->text(),
              peertext::isolated(shown) + " has won all the bags of money!");
}

} // namespace

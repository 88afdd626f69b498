#include "client/model/tablestate.h"
#include "client/table/tablepictures.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "net/messages.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"
#include "widgets/tanimated.h"

#include <gtest/gtest.h>

#include <QLabel>

// What a joined window shows of a round, read back from the real main
// window that a scripted host drives through the wire.

namespace {

class TableWindow : public ::testing::Test
{
protected:
    Tchat &chat() { return *joined.chat; }
    TableView &table() { return chat().table(); }
    QLabel *label(const QString &name) { return chat().findChild<QLabel *>(name); }
    QString status() { return label(QStringLiteral("label_status"))->text(); }
    void send(const QByteArray &message) { joined.host.send(message); }
    // The host's messages so far have all been handled.
    bool sync()
    {
        send(msg::Newplayerinfo{9, "sync"}.build());
        return waitUntil([&] {
            return chat().state().watchers().contains(TableWatcher{9, QStringLiteral("sync")});
        });
    }

    JoinedWindow joined;
};

TEST_F(TableWindow, SeatNamesKeepTheirLargerTypeThroughTurnsAndResizes)
{
    ASSERT_TRUE(joined.login(1));
    QWidget *area = chat().centralWidget();
    chat().resize(chat().size() + area->size() * 2 - area->size());
    ASSERT_TRUE(waitUntil([&] { return table().scale() == 2.0; }));
    send(msg::Startround{1, {3, 3, 3, 3}}.build());
    for (const int turn : {3, 2}) {
        send(msg::Nextplayer{turn}.build());
        ASSERT_TRUE(waitUntil([&] { return chat().state().turnSeat() == turn; }));
        for (int seat = 1; seat <= 4; ++seat) {
            const QFont font = label(QStringLiteral("label_playername%1").arg(seat))->font();
            EXPECT_EQ(font.pixelSize(), 24) << "seat " << seat << " after turn " << turn;
            EXPECT_EQ(font.bold(), seat == turn) << "seat " << seat << " after turn " << turn;
        }
    }
    // And back at the designed size the bold stays where the turn is.
    chat().resize(chat().size() - area->size() / 2);
    ASSERT_TRUE(waitUntil([&] { return table().scale() == 1.0; }));
    EXPECT_EQ(label(QStringLiteral("label_playername2"))->font().pixelSize(), 12);
    EXPECT_TRUE(label(QStringLiteral("label_playername2"))->font().bold());
    EXPECT_FALSE(label(QStringLiteral("label_playername3"))->font().bold());
}

TEST_F(TableWindow, AWinnerWhoSharesTheUsersNameIsNotTheUser)
{
    ASSERT_TRUE(joined.login(2));
    send(msg::Newplayerinfo{3, "Ann"}.build());
    send(msg::StartgameToAll{"Host", "h"}.build());
    send(msg::Winner{"Ann", 3}.build());
    ASSERT_TRUE(waitUntil([&] { return chat().state().winnerSeat() == 3; }));
    EXPECT_EQ(label(QStringLiteral("label_winner1"))->text(),
              "\u2068Ann\u2069 has won all the bags of money!");

    send(msg::StartgameToAll{"Host", "h"}.build());
    send(msg::Winner{"Ann", 2}.build());
    ASSERT_TRUE(waitUntil([&] { return chat().state().winnerSeat() == 2; }));
    EXPECT_EQ(label(QStringLiteral("label_winner1"))->text(),
              "You have won all the bags of money!");
}

// Without computer players the seats nobody plays start the round with no
// money: the bag picture says so as well as Out Of Money does.
TEST_F(TableWindow, TheBagsOfADealFollowTheHostsList)
{
    ASSERT_TRUE(joined.login(1));
    send(msg::StartgameToAll{"Ann", "h"}.build());
    send(msg::Startround{1, {3, 0, 0, 2}}.build());
    ASSERT_TRUE(sync());
    for (const auto &[seat, bags] : {std::pair{2, 0}, {3, 0}, {4, 2}}) {
        const SeatControls &controls = *table().seatControls(seat);
        EXPECT_EQ(controls.image_chips->property("tag").toInt(), bags) << "seat " << seat;
        EXPECT_EQ(controls.image_chips->pixmap().cacheKey(), tablepictures::bags(bags).cacheKey())
            << "seat " << seat;
        EXPECT_EQ(controls.image_money->isVisible(), bags == 0) << "seat " << seat;
    }
}

// Where the fan's strip has its key colour, the cloth beneath shows, not a
// box of flat colour.
TEST_F(TableWindow, TheFansLieOnTheCloth)
{
    ASSERT_TRUE(joined.login(1));
    const TAnimated *fan = table().seatControls(3)->image_card;
    ASSERT_FALSE(fan->isVisible());
    const QImage bare = chat().grab().toImage();
    send(msg::Startround{1, {3, 3, 3, 3}}.build());
    ASSERT_TRUE(waitUntil([&] { return fan->isVisible(); }));
    const QImage dealt = chat().grab().toImage();

    const QImage &strip = fan->BitMap();
    ASSERT_FALSE(strip.isNull());
    const QRgb key = fan->TransparentColor().rgb();
    int keyed = 0;
    int clothShown = 0;
    for (int y = 0; y < fan->height(); y += 3) {
        for (int x = 0; x < fan->width(); x += 3) {
            if (strip.pixel(x, y) != key)
                continue;
            ++keyed;
            const QPoint at = fan->mapTo(&chat(), QPoint(x, y));
            clothShown += dealt.pixel(at) == bare.pixel(at) ? 1 : 0;
        }
    }
    ASSERT_GT(keyed, 50);
    EXPECT_EQ(clothShown, keyed);
}

// The host's turn limit reaches a player's own copy: his status line counts
// the last seconds of his turn and the turn sound calls once more at 5.
TEST_F(TableWindow, APlayersOwnTurnCountsDownUnderTheHostsLimit)
{
    ASSERT_TRUE(joined.login(2));
    QStringList sounds;
    QObject::connect(&table(), &TableView::playsounds,
                     [&](const QString &name) { sounds.append(name); });
    send(msg::Turnlimit{6}.build());
    send(msg::Startround{1, {3, 3, 3, 3}}.build());
    send(msg::Nextplayer{2}.build());
    ASSERT_TRUE(waitUntil([&] { return status() == "Your Turn. 6 seconds left"; }));
    EXPECT_EQ(sounds.count("turn"), 1);
    ASSERT_TRUE(waitUntil([&] { return status() == "Your Turn. 5 seconds left"; }, 3000));
    EXPECT_EQ(sounds.count("turn"), 2);
    ASSERT_TRUE(waitUntil([&] { return status() == "Your Turn. 4 seconds left"; }, 3000));
    EXPECT_EQ(sounds.count("turn"), 2);

    // A turn limit turned off leaves the plain line.
    send(msg::Turnlimit{0}.build());
    send(msg::Nextplayer{2}.build());
    ASSERT_TRUE(sync());
    EXPECT_EQ(status(), "Your Turn.");
}

// The pause after a bust can be seen: the bust's line stays and the seconds
// to the next deal count down beside the last plays, gone at the deal or
// when the bust ended the game.
TEST_F(TableWindow, ThePauseAfterABustCountsDownToTheNextRound)
{
    ASSERT_TRUE(joined.login(1));
    QLabel *pause = label(QStringLiteral("label_nextround"));
    ASSERT_NE(pause, nullptr);
    send(msg::StartgameToAll{"Ann", "b"}.build());
    send(msg::Startround{1, {3, 3, 3, 3}}.build());
    send(msg::Roundover{3, 2}.build());
    ASSERT_TRUE(waitUntil([&] { return pause->isVisible(); }, 1000));
    EXPECT_EQ(pause->text(), "Next round in 7 seconds");
    ASSERT_TRUE(waitUntil([&] { return pause->text() == "Next round in 6 seconds"; }, 2000));
    EXPECT_EQ(status(), "\u2068Doruv\u2069 busted the pile and lost a bag of money.");
    send(msg::Startround{2, {3, 3, 2, 3}}.build());
    ASSERT_TRUE(waitUntil([&] { return !pause->isVisible(); }));

    send(msg::Roundover{3, 0}.build());
    send(msg::Winner{"Ann", 1}.build());
    ASSERT_TRUE(sync());
    EXPECT_FALSE(pause->isVisible());
}

} // namespace

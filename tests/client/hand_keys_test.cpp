#include "client/clientsession.h"
#include "client/hand.h"
#include "client/tablestate.h"
#include "client/tableview.h"
#include "net/messages.h"
#include "widgets/tanimated.h"

#include <gtest/gtest.h>

#include <QLabel>

#include <memory>
#include <vector>

namespace {

// The user in seat 1 holding Seven of Clubs, King of Diamonds, Ace of Hearts
// and Queen of Spades (positions 1 to 4); sorted, the hand shows Ace (3),
// Seven (1), Queen (4), King (2) from left to right.
struct Hand
{
    Hand()
    {
        board.resize(697, 474);
        table = std::make_unique<TableView>(&board, &session, &state);
        QObject::connect(table.get(), &TableView::sendToHost,
                         [this](const QByteArray &message) { sent.append(message); });
        board.show();
        session.ownSlot = 1;
        session.loggedIn = true;
        table->sortstuff(1);
        state.newplayerinfo(1, "Ann");
        state.newplayerinfo(2, "Bob");
        table->placecard(1, {7, 26, 27, 51});
    }

    void press(const std::vector<int> &keys)
    {
        for (int key : keys)
            table->handKey(key);
    }

    QWidget board;
    ClientSession session;
    TableState state{&session};
    std::unique_ptr<TableView> table;
    QByteArrayList sent;
};

struct KeyCase
{
    const char *what;
    bool ownTurn;
    std::vector<int> keys;
    std::vector<int> played; // hand positions the host is sent, in order
};

class HandKeys : public ::testing::Test, protected Hand
{
};

TEST(HandKeysTable, KeysClickTheCardsAsShown)
{
    const std::vector<KeyCase> cases = {
        {"1 is the leftmost card", true, {Qt::Key_1}, {3}},
        {"4 is the rightmost card", true, {Qt::Key_4}, {2}},
        {"one card per turn", true, {Qt::Key_2, Qt::Key_3, Qt::Key_Return}, {1}},
        {"out of turn nothing goes", false, {Qt::Key_1, Qt::Key_Space, Qt::Key_4}, {}},
        {"other keys play nothing", true, {Qt::Key_5, Qt::Key_0, Qt::Key_A}, {}},
    };
    for (const KeyCase &c : cases) {
        SCOPED_TRACE(c.what);
        Hand hand;
        hand.state.getnextplayer(c.ownTurn ? 1 : 2);
        hand.press(c.keys);
        QByteArrayList expected;
        for (int position : c.played)
            expected.append(msg::PlaycardToHost{1, position}.build());
        EXPECT_EQ(hand.sent, expected);
    }
}

TEST_F(HandKeys, KeyAfterARefusedCardPicksAgain)
{
    state.getnextplayer(1);
    press({Qt::Key_4});
    table->nocard(1, 2);
    state.getnextplayer(1);
    press({Qt::Key_1});
    EXPECT_EQ(sent, (QByteArrayList{(msg::PlaycardToHost{1, 2}.build()),
                                    (msg::PlaycardToHost{1, 3}.build())}));
}

TEST_F(HandKeys, EscapeLowersTheRaisedCard)
{
    state.getnextplayer(1);
    press({Qt::Key_2});
    ASSERT_EQ(table->hand().image(1)->y(), 292);
    EXPECT_TRUE(table->handKey(Qt::Key_Escape));
    EXPECT_EQ(table->hand().image(1)->y(), 296);
    EXPECT_FALSE(table->handKey(Qt::Key_Escape));
}

TEST_F(HandKeys, NamesFollowTheTable)
{
    EXPECT_EQ(table->hand().image(3)->accessibleName(), "Ace of Hearts, adds 1");
    EXPECT_EQ(table->hand().image(2)->accessibleName(), "King of Diamonds, sets the total to 98");
    state.getnextplayer(1);
    EXPECT_EQ(table->seatControls(1)->image_chips->accessibleName(),
              "Ann, 3 bags of money, holds the turn");
    EXPECT_EQ(table->seatControls(2)->label_playername->accessibleName(), "Bob, 3 bags of money");
    state.playcard(1, 27, 37);
    EXPECT_EQ(board.findChild<QLabel *>("image_topcard")->accessibleName(),
              "Total 37, top card Ace of Hearts");
    state.getnextplayer(2);
    EXPECT_EQ(table->seatControls(1)->label_playername->accessibleName(), "Ann, 3 bags of money");
}

} // namespace

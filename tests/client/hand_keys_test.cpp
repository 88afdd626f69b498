#include "client/model/clientsession.h"
#include "client/model/handstate.h"
#include "client/model/tablestate.h"
#include "client/table/hand.h"
#include "client/table/tableview.h"
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
        table = std::make_unique<TableView>(&board, &session, &state, &hand);
        QObject::connect(table.get(), &TableView::sendToHost,
                         [this](const QByteArray &message) { sent.append(message); });
        board.show();
        session.ownSlot = 1;
        session.loggedIn = true;
        table->sortstuff(1);
        state.newplayerinfo(1, "Ann");
        state.newplayerinfo(2, "Bob");
        hand.placecard(1, {7, 26, 27, 51});
    }

    void press(const std::vector<int> &keys)
    {
        for (int key : keys)
            table->hand().keyPressed(key);
    }

    QWidget board;
    ClientSession session;
    TableState state{&session};
    HandState hand{&state};
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
        {"Right starts at the leftmost card", true, {Qt::Key_Right, Qt::Key_Return}, {3}},
        {"Left starts at the rightmost card", true, {Qt::Key_Left, Qt::Key_Space}, {2}},
        {"Right moves along one card", true, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Enter}, {1}},
        {"Right stops at the rightmost card",
         true,
         {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
          Qt::Key_Return},
         {2}},
        {"Left stops at the leftmost card",
         true,
         {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Space},
         {3}},
        {"the highlight moves out of turn and plays nothing",
         false,
         {Qt::Key_Right, Qt::Key_Right, Qt::Key_Return},
         {}},
        {"Escape takes the highlight away",
         true,
         {Qt::Key_Right, Qt::Key_Escape, Qt::Key_Return},
         {}},
        {"a digit moves the highlight to its card", true, {Qt::Key_3, Qt::Key_Return}, {4}},
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
    state.nocard(1, 2);
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
    EXPECT_TRUE(table->hand().keyPressed(Qt::Key_Escape));
    EXPECT_EQ(table->hand().image(1)->y(), 296);
    EXPECT_FALSE(table->hand().keyPressed(Qt::Key_Escape));
}

TEST_F(HandKeys, TheHighlightIsDrawnAndSaidOnItsCardOnly)
{
    const auto highlightedCards = [this] {
        std::vector<int> found;
        for (int position = 1; position <= 4; ++position) {
            const CardImage *card = table->hand().image(position);
            if (card && card->highlighted()) {
                found.push_back(position);
                EXPECT_EQ(card->accessibleDescription(), "Selected");
            } else if (card) {
                EXPECT_EQ(card->accessibleDescription(), "");
            }
        }
        return found;
    };
    EXPECT_EQ(highlightedCards(), std::vector<int>{});
    press({Qt::Key_Right, Qt::Key_Right});
    EXPECT_EQ(highlightedCards(), std::vector<int>{1});
    // The frame lies on the card's own pixels.
    CardImage *seven = table->hand().image(1);
    const QImage drawn = seven->grab().toImage();
    const QImage plain = seven->pixmap().toImage().convertToFormat(drawn.format());
    EXPECT_NE(drawn.pixelColor(1, 48), plain.pixelColor(1, 48));
    EXPECT_EQ(drawn.pixelColor(35, 48), plain.pixelColor(35, 48));
    press({Qt::Key_Escape});
    EXPECT_EQ(highlightedCards(), std::vector<int>{});
    EXPECT_EQ(sent, QByteArrayList{});
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

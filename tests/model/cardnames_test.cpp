#include "client/model/cardnames.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(CardNames, EveryRankAndSuitIsNamedWithWhatItDoes)
{
    struct Case
    {
        int card;
        const char *name;
    };
    const Case cases[] = {
        {1, "Ace of Clubs, adds 1"},
        {2, "Two of Clubs, adds 2"},
        {9, "Nine of Clubs, adds 9"},
        {13, "King of Clubs, sets the total to 98"},
        {14, "Ace of Diamonds, adds 1"},
        {23, "Ten of Diamonds, takes 10 off"},
        {24, "Jack of Diamonds, changes nothing"},
        {26, "King of Diamonds, sets the total to 98"},
        {33, "Seven of Hearts, adds 7"},
        {38, "Queen of Hearts, changes nothing"},
        {40, "Ace of Spades, adds 1"},
        {49, "Ten of Spades, takes 10 off"},
        {52, "King of Spades, sets the total to 98"},
        {0, "Face-down card"},
        {53, ""},
        {-1, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cardnames::handCardName(c.card).toStdString(), c.name) << c.card;

    // Each of the 52 names once.
    QStringList all;
    for (int card = 1; card <= 52; ++card)
        all << cardnames::cardName(card);
    all.removeDuplicates();
    EXPECT_EQ(all.size(), 52);
}

TEST(CardNames, ThePileAfterACardIsTheRealSumEvenPastABust)
{
    struct Case
    {
        int before;
        int card;
        int after;
        const char *play;
    };
    const Case cases[] = {
        {96, 30, 100, "Four of Hearts on 96: 100, busted"},
        {95, 9, 104, "Nine of Clubs on 95: 104, busted"},
        {90, 9, 99, "Nine of Clubs on 90: 99, busted"},
        {90, 8, 98, "Eight of Clubs on 90: 98"},
        {40, 7, 47, "Seven of Clubs on 40: 47"},
        {4, 10, 0, "Ten of Clubs on 4: 0"}, // never below 0
        {37, 49, 27, "Ten of Spades on 37: 27"},
        {98, 24, 98, "Jack of Diamonds on 98: 98"},
        {98, 38, 98, "Queen of Hearts on 98: 98"},
        {98, 52, 98, "King of Spades on 98: 98"}, // a King never busts
        {3, 13, 98, "King of Clubs on 3: 98"},
        {0, 40, 1, "Ace of Spades on 0: 1"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(cardnames::pileAfter(c.before, c.card), c.after) << c.before << " " << c.card;
        EXPECT_EQ(cardnames::playText(c.before, c.card).toStdString(), c.play);
    }
}

TEST(CardNames, SeatsSayNameBagsAndTurn)
{
    struct Case
    {
        cardnames::Seat seat;
        const char *name;
    };
    const Case cases[] = {
        {{"Ann", 2, true}, "Ann, 2 bags of money, holds the turn"},
        {{"Ann", 3, false}, "Ann, 3 bags of money"},
        {{"Bob", 1, false}, "Bob, 1 bag of money"},
        {{"Bob", 0, false}, "Bob, out of money"},
        {{"Zaze", 1, false, true}, "Zaze, 1 bag of money, just watches"},
        {{"Cid", 2, false, false, true}, "Cid, 2 bags of money, has won the game"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cardnames::seatName(c.seat).toStdString(), c.name);
}

TEST(CardNames, ThePileSaysItsTotalAndTopCard)
{
    EXPECT_EQ(cardnames::pileName(37, 27), QStringLiteral("Total 37, top card Ace of Hearts"));
    EXPECT_EQ(cardnames::pileName(7, 7), QStringLiteral("Total 7, top card Seven of Clubs"));
    EXPECT_EQ(cardnames::pileName(0, 0), QStringLiteral("Total 0, no card yet"));
    EXPECT_EQ(cardnames::pileName(99, 30),
              QStringLiteral("Total 99, busted, top card Four of Hearts"));
}

} // namespace

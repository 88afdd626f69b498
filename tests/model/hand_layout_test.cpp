#include "client/model/handlayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Cards = std::vector<int>;

// Deals cards to positions 1, 2, ... in order, as CMD_placecard does.
HandLayout dealt(const Cards &cards)
{
    HandLayout hand;
    for (std::size_t i = 0; i < cards.size(); ++i)
        hand.createcard(int(i) + 1, cards[i]);
    return hand;
}

// The card numbers lying in places 1 to 4, left to right.
Cards cardsInPlaces(const HandLayout &hand)
{
    Cards cards;
    for (int place = 1; place <= HandLayout::kPlayPlaces; ++place) {
        const int position = hand.positionAt(place);
        if (position < 0)
            continue;
        const HandLayout::CardImage *image = hand.image(position);
        cards.push_back(image ? image->card : -1);
    }
    return cards;
}

// Positions from the bottom of the pile to the top.
std::vector<int> stackingOrder(const HandLayout &hand)
{
    std::vector<int> order;
    for (const HandLayout::CardImage &image : hand.stacking())
        order.push_back(image.position);
    return order;
}

std::vector<int> positionsInPlaces(const HandLayout &hand)
{
    std::vector<int> order;
    for (int place = 1; place <= HandLayout::kPlayPlaces; ++place) {
        if (hand.positionAt(place) >= 0)
            order.push_back(hand.positionAt(place));
    }
    return order;
}

struct SortCase
{
    const char *what;
    Cards dealt;
    Cards sorted;
};

void PrintTo(const SortCase &c, std::ostream *os)
{
    *os << c.what;
}

class HandSort : public ::testing::TestWithParam<SortCase>
{
};

TEST_P(HandSort, OrdersByRankAndStacksRightOverLeft)
{
    HandLayout hand = dealt(GetParam().dealt);
    ASSERT_TRUE(hand.sortthem());
    EXPECT_EQ(cardsInPlaces(hand), GetParam().sorted);
    // Every card rests, and the pile runs left to right.
    EXPECT_EQ(stackingOrder(hand), positionsInPlaces(hand));
    for (const HandLayout::CardImage &image : hand.stacking())
        EXPECT_EQ(image.top, HandLayout::kRestingTop);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandSort,
                         ::testing::Values(
                             // 7 of clubs, King of diamonds, Ace of hearts, Queen of spades.
                             SortCase{"mixed suits", {7, 26, 27, 51}, {27, 7, 51, 26}},
                             // Fives of clubs and diamonds and hearts keep their dealt order.
                             SortCase{"equal ranks stay in order", {18, 5, 2, 31}, {2, 18, 5, 31}},
                             SortCase{"card 0 sorts like a King", {0, 13, 1, 12}, {1, 12, 0, 13}},
                             SortCase{"reversed", {13, 12, 11, 10}, {10, 11, 12, 13}},
                             SortCase{"already sorted", {1, 2, 3, 4}, {1, 2, 3, 4}},
                             SortCase{"three cards", {9, 40, 20}, {40, 20, 9}}));

TEST(HandLayout, SortedCardsStandTwoPixelsLeftOfTheMadeGrid)
{
    HandLayout hand = dealt({13, 1, 2, 3}); // the King walks from place 1 to 4
    ASSERT_TRUE(hand.sortthem());
    std::vector<int> lefts;
    for (int place = 1; place <= 4; ++place)
        lefts.push_back(hand.image(hand.positionAt(place))->left);
    // Each exchange puts both cards on the +151 grid.
    EXPECT_EQ(lefts, (std::vector<int>{176, 201, 226, 251}));

    // A card left alone by the sort keeps its +153 place.
    HandLayout calm = dealt({1, 2, 3, 4});
    ASSERT_TRUE(calm.sortthem());
    EXPECT_EQ(calm.image(1)->left, 178);
    EXPECT_EQ(calm.image(4)->left, 253);
}

TEST(HandLayout, MadeCardsLieAt25PixelStepsFrom178)
{
    HandLayout hand = dealt({5, 6, 7, 8});
    for (int position = 1; position <= 4; ++position) {
        EXPECT_EQ(hand.placeOf(position), position);
        EXPECT_EQ(hand.image(position)->left, 153 + 25 * position);
        EXPECT_EQ(hand.image(position)->top, 296);
    }
    EXPECT_EQ(stackingOrder(hand), (std::vector<int>{1, 2, 3, 4}));
}

TEST(HandLayout, PlayingTheSecondCardClosesTheGapAndTheNewCardLandsAtTheRight)
{
    HandLayout hand = dealt({5, 6, 7, 8});
    ASSERT_TRUE(hand.pick(3)); // a picked card is moved along too
    hand.removeImage(2);
    hand.movecards(2);
    EXPECT_EQ(positionsInPlaces(hand), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(hand.image(3)->left, 203);
    EXPECT_EQ(hand.image(4)->left, 228);
    EXPECT_EQ(hand.image(3)->top, 296);

    EXPECT_EQ(hand.createcard(2, 1), 4);
    EXPECT_EQ(positionsInPlaces(hand), (std::vector<int>{1, 3, 4, 2}));
    EXPECT_EQ(hand.image(2)->left, 253);
    EXPECT_EQ(stackingOrder(hand), (std::vector<int>{1, 3, 4, 2}));

    // "Auto Sort" then brings the new Ace to the left.
    ASSERT_TRUE(hand.sortthem());
    EXPECT_EQ(cardsInPlaces(hand), (Cards{1, 5, 7, 8}));
    EXPECT_EQ(stackingOrder(hand), (std::vector<int>{2, 1, 3, 4}));
}

TEST(HandLayout, TheHighlightFollowsItsCardAndGoesWithIt)
{
    HandLayout hand = dealt({8, 6, 7, 1}); // places hold positions 1 to 4
    EXPECT_EQ(hand.highlighted(), 0);
    hand.moveHighlight(1);
    hand.moveHighlight(1);
    EXPECT_EQ(hand.highlighted(), 2);
    // Sorted, the Six of position 2 lies second; the highlight stays on it.
    ASSERT_TRUE(hand.sortthem());
    EXPECT_EQ(positionsInPlaces(hand), (std::vector<int>{4, 2, 3, 1}));
    EXPECT_EQ(hand.highlighted(), 2);
    hand.moveHighlight(1);
    EXPECT_EQ(hand.highlighted(), 3);

    // Played: the card leaves the play places, the highlight goes with it.
    hand.movecards(3);
    EXPECT_EQ(hand.highlighted(), 0);
    hand.moveHighlight(-1);
    EXPECT_EQ(hand.highlighted(), 1);
    hand.removeImage(1);
    EXPECT_EQ(hand.highlighted(), 0);
    hand.moveHighlight(1);
    hand.removeAllImages();
    EXPECT_EQ(hand.highlighted(), 0);
    hand.moveHighlight(1); // no cards: nothing to highlight
    EXPECT_EQ(hand.highlighted(), 0);
}

TEST(HandLayout, MovingAPositionNoPlaceHoldsChangesNothing)
{
    HandLayout hand = dealt({5, 6});
    hand.movecards(4);
    EXPECT_EQ(positionsInPlaces(hand), (std::vector<int>{1, 2}));
}

TEST(HandLayout, PickRaisesThenLowersAgain)
{
    HandLayout hand = dealt({5});
    EXPECT_TRUE(hand.pick(1));
    EXPECT_EQ(hand.image(1)->top, HandLayout::kPickedTop);
    EXPECT_FALSE(hand.pick(1));
    EXPECT_EQ(hand.image(1)->top, HandLayout::kRestingTop);
    EXPECT_FALSE(hand.pick(2)); // no such card
}

TEST(HandLayout, SortingAHandWithAMissingImageStopsThere)
{
    HandLayout hand = dealt({13, 1, 2, 3});
    hand.removeImage(2); // a bust took the images; the places stay taken
    EXPECT_FALSE(hand.sortthem());
    EXPECT_EQ(positionsInPlaces(hand), (std::vector<int>{1, 2, 3, 4}));
}

TEST(HandLayout, AFreshRoundFreesThePlaces)
{
    HandLayout hand = dealt({5, 6, 7, 8});
    hand.removeAllImages();
    // Without freeing, the next deal would land in places 5 to 8.
    hand.freePlaces(1, 10);
    HandLayout fresh = hand;
    for (int position = 1; position <= 4; ++position)
        EXPECT_EQ(fresh.createcard(position, position), position);
}

TEST(HandLayout, DealingAPositionAgainReplacesItsCard)
{
    HandLayout hand = dealt({5, 6, 7, 8});
    hand.createcard(2, 40);
    EXPECT_EQ(hand.stacking().size(), 4u);
    EXPECT_EQ(cardsInPlaces(hand), (Cards{5, 7, 8, 40}));
}

TEST(HandLayout, NoImageWhenAllTwentyPlacesAreTaken)
{
    HandLayout hand;
    for (int position = 1; position <= HandLayout::kPlaces; ++position)
        ASSERT_EQ(hand.createcard(position, 1), position);
    EXPECT_EQ(hand.createcard(21, 1), 0);
    EXPECT_EQ(hand.image(21), nullptr);
}

TEST(HandLayout, BlankCardKeepsItsPlaceAndRests)
{
    HandLayout hand = dealt({5, 6});
    hand.pick(2);
    EXPECT_TRUE(hand.blank(2));
    EXPECT_TRUE(hand.image(2)->blank);
    EXPECT_EQ(hand.image(2)->top, HandLayout::kRestingTop);
    EXPECT_EQ(hand.placeOf(2), 2);
    EXPECT_FALSE(hand.blank(3));
}

} // namespace

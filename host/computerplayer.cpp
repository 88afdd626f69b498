#include "host/computerplayer.h"

#include "host/random.h"

namespace {
// A King passed over in the first pass counts like a card that busts.
constexpr int kPassedKing = 13;
constexpr int kKingPlayChance = 4; // out of 10
} // namespace

int cplayChoice(const Hand &hand, int total, Random &random)
{
    for (int position = 1; position <= kHandSize; ++position) {
        const int card = hand[position - 1];
        if (card == 0)
            continue;
        int rank = cardRank(card);
        if (rank == 0 && random(10) >= kKingPlayChance)
            rank = kPassedKing;
        int outcome = total;
        if (rank >= 1 && rank <= 9)
            outcome = total + rank;
        else if (rank >= 10)
            outcome = kBustTotal + 1;
        if (outcome <= kHighestSafeTotal)
            return position;
    }

    for (int position = 1; position <= kHandSize; ++position) {
        const int card = hand[position - 1];
        if (card == 0)
            continue;
        const int rank = cardRank(card) == 0 ? 13 : cardRank(card);
        if (rank >= 10)
            return position;
    }

    const int drawn = random(kHandSize);
    for (int step = 0; step < kHandSize; ++step) {
        const int index = (drawn + step) % kHandSize;
        if (hand[index] != 0)
            return index + 1;
    }
    return 0;
}

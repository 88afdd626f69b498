#include "host/computerplayer.h"

#include "host/random.h"

namespace {
// A King met before any safe card is played this many times in 10.
constexpr int kKingPlayChance = 4;
} // namespace

int cplayChoice(const Hand &hand, int total, Random &random)
{
    // Safe cards first: the first Ace to Nine that keeps the total at 98 or
    // less. A King met on the way is played at once when its draw comes out
    // 0 to 3, and passed over otherwise.
    for (int position = 1; position <= kHandSize; ++position) {
        const int card = hand[position - 1];
        if (!isCard(card))
            continue;
        const int rank = cardRank(card);
        if (rank == kKingRank) {
            if (random(10) < kKingPlayChance)
                return position;
        } else if (rank <= 9 && total + rank <= kHighestSafeTotal) {
            return position;
        }
    }

    // Then the saving cards, which cannot bust: Ten, Jack, Queen or King.
    for (int position = 1; position <= kHandSize; ++position) {
        const int card = hand[position - 1];
        if (!isCard(card))
            continue;
        const int rank = cardRank(card);
        if (rank == kKingRank || rank >= kTenRank)
            return position;
    }

    // Every card busts the pile: a random position. An empty one would be
    // refused and leave the turn with nobody to play it, so the next
    // position that holds a card is played instead.
    const int drawn = random(kHandSize);
    for (int step = 0; step < kHandSize; ++step) {
        const int index = (drawn + step) % kHandSize;
        if (hand[index] != 0)
            return index + 1;
    }
    return 0;
}

#include "host/computerplayer.h"

#include "host/random.h"

#include <array>
#include <bit>

namespace {
constexpr int kKingPlayChance = 4; // out of 10

// What each card number (0 included) means to the choice, worked out once:
// the amount an Ace-to-Nine adds (more than any total can take for the other
// cards), whether it is a King, and whether it cannot bust.
struct CardKind
{
    int adds = kBustTotal + 1;
    bool king = false;
    bool saving = false;
};

constexpr std::array<CardKind, kDeckSize + 1> makeCardKinds()
{
    std::array<CardKind, kDeckSize + 1> kinds{};
    for (int card = 1; card <= kDeckSize; ++card) {
        const int rank = cardRank(card);
        if (rank >= 1 && rank <= 9)
            kinds[card].adds = rank;
        kinds[card].king = rank == 0;
        kinds[card].saving = rank == 0 || rank >= 10;
    }
    return kinds;
}

constexpr std::array<CardKind, kDeckSize + 1> kCardKinds = makeCardKinds();
} // namespace

int cplayChoice(const Hand &hand, int total, Random &random)
{
    // One look at the hand sorts its positions into bits (position p is bit
    // p - 1); the passes then only walk the bits in position order.
    unsigned safe = 0; // Ace to Nine that keeps the total at 98 or less
    unsigned kings = 0;
    unsigned saving = 0; // Ten, Jack, Queen or King: cannot bust
    for (int index = 0; index < kHandSize; ++index) {
        const int card = hand[index];
        if (card < 0 || card > kDeckSize)
            continue;
        const CardKind &kind = kCardKinds[card];
        safe |= unsigned(total + kind.adds <= kHighestSafeTotal) << index;
        kings |= unsigned(kind.king) << index;
        saving |= unsigned(kind.saving) << index;
    }

    // First pass: a King met before any safe number card is played when its
    // draw comes out 0 to 3, and passed over otherwise.
    for (unsigned candidates = safe | kings; candidates != 0; candidates &= candidates - 1) {
        const unsigned bit = candidates & -candidates;
        const int position = std::countr_zero(bit) + 1;
        if ((safe & bit) != 0 || random(10) < kKingPlayChance)
            return position;
    }

    if (saving != 0)
        return std::countr_zero(saving) + 1;

    const int drawn = random(kHandSize);
    for (int step = 0; step < kHandSize; ++step) {
        const int index = (drawn + step) % kHandSize;
        if (hand[index] != 0)
            return index + 1;
    }
    return 0;
}

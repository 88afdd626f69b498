#pragma once

#include <array>

// Cards are 1 to 52, 0 for no card; clubs, diamonds, hearts, spades, each
// suit Ace, 2 to 10, Jack, Queen, King. Only the rank matters to the rules.
inline constexpr int kDeckSize = 52;
inline constexpr int kHandSize = 4;
inline constexpr int kSeatCount = 4;
inline constexpr int kHighestSafeTotal = 98;
// A busted pile is reported with this total.
inline constexpr int kBustTotal = 99;

// Hand positions 1 to 4 are stored at indices 0 to 3.
using Hand = std::array<int, kHandSize>;

// The card number modulo 13: 1 Ace, 2 to 10, 11 Jack, 12 Queen, 0 King.
constexpr int cardRank(int card)
{
    return card % 13;
}

// The pile total after laying `card` on a pile of `total`: Ace to Nine add
// their value, a Ten takes 10 off (not below 0), Jack and Queen change
// nothing, a King makes it 98. Anything above 98 is a bust, given as 99.
constexpr int totalAfter(int total, int card)
{
    const int rank = cardRank(card);
    int result = total;
    if (rank >= 1 && rank <= 9)
        result = total + rank;
    else if (rank == 10)
        result = total - 10 < 0 ? 0 : total - 10;
    else if (rank == 0)
        result = kHighestSafeTotal;
    return result > kHighestSafeTotal ? kBustTotal : result;
}

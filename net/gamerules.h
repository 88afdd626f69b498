#pragma once

#include <QtGlobal>

#include <array>

// The facts of the game that the host, the client and the tally all rely on,
// each written once.

// ---- The table

// Four seats play; slot n sits at seat n.
inline constexpr int kSeatCount = 4;
// Slots 1 to 4 are the seats, 5 to 9 the watchers; the host hands out no more.
inline constexpr int kFirstWatcherSlot = kSeatCount + 1;
inline constexpr int kHighestSlot = 9;
// The host's own client always connects first and holds slot 1; only it may
// remove players, start games and set the computer players' speed.
inline constexpr int kHostSlot = 1;

constexpr bool isSeat(int seat)
{
    return seat >= 1 && seat <= kSeatCount;
}
constexpr bool isSlot(int slot)
{
    return slot >= 1 && slot <= kHighestSlot;
}

// The port the host listens on and every client joins.
inline constexpr quint16 kGamePort = 7772;

// The caption of a seat nobody has taken yet.
inline constexpr char kWaitingName[] = "<Waiting>";

// The computer players' names by seat. Seat 1 is always the host's own
// player, so it has no computer name.
inline constexpr std::array<const char *, kSeatCount> kComputerNames{"", "Zaze", "Doruv", "Darar"};

// The mode of a game start.
namespace gamemode {
inline constexpr char withComputers[] = "b"; // computer players fill free seats
inline constexpr char humansOnly[] = "h";
} // namespace gamemode

// How long a computer player thinks before laying its card, in milliseconds,
// with the names the "Bot Speed" menu gives them.
struct BotSpeed
{
    const char *name;
    int ms;
};
inline constexpr BotSpeed kSlowBots{"Slow", 1000};
inline constexpr BotSpeed kNormalBots{"Normal", 750};
inline constexpr BotSpeed kFastBots{"Fast", 500};

// The pause between a bust and the next deal, in seconds.
inline constexpr int kPauseSeconds = 7;

// ---- Cards and money

// Cards are 1 to 52, 0 for no card: clubs, diamonds, hearts, spades, each
// suit Ace, 2 to 10, Jack, Queen, King. Only the rank matters to the rules.
inline constexpr int kDeckSize = 52;
inline constexpr int kHandSize = 4;
// Hand positions 1 to 4 are stored at indices 0 to 3.
using Hand = std::array<int, kHandSize>;

constexpr bool isCard(int card)
{
    return card >= 1 && card <= kDeckSize;
}
constexpr bool isHandPosition(int position)
{
    return position >= 1 && position <= kHandSize;
}

// Bags of money each seat starts a game with.
inline constexpr int kStartMoney = 3;

inline constexpr int kHighestSafeTotal = 98;
// A busted pile is reported with this total.
inline constexpr int kBustTotal = 99;

// The card number modulo 13: 1 Ace, 2 to 10, 11 Jack, 12 Queen, 0 King.
inline constexpr int kRanksPerSuit = 13;
inline constexpr int kKingRank = 0;
inline constexpr int kTenRank = 10;
constexpr int cardRank(int card)
{
    return card % kRanksPerSuit;
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
    else if (rank == kTenRank)
        result = total - 10 < 0 ? 0 : total - 10;
    else if (rank == kKingRank)
        result = kHighestSafeTotal;
    return result > kHighestSafeTotal ? kBustTotal : result;
}

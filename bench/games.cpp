// Whole four-computer games through the game object, without sockets or
// timers: each game is dealt, played card by card with the computer's choice,
// and its pauses counted down until one seat holds all the money left.
// Prints games per second and the cards and rounds per game: a measurement
// only, since players lay a card a second and nobody waits for the rules.

#include "host/game.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int kGamesPerRun = 20000;
constexpr int kRuns = 5;

// Seconds of processor time this thread has used: on a machine shared with
// other work, wall time would measure the neighbours as well.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Counts what happens at a table nobody sits at.
class CountingTable : public GameTable
{
public:
    long long cards = 0;
    long long rounds = 0;
    long long winners = 0;

    void roundStarted(int) override { ++rounds; }
    void cardPlayed(int, int, int) override { ++cards; }
    void gameWon(int) override { ++winners; }
};

void playGame(Game &game)
{
    game.startgame("Bench", "b");
    while (game.state().ingame()) {
        if (game.state().phase == GameState::Phase::Pause) {
            while (game.pauseTick()) {
            }
        } else {
            game.cplay();
        }
    }
}

} // namespace

int main()
{
    CountingTable table;
    Random random;
    random.setSeed(12345);
    Game game(table, random);

    double bestSeconds = 1e300;
    double bestWallSeconds = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        const auto wallStart = std::chrono::steady_clock::now();
        const double start = threadSeconds();
        for (int i = 0; i < kGamesPerRun; ++i)
            playGame(game);
        bestSeconds = std::min(bestSeconds, threadSeconds() - start);
        bestWallSeconds = std::min(
            bestWallSeconds,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());
    }

    const long long games = (long long)kGamesPerRun * kRuns;
    if (table.winners != games) {
        std::fprintf(stderr, "only %lld of %lld games found a winner\n", table.winners, games);
        return 1;
    }
    std::printf("complete four-computer games: %.0f games/s of processor time, %.0f games/s "
                "of wall time (best of %d runs of %d)\n",
                kGamesPerRun / bestSeconds, kGamesPerRun / bestWallSeconds, kRuns, kGamesPerRun);
    std::printf("per game: %.1f cards, %.1f rounds, %.2f us\n", double(table.cards) / games,
                double(table.rounds) / games, bestSeconds / kGamesPerRun * 1e6);
    return 0;
}

#include "host/computerplayer.h"
#include "host/game.h"
#include "host/gamecheck.h"
#include "host/random.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDateTime>

#include <set>
#include <string>
#include <vector>

namespace {

// Cards by rank, clubs: card n is rank n for n < 13, King is 13.
constexpr int Ace = 1, Two = 2, Three = 3, Four = 4, Five = 5, Seven = 7, Eight = 8, Nine = 9,
              Ten = 10, Jack = 11, Queen = 12, King = 13;

// Records what the game tells the table, and plays the people at it.
class RecordingTable : public GameTable
{
public:
    std::set<int> connected;
    std::set<int> watching;
    std::vector<std::string> events;
    std::vector<int> turns;
    std::vector<int> played; // cards, in order
    QByteArray mode;
    int winner = 0;
    int computerCalls = 0;
    int pauses = 0;

    bool seatConnected(int seat) const override { return connected.count(seat) != 0; }
    bool seatWatching(int seat) const override { return watching.count(seat) != 0; }
    void gameStarted(QByteArrayView, QByteArrayView settled) override
    {
        mode = settled.toByteArray();
        watching.clear();
        log("startgame ", mode.toStdString());
    }
    void roundStarted(int round) override { log("startround ", std::to_string(round)); }
    void handDealt(int seat) override { log("placecard ", std::to_string(seat)); }
    void turnPassed(int seat) override
    {
        turns.push_back(seat);
        log("nextplayer ", std::to_string(seat));
    }
    void computerToPlay() override { ++computerCalls; }
    void cardPlayed(int seat, int card, int total) override
    {
        played.push_back(card);
        log("playcard ",
            std::to_string(seat) + " " + std::to_string(card) + " " + std::to_string(total));
    }
    void cardDrawn(int seat, int position, int card) override
    {
        log("newcard ",
            std::to_string(seat) + " " + std::to_string(position) + " " + std::to_string(card));
    }
    void noCard(int seat, int position) override
    {
        log("nocard ", std::to_string(seat) + " " + std::to_string(position));
    }
    void roundOver(int seat, int money) override
    {
        log("roundover ", std::to_string(seat) + " " + std::to_string(money));
    }
    void gameWon(int seat) override
    {
        winner = seat;
        log("winner ", std::to_string(seat));
    }
    void pauseStarted() override { ++pauses; }

private:
    void log(const char *what, const std::string &rest) { events.push_back(what + rest); }
};

struct Fixture
{
    RecordingTable table;
    Random random;
    Game game{table, random};

    // A round in play at `total` with seat 1 holding the turn and `hand`;
    // every seat has `money` bags, and the deck is laid out by seed 1.
    void setUpRound(int total, Hand hand, std::array<int, 4> money = {3, 3, 3, 3})
    {
        random.setSeed(1);
        game.startgame("Tester", "b");
        GameState state = game.state();
        for (int n = 1; n <= kSeatCount; ++n) {
            state.seat(n).money = money[n - 1];
            state.seat(n).playing = money[n - 1] > 0;
        }
        // Keep the cards unique: take the hand's cards out of the pile.
        for (int &card : state.deck)
            for (int held : hand)
                if (card == held)
                    card = 0;
        for (SeatState &seat : state.seats)
            for (int &card : seat.hand)
                for (int held : hand)
                    if (card == held)
                        card = 0;
        state.seat(1).hand = hand;
        state.turn = 1;
        state.total = total;
        game.setState(state);
        table.events.clear();
        table.played.clear();
    }
};

// Plays computer turns and pauses until the game ends, checking the state
// after every step. Returns the number of cards played.
int playOut(Game &game, int stepLimit = 100000)
{
    int cards = 0;
    for (int step = 0; step < stepLimit && game.state().ingame(); ++step) {
        if (game.state().phase == GameState::Phase::Pause) {
            game.pauseTick();
        } else {
            game.cplay();
            ++cards;
        }
        const QString fault = gameStateFault(game.state());
        if (!fault.isEmpty()) {
            ADD_FAILURE() << "after step " << step << ": " << fault.toStdString();
            break;
        }
    }
    return cards;
}

TEST(RandomTest, DrawsFollowTheLinearCongruentialGenerator)
{
    // Worked out by hand from seed' = seed * 134775813 + 1 (mod 2^32) and
    // the upper 32 bits of seed' * n.
    struct Case
    {
        quint32 seed;
        int n;
        int first, second;
        quint32 seedAfter;
    } cases[] = {
        {0, 52, 0, 1, 134775814u},
        {1, 52, 1, 44, 3698175007u},
        {123456789, 10, 5, 3, 1699992339u},
        {0xFFFFFFFFu, 4, 3, 0, 866343917u},
        {86399999, 1000, 723, 995, 4274149357u},
    };
    for (const Case &c : cases) {
        Random random;
        random.setSeed(c.seed);
        EXPECT_EQ(random(c.n), c.first) << c.seed;
        EXPECT_EQ(random(c.n), c.second) << c.seed;
        EXPECT_EQ(random.seed(), c.seedAfter) << c.seed;
    }
}

TEST(RandomTest, RandomizeTakesMillisecondsSinceMidnight)
{
    // The seed is the time of day in UTC, in milliseconds: it lies between
    // the clock read just before and just after (unless midnight passed).
    const auto nowMs = [] {
        return quint32(QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay());
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        const quint32 before = nowMs();
        Random random;
        random.randomize();
        const quint32 after = nowMs();
        if (after < before)
            continue; // midnight passed in between: try again
        EXPECT_GE(random.seed(), before);
        EXPECT_LE(random.seed(), after);
        return;
    }
    FAIL() << "the clock went backwards three times";
}

TEST(GameTest, FixedSeedPredictsTheWholeDeal)
{
    // The expected deal was computed apart from this code, by a few lines of
    // Python that model the generator (seed * 134775813 + 1, upper half of
    // seed * n) and the layout (each card from 1 to 52 drawn into a free
    // position), then dealing four cards to each seat from the front.
    RecordingTable table;
    Random random;
    random.setSeed(20240607);
    Game game(table, random);
    game.startgame("Tester", "b");

    const GameState &state = game.state();
    const std::array<Hand, 4> hands{Hand{1, 21, 32, 8}, Hand{22, 20, 41, 13}, Hand{33, 28, 44, 35},
                                    Hand{36, 11, 5, 38}};
    for (int n = 1; n <= kSeatCount; ++n)
        EXPECT_EQ(state.seat(n).hand, hands[n - 1]) << "seat " << n;
    const std::array<int, 36> pile{6,  52, 46, 34, 17, 23, 26, 14, 9,  12, 37, 25,
                                   40, 18, 49, 4,  51, 2,  16, 45, 29, 30, 31, 27,
                                   50, 39, 47, 43, 19, 10, 42, 24, 3,  15, 7,  48};
    for (int p = 17; p <= kDeckSize; ++p)
        EXPECT_EQ(state.deck[p - 1], pile[p - 17]) << "deck position " << p;
    EXPECT_EQ(state.drawpos, 17);
    // 349 draws laid the deck out; the next draw follows on from there.
    EXPECT_EQ(random.seed(), 1463737952u);
    EXPECT_EQ(state.turn, 1);
    EXPECT_EQ(table.events,
              (std::vector<std::string>{"startgame b", "startround 1", "placecard 1", "placecard 2",
                                        "placecard 3", "placecard 4", "nextplayer 1"}));
}

TEST(GameTest, CardEffectsAndBusts)
{
    struct Case
    {
        int total;
        int card;
        int expected;
    } cases[] = {
        {90, Eight, 98},
        {90, Nine, 99},
        {95, Nine, 99},
        {98, Jack, 98},
        {98, Queen, 98},
        {98, King, 98},
        {0, King, 98},
        {4, Ten, 0},
        {50, Ten, 40},
        {0, Ace, 1},
        {98, Ace, 99},
        {50, 26 /* King of diamonds */, 98},
        {20, 40 /* Ace of spades */, 21},
        {20, 49 /* Ten of spades */, 10},
    };
    for (const Case &c : cases) {
        Fixture f;
        f.setUpRound(c.total, {c.card, 0, 0, 0});
        const int drawpos = f.game.state().drawpos;
        f.game.playcard(1, 1);
        const GameState &state = f.game.state();
        const bool bust = c.expected == kBustTotal;
        SCOPED_TRACE(testing::Message() << "total " << c.total << " card " << c.card);
        EXPECT_EQ(state.total, c.expected);
        EXPECT_EQ(state.topcard, c.card);
        ASSERT_GE(f.table.events.size(), 3u);
        EXPECT_EQ(f.table.events[0],
                  "playcard 1 " + std::to_string(c.card) + " " + std::to_string(c.expected));
        if (bust) {
            EXPECT_EQ(state.seat(1).hand[0], 0);
            EXPECT_EQ(state.drawpos, drawpos);
            EXPECT_EQ(f.table.events[1], "newcard 1 1 0");
            EXPECT_EQ(f.table.events[2], "roundover 1 2");
            EXPECT_EQ(state.phase, GameState::Phase::Pause);
            EXPECT_EQ(state.seat(1).money, 2);
        } else {
            EXPECT_NE(state.seat(1).hand[0], 0);
            EXPECT_EQ(state.drawpos, drawpos + 1);
            EXPECT_EQ(f.table.events[1], "newcard 1 1 " + std::to_string(state.seat(1).hand[0]));
            EXPECT_EQ(f.table.events[2], "nextplayer 2");
        }
        EXPECT_EQ(gameStateFault(state), QString());
    }
}

TEST(GameTest, LastBagLostEndsTheSeatAndPerhapsTheGame)
{
    struct Case
    {
        std::array<int, 4> money;
        int moneyAfter;
        int winner; // 0: the game goes on to a pause
    } cases[] = {
        {{1, 3, 0, 0}, 0, 2},
        {{1, 1, 1, 0}, 0, 0},
        {{3, 1, 0, 0}, 2, 0},
        {{1, 0, 0, 2}, 0, 4},
    };
    for (const Case &c : cases) {
        Fixture f;
        f.setUpRound(95, {Nine, Nine + 13, Nine + 26, Nine + 39}, c.money);
        f.game.playcard(1, 2);
        const GameState &state = f.game.state();
        EXPECT_EQ(f.table.events[2], "roundover 1 " + std::to_string(c.moneyAfter));
        EXPECT_EQ(state.seat(1).playing, c.moneyAfter > 0);
        if (c.winner != 0) {
            EXPECT_EQ(f.table.events.back(), "winner " + std::to_string(c.winner));
            EXPECT_FALSE(state.ingame());
            EXPECT_EQ(f.table.pauses, 0);
        } else {
            EXPECT_EQ(f.table.winner, 0);
            EXPECT_EQ(state.phase, GameState::Phase::Pause);
            EXPECT_EQ(f.table.pauses, 1);
        }
    }
}

TEST(GameTest, RefusedPlaysChangeNothing)
{
    struct Case
    {
        const char *what;
        int seat;
        int position;
        std::vector<std::string> events;
    } cases[] = {
        {"not the seat's turn", 2, 1, {}},        {"no such seat", 0, 1, {}},
        {"position below the hand", 1, 0, {}},    {"position past the hand", 1, 5, {}},
        {"empty position", 1, 3, {"nocard 1 3"}},
    };
    for (const Case &c : cases) {
        Fixture f;
        f.setUpRound(40, {Ace, Two, 0, Four});
        const GameState before = f.game.state();
        f.game.playcard(c.seat, c.position);
        EXPECT_EQ(f.table.events, c.events) << c.what;
        EXPECT_EQ(f.game.state().total, before.total) << c.what;
        EXPECT_EQ(f.game.state().seat(1).hand, before.seat(1).hand) << c.what;
        EXPECT_EQ(f.game.state().turn, 1) << c.what;
    }
}

TEST(GameTest, NoCardIsPlayedOutsideARound)
{
    Fixture f;
    f.setUpRound(95, {Nine, Two, Three, Four});
    f.game.playcard(1, 1); // busts: the pause begins, seat 1 still holds the turn
    ASSERT_EQ(f.game.state().phase, GameState::Phase::Pause);
    f.table.events.clear();
    f.game.playcard(1, 2);
    f.game.cplay();
    EXPECT_TRUE(f.table.events.empty());
    EXPECT_EQ(f.game.state().total, kBustTotal);
}

TEST(GameTest, PauseStartsTheNextRoundAfterSevenSeconds)
{
    Fixture f;
    f.setUpRound(95, {Nine, Two, Three, Four});
    f.game.playcard(1, 1);
    f.table.events.clear();
    for (int second = 1; second < kPauseSeconds; ++second)
        EXPECT_TRUE(f.game.pauseTick()) << second;
    EXPECT_TRUE(f.table.events.empty());
    EXPECT_FALSE(f.game.pauseTick());
    const GameState &state = f.game.state();
    EXPECT_EQ(state.phase, GameState::Phase::Round);
    EXPECT_EQ(state.round, 2);
    EXPECT_EQ(state.total, 0);
    EXPECT_EQ(state.topcard, 0);
    ASSERT_FALSE(f.table.events.empty());
    EXPECT_EQ(f.table.events.front(), "startround 2");
    // The first turn goes to the seat after the one that busted.
    EXPECT_EQ(f.table.events.back(), "nextplayer 2");
}

TEST(GameTest, GameStartDuringThePauseStopsIt)
{
    Fixture f;
    f.setUpRound(95, {Nine, Two, Three, Four});
    f.game.playcard(1, 1);
    f.game.pauseTick();
    f.game.startgame("Tester", "b");
    EXPECT_EQ(f.game.state().round, 1);
    EXPECT_FALSE(f.game.pauseTick());
    EXPECT_EQ(f.game.state().round, 1);
    EXPECT_EQ(f.game.state().phase, GameState::Phase::Round);
}

TEST(GameTest, ModeSettlesByTheHumansPresent)
{
    struct Case
    {
        std::set<int> connected;
        const char *mode;
        const char *settled;
        std::array<int, 4> money;
    } cases[] = {
        {{1}, "h", "b", {3, 3, 3, 3}},    {{}, "h", "b", {3, 3, 3, 3}},
        {{1, 3}, "h", "h", {3, 0, 3, 0}}, {{1, 2, 3, 4}, "h", "h", {3, 3, 3, 3}},
        {{1, 3}, "b", "b", {3, 3, 3, 3}}, {{1, 3}, "x", "x", {3, 3, 3, 3}},
    };
    for (const Case &c : cases) {
        RecordingTable table;
        table.connected = c.connected;
        table.watching = {1};
        Random random;
        Game game(table, random);
        game.startgame("Tester", c.mode);
        EXPECT_EQ(table.mode, QByteArray(c.settled)) << c.mode;
        EXPECT_TRUE(table.watching.empty());
        for (int n = 1; n <= kSeatCount; ++n) {
            EXPECT_EQ(game.state().seat(n).money, c.money[n - 1]) << c.mode << " seat " << n;
            EXPECT_EQ(game.state().seat(n).playing, c.money[n - 1] > 0);
            EXPECT_EQ(game.state().seat(n).dealt, c.money[n - 1] > 0);
        }
    }
}

TEST(GameTest, TurnOrderSkipsSeatsWithoutBags)
{
    RecordingTable table;
    table.connected = {1, 2, 4};
    Random random;
    random.setSeed(7);
    Game game(table, random);
    game.startgame("Tester", "h");
    ASSERT_EQ(game.state().seat(3).money, 0);
    for (int card = 0; card < 6; ++card) {
        GameState state = game.state();
        state.total = 0; // no card can bust an empty pile
        game.setState(state);
        game.playcard(game.state().turn, 1);
    }
    EXPECT_EQ(table.turns, (std::vector<int>{1, 2, 4, 1, 2, 4, 1}));
    // Only seat 3 is left to the computer, and it never plays.
    EXPECT_EQ(table.computerCalls, 0);
}

TEST(GameTest, ComputerIsCalledForEmptyAndWatchingSeats)
{
    RecordingTable table;
    table.connected = {1, 2};
    Random random;
    Game game(table, random);
    game.startgame("Tester", "b");
    table.watching = {2};
    ASSERT_EQ(game.state().turn, 1);
    std::vector<bool> computer;
    for (int card = 0; card < 4; ++card) {
        GameState state = game.state();
        state.total = 0;
        game.setState(state);
        const int before = table.computerCalls;
        game.playcard(game.state().turn, 1);
        computer.push_back(table.computerCalls > before);
    }
    // Turns 2 (watching), 3 and 4 (nobody) are the computer's; 1 is not.
    EXPECT_EQ(table.turns, (std::vector<int>{1, 2, 3, 4, 1}));
    EXPECT_EQ(computer, (std::vector<bool>{true, true, true, false}));
}

TEST(GameTest, RefillAfterTheThirtySixthCardOfAFourSeatRound)
{
    Fixture f;
    f.random.setSeed(99);
    f.game.startgame("Tester", "b");
    for (int card = 1; card <= 36; ++card) {
        const GameState &before = f.game.state();
        ASSERT_EQ(before.phase, GameState::Phase::Round);
        if (card < 36) {
            EXPECT_EQ(before.drawpos, 16 + card);
        }
        GameState state = before;
        state.total = 0;
        f.game.setState(state);
        f.game.playcard(state.turn, 1 + card % kHandSize);
        EXPECT_EQ(gameStateFault(f.game.state()), QString()) << "card " << card;
    }
    const GameState &state = f.game.state();
    EXPECT_EQ(state.decksize, 35);
    EXPECT_EQ(state.drawpos, 1);
    EXPECT_EQ(state.discardpos, 1);
    EXPECT_EQ(state.topcard, f.table.played.back());
    for (int card : state.discards)
        EXPECT_EQ(card, 0);
    // The pile is the 35 cards played before the top one, in a new order.
    std::multiset<int> pile(state.deck.begin(), state.deck.begin() + 35);
    std::multiset<int> played(f.table.played.begin(), f.table.played.end() - 1);
    EXPECT_EQ(pile, played);
    EXPECT_NE(std::vector<int>(state.deck.begin(), state.deck.begin() + 35),
              std::vector<int>(f.table.played.begin(), f.table.played.end() - 1));
    for (int p = 36; p <= kDeckSize; ++p)
        EXPECT_EQ(state.deck[p - 1], 0);
    // The next card is drawn from the refilled pile.
    GameState next = state;
    next.total = 0;
    f.game.setState(next);
    f.game.playcard(next.turn, 1);
    EXPECT_EQ(f.game.state().drawpos, 2);
    EXPECT_EQ(f.game.state().discards[0], f.table.played[35]);
}

TEST(GameTest, FirstCardOfARoundGoesOnAnEmptyPile)
{
    Fixture f;
    f.random.setSeed(5);
    f.game.startgame("Tester", "b");
    f.game.cplay();
    EXPECT_EQ(f.game.state().discardpos, 1);
    EXPECT_EQ(f.game.state().discards[0], 0);
    const int first = f.game.state().topcard;
    if (f.game.state().phase == GameState::Phase::Round) {
        f.game.cplay();
        EXPECT_EQ(f.game.state().discardpos, 2);
        EXPECT_EQ(f.game.state().discards[0], first);
    }
}

TEST(ComputerPlayerTest, ThreePasses)
{
    struct Case
    {
        const char *what;
        int total;
        Hand hand;
        int position;
    } cases[] = {
        {"first number card that stays safe", 95, {Five, Seven, Jack, Two}, 4},
        {"then the first saving card", 95, {Five, Seven, Jack, Nine}, 3},
        {"a Ten saves too", 95, {Five, Ten, Jack, Nine}, 2},
        {"the first safe card even if a later one is safer", 10, {Five, Ace, Ten, Jack}, 1},
        {"empty positions are passed over", 95, {0, Seven, 0, Queen}, 4},
    };
    for (const Case &c : cases) {
        Random random;
        random.setSeed(3);
        EXPECT_EQ(cplayChoice(c.hand, c.total, random), c.position) << c.what;
    }
}

TEST(ComputerPlayerTest, KingIsPlayedFourTimesInTenInTheFirstPass)
{
    struct Case
    {
        int total;
        Hand hand;
        int otherwise; // the position played when the King is passed over
    } cases[] = {
        {10, {King, Three, Ten, Jack}, 2},
        {97, {King, Two, Three, Four}, 1}, // then the King saves in the second pass
    };
    for (const Case &c : cases) {
        int kings = 0;
        const int trials = 10000;
        for (quint32 seed = 0; seed < trials; ++seed) {
            Random random;
            random.setSeed(seed);
            Random probe = random;
            const int expected = probe(10) <= 3 ? 1 : c.otherwise;
            const int position = cplayChoice(c.hand, c.total, random);
            ASSERT_EQ(position, expected) << "seed " << seed;
            kings += position == 1 && probe.seed() == random.seed() ? 1 : 0;
        }
        if (c.otherwise != 1) {
            EXPECT_GT(kings, trials * 37 / 100);
            EXPECT_LT(kings, trials * 43 / 100);
        }
    }
}

TEST(ComputerPlayerTest, AllBustingCardsPlayARandomPosition)
{
    std::set<int> positions;
    for (quint32 seed = 0; seed < 64; ++seed) {
        Random random;
        random.setSeed(seed);
        Random probe = random;
        const int position = cplayChoice({Five, Seven, Eight, Nine}, 95, random);
        EXPECT_EQ(position, probe(4) + 1);
        positions.insert(position);
    }
    EXPECT_EQ(positions, (std::set<int>{1, 2, 3, 4}));
    // An empty hand has nothing to play.
    Random random;
    EXPECT_EQ(cplayChoice({0, 0, 0, 0}, 95, random), 0);
}

TEST(GameTest, ComputerGamesRunToOneWinnerWithSoundStateThroughout)
{
    for (quint32 seed = 1; seed <= 200; ++seed) {
        RecordingTable table;
        Random random;
        random.setSeed(seed);
        Game game(table, random);
        game.startgame("Tester", "b");
        const int cards = playOut(game);
        ASSERT_FALSE(game.state().ingame()) << "seed " << seed;
        int withMoney = 0;
        int lastWithMoney = 0;
        for (int n = 1; n <= kSeatCount; ++n) {
            if (game.state().seat(n).money > 0) {
                ++withMoney;
                lastWithMoney = n;
            }
        }
        EXPECT_EQ(withMoney, 1) << "seed " << seed;
        EXPECT_EQ(table.winner, lastWithMoney) << "seed " << seed;
        const int busts =
            int(std::count_if(table.events.begin(), table.events.end(),
                              [](const std::string &e) { return e.rfind("roundover", 0) == 0; }));
        EXPECT_EQ(busts, 12 - game.state().seat(lastWithMoney).money);
        EXPECT_EQ(int(table.played.size()), cards);
    }
}

} // namespace

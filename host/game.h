#pragma once

#include "host/random.h"
#include "net/gamerules.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>

// One seat's part in the game. Seat n sits at index n - 1.
struct SeatState
{
    int money = 0;        // bags of money left, 0 to 3
    Hand hand{};          // card numbers by position, 0 = no card
    bool playing = false; // takes part in the current round
    bool dealt = false;   // was dealt a hand in the current round
};

// The whole state of the rules. Positions in deck and discards are 1-based
// as the game counts them: position p is stored at index p - 1.
struct GameState
{
    enum class Phase { NoGame, Round, Pause };

    Phase phase = Phase::NoGame;
    int turn = 0;    // seat whose turn it is; 0 until the first game
    int round = 0;   // number of the round within the game
    int total = 0;   // pile total; 99 once busted
    int topcard = 0; // card on top of the pile, 0 = none
    std::array<int, kDeckSize> deck{};
    std::array<int, kDeckSize> discards{};
    int drawpos = 0;    // position in deck of the next card to draw
    int decksize = 0;   // how many cards deck received at its last fill
    int discardpos = 0; // position in discards where the next card goes
    int countdown = 0;  // seconds left in the pause between rounds
    bool botsoff = false;
    std::array<SeatState, kSeatCount> seats{};

    bool ingame() const { return phase != Phase::NoGame; }
    SeatState &seat(int n) { return seats[n - 1]; }
    const SeatState &seat(int n) const { return seats[n - 1]; }
};

// The table the game is played at: the game asks it who sits where and tells
// it what happened, in the order the players must learn it. The server turns
// these into messages and timers; a benchmark can ignore them all.
class GameTable
{
public:
    virtual ~GameTable() = default;

    // A human's connection is live at the seat.
    virtual bool seatConnected(int) const { return false; }
    // The seat's human has chosen to just watch.
    virtual bool seatWatching(int) const { return false; }

    // A new game, with the mode as settled ("h" may have become "b"). The
    // table clears every seat's watching here.
    virtual void gameStarted(QByteArrayView /*name*/, QByteArrayView /*mode*/) {}
    virtual void roundStarted(int /*round*/) {}
    // The seat was dealt a new hand (sent only to a connected seat).
    virtual void handDealt(int /*seat*/) {}
    virtual void turnPassed(int /*seat*/) {}
    // The seat holding the turn is played by the computer.
    virtual void computerToPlay() {}
    virtual void cardPlayed(int /*seat*/, int /*card*/, int /*total*/) {}
    // The card now at the position, 0 after a bust.
    virtual void cardDrawn(int /*seat*/, int /*position*/, int /*card*/) {}
    virtual void noCard(int /*seat*/, int /*position*/) {}
    virtual void roundOver(int /*seat*/, int /*money*/) {}
    virtual void gameWon(int /*seat*/) {}
    // The pause before the next round began; pauseTick() counts it down.
    virtual void pauseStarted() {}
};

// The rules and the flow of one table: deck, hands, turns, bags of money.
// No sockets and no timers: moves come in as calls, and what happened goes
// out through the GameTable, so a whole game runs in microseconds.
class Game
{
public:
    explicit Game(GameTable &table, Random &random = programRandom());

    const GameState &state() const { return m_state; }
    // Sets up a position directly, for tests and tools.
    void setState(const GameState &state) { m_state = state; }

    // A new game replaces any game in progress, also one in its pause.
    void startgame(QByteArrayView name, QByteArrayView mode);
    // Plays the card at a hand position for a seat. Refused without a word
    // unless a round is in play and the seat holds the turn; a position
    // outside 1 to 4 is ignored; an empty one is answered with noCard.
    void playcard(int seat, int position);
    // The computer's move for the seat holding the turn.
    void cplay();
    // One second of the pause between rounds; the next round starts when it
    // runs out. Returns whether the pause goes on.
    bool pauseTick();

    // Seats 1 to 4 with a live connection; watchers elsewhere do not count.
    int numhumans() const;
    // Nobody plays the seat, or its player just watches.
    bool computerPlays(int seat) const;

private:
    void startround();
    void layOutDeck();
    void deal();
    int draw();
    void findplayer();
    void checkcardcount();
    void endround(int seat);
    bool checkforwin();

    GameTable &m_table;
    Random &m_random;
    GameState m_state;
};

#include "host/game.h"

#include "host/computerplayer.h"

#include <algorithm>

namespace {
constexpr int kHumansForHumansOnly = 2;
} // namespace

Game::Game(GameTable &table, Random &random) : m_table(table), m_random(random) {}

int Game::numhumans() const
{
    int count = 0;
    for (int seat = 1; seat <= kSeatCount; ++seat)
        count += m_table.seatConnected(seat) ? 1 : 0;
    return count;
}

bool Game::computerPlays(int seat) const
{
    return !m_table.seatConnected(seat) || m_table.seatWatching(seat);
}

void Game::startgame(QByteArrayView name, QByteArrayView mode)
{
    m_state.phase = GameState::Phase::Round;
    m_state.topcard = 0;
    // A pause of the replaced game must not start a round of this one.
    m_state.countdown = 0;

    QByteArrayView settledMode = mode;
    if (mode == QByteArrayView(gamemode::humansOnly)) {
        m_state.botsoff = numhumans() >= kHumansForHumansOnly;
        if (!m_state.botsoff)
            settledMode = gamemode::withComputers;
    } else {
        m_state.botsoff = false;
    }
    m_table.gameStarted(name, settledMode);

    for (int n = 1; n <= kSeatCount; ++n) {
        SeatState &seat = m_state.seat(n);
        const bool takesPart = m_table.seatConnected(n) || !m_state.botsoff;
        seat.money = takesPart ? kStartMoney : 0;
        seat.playing = takesPart;
    }
    m_state.round = 0;
    startround();
}

void Game::startround()
{
    m_state.phase = GameState::Phase::Round;
    ++m_state.round;
    m_state.total = 0;
    m_state.topcard = 0;
    for (SeatState &seat : m_state.seats)
        seat.playing = seat.money >= 1;
    m_table.roundStarted(m_state.round);

    layOutDeck();
    deal();
    findplayer();
}

void Game::layOutDeck()
{
    // Each card from 1 to 52 in order goes to a position drawn at random;
    // a position already taken is drawn again.
    m_state.deck.fill(0);
    m_state.discards.fill(0);
    for (int card = 1; card <= kDeckSize; ++card) {
        int position = m_random(kDeckSize) + 1;
        while (m_state.deck[position - 1] != 0)
            position = m_random(kDeckSize) + 1;
        m_state.deck[position - 1] = card;
    }
    m_state.decksize = kDeckSize;
    m_state.drawpos = 1;
    m_state.discardpos = 1;
}

void Game::deal()
{
    for (int n = 1; n <= kSeatCount; ++n) {
        SeatState &seat = m_state.seat(n);
        seat.dealt = seat.playing;
        if (!seat.playing)
            continue;
        for (int &card : seat.hand)
            card = draw();
        m_table.handDealt(n);
    }
}

int Game::draw()
{
    // The refill after every card keeps drawpos within the deck; an
    // exhausted deck would give no card rather than read past it.
    if (m_state.drawpos < 1 || m_state.drawpos > m_state.decksize)
        return 0;
    int &slot = m_state.deck[m_state.drawpos - 1];
    const int card = slot;
    slot = 0;
    ++m_state.drawpos;
    return card;
}

void Game::findplayer()
{
    for (int step = 0; step < kSeatCount; ++step) {
        m_state.turn = m_state.turn % kSeatCount + 1;
        if (m_state.seat(m_state.turn).playing)
            break;
    }
    m_table.turnPassed(m_state.turn);
    if (computerPlays(m_state.turn))
        m_table.computerToPlay();
}

void Game::playcard(int seatNumber, int position)
{
    if (m_state.phase != GameState::Phase::Round || seatNumber != m_state.turn)
        return;
    if (position < 1 || position > kHandSize)
        return;
    SeatState &seat = m_state.seat(seatNumber);
    int &held = seat.hand[position - 1];
    const int card = held;
    if (card == 0) {
        m_table.noCard(seatNumber, position);
        return;
    }

    if (m_state.topcard != 0 && m_state.discardpos <= kDeckSize) {
        m_state.discards[m_state.discardpos - 1] = m_state.topcard;
        ++m_state.discardpos;
    }
    m_state.topcard = card;
    m_state.total = totalAfter(m_state.total, card);
    const bool busted = m_state.total > kHighestSafeTotal;
    held = busted ? 0 : draw();
    checkcardcount();

    m_table.cardPlayed(seatNumber, card, m_state.total);
    m_table.cardDrawn(seatNumber, position, held);
    if (busted)
        endround(seatNumber);
    else
        findplayer();
}

void Game::cplay()
{
    if (m_state.phase != GameState::Phase::Round || m_state.turn < 1)
        return;
    const int position = cplayChoice(m_state.seat(m_state.turn).hand, m_state.total, m_random);
    if (position != 0)
        playcard(m_state.turn, position);
}

void Game::checkcardcount()
{
    if (m_state.drawpos <= m_state.decksize)
        return;
    const int n = m_state.discardpos - 1;
    for (int k = 0; k < n; ++k) {
        const int i = m_random(n);
        const int j = m_random(n);
        std::swap(m_state.discards[i], m_state.discards[j]);
    }
    std::copy_n(m_state.discards.begin(), n, m_state.deck.begin());
    std::fill_n(m_state.discards.begin(), n, 0);
    m_state.decksize = n;
    m_state.drawpos = 1;
    m_state.discardpos = 1;
}

void Game::endround(int seatNumber)
{
    SeatState &seat = m_state.seat(seatNumber);
    seat.money = std::max(0, seat.money - 1);
    if (seat.money < 1)
        seat.playing = false;
    m_table.roundOver(seatNumber, seat.money);

    if (checkforwin())
        return;
    m_state.phase = GameState::Phase::Pause;
    m_state.countdown = kPauseSeconds;
    m_table.pauseStarted();
}

bool Game::checkforwin()
{
    int withMoney = 0;
    int candidate = 0;
    for (int n = 1; n <= kSeatCount; ++n) {
        if (m_state.seat(n).money > 0) {
            ++withMoney;
            candidate = n;
        }
    }
    if (withMoney >= 2)
        return false;
    m_state.phase = GameState::Phase::NoGame;
    if (candidate != 0)
        m_table.gameWon(candidate);
    return true;
}

bool Game::pauseTick()
{
    if (m_state.phase != GameState::Phase::Pause)
        return false;
    --m_state.countdown;
    if (m_state.countdown >= 1)
        return true;
    startround();
    return false;
}

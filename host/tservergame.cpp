// The game side of the server: starting games, playing cards, the computer
// players' timer and the pause between rounds, and the messages the game's
// events become.

#include "host/tserver.h"

#include <algorithm>

namespace {
const QString kTookTooLong = QStringLiteral("%1 took too long; the computer played for him.");
const QString kLimitSet = QStringLiteral("The host set a turn time limit of %1 seconds.");
const QString kLimitOff = QStringLiteral("The host turned the turn time limit off.");
} // namespace

void TServer::startgame(int from, const msg::StartgameToHost &request)
{
    // Only the host's own copy offers a start.
    if (from != kHostSlot)
        return;
    // A new game ends the pause of the old one.
    m_timer1.stop();
    m_game.startgame(request.name, request.mode);
}

void TServer::playcard(int from, const msg::PlaycardToHost &request)
{
    if (request.seat != from)
        return;
    m_game.playcard(request.seat, request.position);
}

void TServer::arm()
{
    // A delay of 0 never fires: nobody has set the speed yet.
    if (m_botdelay <= 0) {
        m_computertimer.stop();
        return;
    }
    if (m_computertimer.isActive() && m_computertimer.interval() == m_botdelay)
        return;
    m_computertimer.start(m_botdelay);
}

void TServer::computertimerTimer()
{
    m_computertimer.stop();
    const int seat = m_game.state().turn;
    // A human who took the seat, or plays again, in the meantime keeps it.
    if (isSeat(seat) && m_game.computerPlays(seat))
        m_game.cplay();
}

void TServer::timer1Timer()
{
    if (!m_game.pauseTick())
        m_timer1.stop();
}

NumberedValues TServer::moneyBySeat() const
{
    NumberedValues money{};
    for (int seat = 1; seat <= kSeatCount; ++seat)
        money[seat - 1] = m_game.state().seat(seat).money;
    return money;
}

bool TServer::seatConnected(int seat) const
{
    return m_players[seat].connected;
}

bool TServer::seatWatching(int seat) const
{
    return m_players[seat].watching;
}

void TServer::gameStarted(QByteArrayView name, QByteArrayView mode)
{
    sendToAll(msg::StartgameToAll{name.toByteArray(), mode.toByteArray()}.build());
    for (int seat = 1; seat <= kSeatCount; ++seat)
        m_players[seat].watching = false;
    emit seatsChanged();
}

void TServer::roundStarted(int round)
{
    sendToAll(msg::Startround{round, moneyBySeat()}.build());
}

void TServer::handDealt(int seat)
{
    sendToPlayer(seat, msg::Placecard{seat, m_game.state().seat(seat).hand}.build());
}

void TServer::turnPassed(int seat)
{
    sendToAll(msg::Nextplayer{seat}.build());
    m_turnclock.stop();
    humanHoldsTurn(seat);
}

void TServer::humanHoldsTurn(int seat)
{
    const GameState &state = m_game.state();
    if (m_turnlimit == 0 || state.phase != GameState::Phase::Round || seat != state.turn ||
        m_game.computerPlays(seat))
        return;
    // A clock already running goes on: leaving the seat to the computer and
    // taking it back must not wind the clock back.
    if (!m_turnclock.isActive())
        m_turnclock.start(m_turnlimit);
}

void TServer::setTurnLimit(int milliseconds)
{
    milliseconds = std::max(0, milliseconds);
    if (milliseconds == m_turnlimit)
        return;
    m_turnlimit = milliseconds;
    if (m_turnlimit == 0)
        m_turnclock.stop();
    for (int slot = 1; slot <= m_slotcount; ++slot) {
        if (m_players[slot].loggedIn)
            tellTurnLimit(slot);
    }
}

void TServer::tellTurnLimit(int slot)
{
    // Newer copies count their own turn down; older ones at least read the
    // line.
    const int seconds = m_turnlimit / 1000;
    const QString line = seconds > 0 ? kLimitSet.arg(seconds) : kLimitOff;
    sendTo(slot, msg::ChatToAll::notice(line.toUtf8() + kNoticeColour).build());
    sendTo(slot, msg::Turnlimit{seconds}.build());
}

void TServer::turnclockTimer()
{
    m_turnclock.stop();
    const GameState &state = m_game.state();
    const int seat = state.turn;
    if (m_turnlimit == 0 || state.phase != GameState::Phase::Round || !isSeat(seat) ||
        m_game.computerPlays(seat))
        return;
    // Sent as an ordinary chat line, so that copies that know nothing of the
    // limit show it too; a "|" in the name would cut it from its colour.
    QString name = m_players[seat].name;
    name.replace(u'|', u' ');
    sendToAll(msg::ChatToAll::notice(kTookTooLong.arg(name).toUtf8() + kNoticeColour).build());
    m_game.cplay();
}

void TServer::computerToPlay()
{
    arm();
}

void TServer::cardPlayed(int seat, int card, int total)
{
    sendToAll(msg::PlaycardToAll{seat, card, total}.build());
}

void TServer::cardDrawn(int seat, int position, int card)
{
    sendToPlayer(seat, msg::Newcard{seat, position, card}.build());
}

void TServer::noCard(int seat, int position)
{
    sendToPlayer(seat, msg::Nocard{seat, position}.build());
}

void TServer::roundOver(int seat, int money)
{
    m_turnclock.stop();
    sendToAll(msg::Roundover{seat, money}.build());
}

void TServer::gameWon(int seat)
{
    const tplayer &player = m_players[seat];
    // A kept seat is still its player's, though the computer won it.
    const QByteArray name = m_holds.held(seat) ? m_holds.name(seat) : player.name;
    sendToAll(msg::Winner{name.isEmpty() ? player.botname : name, seat}.build());
    emit seatsChanged();
}

void TServer::pauseStarted()
{
    m_timer1.start();
}

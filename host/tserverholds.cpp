// The seat side of the server's connections: a seated player whose
// connection drops has his seat kept for a while, and his key brings him
// back to it; the host's own closes say goodbye first.

#include "host/tserver.h"

#include "net/tsock.h"

#include <algorithm>
#include <vector>

namespace {
const QString kSeatKept = QStringLiteral("%1 lost the connection; his seat is kept for %2.");
const QString kNotBack = QStringLiteral("%1 did not come back.");
// What the host's user reads when a connection presents a key that brings
// it nowhere; counted with the other errors peers cause.
const QString kWrongSeatKey =
    QStringLiteral("A connection presented a seat key that is not valid.");

QString periodText(int seconds)
{
    if (seconds % 60 == 0) {
        const int minutes = seconds / 60;
        return minutes == 1 ? QStringLiteral("1 minute")
                            : QStringLiteral("%1 minutes").arg(minutes);
    }
    return seconds == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(seconds);
}

// A name as it stands in a line of the host's: a "|" would cut the line
// from its colour.
QString shownName(QByteArray name)
{
    return QString::fromUtf8(name.replace('|', ' '));
}
} // namespace

void TServer::setSeatHoldSeconds(int seconds)
{
    m_seatholdseconds = std::max(0, seconds);
}

void TServer::sendNotice(const QString &line)
{
    sendToAll(msg::ChatToAll::notice(line.toUtf8() + kNoticeColour).build());
}

void TServer::holdSeat(int seat)
{
    const QByteArray name = m_players[seat].name;
    m_holds.hold(seat, name, now() + qint64(m_seatholdseconds) * 1000);
    // The seat is empty as after any departure, and the computer plays it,
    // but its name, its key and the seat itself wait for him.
    clearSlot(seat);
    sendNotice(kSeatKept.arg(shownName(name), periodText(m_seatholdseconds)));
    sendToAll(msg::Away{seat, true}.build());
    if (!m_seatholdtimer.isActive())
        m_seatholdtimer.start();
    if (m_game.state().ingame() && seat == m_game.state().turn)
        arm();
    emit seatsChanged();
}

void TServer::seatholdTimer()
{
    for (const int seat : m_holds.expired(now())) {
        // A returning player is logging in there right now.
        if (m_players[seat].connected)
            continue;
        sendNotice(kNotBack.arg(shownName(m_holds.name(seat))));
        endHold(seat);
    }
    if (m_holds.empty())
        m_seatholdtimer.stop();
}

void TServer::endHold(int seat)
{
    const QByteArray name = m_holds.name(seat);
    m_holds.release(seat);
    m_keys.revoke(seat);
    sendToAll(msg::Away{seat, false}.build());
    // Then what any departure tells the others.
    sendToAll(msg::Playerdisconnected{seat, name}.build());
    emit seatsChanged();
}

void TServer::closeGame()
{
    const QByteArray goodbye = framed(msg::Goodbye{goodbyereason::closed, hostName()}.build());
    std::vector<int> closed;
    for (int slot = 1; slot <= m_slotcount; ++slot) {
        if (slot == kHostSlot || !liveSlot(slot))
            continue;
        sendFramed(slot, goodbye);
        // Nothing more goes to it, not even the others' departures.
        m_players[slot].closing = true;
        closed.push_back(slot);
    }
    for (const int slot : closed)
        disconnectsock(slot);
    // Nobody comes back to a game that is over.
    for (const int seat : m_holds.seats())
        endHold(seat);
    m_keys.revokeAll();
    m_seatholdtimer.stop();
}

// ---------------------------------------------------------------- returning

void TServer::takeReclaim(int from, const QByteArray &payload)
{
    FieldReader fields(payload);
    std::optional<msg::Reclaim> request;
    try {
        request = msg::Reclaim::read(fields);
    } catch (const EConvertError &) {
        // Answered below like any other key that is no good.
    }
    // Every key that is no good gets the same answer, whatever was wrong
    // with it, so that trying keys tells nobody which seats exist.
    if (!request || !reclaimable(from, *request)) {
        sendTo(from, msg::Sendlogininfo{from}.build());
        // Only a request that is no reclaim at all is a fault of the peer.
        // A well-formed key that is no good is an ordinary newcomer's: one
        // who came back too late or left, or, most often, one coming back
        // to a host that was started again since and knows no old keys.
        if (!request)
            reportPeerError(kWrongSeatKey);
        return;
    }
    m_keys.revoke(request->slot);
    moveConnection(from, request->slot);
}

bool TServer::reclaimable(int from, const msg::Reclaim &request) const
{
    const int slot = request.slot;
    const bool keyMatches = m_keys.matches(slot, request.key);
    const tplayer &seat = m_players[slot];
    // A kept seat nobody is returning to yet, or a player whose old
    // connection the host has not seen drop yet.
    const bool waiting = m_holds.held(slot) ? !seat.connected : seat.connected && seat.loggedIn;
    // The host's own copy runs in this program and never needs to come back.
    return keyMatches && waiting && slot != from && slot != kHostSlot && !m_players[from].returning;
}

void TServer::moveConnection(int from, int to)
{
    tplayer &source = m_players[from];
    tplayer &target = m_players[to];
    // The old connection, if any, ends without a word: its player is the one
    // coming back. His name stays for the login.
    m_receivedlist.dropConnection(target.connection);
    releaseSock(target);
    // Whatever it said before its answer came is dropped with its old
    // slot; a real client waits for the answer.
    m_receivedlist.dropConnection(source.connection);
    target.sock = std::exchange(source.sock, nullptr);
    target.connected = true;
    target.closing = false;
    target.removed = false;
    target.saidLeaving = false;
    target.returning = true;
    target.loggedIn = false;
    target.connectedAt = source.connectedAt;
    target.chatLimit = source.chatLimit;
    target.framer = source.framer;
    target.connection = ++m_lastConnection;
    if (target.sock)
        target.sock->Tag = to;
    // Nobody was told of the slot it came in on.
    clearSlot(from);
    sendTo(to, msg::Sendlogininfo{to}.build());
    if (isSeat(to))
        humanHoldsTurn(to);
}

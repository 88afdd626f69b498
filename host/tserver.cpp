#include "host/tserver.h"

#include "net/errorreport.h"
#include "net/gamemessage.h"
#include "net/peertext.h"
#include "net/tsock.h"
#include "net/tsocktexts.h"

namespace {
constexpr int kSocktimerMs = 10;
// The squatters are looked for once a second.
constexpr int kLogintimerMs = 1000;
// The name of a player who logs in without one that shows: a line from a
// nameless player would read as the host's own notice.
const QString kDefaultName = QStringLiteral("Player %1");

// A well-formed CMD_leaving of the slot's own.
bool saysLeaving(int slot, QByteArrayView message)
{
    const GameMessage parsed = GameMessage::parse(message);
    if (parsed.name != cmd::leaving)
        return false;
    FieldReader fields(parsed.payload);
    try {
        const std::optional<msg::Leaving> leaving = msg::Leaving::read(fields);
        return leaving && leaving->slot == slot;
    } catch (const EConvertError &) {
        // Reported when the queue reaches it.
        return false;
    }
}

// Chat and action lines count against the sender's chat limit.
bool isChatLine(QByteArrayView message)
{
    const auto startsWith = [message](const char *name) {
        const QByteArrayView prefix(name);
        return message.size() > prefix.size() && message.startsWith(prefix) &&
               message[prefix.size()] == '+';
    };
    return startsWith(cmd::chat) || startsWith(cmd::action);
}
} // namespace

// The order in which the command names are compared.
const TServer::Route TServer::kRoutes[] = {
    {cmd::logininfo, &TServer::take<msg::Logininfo, &TServer::receivedlogininfo>},
    {cmd::reclaim, &TServer::takeReclaim},
    {cmd::leaving, &TServer::take<msg::Leaving, &TServer::leaving>},
    {cmd::kickhim, &TServer::take<msg::Kickhim, &TServer::kickhim>},
    {cmd::botspeed, &TServer::take<msg::Botspeed, &TServer::botspeed>},
    {cmd::chat, &TServer::take<msg::ChatToHost, &TServer::chat>},
    {cmd::action, &TServer::take<msg::ActionToHost, &TServer::action>},
    {cmd::startgame, &TServer::take<msg::StartgameToHost, &TServer::startgame>},
    {cmd::justwatch, &TServer::take<msg::Justwatch, &TServer::justwatch>},
    {cmd::playcard, &TServer::take<msg::PlaycardToHost, &TServer::playcard>},
};

template <class Message, void (TServer::*handle)(int, const Message &)>
void TServer::take(int from, const QByteArray &payload)
{
    FieldReader fields(payload);
    if (const std::optional<Message> message = Message::read(fields))
        (this->*handle)(from, *message);
}

TServer::TServer(quint16 port, QObject *parent) : TServer(port, programRandom(), parent) {}

TServer::TServer(quint16 port, Random &random, QObject *parent)
    : QObject(parent), m_game(*this, random)
{
    Sock1 = new TSock(this);
    Sock1->setPortName(QString::number(port));
    Sock1->OnAccept = [this](TSock *sender) { Sock1Accept(sender); };
    Sock1->OnRead = [this](TSock *sender, int count) { Sock1Read(sender, count); };
    Sock6 = new TSock(this);
    Sock6->setListenIPv6(true);
    Sock6->OnAccept = Sock1->OnAccept;

    tempsock = new TSock(this);
    tempsock->OnDisconnect = [this](TSock *sender) { tempsockDisconnect(sender); };
    tempsock->OnInfo = [this](TSock *sender, TSocketInfo kind, const QString &text) {
        tempsockInfo(sender, kind, text);
    };

    m_socktimer.setTimerType(Qt::PreciseTimer);
    m_socktimer.setSingleShot(true);
    connect(&m_socktimer, &QTimer::timeout, this, &TServer::socktimerTimer);
    m_socktimerBeat.start();

    // The pause is counted from the bust: a coarse timer would let each
    // second drift and snap to the clock's whole seconds.
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(1000);
    connect(&m_timer1, &QTimer::timeout, this, &TServer::timer1Timer);

    m_computertimer.setSingleShot(true);
    m_computertimer.setTimerType(Qt::PreciseTimer);
    connect(&m_computertimer, &QTimer::timeout, this, &TServer::computertimerTimer);

    m_turnclock.setSingleShot(true);
    m_turnclock.setTimerType(Qt::PreciseTimer);
    connect(&m_turnclock, &QTimer::timeout, this, &TServer::turnclockTimer);

    m_logintimer.setInterval(kLogintimerMs);
    connect(&m_logintimer, &QTimer::timeout, this, &TServer::logintimerTimer);
    m_errortimer.setSingleShot(true);
    connect(&m_errortimer, &QTimer::timeout, this, &TServer::errortimerTimer);
    // The kept seats are looked at once a second, as the squatters are.
    m_seatholdtimer.setInterval(kLogintimerMs);
    connect(&m_seatholdtimer, &QTimer::timeout, this, &TServer::seatholdTimer);
    m_clockStart.start();

    FormCreate();
}

TServer::~TServer()
{
    // Players still at the table hear why their connection ends.
    if (othersConnected())
        closeGame();
    // The sockets close as they go; nothing of this server may hear it.
    for (tplayer &player : m_players) {
        if (player.sock) {
            player.sock->OnRead = nullptr;
            player.sock->OnDisconnect = nullptr;
            player.sock->OnInfo = nullptr;
        }
    }
    Sock1->OnAccept = nullptr;
    Sock1->OnRead = nullptr;
    delete Sock1;
    Sock6->OnAccept = nullptr;
    delete Sock6;
}

void TServer::FormCreate()
{
    for (int seat = 1; seat <= kSeatCount; ++seat)
        m_players[seat].botname = kComputerNames[seat - 1];
}

void TServer::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

qint64 TServer::now() const
{
    return m_clock ? m_clock() : m_clockStart.elapsed();
}

void TServer::startListening()
{
    // A bind that failed (another program held the port) leaves its handle
    // with the socket, which then refuses every new attempt: close it first.
    if (Sock1->HasHandle() && !Sock1->Listen())
        Sock1->Close();
    Sock1->setListen(true);
    startListeningIPv6();
    emit listeningStarted();
}

void TServer::startListeningIPv6()
{
    // The same port as IPv4, also when the system chose it.
    Sock6->Close();
    Sock6->setPortName(QString::number(Sock1->LocalPort()));
    try {
        Sock6->setListen(true);
    } catch (const ESockException &) {
        // No IPv6 here, or the port taken on it: IPv4 players still come.
        Sock6->Close();
    }
}

void TServer::stopListening()
{
    Sock6->Close();
    // A socket whose bind failed never listened; switching it off would be
    // refused, closing frees its handle.
    if (!Sock1->Listen()) {
        Sock1->Close();
        return;
    }
    // A later start comes back to the same port, also one the system chose.
    const quint16 port = Sock1->LocalPort();
    Sock1->setListen(false);
    if (port != 0)
        Sock1->setPortName(QString::number(port));
    emit listeningStopped();
}

bool TServer::listening() const
{
    return Sock1->Listen();
}

quint16 TServer::listeningPort() const
{
    return Sock1->LocalPort();
}

bool TServer::listeningIPv6() const
{
    return Sock6->Listen();
}

int TServer::numhumans() const
{
    int count = 0;
    for (int slot = 1; slot <= kSeatCount; ++slot)
        count += m_players[slot].connected ? 1 : 0;
    return count;
}

bool TServer::liveSlot(int slot) const
{
    return isSlot(slot) && m_players[slot].connected;
}

// ---------------------------------------------------------------- slots

int TServer::freeSlot() const
{
    // The host's slot waits for the host's own copy.
    const int first = m_ownPort != 0 ? kHostSlot + 1 : 1;
    for (int slot = first; slot <= m_slotcount; ++slot) {
        // A kept seat is taken, as long as it is kept.
        if (!m_players[slot].connected && !m_holds.held(slot))
            return slot;
    }
    const int next = std::max(m_slotcount + 1, first);
    return next <= kHighestSlot ? next : 0;
}

void TServer::reserveHostSlot(quint16 ownPort)
{
    if (!m_players[kHostSlot].connected)
        m_ownPort = ownPort;
}

void TServer::Sock1Accept(TSock *sender)
{
    TSock *newSock = nullptr;
    if (!sender->Accept(newSock) || !newSock)
        return;
    int slot = freeSlot();
    if (m_ownPort != 0 && newSock->PeerPort() == m_ownPort && newSock->PeerIsLoopback() &&
        !m_players[kHostSlot].connected) {
        m_ownPort = 0;
        slot = kHostSlot;
    }
    if (slot == 0) {
        // Slot slotcount + 1, only for as long as it takes to say so.
        newSock->Tag = m_slotcount + 1;
        newSock->OnRead = nullptr;
        newSock->Send(framed(msg::Full{}.build()));
        delete newSock;
        return;
    }
    attach(slot, newSock);
}

int TServer::attachConnection()
{
    const int slot = freeSlot();
    if (slot != 0)
        attach(slot, nullptr);
    return slot;
}

void TServer::detachConnection(int slot)
{
    if (liveSlot(slot) && !m_players[slot].sock)
        connectionEnded(slot);
}

void TServer::attach(int slot, TSock *sock)
{
    m_slotcount = std::max(m_slotcount, slot);
    tplayer &player = m_players[slot];
    releaseSock(player);
    player.connected = true;
    player.closing = false;
    player.removed = false;
    player.saidLeaving = false;
    player.returning = false;
    player.loggedIn = false;
    player.connectedAt = now();
    player.chatLimit.clear();
    player.connection = ++m_lastConnection;
    player.framer.clear();
    player.sock = sock;
    if (sock) {
        sock->Tag = slot;
        sock->OnDisconnect = tempsock->OnDisconnect;
        sock->OnInfo = tempsock->OnInfo;
        sock->OnRead = Sock1->OnRead;
    }
    if (!m_logintimer.isActive())
        m_logintimer.start();
    sendTo(slot, msg::Sendlogininfo{slot}.build());
    // A newcomer in a computer's seat holds its turn from now on.
    if (isSeat(slot))
        humanHoldsTurn(slot);
}

void TServer::logintimerTimer()
{
    const qint64 time = now();
    bool waiting = false;
    for (int slot = 1; slot <= m_slotcount; ++slot) {
        const tplayer &player = m_players[slot];
        if (!player.connected || player.loggedIn || player.closing)
            continue;
        // An ordinary departure: the others see the slot free again.
        if (time - player.connectedAt >= kLoginLimitMs)
            disconnectsock(slot);
        else
            waiting = true;
    }
    if (!waiting)
        m_logintimer.stop();
}

void TServer::releaseSock(tplayer &player)
{
    if (!player.sock)
        return;
    TSock *sock = std::exchange(player.sock, nullptr);
    sock->OnRead = nullptr;
    sock->OnDisconnect = nullptr;
    sock->OnInfo = nullptr;
    // It may be the socket whose event is running right now.
    sock->deleteLater();
}

void TServer::Sock1Read(TSock *sender, int)
{
    const QByteArray bytes = sender->Receive();
    const int slot = sender->Tag;
    if (!isSlot(slot) || m_players[slot].sock != sender)
        return;
    tplayer &player = m_players[slot];
    if (!player.connected || player.closing)
        return;
    bool overflow = false;
    player.framer.feed(QByteArrayView(bytes),
                       [&](QByteArrayView message) { queueMessage(slot, message, overflow); });
    if (overflow || player.framer.pendingBytes() > kMaxUnterminatedBytes)
        disconnectsock(slot);
}

void TServer::receive(int slot, QByteArrayView message)
{
    if (!liveSlot(slot) || m_players[slot].closing)
        return;
    bool overflow = false;
    queueMessage(slot, message, overflow);
    if (overflow) {
        if (m_players[slot].sock)
            disconnectsock(slot);
        else
            departure(slot);
    }
}

void TServer::queueMessage(int slot, QByteArrayView message, bool &overflow)
{
    const quint64 connection = m_players[slot].connection;
    if (overflow || m_receivedlist.waiting(connection) >= kMaxWaitingMessages) {
        overflow = true;
        return;
    }
    // A line over the chat limit is dropped before it takes anybody's turn.
    if (isChatLine(message) && !m_players[slot].chatLimit.allow(now()))
        return;
    if (saysLeaving(slot, message))
        m_players[slot].saidLeaving = true;
    m_receivedlist.push({slot, connection, message.toByteArray()});
    scheduleSocktimer();
}

void TServer::scheduleSocktimer()
{
    if (m_socktimer.isActive())
        return;
    const qint64 sinceBeat = m_socktimerBeat.elapsed() % kSocktimerMs;
    m_socktimer.start(int(kSocktimerMs - sinceBeat));
}

void TServer::tempsockDisconnect(TSock *sender)
{
    const int slot = sender->Tag;
    if (liveSlot(slot) && m_players[slot].sock == sender)
        sender->Close();
}

void TServer::tempsockInfo(TSock *sender, TSocketInfo, const QString &text)
{
    if (text != TSockText::SocketClosed)
        return;
    const int slot = sender->Tag;
    // A socket the slot no longer holds speaks for nobody.
    if (isSlot(slot) && m_players[slot].sock == sender)
        connectionEnded(slot);
}

void TServer::connectionEnded(int slot)
{
    const tplayer &player = m_players[slot];
    // A returning player's connection that ends before its login: nobody
    // was told of it, and the seat stays kept for its time, unless the host
    // closed it (removed, or too slow to log in).
    if (player.returning && !player.loggedIn && m_holds.held(slot)) {
        const bool removed = player.removed;
        clearSlot(slot);
        if (removed)
            endHold(slot);
        return;
    }
    if (keepsSeat(slot))
        holdSeat(slot);
    else
        departure(slot);
}

bool TServer::keepsSeat(int slot) const
{
    const tplayer &player = m_players[slot];
    // The host's own copy runs in this program: its end is the game's end.
    return m_seatholdseconds > 0 && isSeat(slot) && slot != kHostSlot && player.connected &&
           player.loggedIn && !player.removed && !player.saidLeaving;
}

void TServer::departure(int slot)
{
    tplayer &player = m_players[slot];
    if (player.connected) {
        const QByteArray leaving = framed(msg::Playerdisconnected{slot, player.name}.build());
        for (int other = 1; other <= m_slotcount; ++other) {
            if (other != slot)
                sendFramed(other, leaving);
        }
    }
    m_keys.revoke(slot);
    clearSlot(slot);
    // The seat's bags and cards stay: the computer plays on for it.
    if (m_game.state().ingame() && slot == m_game.state().turn && slot != kHostSlot)
        arm();
    emit seatsChanged();
}

void TServer::clearSlot(int slot)
{
    tplayer &player = m_players[slot];
    player.connected = false;
    player.closing = false;
    player.removed = false;
    player.saidLeaving = false;
    player.returning = false;
    player.loggedIn = false;
    player.name.clear();
    player.watching = false;
    player.framer.clear();
    m_receivedlist.dropConnection(player.connection);
    releaseSock(player);
}

void TServer::disconnectsock(int slot)
{
    if (!liveSlot(slot))
        return;
    // Whatever the reason, the host closes it on purpose: no seat is kept.
    m_players[slot].removed = true;
    if (TSock *sock = m_players[slot].sock)
        sock->Close();
    else
        departure(slot);
}

void TServer::closeLater(int slot)
{
    tplayer &player = m_players[slot];
    if (player.closing)
        return;
    player.closing = true;
    const quint64 connection = player.connection;
    // Not now: this may be the middle of a message to everybody, and the
    // departure notice must not overtake it.
    QMetaObject::invokeMethod(
        this,
        [this, slot, connection] {
            if (liveSlot(slot) && m_players[slot].connection == connection)
                disconnectsock(slot);
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------- sending

void TServer::sendTo(int slot, const QByteArray &message)
{
    if (liveSlot(slot))
        sendFramed(slot, framed(message));
}

void TServer::sendToPlayer(int slot, const QByteArray &message)
{
    // A connection that has not logged in sees its seat's hand at its login.
    if (m_players[slot].loggedIn)
        sendTo(slot, message);
}

void TServer::sendFramed(int slot, const QByteArray &framedMessage)
{
    tplayer &player = m_players[slot];
    if (!player.connected || player.closing || !player.sock || !player.sock->HasHandle())
        return;
    // Timers send too, outside any message's handling: a refusal must not
    // leave the event loop, nor keep the others from their copy.
    try {
        player.sock->Send(framedMessage);
    } catch (const ESockException &e) {
        reportPeerError(e.text);
        closeLater(slot);
        return;
    }
    // A peer that stops reading would have us hold its bytes for ever.
    if (player.sock->PendingSendBytes() > kMaxUnsentBytes)
        closeLater(slot);
}

void TServer::sendToAll(const QByteArray &message)
{
    const QByteArray framedMessage = framed(message);
    for (int slot = 1; slot <= m_slotcount; ++slot)
        sendFramed(slot, framedMessage);
}

// ---------------------------------------------------------------- queue

void TServer::socktimerTimer()
{
    std::optional<QueuedMessage> message = m_receivedlist.take();
    if (!m_receivedlist.isEmpty())
        scheduleSocktimer();
    if (!message)
        return;
    const tplayer &player = m_players[message->slot];
    if (!player.connected || player.closing || player.connection != message->connection)
        return;
    dispatch(message->slot, message->text);
}

void TServer::dispatch(int from, const QByteArray &text)
{
    const GameMessage message = GameMessage::parse(text);
    if (!message.hasName())
        return;
    // Until it has logged in a connection is nobody: it may not talk, play
    // or change anything, only say who it is or come back to a kept seat.
    // Once it is somebody, it has no other seat to come back to.
    const bool beforeLogin = message.name == cmd::logininfo || message.name == cmd::reclaim;
    if (m_players[from].loggedIn ? message.name == cmd::reclaim : !beforeLogin)
        return;
    for (const Route &route : kRoutes) {
        if (message.name != route.name)
            continue;
        try {
            (this->*route.handler)(from, message.payload);
        } catch (const EConvertError &e) {
            reportPeerError(e.text);
        } catch (const ESockException &e) {
            reportPeerError(e.text);
        }
        return;
    }
}

void TServer::reportPeerError(const QString &text)
{
    const qint64 time = now();
    if (const std::optional<QString> shown = m_errors.report(text, time)) {
        reportError(*shown);
        return;
    }
    if (!m_errortimer.isActive())
        m_errortimer.start(int(std::max<qint64>(0, m_errors.quietUntil() - time)));
}

void TServer::errortimerTimer()
{
    const qint64 time = now();
    if (const std::optional<QString> shown = m_errors.flush(time))
        reportError(*shown);
    else if (m_errors.holding())
        m_errortimer.start(int(std::max<qint64>(0, m_errors.quietUntil() - time)));
}

// ---------------------------------------------------------------- handlers

void TServer::receivedlogininfo(int from, const msg::Logininfo &request)
{
    // A connection logs in once; a second login would announce a second
    // player who is not there.
    if (request.slot != from || m_players[from].loggedIn)
        return;
    const int slot = from;
    tplayer &newcomer = m_players[slot];
    const bool backFromHold = newcomer.returning && m_holds.held(slot);
    // A returning player takes his seat under the name it was kept for
    // (or, replacing his own connection, the name it has).
    if (backFromHold)
        newcomer.name = m_holds.name(slot);
    else if (!newcomer.returning)
        newcomer.name = peertext::cleanName(request.name);
    if (newcomer.name.isEmpty())
        newcomer.name = kDefaultName.arg(slot).toUtf8();
    newcomer.connected = true;
    newcomer.loggedIn = true;
    newcomer.returning = false;

    sendToAll(msg::Newplayerinfo{slot, newcomer.name}.build());
    if (backFromHold) {
        m_holds.release(slot);
        sendToAll(msg::Away{slot, false}.build());
    }
    for (int other = 1; other <= m_slotcount; ++other) {
        if (other == slot)
            continue;
        if (m_holds.held(other)) {
            sendTo(slot, msg::Existingplayers{other, m_holds.name(other)}.build());
            sendTo(slot, msg::Away{other, true}.build());
        } else if (m_players[other].connected) {
            sendTo(slot, msg::Existingplayers{other, m_players[other].name}.build());
        }
    }
    if (m_turnlimit > 0)
        tellTurnLimit(slot);
    if (request.version != kVersionText) {
        sendTo(kHostSlot, msg::Havewrongversion{newcomer.name}.build());
        sendTo(slot, msg::Wrongversion{}.build());
    }
    const GameState &game = m_game.state();
    if (game.ingame()) {
        sendTo(
            slot,
            msg::Gamestats{game.round, game.total, game.topcard, game.turn, moneyBySeat()}.build());
        if (isSeat(slot) && game.seat(slot).money > 0)
            sendTo(slot, msg::Placecard{slot, game.seat(slot).hand}.build());
    }
    sendTo(slot, msg::Seatkey{m_keys.issue(slot)}.build());
    emit seatsChanged();
}

void TServer::kickhim(int from, const msg::Kickhim &request)
{
    if (request.slot != from || from != kHostSlot)
        return;
    const int target = request.target;
    // Removing a player whose seat is kept ends the wait for him.
    if (m_holds.held(target) && !m_players[target].connected) {
        endHold(target);
        return;
    }
    if (!liveSlot(target))
        return;
    sendTo(target, msg::Goodbye{goodbyereason::removed, hostName()}.build());
    disconnectsock(target);
}

void TServer::leaving(int from, const msg::Leaving &request)
{
    if (request.slot == from)
        disconnectsock(from);
}

void TServer::botspeed(int from, const msg::Botspeed &request)
{
    if (request.slot != from || from != kHostSlot)
        return;
    if (request.ms < kMinBotDelay || request.ms > kMaxBotDelay)
        return;
    m_botdelay = request.ms;
}

void TServer::chat(int from, const msg::ChatToHost &request)
{
    if (request.slot == from)
        sendToAll(msg::ChatToAll{m_players[from].name, peertext::cleanChatText(request.chatText)}
                      .build());
}

void TServer::action(int from, const msg::ActionToHost &request)
{
    if (request.slot == from)
        sendToAll(msg::ActionToAll{m_players[from].name, peertext::cleanChatText(request.chatText)}
                      .build());
}

void TServer::justwatch(int from, const msg::Justwatch &request)
{
    const int seat = request.seat;
    // A player speaks for his own seat; the host's user for any.
    if (seat != from && from != kHostSlot)
        return;
    if (!isSeat(seat) || !m_players[seat].connected)
        return;
    if (request.flag == watchflag::playAgain) {
        m_players[seat].watching = false;
        sendToAll(msg::Justwatching{seat, watchflag::playAgain}.build());
        humanHoldsTurn(seat);
    } else if (request.flag == watchflag::justWatch && m_game.state().ingame()) {
        m_players[seat].watching = true;
        sendToAll(msg::Justwatching{seat, watchflag::justWatch}.build());
        if (seat == m_game.state().turn)
            arm();
    }
    emit seatsChanged();
}

bool TServer::othersConnected() const
{
    for (int slot = 1; slot <= m_slotcount; ++slot) {
        if (slot != kHostSlot && m_players[slot].connected)
            return true;
    }
    return false;
}

#include "client/session/clientdispatcher.h"

#include "client/model/handstate.h"
#include "client/model/tablestate.h"

#include "net/errorreport.h"
#include "net/gamemessage.h"
#include "net/peertext.h"

namespace {
// Text fields are UTF-8 on the wire; what a peer wrote stays on one line.
QString textOf(const QByteArray &field)
{
    return peertext::withoutControls(QString::fromUtf8(field));
}
} // namespace

struct ClientDispatcher::Row
{
    const char *command;
    void (ClientDispatcher::*take)(FieldReader &fields);
};

// The order in which names are compared is the game's own; a name matches at
// most one row, so the order only shows how the table reads.
const ClientDispatcher::Row ClientDispatcher::kRows[] = {
    {cmd::sendlogininfo, &ClientDispatcher::take<msg::Sendlogininfo>},
    {cmd::chat, &ClientDispatcher::take<msg::ChatToAll>},
    {cmd::action, &ClientDispatcher::take<msg::ActionToAll>},
    {cmd::newplayerinfo, &ClientDispatcher::take<msg::Newplayerinfo>},
    {cmd::havewrongversion, &ClientDispatcher::take<msg::Havewrongversion>},
    {cmd::wrongversion, &ClientDispatcher::take<msg::Wrongversion>},
    {cmd::existingplayers, &ClientDispatcher::take<msg::Existingplayers>},
    {cmd::playerdisconnected, &ClientDispatcher::take<msg::Playerdisconnected>},
    {cmd::startgame, &ClientDispatcher::take<msg::StartgameToAll>},
    {cmd::nextplayer, &ClientDispatcher::take<msg::Nextplayer>},
    {cmd::winner, &ClientDispatcher::take<msg::Winner>},
    {cmd::full, &ClientDispatcher::take<msg::Full>},
    {cmd::justwatching, &ClientDispatcher::take<msg::Justwatching>},
    {cmd::placecard, &ClientDispatcher::take<msg::Placecard>},
    {cmd::playcard, &ClientDispatcher::take<msg::PlaycardToAll>},
    {cmd::startround, &ClientDispatcher::take<msg::Startround>},
    {cmd::newcard, &ClientDispatcher::take<msg::Newcard>},
    {cmd::nocard, &ClientDispatcher::take<msg::Nocard>},
    {cmd::roundover, &ClientDispatcher::take<msg::Roundover>},
    {cmd::gamestats, &ClientDispatcher::take<msg::Gamestats>},
    {cmd::turnlimit, &ClientDispatcher::take<msg::Turnlimit>},
    {cmd::seatkey, &ClientDispatcher::take<msg::Seatkey>},
    {cmd::away, &ClientDispatcher::take<msg::Away>},
    {cmd::goodbye, &ClientDispatcher::take<msg::Goodbye>},
};

void ClientDispatcher::dispatch(QByteArrayView message)
{
    const GameMessage parsed = GameMessage::parse(message);
    if (!parsed.hasName())
        return;
    for (const Row &row : kRows) {
        if (parsed.name != row.command)
            continue;
        FieldReader fields(parsed.payload);
        try {
            (this->*row.take)(fields);
        } catch (const EConvertError &error) {
            reportError(error.text);
        }
        return;
    }
}

template <class Message> void ClientDispatcher::take(FieldReader &fields)
{
    if (const std::optional<Message> message = Message::read(fields))
        announce(*message);
}

void ClientDispatcher::announce(const msg::Sendlogininfo &m)
{
    emit sendloginfo(m.slot);
}

void ClientDispatcher::announce(const msg::ChatToAll &m)
{
    // The game's " chats: " is built here around the player's name, which is
    // isolated so that right-to-left letters in it cannot reorder them.
    if (m.fromPlayer)
        emit chatrecieved(peertext::isolated(textOf(m.name)) + QLatin1String(msg::kChatsSeparator) +
                          textOf(m.chatText));
    else
        emit chatrecieved(textOf(m.chatText));
}

void ClientDispatcher::announce(const msg::ActionToAll &m)
{
    // An action is the player's name and his words, nothing of the game's;
    // where a name with a blank ends cannot be told, so none is marked.
    emit chatrecieved(textOf(m.line()));
}

void ClientDispatcher::announce(const msg::Newplayerinfo &m)
{
    emit newplayerinfo(m.slot, textOf(m.name));
}

void ClientDispatcher::announce(const msg::Existingplayers &m)
{
    emit newplayerinfo(m.slot, textOf(m.name));
}

void ClientDispatcher::announce(const msg::Havewrongversion &m)
{
    emit havewrongversion(textOf(m.name));
}

void ClientDispatcher::announce(const msg::Wrongversion &)
{
    emit wrongversion();
}

void ClientDispatcher::announce(const msg::Playerdisconnected &m)
{
    emit playerdisconnected(m.slot, textOf(m.name));
}

void ClientDispatcher::announce(const msg::StartgameToAll &m)
{
    emit startthegame(textOf(m.name), textOf(m.mode));
}

void ClientDispatcher::announce(const msg::Nextplayer &m)
{
    emit getnextplayer(m.seat);
}

void ClientDispatcher::announce(const msg::Turnlimit &m)
{
    emit turnlimit(m.seconds);
}

void ClientDispatcher::announce(const msg::Seatkey &m)
{
    emit seatkey(m.key);
}

void ClientDispatcher::announce(const msg::Away &m)
{
    emit away(m.seat, m.away);
}

void ClientDispatcher::announce(const msg::Goodbye &m)
{
    emit goodbye(m.reason == goodbyereason::removed ? Goodbye::Removed : Goodbye::Closed,
                 textOf(m.name));
}

void ClientDispatcher::announce(const msg::Winner &m)
{
    emit winner(textOf(m.name), m.seat);
}

void ClientDispatcher::announce(const msg::Full &)
{
    emit gamefull();
}

void ClientDispatcher::announce(const msg::Justwatching &m)
{
    emit justwatching(m.seat, textOf(m.flag));
}

void ClientDispatcher::announce(const msg::Placecard &m)
{
    emit placecard(m.seat, m.cards);
}

void ClientDispatcher::announce(const msg::PlaycardToAll &m)
{
    emit playcard(m.seat, m.card, m.total);
}

void ClientDispatcher::announce(const msg::Startround &m)
{
    emit startround(m.round, m.money);
}

void ClientDispatcher::announce(const msg::Newcard &m)
{
    emit newcard(m.seat, m.position, m.card);
}

void ClientDispatcher::announce(const msg::Nocard &m)
{
    emit nocard(m.seat, m.position);
}

void ClientDispatcher::announce(const msg::Roundover &m)
{
    emit roundover(m.seat, m.money);
}

void ClientDispatcher::announce(const msg::Gamestats &m)
{
    emit gamestats(m.round, m.total, m.topcard, m.turn, m.money);
}

void ClientDispatcher::feed(TableState &table)
{
    connect(this, &ClientDispatcher::newplayerinfo, &table, &TableState::newplayerinfo);
    connect(this, &ClientDispatcher::playerdisconnected, &table, &TableState::playerdisconnected);
    connect(this, &ClientDispatcher::justwatching, &table, [&table](int seat, const QString &flag) {
        table.justwatching(seat, flag == QLatin1String(watchflag::justWatch));
    });
    connect(this, &ClientDispatcher::startthegame, &table, &TableState::startthegame);
    connect(this, &ClientDispatcher::startround, &table, &TableState::startround);
    connect(this, &ClientDispatcher::getnextplayer, &table, &TableState::getnextplayer);
    connect(this, &ClientDispatcher::turnlimit, &table, &TableState::turnlimit);
    connect(this, &ClientDispatcher::away, &table, &TableState::away);
    connect(this, &ClientDispatcher::gamestats, &table, &TableState::gamestats);
    connect(this, &ClientDispatcher::playcard, &table, &TableState::playcard);
    connect(this, &ClientDispatcher::roundover, &table, &TableState::roundover);
    connect(this, &ClientDispatcher::winner, &table, &TableState::winner);
    connect(this, &ClientDispatcher::nocard, &table, &TableState::nocard);
}

void ClientDispatcher::feed(HandState &hand)
{
    connect(this, &ClientDispatcher::placecard, &hand, &HandState::placecard);
    connect(this, &ClientDispatcher::newcard, &hand, &HandState::newcard);
}

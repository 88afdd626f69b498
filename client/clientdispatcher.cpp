#include "client/clientdispatcher.h"

#include "net/errorreport.h"
#include "net/gamemessage.h"
#include "net/messages.h"
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
    void (ClientDispatcher::*read)(FieldReader &fields);
};

// The order in which names are compared is the game's own; a name matches at
// most one row, so the order only shows how the table reads.
const ClientDispatcher::Row ClientDispatcher::kRows[] = {
    {cmd::sendlogininfo, &ClientDispatcher::readSendlogininfo},
    {cmd::chat, &ClientDispatcher::readChat},
    {cmd::action, &ClientDispatcher::readChat},
    {cmd::newplayerinfo, &ClientDispatcher::readNewplayerinfo},
    {cmd::havewrongversion, &ClientDispatcher::readHavewrongversion},
    {cmd::wrongversion, &ClientDispatcher::readWrongversion},
    {cmd::existingplayers, &ClientDispatcher::readNewplayerinfo},
    {cmd::playerdisconnected, &ClientDispatcher::readPlayerdisconnected},
    {cmd::startgame, &ClientDispatcher::readStartgame},
    {cmd::nextplayer, &ClientDispatcher::readNextplayer},
    {cmd::winner, &ClientDispatcher::readWinner},
    {cmd::full, &ClientDispatcher::readFull},
    {cmd::justwatching, &ClientDispatcher::readJustwatching},
    {cmd::placecard, &ClientDispatcher::readPlacecard},
    {cmd::playcard, &ClientDispatcher::readPlaycard},
    {cmd::startround, &ClientDispatcher::readStartround},
    {cmd::newcard, &ClientDispatcher::readNewcard},
    {cmd::nocard, &ClientDispatcher::readNocard},
    {cmd::roundover, &ClientDispatcher::readRoundover},
    {cmd::gamestats, &ClientDispatcher::readGamestats},
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
            (this->*row.read)(fields);
        } catch (const EConvertError &error) {
            reportError(error.text);
        }
        return;
    }
}

void ClientDispatcher::readSendlogininfo(FieldReader &fields)
{
    emit sendloginfo(fields.number());
}

void ClientDispatcher::readChat(FieldReader &fields)
{
    emit chatrecieved(textOf(fields.rest()));
}

void ClientDispatcher::readNewplayerinfo(FieldReader &fields)
{
    const int slot = fields.number();
    emit newplayerinfo(slot, textOf(fields.rest()));
}

void ClientDispatcher::readHavewrongversion(FieldReader &fields)
{
    emit havewrongversion(textOf(fields.rest()));
}

void ClientDispatcher::readWrongversion(FieldReader &)
{
    emit wrongversion();
}

void ClientDispatcher::readPlayerdisconnected(FieldReader &fields)
{
    const int slot = fields.number();
    emit playerdisconnected(slot, textOf(fields.rest()));
}

void ClientDispatcher::readStartgame(FieldReader &fields)
{
    const QString name = textOf(fields.text());
    emit startthegame(name, textOf(fields.text()));
}

void ClientDispatcher::readNextplayer(FieldReader &fields)
{
    emit getnextplayer(fields.number());
}

void ClientDispatcher::readWinner(FieldReader &fields)
{
    const QString name = textOf(fields.text());
    emit winner(name, fields.number());
}

void ClientDispatcher::readFull(FieldReader &)
{
    emit gamefull();
}

void ClientDispatcher::readJustwatching(FieldReader &fields)
{
    const int seat = fields.number();
    emit justwatching(seat, textOf(fields.rest()));
}

void ClientDispatcher::readPlacecard(FieldReader &fields)
{
    const int seat = fields.number();
    emit placecard(seat, fields.numberedList());
}

void ClientDispatcher::readPlaycard(FieldReader &fields)
{
    const int seat = fields.number();
    const int card = fields.number();
    emit playcard(seat, card, fields.number());
}

void ClientDispatcher::readStartround(FieldReader &fields)
{
    const int round = fields.number();
    emit startround(round, fields.numberedList());
}

void ClientDispatcher::readNewcard(FieldReader &fields)
{
    const int seat = fields.number();
    const int position = fields.number();
    emit newcard(seat, position, fields.number());
}

void ClientDispatcher::readNocard(FieldReader &fields)
{
    const int seat = fields.number();
    emit nocard(seat, fields.number());
}

void ClientDispatcher::readRoundover(FieldReader &fields)
{
    const int seat = fields.number();
    emit roundover(seat, fields.number());
}

void ClientDispatcher::readGamestats(FieldReader &fields)
{
    const int round = fields.number();
    const int total = fields.number();
    const int topcard = fields.number();
    const int turn = fields.number();
    emit gamestats(round, total, topcard, turn, fields.numberedList());
}

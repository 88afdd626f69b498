#include "net/messages.h"

#include "net/framer.h"

namespace {

// Builds one message: the command name, then fields each preceded by "+".
class MessageBuilder
{
public:
    explicit MessageBuilder(const char *name) : m_text(name) {}

    MessageBuilder &number(int value)
    {
        m_text += '+';
        m_text += QByteArray::number(value);
        return *this;
    }
    MessageBuilder &text(QByteArrayView value)
    {
        m_text += '+';
        return raw(value);
    }
    // Bytes appended without a separator in front (" chats: ", a trailing "+").
    MessageBuilder &raw(QByteArrayView value)
    {
        // A terminator inside a field would end the message there.
        if (!value.contains(kMessageTerminator)) {
            m_text += value;
            return *this;
        }
        for (const char c : value) {
            if (c != kMessageTerminator)
                m_text += c;
        }
        return *this;
    }
    MessageBuilder &numberedList(const NumberedValues &values)
    {
        for (int n = 1; n <= 4; ++n)
            number(n).number(values[n - 1]);
        return *this;
    }
    // Closes the last field with a "+", as several layouts do.
    QByteArray closed() { return m_text + '+'; }
    QByteArray open() { return m_text; }

private:
    QByteArray m_text;
};

} // namespace

QByteArray framed(QByteArray message)
{
    message += kMessageTerminator;
    return message;
}

namespace msg {

QByteArray logininfo(int slot, QByteArrayView version, QByteArrayView name)
{
    return MessageBuilder(cmd::logininfo).number(slot).text(version).text(name).open();
}

QByteArray chatToHost(int slot, QByteArrayView chatText)
{
    return MessageBuilder(cmd::chat).number(slot).text(chatText).open();
}

QByteArray actionToHost(int slot, QByteArrayView chatText)
{
    return MessageBuilder(cmd::action).number(slot).text(chatText).open();
}

QByteArray playcardToHost(int seat, int position)
{
    return MessageBuilder(cmd::playcard).number(seat).number(position).closed();
}

QByteArray startgameToHost(QByteArrayView name, QByteArrayView mode)
{
    return MessageBuilder(cmd::startgame).text(name).text(mode).closed();
}

QByteArray justwatch(int seat, QByteArrayView flag)
{
    return MessageBuilder(cmd::justwatch).number(seat).text(flag).open();
}

QByteArray kickhim(int slot, int target)
{
    return MessageBuilder(cmd::kickhim).number(slot).number(target).closed();
}

QByteArray botspeed(int slot, int ms)
{
    return MessageBuilder(cmd::botspeed).number(slot).number(ms).closed();
}

QByteArray sendlogininfo(int slot)
{
    return MessageBuilder(cmd::sendlogininfo).number(slot).open();
}

QByteArray full()
{
    return MessageBuilder(cmd::full).closed();
}

QByteArray newplayerinfo(int slot, QByteArrayView name)
{
    return MessageBuilder(cmd::newplayerinfo).number(slot).text(name).open();
}

QByteArray existingplayers(int slot, QByteArrayView name)
{
    return MessageBuilder(cmd::existingplayers).number(slot).text(name).open();
}

QByteArray havewrongversion(QByteArrayView name)
{
    return MessageBuilder(cmd::havewrongversion).text(name).open();
}

QByteArray wrongversion()
{
    return MessageBuilder(cmd::wrongversion).closed();
}

QByteArray gamestats(int round, int total, int topcard, int turn, const NumberedValues &money)
{
    return MessageBuilder(cmd::gamestats)
        .number(round)
        .number(total)
        .number(topcard)
        .number(turn)
        .numberedList(money)
        .open();
}

QByteArray placecard(int seat, const NumberedValues &cards)
{
    return MessageBuilder(cmd::placecard).number(seat).numberedList(cards).open();
}

QByteArray playerdisconnected(int slot, QByteArrayView name)
{
    return MessageBuilder(cmd::playerdisconnected).number(slot).text(name).open();
}

QByteArray justwatching(int seat, QByteArrayView flag)
{
    return MessageBuilder(cmd::justwatching).number(seat).text(flag).open();
}

QByteArray chatToAll(QByteArrayView name, QByteArrayView chatText)
{
    return MessageBuilder(cmd::chat).text(name).raw(" chats: ").raw(chatText).open();
}

QByteArray actionToAll(QByteArrayView name, QByteArrayView chatText)
{
    return MessageBuilder(cmd::action).text(name).raw(" ").raw(chatText).open();
}

QByteArray startgameToAll(QByteArrayView name, QByteArrayView mode)
{
    return MessageBuilder(cmd::startgame).text(name).text(mode).closed();
}

QByteArray startround(int round, const NumberedValues &money)
{
    return MessageBuilder(cmd::startround).number(round).numberedList(money).open();
}

QByteArray nextplayer(int seat)
{
    return MessageBuilder(cmd::nextplayer).number(seat).closed();
}

QByteArray playcardToAll(int seat, int card, int total)
{
    return MessageBuilder(cmd::playcard).number(seat).number(card).number(total).closed();
}

QByteArray newcard(int seat, int position, int card)
{
    return MessageBuilder(cmd::newcard).number(seat).number(position).number(card).closed();
}

QByteArray nocard(int seat, int position)
{
    return MessageBuilder(cmd::nocard).number(seat).number(position).closed();
}

QByteArray roundover(int seat, int money)
{
    return MessageBuilder(cmd::roundover).number(seat).number(money).closed();
}

QByteArray winner(QByteArrayView name, int seat)
{
    return MessageBuilder(cmd::winner).text(name).number(seat).closed();
}

} // namespace msg

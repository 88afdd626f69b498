#include "net/messages.h"

#include "net/framer.h"
#include "net/peertext.h"

#include <algorithm>

namespace {

using msg::kActionSeparator;
using msg::kChatsSeparator;

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

bool within(int value, int lowest, int highest)
{
    return value >= lowest && value <= highest;
}

bool isTotal(int total)
{
    return within(total, 0, kBustTotal);
}

// A card or no card (0): an empty pile, an empty hand position.
bool isCardOrNone(int card)
{
    return card == 0 || isCard(card);
}

bool isMoney(int money)
{
    return within(money, 0, kStartMoney);
}

bool allOf(const NumberedValues &values, bool (*valid)(int))
{
    for (const int value : values) {
        if (!valid(value))
            return false;
    }
    return true;
}

template <class Message> std::optional<Message> validIf(bool valid, Message message)
{
    if (!valid)
        return std::nullopt;
    return message;
}

// Splits a chat line at the first separator. Without one it is no player's
// line but the host's own word, kept whole. Each part is held to what a host
// of ours sends (a name, a chat text, or a whole line for the host's own
// word), so a host that sends more cannot make the reader keep it.
template <class Message>
std::optional<Message> splitLine(FieldReader &fields, const char *separator)
{
    const QByteArray line = fields.rest();
    const qsizetype at = line.indexOf(separator);
    if (at < 0)
        return Message{{}, peertext::cleanChatText(line, peertext::kMaxLineChars), false};
    return Message{peertext::cleanName(line.first(at)),
                   peertext::cleanChatText(line.sliced(at + qstrlen(separator)))};
}

template <class Message> QByteArray joinLine(const Message &m, const char *separator)
{
    return m.fromPlayer ? m.name + separator + m.chatText : m.chatText;
}

} // namespace

bool isSeatKey(QByteArrayView text)
{
    if (text.size() != kSeatKeyLength)
        return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

QByteArray framed(QByteArray message)
{
    message += kMessageTerminator;
    return message;
}

namespace msg {

// ---- From a client to the host ----

QByteArray Logininfo::build() const
{
    return MessageBuilder(command).number(slot).text(version).text(name).open();
}

std::optional<Logininfo> Logininfo::read(FieldReader &fields)
{
    Logininfo m;
    m.slot = fields.number();
    m.version = fields.text();
    m.name = peertext::cleanName(fields.rest());
    return validIf(isSlot(m.slot), m);
}

QByteArray ChatToHost::build() const
{
    return MessageBuilder(command).number(slot).text(chatText).open();
}

std::optional<ChatToHost> ChatToHost::read(FieldReader &fields)
{
    ChatToHost m;
    m.slot = fields.number();
    m.chatText = fields.rest();
    return validIf(isSlot(m.slot), m);
}

QByteArray ActionToHost::build() const
{
    return MessageBuilder(command).number(slot).text(chatText).open();
}

std::optional<ActionToHost> ActionToHost::read(FieldReader &fields)
{
    ActionToHost m;
    m.slot = fields.number();
    m.chatText = fields.rest();
    return validIf(isSlot(m.slot), m);
}

QByteArray PlaycardToHost::build() const
{
    return MessageBuilder(command).number(seat).number(position).closed();
}

std::optional<PlaycardToHost> PlaycardToHost::read(FieldReader &fields)
{
    PlaycardToHost m;
    m.seat = fields.number();
    m.position = fields.number();
    return validIf(isSeat(m.seat) && isHandPosition(m.position), m);
}

QByteArray StartgameToHost::build() const
{
    return MessageBuilder(command).text(name).text(mode).closed();
}

std::optional<StartgameToHost> StartgameToHost::read(FieldReader &fields)
{
    StartgameToHost m;
    m.name = peertext::cleanName(fields.text());
    m.mode = fields.text();
    return m;
}

QByteArray Justwatch::build() const
{
    return MessageBuilder(command).number(seat).text(flag).open();
}

std::optional<Justwatch> Justwatch::read(FieldReader &fields)
{
    Justwatch m;
    m.seat = fields.number();
    m.flag = fields.text();
    return validIf(isSeat(m.seat), m);
}

QByteArray Kickhim::build() const
{
    return MessageBuilder(command).number(slot).number(target).closed();
}

std::optional<Kickhim> Kickhim::read(FieldReader &fields)
{
    Kickhim m;
    m.slot = fields.number();
    m.target = fields.number();
    return validIf(isSlot(m.slot) && isSlot(m.target), m);
}

QByteArray Botspeed::build() const
{
    return MessageBuilder(command).number(slot).number(ms).closed();
}

std::optional<Botspeed> Botspeed::read(FieldReader &fields)
{
    Botspeed m;
    m.slot = fields.number();
    m.ms = fields.number();
    return validIf(isSlot(m.slot), m);
}

QByteArray Reclaim::build() const
{
    return MessageBuilder(command).number(slot).text(key).closed();
}

std::optional<Reclaim> Reclaim::read(FieldReader &fields)
{
    Reclaim m;
    m.slot = fields.number();
    m.key = fields.text();
    return validIf(isSlot(m.slot) && isSeatKey(m.key), m);
}

QByteArray Leaving::build() const
{
    return MessageBuilder(command).number(slot).closed();
}

std::optional<Leaving> Leaving::read(FieldReader &fields)
{
    Leaving m;
    m.slot = fields.number();
    return validIf(isSlot(m.slot), m);
}

// ---- From the host to clients ----

QByteArray Sendlogininfo::build() const
{
    return MessageBuilder(command).number(slot).open();
}

std::optional<Sendlogininfo> Sendlogininfo::read(FieldReader &fields)
{
    Sendlogininfo m;
    m.slot = fields.number();
    return validIf(isSlot(m.slot), m);
}

QByteArray Full::build() const
{
    return MessageBuilder(command).closed();
}

std::optional<Full> Full::read(FieldReader &)
{
    return Full{};
}

QByteArray Newplayerinfo::build() const
{
    return MessageBuilder(command).number(slot).text(name).open();
}

std::optional<Newplayerinfo> Newplayerinfo::read(FieldReader &fields)
{
    Newplayerinfo m;
    m.slot = fields.number();
    m.name = peertext::cleanName(fields.rest());
    return validIf(isSlot(m.slot), m);
}

QByteArray Existingplayers::build() const
{
    return MessageBuilder(command).number(slot).text(name).open();
}

std::optional<Existingplayers> Existingplayers::read(FieldReader &fields)
{
    Existingplayers m;
    m.slot = fields.number();
    m.name = peertext::cleanName(fields.rest());
    return validIf(isSlot(m.slot), m);
}

QByteArray Havewrongversion::build() const
{
    return MessageBuilder(command).text(name).open();
}

std::optional<Havewrongversion> Havewrongversion::read(FieldReader &fields)
{
    return Havewrongversion{peertext::cleanName(fields.rest())};
}

QByteArray Wrongversion::build() const
{
    return MessageBuilder(command).closed();
}

std::optional<Wrongversion> Wrongversion::read(FieldReader &)
{
    return Wrongversion{};
}

QByteArray Gamestats::build() const
{
    return MessageBuilder(command)
        .number(round)
        .number(total)
        .number(topcard)
        .number(turn)
        .numberedList(money)
        .open();
}

std::optional<Gamestats> Gamestats::read(FieldReader &fields)
{
    Gamestats m;
    m.round = fields.number();
    m.total = fields.number();
    m.topcard = fields.number();
    m.turn = fields.number();
    m.money = fields.numberedList();
    return validIf(m.round >= 1 && isTotal(m.total) && isCardOrNone(m.topcard) &&
                       (m.turn == 0 || isSeat(m.turn)) && allOf(m.money, isMoney),
                   m);
}

QByteArray Placecard::build() const
{
    return MessageBuilder(command).number(seat).numberedList(cards).open();
}

std::optional<Placecard> Placecard::read(FieldReader &fields)
{
    Placecard m;
    m.seat = fields.number();
    m.cards = fields.numberedList();
    return validIf(isSeat(m.seat) && allOf(m.cards, isCardOrNone), m);
}

QByteArray Playerdisconnected::build() const
{
    return MessageBuilder(command).number(slot).text(name).open();
}

std::optional<Playerdisconnected> Playerdisconnected::read(FieldReader &fields)
{
    Playerdisconnected m;
    m.slot = fields.number();
    m.name = peertext::cleanName(fields.rest());
    return validIf(isSlot(m.slot), m);
}

QByteArray Justwatching::build() const
{
    return MessageBuilder(command).number(seat).text(flag).open();
}

std::optional<Justwatching> Justwatching::read(FieldReader &fields)
{
    Justwatching m;
    m.seat = fields.number();
    m.flag = fields.rest();
    return validIf(isSeat(m.seat), m);
}

QByteArray ChatToAll::line() const
{
    return joinLine(*this, kChatsSeparator);
}

QByteArray ChatToAll::build() const
{
    if (!fromPlayer)
        return MessageBuilder(command).text(chatText).open();
    return MessageBuilder(command).text(name).raw(kChatsSeparator).raw(chatText).open();
}

std::optional<ChatToAll> ChatToAll::read(FieldReader &fields)
{
    return splitLine<ChatToAll>(fields, kChatsSeparator);
}

QByteArray ActionToAll::line() const
{
    return joinLine(*this, kActionSeparator);
}

QByteArray ActionToAll::build() const
{
    if (!fromPlayer)
        return MessageBuilder(command).text(chatText).open();
    return MessageBuilder(command).text(name).raw(kActionSeparator).raw(chatText).open();
}

std::optional<ActionToAll> ActionToAll::read(FieldReader &fields)
{
    return splitLine<ActionToAll>(fields, kActionSeparator);
}

QByteArray StartgameToAll::build() const
{
    return MessageBuilder(command).text(name).text(mode).closed();
}

std::optional<StartgameToAll> StartgameToAll::read(FieldReader &fields)
{
    StartgameToAll m;
    m.name = peertext::cleanName(fields.text());
    m.mode = fields.text();
    return m;
}

QByteArray Startround::build() const
{
    return MessageBuilder(command).number(round).numberedList(money).open();
}

std::optional<Startround> Startround::read(FieldReader &fields)
{
    Startround m;
    m.round = fields.number();
    m.money = fields.numberedList();
    return validIf(m.round >= 1 && allOf(m.money, isMoney), m);
}

QByteArray Turnlimit::build() const
{
    return MessageBuilder(command).number(seconds).closed();
}

std::optional<Turnlimit> Turnlimit::read(FieldReader &fields)
{
    Turnlimit m;
    m.seconds = fields.number();
    // A day is far beyond any limit the host offers.
    return validIf(m.seconds >= 0 && m.seconds <= 24 * 60 * 60, m);
}

QByteArray Seatkey::build() const
{
    return MessageBuilder(command).text(key).closed();
}

std::optional<Seatkey> Seatkey::read(FieldReader &fields)
{
    Seatkey m;
    m.key = fields.text();
    return validIf(isSeatKey(m.key), m);
}

namespace {
constexpr char kAwayFlag[] = "1";
constexpr char kBackFlag[] = "0";
} // namespace

QByteArray Away::build() const
{
    return MessageBuilder(command).number(seat).text(away ? kAwayFlag : kBackFlag).closed();
}

std::optional<Away> Away::read(FieldReader &fields)
{
    Away m;
    m.seat = fields.number();
    const QByteArray flag = fields.text();
    m.away = flag == kAwayFlag;
    return validIf(isSeat(m.seat) && (m.away || flag == kBackFlag), m);
}

QByteArray Goodbye::build() const
{
    return MessageBuilder(command).text(reason).text(name).closed();
}

std::optional<Goodbye> Goodbye::read(FieldReader &fields)
{
    Goodbye m;
    m.reason = fields.text();
    QByteArray name = fields.rest();
    if (name.endsWith('+'))
        name.chop(1);
    m.name = peertext::cleanName(name);
    return validIf(m.reason == goodbyereason::closed || m.reason == goodbyereason::removed, m);
}

QByteArray Nextplayer::build() const
{
    return MessageBuilder(command).number(seat).closed();
}

std::optional<Nextplayer> Nextplayer::read(FieldReader &fields)
{
    Nextplayer m;
    m.seat = fields.number();
    return validIf(isSeat(m.seat), m);
}

QByteArray PlaycardToAll::build() const
{
    return MessageBuilder(command).number(seat).number(card).number(total).closed();
}

std::optional<PlaycardToAll> PlaycardToAll::read(FieldReader &fields)
{
    PlaycardToAll m;
    m.seat = fields.number();
    m.card = fields.number();
    m.total = fields.number();
    return validIf(isSeat(m.seat) && isCard(m.card) && isTotal(m.total), m);
}

QByteArray Newcard::build() const
{
    return MessageBuilder(command).number(seat).number(position).number(card).closed();
}

std::optional<Newcard> Newcard::read(FieldReader &fields)
{
    Newcard m;
    m.seat = fields.number();
    m.position = fields.number();
    m.card = fields.number();
    return validIf(isSeat(m.seat) && isHandPosition(m.position) && isCardOrNone(m.card), m);
}

QByteArray Nocard::build() const
{
    return MessageBuilder(command).number(seat).number(position).closed();
}

std::optional<Nocard> Nocard::read(FieldReader &fields)
{
    Nocard m;
    m.seat = fields.number();
    m.position = fields.number();
    return validIf(isSeat(m.seat) && isHandPosition(m.position), m);
}

QByteArray Roundover::build() const
{
    return MessageBuilder(command).number(seat).number(money).closed();
}

std::optional<Roundover> Roundover::read(FieldReader &fields)
{
    Roundover m;
    m.seat = fields.number();
    m.money = fields.number();
    return validIf(isSeat(m.seat) && isMoney(m.money), m);
}

QByteArray Winner::build() const
{
    return MessageBuilder(command).text(name).number(seat).closed();
}

std::optional<Winner> Winner::read(FieldReader &fields)
{
    Winner m;
    m.name = peertext::cleanName(fields.text());
    m.seat = fields.number();
    return validIf(isSeat(m.seat), m);
}

} // namespace msg

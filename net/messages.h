#pragma once

#include "net/gamemessage.h"
#include "net/gamerules.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

// The game's messages. Each kind is one small struct: its fields as values,
// build() for the text that goes on the wire (WITHOUT the terminator: pass it
// through framed() right before Send), and read() for the payload that comes
// off it. The host and the clients use the same structs, so a layout is
// written once.
//
// Text fields are UTF-8 bytes (callers convert with QString::toUtf8()) and
// travel unescaped. A text that stands before another field (the name in
// startgame and winner) is cut by the reader at its first "+"; a text that is
// the last field arrives whole. Any 0xFF byte in a text field is dropped when
// building, so a field can never end its message early or smuggle in a
// second one. Numbers are written in plain decimal.
//
// read() takes the payload after the command name. A number field that does
// not convert throws EConvertError (the message then ends with an error box,
// as every number on the wire does). A message whose numbers convert but
// name no seat, slot, hand position, card, total or bags the game has gives
// no value: it cannot come from a host or client of this game, and acting on
// it would only draw things that do not exist. Names are read as the game
// shows them (peertext::cleanName): unprintable characters become blanks or
// go, and long names are cut, not refused; chat and action lines are held to
// what a host of ours relays (peertext::cleanChatText).

// The version text both sides compare at login; also the about window's
// caption.
inline constexpr char kVersionText[] = "1.0.3";

// The command names.
namespace cmd {
// From a client to the host.
inline constexpr char logininfo[] = "CMD_logininfo";
inline constexpr char justwatch[] = "CMD_justwatch";
inline constexpr char kickhim[] = "CMD_kickhim";
inline constexpr char botspeed[] = "CMD_botspeed";
// Newer than the first hosts, which drop names they do not know.
inline constexpr char reclaim[] = "CMD_reclaim";
inline constexpr char leaving[] = "CMD_leaving";
// Both directions, with a different payload in each.
inline constexpr char chat[] = "CMD_chat";
inline constexpr char action[] = "CMD_action";
inline constexpr char playcard[] = "CMD_playcard";
inline constexpr char startgame[] = "CMD_startgame";
// From the host to clients.
inline constexpr char sendlogininfo[] = "CMD_sendlogininfo";
inline constexpr char full[] = "CMD_full";
inline constexpr char newplayerinfo[] = "CMD_newplayerinfo";
inline constexpr char existingplayers[] = "CMD_existingplayers";
inline constexpr char havewrongversion[] = "CMD_havewrongversion";
inline constexpr char wrongversion[] = "CMD_wrongversion";
inline constexpr char gamestats[] = "CMD_gamestats";
inline constexpr char placecard[] = "CMD_placecard";
inline constexpr char playerdisconnected[] = "CMD_playerdisconnected";
inline constexpr char justwatching[] = "CMD_justwatching";
inline constexpr char startround[] = "CMD_startround";
inline constexpr char nextplayer[] = "CMD_nextplayer";
inline constexpr char newcard[] = "CMD_newcard";
inline constexpr char nocard[] = "CMD_nocard";
inline constexpr char roundover[] = "CMD_roundover";
inline constexpr char winner[] = "CMD_winner";
// Newer than the first clients, which drop names they do not know.
inline constexpr char turnlimit[] = "CMD_turnlimit";
inline constexpr char seatkey[] = "CMD_seatkey";
inline constexpr char away[] = "CMD_away";
inline constexpr char goodbye[] = "CMD_goodbye";
} // namespace cmd

// The flag of CMD_justwatch / CMD_justwatching.
namespace watchflag {
inline constexpr char justWatch[] = "1"; // the computer plays for the seat
inline constexpr char playAgain[] = "2"; // the player takes the seat back
} // namespace watchflag

// Why the host closes a connection on purpose (CMD_goodbye).
namespace goodbyereason {
inline constexpr char closed[] = "closed";   // the host ends the game
inline constexpr char removed[] = "removed"; // the host's player removed this one
} // namespace goodbyereason

// A seat key: 128 bits as 32 lowercase hex digits. The host gives one to
// each connection at its login; presented once, it brings a player whose
// connection dropped back to his seat.
inline constexpr int kSeatKeyLength = 32;
bool isSeatKey(QByteArrayView text);

// The message with its terminator appended, ready for one Send.
QByteArray framed(QByteArray message);

// A money list by seat 1..4, or a hand by position 1..4.
using NumberedValues = std::array<int, 4>;

namespace msg {

// ---- From a client to the host ----

// "CMD_logininfo+" slot "+" version "+" name
struct Logininfo
{
    static constexpr const char *command = cmd::logininfo;
    int slot = 0;
    QByteArray version;
    QByteArray name;

    QByteArray build() const;
    static std::optional<Logininfo> read(FieldReader &fields);
    bool operator==(const Logininfo &) const = default;
};

// "CMD_chat+" slot "+" chat text      (chat text: words "|" colour)
struct ChatToHost
{
    static constexpr const char *command = cmd::chat;
    int slot = 0;
    QByteArray chatText;

    QByteArray build() const;
    static std::optional<ChatToHost> read(FieldReader &fields);
    bool operator==(const ChatToHost &) const = default;
};

// "CMD_action+" slot "+" chat text
struct ActionToHost
{
    static constexpr const char *command = cmd::action;
    int slot = 0;
    QByteArray chatText;

    QByteArray build() const;
    static std::optional<ActionToHost> read(FieldReader &fields);
    bool operator==(const ActionToHost &) const = default;
};

// "CMD_playcard+" seat "+" position "+"
struct PlaycardToHost
{
    static constexpr const char *command = cmd::playcard;
    int seat = 0;
    int position = 0;

    QByteArray build() const;
    static std::optional<PlaycardToHost> read(FieldReader &fields);
    bool operator==(const PlaycardToHost &) const = default;
};

// "CMD_startgame+" name "+" mode "+"      (mode: gamemode::)
struct StartgameToHost
{
    static constexpr const char *command = cmd::startgame;
    QByteArray name;
    QByteArray mode;

    QByteArray build() const;
    static std::optional<StartgameToHost> read(FieldReader &fields);
    bool operator==(const StartgameToHost &) const = default;
};

// "CMD_justwatch+" seat "+" flag      (flag: watchflag::)
struct Justwatch
{
    static constexpr const char *command = cmd::justwatch;
    int seat = 0;
    QByteArray flag;

    QByteArray build() const;
    static std::optional<Justwatch> read(FieldReader &fields);
    bool operator==(const Justwatch &) const = default;
};

// "CMD_kickhim+" slot "+" target "+"
struct Kickhim
{
    static constexpr const char *command = cmd::kickhim;
    int slot = 0;
    int target = 0;

    QByteArray build() const;
    static std::optional<Kickhim> read(FieldReader &fields);
    bool operator==(const Kickhim &) const = default;
};

// "CMD_botspeed+" slot "+" ms "+"      (the host decides which delays it takes)
struct Botspeed
{
    static constexpr const char *command = cmd::botspeed;
    int slot = 0;
    int ms = 0;

    QByteArray build() const;
    static std::optional<Botspeed> read(FieldReader &fields);
    bool operator==(const Botspeed &) const = default;
};

// "CMD_reclaim+" slot "+" key "+"      The answer to CMD_sendlogininfo of a
// client that holds a key for this host, before its login: the host answers
// with CMD_sendlogininfo again, naming the slot to log in with.
struct Reclaim
{
    static constexpr const char *command = cmd::reclaim;
    int slot = 0;
    QByteArray key;

    QByteArray build() const;
    static std::optional<Reclaim> read(FieldReader &fields);
    bool operator==(const Reclaim &) const = default;
};

// "CMD_leaving+" slot "+"      The player leaves on purpose: his seat is not
// kept for him.
struct Leaving
{
    static constexpr const char *command = cmd::leaving;
    int slot = 0;

    QByteArray build() const;
    static std::optional<Leaving> read(FieldReader &fields);
    bool operator==(const Leaving &) const = default;
};

// ---- From the host to clients ----

// "CMD_sendlogininfo+" slot
struct Sendlogininfo
{
    static constexpr const char *command = cmd::sendlogininfo;
    int slot = 0;

    QByteArray build() const;
    static std::optional<Sendlogininfo> read(FieldReader &fields);
    bool operator==(const Sendlogininfo &) const = default;
};

// "CMD_full+"
struct Full
{
    static constexpr const char *command = cmd::full;

    QByteArray build() const;
    static std::optional<Full> read(FieldReader &fields);
    bool operator==(const Full &) const = default;
};

// "CMD_newplayerinfo+" slot "+" name
struct Newplayerinfo
{
    static constexpr const char *command = cmd::newplayerinfo;
    int slot = 0;
    QByteArray name;

    QByteArray build() const;
    static std::optional<Newplayerinfo> read(FieldReader &fields);
    bool operator==(const Newplayerinfo &) const = default;
};

// "CMD_existingplayers+" slot "+" name
struct Existingplayers
{
    static constexpr const char *command = cmd::existingplayers;
    int slot = 0;
    QByteArray name;

    QByteArray build() const;
    static std::optional<Existingplayers> read(FieldReader &fields);
    bool operator==(const Existingplayers &) const = default;
};

// "CMD_havewrongversion+" name
struct Havewrongversion
{
    static constexpr const char *command = cmd::havewrongversion;
    QByteArray name;

    QByteArray build() const;
    static std::optional<Havewrongversion> read(FieldReader &fields);
    bool operator==(const Havewrongversion &) const = default;
};

// "CMD_wrongversion+"
struct Wrongversion
{
    static constexpr const char *command = cmd::wrongversion;

    QByteArray build() const;
    static std::optional<Wrongversion> read(FieldReader &fields);
    bool operator==(const Wrongversion &) const = default;
};

// "CMD_gamestats+" round "+" total "+" topcard "+" turn "+1+" m1 "+2+" m2 "+3+" m3 "+4+" m4
struct Gamestats
{
    static constexpr const char *command = cmd::gamestats;
    int round = 0;
    int total = 0;
    int topcard = 0; // 0 before the round's first card
    int turn = 0;    // 0 before the host's first game
    NumberedValues money{};

    QByteArray build() const;
    static std::optional<Gamestats> read(FieldReader &fields);
    bool operator==(const Gamestats &) const = default;
};

// "CMD_placecard+" seat "+1+" c1 "+2+" c2 "+3+" c3 "+4+" c4      (0: no card)
struct Placecard
{
    static constexpr const char *command = cmd::placecard;
    int seat = 0;
    Hand cards{};

    QByteArray build() const;
    static std::optional<Placecard> read(FieldReader &fields);
    bool operator==(const Placecard &) const = default;
};

// "CMD_playerdisconnected+" slot "+" name
struct Playerdisconnected
{
    static constexpr const char *command = cmd::playerdisconnected;
    int slot = 0;
    QByteArray name;

    QByteArray build() const;
    static std::optional<Playerdisconnected> read(FieldReader &fields);
    bool operator==(const Playerdisconnected &) const = default;
};

// "CMD_justwatching+" seat "+" flag      (flag: watchflag::)
struct Justwatching
{
    static constexpr const char *command = cmd::justwatching;
    int seat = 0;
    QByteArray flag;

    QByteArray build() const;
    static std::optional<Justwatching> read(FieldReader &fields);
    bool operator==(const Justwatching &) const = default;
};

// What stands between the name and the chat text in a relayed line.
inline constexpr char kChatsSeparator[] = " chats: ";
inline constexpr char kActionSeparator[] = " ";

// "CMD_chat+" name " chats: " chat text      (chat text as the host received it)
// The client shows the whole line(); the reader splits it at the first
// " chats: ". A line without it is the host's own word (a notice() of ours,
// or whatever another host says) and is shown whole, with no name.
struct ChatToAll
{
    static constexpr const char *command = cmd::chat;
    QByteArray name;
    QByteArray chatText;
    bool fromPlayer = true;

    // A line of the host's own: "CMD_chat+" chat text.
    static ChatToAll notice(QByteArray chatText) { return {{}, std::move(chatText), false}; }

    QByteArray line() const;
    QByteArray build() const;
    static std::optional<ChatToAll> read(FieldReader &fields);
    bool operator==(const ChatToAll &) const = default;
};

// "CMD_action+" name " " chat text      (split at the first blank; a line
// without one is shown whole, as for a chat line)
struct ActionToAll
{
    static constexpr const char *command = cmd::action;
    QByteArray name;
    QByteArray chatText;
    bool fromPlayer = true;

    QByteArray line() const;
    QByteArray build() const;
    static std::optional<ActionToAll> read(FieldReader &fields);
    bool operator==(const ActionToAll &) const = default;
};

// "CMD_startgame+" name "+" mode "+"      (mode as the host settled it)
struct StartgameToAll
{
    static constexpr const char *command = cmd::startgame;
    QByteArray name;
    QByteArray mode;

    QByteArray build() const;
    static std::optional<StartgameToAll> read(FieldReader &fields);
    bool operator==(const StartgameToAll &) const = default;
};

// "CMD_startround+" round "+1+" m1 "+2+" m2 "+3+" m3 "+4+" m4
struct Startround
{
    static constexpr const char *command = cmd::startround;
    int round = 0;
    NumberedValues money{};

    QByteArray build() const;
    static std::optional<Startround> read(FieldReader &fields);
    bool operator==(const Startround &) const = default;
};

// "CMD_turnlimit+" seconds "+"      (0: no limit) The host's turn time
// limit, sent to all when it changes and to each newcomer, so that every
// player's own copy can warn him before the computer plays for him.
struct Turnlimit
{
    static constexpr const char *command = cmd::turnlimit;
    int seconds = 0;

    QByteArray build() const;
    static std::optional<Turnlimit> read(FieldReader &fields);
    bool operator==(const Turnlimit &) const = default;
};

// "CMD_seatkey+" key "+"      The key of this connection's slot, to present
// in CMD_reclaim should the connection drop.
struct Seatkey
{
    static constexpr const char *command = cmd::seatkey;
    QByteArray key;

    QByteArray build() const;
    static std::optional<Seatkey> read(FieldReader &fields);
    bool operator==(const Seatkey &) const = default;
};

// "CMD_away+" seat "+" flag "+"      (flag "1": the seat's player lost his
// connection and the seat is kept for him; "0": that has ended, he is back
// or, when CMD_playerdisconnected follows, gone)
struct Away
{
    static constexpr const char *command = cmd::away;
    int seat = 0;
    bool away = false;

    QByteArray build() const;
    static std::optional<Away> read(FieldReader &fields);
    bool operator==(const Away &) const = default;
};

// "CMD_goodbye+" reason "+" name "+"      (reason: goodbyereason::, name:
// the host's player) Right before the host closes the connection on purpose.
// The name is the last field: it may hold "+", and only the closing "+" is
// taken off.
struct Goodbye
{
    static constexpr const char *command = cmd::goodbye;
    QByteArray reason;
    QByteArray name;

    QByteArray build() const;
    static std::optional<Goodbye> read(FieldReader &fields);
    bool operator==(const Goodbye &) const = default;
};

// "CMD_nextplayer+" seat "+"
struct Nextplayer
{
    static constexpr const char *command = cmd::nextplayer;
    int seat = 0;

    QByteArray build() const;
    static std::optional<Nextplayer> read(FieldReader &fields);
    bool operator==(const Nextplayer &) const = default;
};

// "CMD_playcard+" seat "+" card "+" total "+"      (total 99: busted)
struct PlaycardToAll
{
    static constexpr const char *command = cmd::playcard;
    int seat = 0;
    int card = 0;
    int total = 0;

    QByteArray build() const;
    static std::optional<PlaycardToAll> read(FieldReader &fields);
    bool operator==(const PlaycardToAll &) const = default;
};

// "CMD_newcard+" seat "+" position "+" card "+"      (card 0 after a bust)
struct Newcard
{
    static constexpr const char *command = cmd::newcard;
    int seat = 0;
    int position = 0;
    int card = 0;

    QByteArray build() const;
    static std::optional<Newcard> read(FieldReader &fields);
    bool operator==(const Newcard &) const = default;
};

// "CMD_nocard+" seat "+" position "+"
struct Nocard
{
    static constexpr const char *command = cmd::nocard;
    int seat = 0;
    int position = 0;

    QByteArray build() const;
    static std::optional<Nocard> read(FieldReader &fields);
    bool operator==(const Nocard &) const = default;
};

// "CMD_roundover+" seat "+" money "+"
struct Roundover
{
    static constexpr const char *command = cmd::roundover;
    int seat = 0;
    int money = 0;

    QByteArray build() const;
    static std::optional<Roundover> read(FieldReader &fields);
    bool operator==(const Roundover &) const = default;
};

// "CMD_winner+" name "+" seat "+"
struct Winner
{
    static constexpr const char *command = cmd::winner;
    QByteArray name;
    int seat = 0;

    QByteArray build() const;
    static std::optional<Winner> read(FieldReader &fields);
    bool operator==(const Winner &) const = default;
};

} // namespace msg

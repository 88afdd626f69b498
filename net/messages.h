#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>

// Building game messages. One function per message kind; each returns the
// message text exactly as it goes on the wire, WITHOUT the terminator: pass
// it through framed() right before Send. Text fields are UTF-8 bytes (callers
// convert with QString::toUtf8()). Numbers are written in plain decimal.
//
// Text fields travel unescaped. A text that stands before another field (the
// name in startgame and winner) is cut by the reader at its first "+"; a text
// that is the last field arrives whole. Any 0xFF byte in a text field is
// dropped when building, so a field can never end its message early or
// smuggle in a second one.

// The version text both sides compare at login; also the about window's
// caption.
inline constexpr char kVersionText[] = "1.0.3";

// The command names: compare a GameMessage's name against these.
namespace cmd {
// From a client to the host.
inline constexpr char logininfo[] = "CMD_logininfo";
inline constexpr char justwatch[] = "CMD_justwatch";
inline constexpr char kickhim[] = "CMD_kickhim";
inline constexpr char botspeed[] = "CMD_botspeed";
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
} // namespace cmd

// The flag of CMD_justwatch / CMD_justwatching.
namespace watchflag {
inline constexpr char justWatch[] = "1"; // the computer plays for the seat
inline constexpr char playAgain[] = "2"; // the player takes the seat back
} // namespace watchflag

// The mode of CMD_startgame.
namespace gamemode {
inline constexpr char withComputers[] = "b"; // computer players fill free seats
inline constexpr char humansOnly[] = "h";
} // namespace gamemode

// The message with its terminator appended, ready for one Send.
QByteArray framed(QByteArray message);

// A money list by seat 1..4, or a hand by position 1..4.
using NumberedValues = std::array<int, 4>;

namespace msg {

// ---- From a client to the host ----

// "CMD_logininfo+" slot "+" version "+" name
QByteArray logininfo(int slot, QByteArrayView version, QByteArrayView name);
// "CMD_chat+" slot "+" chatText      (chatText: words "|" colour)
QByteArray chatToHost(int slot, QByteArrayView chatText);
// "CMD_action+" slot "+" chatText
QByteArray actionToHost(int slot, QByteArrayView chatText);
// "CMD_playcard+" seat "+" position "+"
QByteArray playcardToHost(int seat, int position);
// "CMD_startgame+" name "+" mode "+"      (mode: gamemode::)
QByteArray startgameToHost(QByteArrayView name, QByteArrayView mode);
// "CMD_justwatch+" seat "+" flag      (flag: watchflag::)
QByteArray justwatch(int seat, QByteArrayView flag);
// "CMD_kickhim+" slot "+" target "+"
QByteArray kickhim(int slot, int target);
// "CMD_botspeed+" slot "+" ms "+"
QByteArray botspeed(int slot, int ms);

// ---- From the host to clients ----

// "CMD_sendlogininfo+" slot
QByteArray sendlogininfo(int slot);
// "CMD_full+"
QByteArray full();
// "CMD_newplayerinfo+" slot "+" name
QByteArray newplayerinfo(int slot, QByteArrayView name);
// "CMD_existingplayers+" slot "+" name
QByteArray existingplayers(int slot, QByteArrayView name);
// "CMD_havewrongversion+" name
QByteArray havewrongversion(QByteArrayView name);
// "CMD_wrongversion+"
QByteArray wrongversion();
// "CMD_gamestats+" round "+" total "+" topcard "+" turn "+1+" m1 "+2+" m2 "+3+" m3 "+4+" m4
QByteArray gamestats(int round, int total, int topcard, int turn, const NumberedValues &money);
// "CMD_placecard+" seat "+1+" c1 "+2+" c2 "+3+" c3 "+4+" c4
QByteArray placecard(int seat, const NumberedValues &cards);
// "CMD_playerdisconnected+" slot "+" name
QByteArray playerdisconnected(int slot, QByteArrayView name);
// "CMD_justwatching+" seat "+" flag      (flag: watchflag::)
QByteArray justwatching(int seat, QByteArrayView flag);
// "CMD_chat+" name " chats: " chatText      (chatText as the host received it)
QByteArray chatToAll(QByteArrayView name, QByteArrayView chatText);
// "CMD_action+" name " " chatText
QByteArray actionToAll(QByteArrayView name, QByteArrayView chatText);
// "CMD_startgame+" name "+" mode "+"
QByteArray startgameToAll(QByteArrayView name, QByteArrayView mode);
// "CMD_startround+" round "+1+" m1 "+2+" m2 "+3+" m3 "+4+" m4
QByteArray startround(int round, const NumberedValues &money);
// "CMD_nextplayer+" seat "+"
QByteArray nextplayer(int seat);
// "CMD_playcard+" seat "+" card "+" total "+"      (total 99: busted)
QByteArray playcardToAll(int seat, int card, int total);
// "CMD_newcard+" seat "+" position "+" card "+"      (card 0 after a bust)
QByteArray newcard(int seat, int position, int card);
// "CMD_nocard+" seat "+" position "+"
QByteArray nocard(int seat, int position);
// "CMD_roundover+" seat "+" money "+"
QByteArray roundover(int seat, int money);
// "CMD_winner+" name "+" seat "+"
QByteArray winner(QByteArrayView name, int seat);

} // namespace msg

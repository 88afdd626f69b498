#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Names and chat text come from other players. Before they are relayed,
// stored or shown, control characters become blanks, so that a line from a
// player can never break into extra lines that look like the game's own
// notices; and they are cut to a length no honest player reaches, so that
// laying out a line stays cheap whatever a peer sends.
namespace peertext {

// Our name box and our chat input box allow no more than this.
inline constexpr qsizetype kMaxNameChars = 64;
inline constexpr qsizetype kMaxChatChars = 8000;
// The colour after the "|" of a chat text: a colour name or a number.
inline constexpr qsizetype kMaxColourChars = 32;

// Replaces every control character (below 0x20, DEL, the C1 controls, and
// the Unicode line and paragraph breaks) with a space.
QString withoutControls(const QString &text);

// Cuts `text` after `maxChars` characters (as our input boxes count them),
// never between the two halves of a character.
QString cut(const QString &text, qsizetype maxChars);

// A player's name as the host keeps and relays it (UTF-8 in and out).
QByteArray cleanName(QByteArrayView utf8);

// A chat or action text: words "|" colour. The words are cut to our input
// box's length and the colour to the longest colour text, so an honest line
// keeps its colour.
QByteArray cleanChatText(QByteArrayView utf8);

} // namespace peertext

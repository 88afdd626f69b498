#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Names and chat text come from other players. Before they are relayed,
// stored or shown, every character that is not a printable one becomes a
// blank, so that a line from a player can never break into extra lines that
// look like the game's own notices; and they are cut to a length no honest
// player reaches, so that laying out a line stays cheap whatever a peer
// sends.
namespace peertext {

// Our name box and our chat input box allow no more than this.
inline constexpr qsizetype kMaxNameChars = 64;
inline constexpr qsizetype kMaxChatChars = 8000;
// The colour after the "|" of a chat text: a colour name or a number.
inline constexpr qsizetype kMaxColourChars = 32;
// A whole chat or action line as a host of ours relays it: a name, the
// words between them (" chats: ") and a chat text.
inline constexpr qsizetype kMaxLineChars = kMaxNameChars + 16 + kMaxChatChars;

// The game's own marks around a name in a line it builds: the name is laid
// out on its own, so right-to-left letters in it cannot reorder the words
// around it.
inline constexpr char16_t kIsolateStart = 0x2068; // first strong isolate
inline constexpr char16_t kIsolateEnd = 0x2069;   // pop directional isolate

// Whether a code point is shown as a character of its own. Controls, format
// characters (direction marks and overrides, zero widths), noncharacters,
// unassigned and private code points, the object replacement character, a
// lone surrogate and the Unicode line and paragraph separators are not: Qt
// breaks a line at some of them, and the others change how the text around
// them reads without being seen.
bool isPrintable(char32_t codePoint);

// Replaces every code point that is not printable with one space.
QString withoutControls(const QString &text);
// The same for a line the game has built from cleaned parts: the isolate
// marks it put around names stay.
QString withoutControlsButIsolates(const QString &text);

// Cuts `text` after `maxChars` characters (as our input boxes count them),
// never between the two halves of a character.
QString cut(const QString &text, qsizetype maxChars);

// A player's name as the game keeps and shows it: direction controls and
// zero-width characters are dropped (they would reverse the words after the
// name, or make it invisible or a look-alike of another), every other
// unprintable character and the "|" that ends a chat line's words become
// blanks, and it is cut to our name box's length. A name with nothing
// visible left is empty, and is then treated as any empty name.
QString cleanNameText(const QString &name);
// The same for a name on the wire (UTF-8 in and out).
QByteArray cleanName(QByteArrayView utf8);

// A chat or action text: words "|" colour. The words are cut to our input
// box's length and the colour to the longest colour text, so an honest line
// keeps its colour. `maxWords` is larger for a whole line a host relays.
QByteArray cleanChatText(QByteArrayView utf8, qsizetype maxWords = kMaxChatChars);

// `name` between the isolate marks, for a line the game builds around it.
QString isolated(const QString &name);

} // namespace peertext

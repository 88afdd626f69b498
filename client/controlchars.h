#pragma once

#include <QString>

// Text from another player (a name, a chat line) is shown on one line and
// only as what it says: control characters, DEL and the Unicode line and
// paragraph separators become spaces, so that such text can never start a
// line of its own in the chat log and pass for one of the game's notices.
inline QString withoutControlChars(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

// Finds a web address, mail address or similar link in chat text, the way
// the log's mouse handlers see it: the word under the pointer (its
// characters and the blanks after them) is searched for a known prefix and
// stripped of trailing punctuation.
struct FoundLink
{
    int start = 0; // index of the first character in the text searched
    int length = 0;
    QString text; // as written, letter case kept
};

// `position` is the index of the character nearest the pointer; at or past
// the end of `text` there is no link.
std::optional<FoundLink> findLinkAt(QStringView text, int position);

// The address to hand to the desktop for a found link, or an empty URL
// when we will not open it: a "file:" link names a file on this machine
// and in the chat it comes from somebody else.
QUrl urlToOpen(const QString &linkText);

#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest show texts, and lists of them, as words in its messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

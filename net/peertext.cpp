#include "net/peertext.h"

namespace peertext {
namespace {

bool isNoncharacter(char32_t u)
{
    return (u >= 0xFDD0 && u <= 0xFDEF) || (u & 0xFFFE) == 0xFFFE;
}

// Marks that steer the direction of the text or take no width: invisible in
// a name, yet able to reverse what follows it or to hide it.
bool isInvisibleInName(char32_t u)
{
    return u == 0x061C || (u >= 0x200B && u <= 0x200F) || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2060 && u <= 0x206F) || u == 0xFEFF;
}

// Calls `take` with each code point of `text` and the UTF-16 units that
// hold it; a lone surrogate is a code point of its own.
template <class Take> void forEachCodePoint(const QString &text, Take take)
{
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        take(pair ? QChar::surrogateToUcs4(c, text.at(i + 1)) : char32_t(c.unicode()),
             QStringView(text).sliced(i, units));
        i += units;
    }
}

bool isBlank(const QString &text)
{
    for (const QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

} // namespace

bool isPrintable(char32_t u)
{
    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF) || isNoncharacter(u) || u == 0xFFFC)
        return false;
    switch (QChar::category(u)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    default:
        return true;
    }
}

namespace {
template <class Keep> QString blankingAllBut(const QString &text, Keep keep)
{
    // Most text has nothing to change and is shared, not copied.
    bool clean = true;
    forEachCodePoint(text, [&](char32_t u, QStringView) { clean = clean && keep(u); });
    if (clean)
        return text;
    QString out;
    out.reserve(text.size());
    forEachCodePoint(text, [&](char32_t u, QStringView units) {
        if (keep(u))
            out += units;
        else
            out += u' ';
    });
    return out;
}
} // namespace

QString withoutControls(const QString &text)
{
    return blankingAllBut(text, isPrintable);
}

QString withoutControlsButIsolates(const QString &text)
{
    return blankingAllBut(
        text, [](char32_t u) { return isPrintable(u) || u == kIsolateStart || u == kIsolateEnd; });
}

QString cut(const QString &text, qsizetype maxChars)
{
    if (text.size() <= maxChars)
        return text;
    qsizetype end = maxChars;
    if (end > 0 && text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}

QString cleanNameText(const QString &name)
{
    QString out;
    out.reserve(name.size());
    forEachCodePoint(name, [&](char32_t u, QStringView units) {
        if (isInvisibleInName(u))
            return;
        if (!isPrintable(u) || u == U'|')
            out += u' ';
        else
            out += units;
    });
    out = cut(out, kMaxNameChars);
    return isBlank(out) ? QString() : out;
}

QByteArray cleanName(QByteArrayView utf8)
{
    return cleanNameText(QString::fromUtf8(utf8)).toUtf8();
}

QByteArray cleanChatText(QByteArrayView utf8, qsizetype maxWords)
{
    const QString text = withoutControls(QString::fromUtf8(utf8));
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0)
        return cut(text, maxWords).toUtf8();
    return (cut(text.left(bar), maxWords) + u'|' + cut(text.sliced(bar + 1), kMaxColourChars))
        .toUtf8();
}

QString isolated(const QString &name)
{
    return QChar(kIsolateStart) + name + QChar(kIsolateEnd);
}

} // namespace peertext

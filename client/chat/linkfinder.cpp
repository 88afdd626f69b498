#include "client/chat/linkfinder.h"

#include <array>

namespace {

// Tried in this order; the first one found anywhere in the word decides.
// "https://" goes before "http://" so that a secure address is a link
// whether or not it holds "www.".
constexpr std::array<QLatin1StringView, 9> kPrefixes{
    QLatin1StringView("https://"), QLatin1StringView("http://"),   QLatin1StringView("ftp://"),
    QLatin1StringView("file://"),  QLatin1StringView("gopher://"), QLatin1StringView("telnet://"),
    QLatin1StringView("news:"),    QLatin1StringView("mailto:"),   QLatin1StringView("www."),
};

bool isBlank(QChar c)
{
    // Line and paragraph separators are how the log stores a line end.
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator ||
           c == QChar::LineSeparator;
}

// A link ends in a slash, a digit or a letter; anything else at its end is
// the sentence around it.
bool mayEndLink(QChar c)
{
    const char16_t u = c.toLower().unicode();
    return (u >= u'/' && u <= u'9') || (u >= u'a' && u <= u'z');
}

} // namespace

std::optional<FoundLink> findLinkAt(QStringView text, int position)
{
    if (position < 0 || position >= text.size())
        return std::nullopt;

    // A word is its characters and the blanks after them, so a pointer on
    // the blank behind a word, or past the end of its line, is on that word.
    qsizetype wordStart = position;
    while (wordStart > 0 && isBlank(text[wordStart]))
        --wordStart;
    while (wordStart > 0 && !isBlank(text[wordStart - 1]))
        --wordStart;
    qsizetype runEnd = wordStart;
    while (runEnd < text.size() && !isBlank(text[runEnd]))
        ++runEnd;
    const QStringView run = text.sliced(wordStart, runEnd - wordStart);
    if (run.isEmpty())
        return std::nullopt;
    const QString lowered = run.toString().toLower();

    for (QLatin1StringView prefix : kPrefixes) {
        const qsizetype at = lowered.indexOf(prefix);
        if (at < 0)
            continue;
        qsizetype end = run.size();
        while (end > at && !mayEndLink(run[end - 1]))
            --end;
        if (end - at <= prefix.size())
            return std::nullopt;
        FoundLink link;
        link.start = int(wordStart + at);
        link.length = int(end - at);
        link.text = run.sliced(at, end - at).toString();
        return link;
    }
    return std::nullopt;
}

QUrl urlToOpen(const QString &linkText)
{
    QUrl url(linkText, QUrl::TolerantMode);
    if (linkText.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive))
        url = QUrl(QStringLiteral("http://") + linkText, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.isLocalFile() ||
        url.scheme().compare(QLatin1StringView("file"), Qt::CaseInsensitive) == 0)
        return {};
    return url;
}

#include "net/peertext.h"

namespace peertext {
namespace {
bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    // C0 and C1 controls, DEL, and the Unicode line and paragraph separators:
    // every character that could start a new line in the chat log.
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}
} // namespace

QString withoutControls(const QString &text)
{
    QString clean = text;
    for (QChar &c : clean) {
        if (isControl(c))
            c = u' ';
    }
    return clean;
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

QByteArray cleanName(QByteArrayView utf8)
{
    return cut(withoutControls(QString::fromUtf8(utf8)), kMaxNameChars).toUtf8();
}

QByteArray cleanChatText(QByteArrayView utf8)
{
    const QString text = withoutControls(QString::fromUtf8(utf8));
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0)
        return cut(text, kMaxChatChars).toUtf8();
    return (cut(text.left(bar), kMaxChatChars) + u'|' + cut(text.sliced(bar + 1), kMaxColourChars))
        .toUtf8();
}

} // namespace peertext

#include "client/session/inifile.h"

#include "stats/textfile.h"

#include <QFile>

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool isQuoted(QStringView text)
{
    return text.size() >= 2 && text.front() == u'"' && text.back() == u'"';
}

std::optional<QStringView> sectionName(QStringView line)
{
    const QStringView text = trimmed(line);
    if (!text.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimmed(text.sliced(1, close - 1));
}

bool isComment(QStringView line)
{
    const QStringView text = trimmed(line);
    return text.startsWith(u';') || text.startsWith(u'#');
}

struct KeyLine
{
    QStringView key;
    QStringView value;
};

std::optional<KeyLine> keyLine(QStringView line)
{
    if (isComment(line))
        return std::nullopt;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    return KeyLine{trimmed(line.first(equals)), line.sliced(equals + 1)};
}

QString readValue(QStringView raw)
{
    QStringView text = trimmed(raw);
    if (isQuoted(text))
        text = text.sliced(1, text.size() - 2);
    return text.toString();
}

// A character below a blank, tab aside: a line break would start a new line
// of the file, and the others make the reader judge the file no text at all.
bool isControl(char32_t c)
{
    return c < 0x20 && c != u'\t';
}

QString writtenValue(const QString &value)
{
    QString text = value;
    for (QChar &c : text) {
        if (isControl(c.unicode()))
            c = u' ';
    }
    const bool needsQuotes =
        !text.isEmpty() && (isSpace(text.front()) || isSpace(text.back()) || isQuoted(text));
    return needsQuotes ? u'"' + text + u'"' : text;
}

} // namespace

bool IniFile::holdsText(QByteArrayView bytes)
{
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool allowed = byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f' ||
                             byte == '\v' || byte == 0x1A;
        if (byte < 0x20 && !allowed)
            return false;
    }
    return true;
}

IniFile IniFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

IniFile IniFile::fromBytes(const QByteArray &bytes)
{
    IniFile ini;
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF")) {
        ini.byteOrderMark_ = true;
        data.remove(0, 3);
    }
    // UTF-8 as we write it, or Windows-1252 from a Windows copy of the game.
    QString text = textfile::decode(data);
    if (text.contains(QLatin1StringView("\r\n")))
        ini.lineEnd_ = QStringLiteral("\r\n");
    text.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
    text.replace(u'\r', u'\n');
    ini.lines_ = text.split(u'\n');
    // The last line end makes an empty last entry; it is written back.
    if (!ini.lines_.isEmpty() && ini.lines_.back().isEmpty())
        ini.lines_.removeLast();
    return ini;
}

QByteArray IniFile::toBytes() const
{
    QByteArray bytes;
    if (byteOrderMark_)
        bytes += "\xEF\xBB\xBF";
    for (const QString &line : lines_) {
        bytes += line.toUtf8();
        bytes += lineEnd_.toLatin1();
    }
    return bytes;
}

bool IniFile::save(const QString &path, QString *error) const
{
    return textfile::replace(path, toBytes(), error) == textfile::Written::Whole;
}

int IniFile::findSection(const QString &section) const
{
    for (int i = 0; i < lines_.size(); ++i) {
        const auto name = sectionName(lines_[i]);
        if (name && name->compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    int end = header + 1;
    while (end < lines_.size() && !sectionName(lines_[end]))
        ++end;
    return end;
}

int IniFile::findKey(int header, const QString &key) const
{
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const auto line = keyLine(lines_[i]);
        if (line && line->key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const int header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const int line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    return readValue(keyLine(lines_[line])->value);
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const
{
    return value(section, key).value_or(fallback);
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + u'=' + writtenValue(value);
    int header = findSection(section);
    if (header < 0) {
        // Keep a blank line between sections, as people write them.
        if (!lines_.isEmpty() && !trimmed(lines_.back()).isEmpty())
            lines_.append(QString());
        lines_.append(u'[' + section + u']');
        lines_.append(line);
        return;
    }
    const int existing = findKey(header, key);
    if (existing >= 0) {
        lines_[existing] = line;
        return;
    }
    // New keys go after the section's last non-empty line, so the blank
    // line before the next section stays where it is.
    int insertAt = sectionEnd(header);
    while (insertAt > header + 1 && trimmed(lines_[insertAt - 1]).isEmpty())
        --insertAt;
    lines_.insert(insertAt, line);
}

#include "net/gamemessage.h"

#include <limits>
#include <utility>

namespace {
constexpr char kFieldSeparator = '+';
} // namespace

QString notAnIntegerText(QByteArrayView field)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(field));
}

QString numberedListMismatchText(QByteArrayView field, int expected)
{
    return QStringLiteral("'%1' is not the numbered list entry %2")
        .arg(QString::fromUtf8(field))
        .arg(expected);
}

std::optional<int> parseStrictInt(QByteArrayView text)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == '-';
    if (negative)
        ++i;
    if (i == text.size())
        return std::nullopt;

    // Accumulate as a negative number so that INT_MIN fits too.
    constexpr long long kMin = std::numeric_limits<int>::min();
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 - (c - '0');
        if (value < kMin)
            return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return static_cast<int>(value);
}

int toStrictInt(QByteArrayView text)
{
    if (const auto value = parseStrictInt(text))
        return *value;
    throw EConvertError(notAnIntegerText(text));
}

GameMessage GameMessage::parse(QByteArrayView message)
{
    const qsizetype plus = message.indexOf(kFieldSeparator);
    if (plus < 0)
        return {};
    return {message.first(plus).toByteArray(), message.sliced(plus + 1).toByteArray()};
}

FieldReader::FieldReader(QByteArray payload) : m_payload(std::move(payload)) {}

QByteArray FieldReader::text()
{
    if (atEnd())
        return {};
    const qsizetype plus = m_payload.indexOf(kFieldSeparator, m_pos);
    const qsizetype stop = plus < 0 ? m_payload.size() : plus;
    QByteArray field = m_payload.sliced(m_pos, stop - m_pos);
    m_pos = plus < 0 ? m_payload.size() : plus + 1;
    return field;
}

QByteArray FieldReader::rest()
{
    if (atEnd())
        return {};
    QByteArray all = m_payload.sliced(m_pos);
    m_pos = m_payload.size();
    return all;
}

int FieldReader::number()
{
    return toStrictInt(text());
}

std::array<int, 4> FieldReader::numberedList()
{
    std::array<int, 4> values{};
    for (int n = 1; n <= 4; ++n) {
        const QByteArray key = text();
        if (toStrictInt(key) != n)
            throw EConvertError(numberedListMismatchText(key, n));
        values[n - 1] = number();
    }
    return values;
}

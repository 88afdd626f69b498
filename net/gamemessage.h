#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>
#include <stdexcept>

// Reading game messages. A message from the receive queue is split once into
// its command name and payload; a handler then reads the payload field by
// field with a FieldReader and works with values, never with the raw text.

// A number field that does not convert. Its text is the toolkit's wording,
// "'<field>' is not a valid integer value", and is shown to the local user;
// it ends the handling of that one message.
class EConvertError : public std::runtime_error
{
public:
    explicit EConvertError(const QString &message)
        : std::runtime_error(message.toStdString()), text(message)
    {}
    QString text;
};

// Strict decimal conversion as the wire writes numbers: an optional "-", then
// one or more ASCII digits, nothing else, and the value fits in an int.
// Leading zeros are accepted ("007" is 7); empty text, spaces, a "+" sign,
// hex and anything out of range are refused.
std::optional<int> parseStrictInt(QByteArrayView text);
// The same, throwing EConvertError with the toolkit's wording on refusal.
int toStrictInt(QByteArrayView text);

// The text of the conversion error for `field`.
QString notAnIntegerText(QByteArrayView field);

// One received message split at its first "+": the command name before it
// and the payload after it. A message without any "+" has no command name
// (every layout has one), so it gets an empty name and is dropped like an
// empty message.
struct GameMessage
{
    QByteArray name;
    QByteArray payload;

    static GameMessage parse(QByteArrayView message);
    bool hasName() const { return !name.isEmpty(); }
};

// Reads the fields of a payload from left to right. A field is the text up
// to the next "+", or up to the end of the payload when no "+" follows;
// reading past the end gives empty fields. The reader keeps its own
// (implicitly shared) copy of the payload.
class FieldReader
{
public:
    explicit FieldReader(QByteArray payload);

    // The next field, and the "+" after it consumed.
    QByteArray text();
    // Everything not read yet, "+" signs included: the last field of a
    // message, which may hold "+" (a player's name, a chat text).
    QByteArray rest();
    // The next field converted with toStrictInt; throws EConvertError.
    int number();
    // "1+a+2+b+3+c+4+d": for n = 1..4 in order the number n, then its value.
    // Returns {a, b, c, d}. Throws EConvertError when a number does not
    // convert, or when an entry's number is not the one expected there
    // (text: numberedListMismatchText). Whatever follows the fourth value is
    // left unread.
    std::array<int, 4> numberedList();

    bool atEnd() const { return m_pos >= m_payload.size(); }

private:
    QByteArray m_payload;
    qsizetype m_pos = 0;
};

// The text of the error for a numbered list entry `field` found where the
// number `expected` belongs.
QString numberedListMismatchText(QByteArrayView field, int expected);

#include "net/lanannouncement.h"

#include "net/gamerules.h"
#include "net/peertext.h"

#include <QStringDecoder>

#include <cstring>

namespace lan {
namespace {

enum Kind : quint8 { kOpen = 1, kClosed = 2, kQuery = 3 };

// Byte offsets in every datagram.
constexpr int kKindAt = 5;
constexpr int kSeatsAt = 6;
constexpr int kWatchersAt = 7;
constexpr int kPlayingAt = 8;
constexpr int kPortAt = 9;                                 // two bytes, high first
constexpr int kVersionAt = 11;                             // a length byte, then the bytes
constexpr int kNameAt = kVersionAt + 1 + kMaxVersionBytes; // the same
static_assert(kNameAt + 1 + kMaxNameBytes <= kDatagramSize);

constexpr int kMaxWatchers = kHighestSlot - kSeatCount;

QByteArray header(Kind kind)
{
    QByteArray datagram(kDatagramSize, '\0');
    std::memcpy(datagram.data(), kMagic, sizeof kMagic);
    datagram[4] = char(kProtocolVersion);
    datagram[kKindAt] = char(kind);
    return datagram;
}

std::optional<Kind> kindOf(QByteArrayView datagram)
{
    if (datagram.size() != kDatagramSize)
        return std::nullopt;
    if (std::memcmp(datagram.data(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    if (quint8(datagram[4]) != kProtocolVersion)
        return std::nullopt;
    const quint8 kind = quint8(datagram[kKindAt]);
    if (kind < kOpen || kind > kQuery)
        return std::nullopt;
    return Kind(kind);
}

// The longest start of `text` in UTF-8 that fits `limit` bytes, never cut
// inside a character.
QByteArray cutUtf8(const QString &text, qsizetype limit)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= limit)
        return bytes;
    qsizetype end = limit;
    while (end > 0 && (quint8(bytes[end]) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}

void putText(QByteArray &datagram, int at, const QByteArray &bytes)
{
    datagram[at] = char(bytes.size());
    std::memcpy(datagram.data() + at + 1, bytes.constData(), size_t(bytes.size()));
}

std::optional<QString> takeText(QByteArrayView datagram, int at, qsizetype limit)
{
    const qsizetype length = quint8(datagram[at]);
    if (length > limit)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(datagram.sliced(at + 1, length));
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

} // namespace

QByteArray Announcement::build() const
{
    QByteArray datagram = header(closed ? kClosed : kOpen);
    datagram[kSeatsAt] = char(qBound(0, seatsTaken, kSeatCount));
    datagram[kWatchersAt] = char(qBound(0, watchers, kMaxWatchers));
    datagram[kPlayingAt] = char(playing ? 1 : 0);
    datagram[kPortAt] = char(port >> 8);
    datagram[kPortAt + 1] = char(port & 0xFF);
    putText(datagram, kVersionAt, cutUtf8(gameVersion, kMaxVersionBytes));
    putText(datagram, kNameAt, cutUtf8(hostName, kMaxNameBytes));
    return datagram;
}

std::optional<Announcement> Announcement::read(QByteArrayView datagram)
{
    const std::optional<Kind> kind = kindOf(datagram);
    if (!kind || *kind == kQuery)
        return std::nullopt;
    Announcement told;
    told.closed = *kind == kClosed;
    told.seatsTaken = quint8(datagram[kSeatsAt]);
    told.watchers = quint8(datagram[kWatchersAt]);
    const quint8 playing = quint8(datagram[kPlayingAt]);
    told.port = quint16((quint8(datagram[kPortAt]) << 8) | quint8(datagram[kPortAt + 1]));
    if (told.seatsTaken > kSeatCount || told.watchers > kMaxWatchers || playing > 1 ||
        told.port == 0)
        return std::nullopt;
    told.playing = playing == 1;
    const std::optional<QString> version = takeText(datagram, kVersionAt, kMaxVersionBytes);
    const std::optional<QString> name = takeText(datagram, kNameAt, kMaxNameBytes);
    if (!version || !name || name->trimmed().isEmpty())
        return std::nullopt;
    // A name from the network is shown like any peer's name: no controls,
    // no longer than our own name box allows.
    told.gameVersion = peertext::withoutControls(*version);
    told.hostName = peertext::withoutControls(*name).left(peertext::kMaxNameChars);
    return told;
}

QByteArray buildQuery()
{
    return header(kQuery);
}

bool isQuery(QByteArrayView datagram)
{
    return kindOf(datagram) == kQuery;
}

} // namespace lan

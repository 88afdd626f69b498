#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The datagrams by which a host makes its game known on the local network,
// and by which a joining copy asks for the games there. Every datagram of
// ours has the same fixed size, so an answer is never larger than the query
// that asked for it: the listener cannot be used to multiply anybody's
// traffic. Anything that is not exactly one of ours is not read at all.
namespace lan {

// Magic word, protocol version, kind; then the announcement's fields.
inline constexpr char kMagic[4] = {'Z', 'N', 'D', 'R'};
inline constexpr quint8 kProtocolVersion = 1;
inline constexpr qsizetype kDatagramSize = 256;
inline constexpr qsizetype kMaxVersionBytes = 15;
inline constexpr qsizetype kMaxNameBytes = kDatagramSize - 30;

// What a host tells about its game.
struct Announcement
{
    QString gameVersion;
    QString hostName;
    int seatsTaken = 0; // of the four seats
    int watchers = 0;
    bool playing = false;
    quint16 port = 0; // where the game takes connections (TCP)
    // The last word of a host that no longer takes players.
    bool closed = false;

    bool operator==(const Announcement &) const = default;

    // Names and versions too long for the datagram are cut at a character.
    QByteArray build() const;
    // Nothing for a datagram that is not a well-formed announcement.
    static std::optional<Announcement> read(QByteArrayView datagram);
};

// A joining copy's question "which games are there?", as large as an
// announcement.
QByteArray buildQuery();
bool isQuery(QByteArrayView datagram);

} // namespace lan

#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>

#include <cstring>
#include <utility>

// Every game message travels as its text followed by this one byte. It never
// occurs inside a message (text fields are UTF-8, which has no 0xFF byte).
inline constexpr char kMessageTerminator = '\xFF';

// An unterminated message longer than this is no game message; the host
// closes a connection whose carry-over grows past it.
inline constexpr qsizetype kMaxUnterminatedBytes = 64 * 1024;

// Cuts the bytes of one connection into messages at the terminator. Bytes
// after the last terminator are carried over to the next feed, so a message
// split across reads comes out once, whole, after the read that completes it.
//
// Work is linear in the bytes fed: complete messages inside a read are handed
// out as views straight into that read, and only the unterminated tail is
// copied into the carry-over. Nothing is rescanned: the carry-over never
// holds a terminator.
//
// One framer per connection; clear() it when the connection is made again.
class MessageFramer
{
public:
    // Calls sink(QByteArrayView message) for every complete message in
    // `bytes`, in order, without its terminator. Two terminators in a row give
    // an empty message. The view is valid only during the call; copy it
    // (toByteArray()) to keep it. The sink must not feed or clear this framer.
    template <class Sink> void feed(QByteArrayView bytes, Sink &&sink);

    // Convenience for callers that want owned copies.
    QByteArrayList feed(QByteArrayView bytes);

    // Bytes of an unfinished message carried over to the next feed.
    qsizetype pendingBytes() const { return m_carry.size(); }

    void clear();

private:
    QByteArray m_carry;
};

template <class Sink> void MessageFramer::feed(QByteArrayView bytes, Sink &&sink)
{
    const char *data = bytes.data();
    const char *const end = data + bytes.size();
    if (data == end)
        return;

    if (!m_carry.isEmpty()) {
        // The carry-over's message ends at the first terminator of this read.
        const auto *stop =
            static_cast<const char *>(std::memchr(data, kMessageTerminator, end - data));
        if (!stop) {
            m_carry.append(data, end - data);
            return;
        }
        m_carry.append(data, stop - data);
        // Move it out first, so the sink sees a framer in a clean state.
        const QByteArray message = std::exchange(m_carry, QByteArray());
        sink(QByteArrayView(message));
        data = stop + 1;
    }

    while (data != end) {
        const auto *stop =
            static_cast<const char *>(std::memchr(data, kMessageTerminator, end - data));
        if (!stop) {
            m_carry.append(data, end - data);
            return;
        }
        sink(QByteArrayView(data, stop - data));
        data = stop + 1;
    }
}

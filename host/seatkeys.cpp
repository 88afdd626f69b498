#include "host/seatkeys.h"

#include "net/messages.h"

#include <QRandomGenerator>

QByteArray SeatKeys::issue(int slot)
{
    if (!isSlot(slot))
        return {};
    std::array<quint32, kSeatKeyLength / 8> bits{};
    QRandomGenerator::system()->fillRange(bits.data(), bits.size());
    const QByteArray key =
        QByteArray(reinterpret_cast<const char *>(bits.data()), sizeof bits).toHex();
    m_keys[slot] = key;
    return key;
}

void SeatKeys::revoke(int slot)
{
    if (isSlot(slot))
        m_keys[slot].clear();
}

void SeatKeys::revokeAll()
{
    for (QByteArray &key : m_keys)
        key.clear();
}

bool SeatKeys::matches(int slot, QByteArrayView key) const
{
    if (!isSlot(slot))
        return false;
    const QByteArray &held = m_keys[slot];
    // Every key has the same length, so the length gives nothing away.
    if (held.isEmpty() || key.size() != held.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < held.size(); ++i)
        difference |= static_cast<unsigned char>(held[i] ^ key[i]);
    return difference == 0;
}

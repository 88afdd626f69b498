#pragma once

#include "net/gamerules.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>

// The key of each slot's connection, handed to it at its login: whoever
// presents it may take the slot's place. A key is good for one use and is
// void once its player leaves for good. Keys come from the operating
// system's secure source, never from the game's seeded generator, whose
// draws a player could work out from the cards he sees.
class SeatKeys
{
public:
    // A fresh key for the slot, replacing any it had.
    QByteArray issue(int slot);
    void revoke(int slot);
    void revokeAll();
    // Whether `key` is the slot's key. The time taken does not depend on
    // how much of it is right.
    bool matches(int slot, QByteArrayView key) const;
    // The slot's key, empty when it has none; for the fuzzer, which must
    // present good keys as well as bad ones.
    QByteArray key(int slot) const { return isSlot(slot) ? m_keys[slot] : QByteArray(); }

private:
    std::array<QByteArray, kHighestSlot + 1> m_keys;
};

#pragma once

#include <QtGlobal>

// The program's one random generator: a 32-bit linear congruential generator
// whose draws are fixed by its seed, so a test can set the seed and know
// every deck that follows.
class Random
{
public:
    void setSeed(quint32 seed) { m_seed = seed; }
    quint32 seed() const { return m_seed; }
    // Seeds from the time of day in UTC, in milliseconds since midnight.
    void randomize();
    // An integer from 0 to n - 1 (0 when n is not positive).
    // Each draw moves the seed on, then scales it: the upper 32 bits of the
    // 64-bit product of the new seed and n.
    int operator()(int n)
    {
        m_seed = m_seed * kMultiplier + 1u;
        return n <= 0 ? 0 : int((quint64(m_seed) * quint64(quint32(n))) >> 32);
    }

private:
    static constexpr quint32 kMultiplier = 134775813u;
    quint32 m_seed = 0;
};

// The generator the whole program shares; the main window seeds it when it is
// created, and the server draws from it unless it is handed another.
Random &programRandom();

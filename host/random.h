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
    int operator()(int n)
    {
        m_seed = next(m_seed);
        return scaled(m_seed, n);
    }

    // The two halves of a draw, for loops that keep the seed in a register:
    // the seed that follows `seed`, and the draw from 0 to n - 1 it gives.
    static constexpr quint32 next(quint32 seed) { return seed * kMultiplier + 1u; }
    static constexpr int scaled(quint32 seed, int n)
    {
        return n <= 0 ? 0 : int((quint64(seed) * quint64(quint32(n))) >> 32);
    }

private:
    static constexpr quint32 kMultiplier = 134775813u;
    quint32 m_seed = 0;
};

// The generator the whole program shares; the main window seeds it when it is
// created, and the server draws from it unless it is handed another.
Random &programRandom();

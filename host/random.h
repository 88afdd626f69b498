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
    int operator()(int n);

private:
    quint32 m_seed = 0;
};

// The generator the whole program shares; the main window seeds it when it is
// created, and the server draws from it unless it is handed another.
Random &programRandom();

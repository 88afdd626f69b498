#include "host/random.h"

#include <QDateTime>
#include <QTime>

void Random::randomize()
{
    const QTime now = QDateTime::currentDateTimeUtc().time();
    m_seed = quint32(((now.hour() * 60 + now.minute()) * 60 + now.second()) * 1000 + now.msec());
}

int Random::operator()(int n)
{
    m_seed = m_seed * 134775813u + 1u;
    if (n <= 0)
        return 0;
    return int((quint64(m_seed) * quint64(quint32(n))) >> 32);
}

Random &programRandom()
{
    static Random random;
    return random;
}

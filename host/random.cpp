#include "host/random.h"

#include <QDateTime>
#include <QTime>

void Random::randomize()
{
    const QTime now = QDateTime::currentDateTimeUtc().time();
    m_seed = quint32(((now.hour() * 60 + now.minute()) * 60 + now.second()) * 1000 + now.msec());
}

Random &programRandom()
{
    static Random random;
    return random;
}

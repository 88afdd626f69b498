#include "net/tsockstream.h"

#include "net/tsock.h"

#include <algorithm>
#include <cstring>
#include <limits>

qint64 TSockStream::Read(char *buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    const int asked = int(std::min<qint64>(count, std::numeric_limits<int>::max()));
    const QByteArray taken = sock.ReceiveCount(asked);
    // A datagram longer than the buffer is cut, as the system cuts one.
    const qint64 length = std::min<qint64>(taken.size(), count);
    std::memcpy(buffer, taken.constData(), size_t(length));
    return length;
}

qint64 TSockStream::Write(const char *buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    sock.Send(QByteArray(buffer, qsizetype(count)));
    return count;
}

qint64 TSockStream::Seek(qint64, int)
{
    return 0;
}

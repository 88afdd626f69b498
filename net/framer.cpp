#include "net/framer.h"

QByteArrayList MessageFramer::feed(QByteArrayView bytes)
{
    QByteArrayList messages;
    feed(bytes, [&messages](QByteArrayView message) { messages.append(message.toByteArray()); });
    return messages;
}

void MessageFramer::clear()
{
    m_carry.clear();
}

#include "host/receivequeue.h"

#include <algorithm>

void ReceiveQueue::push(QueuedMessage message)
{
    ++m_waiting[message.connection];
    m_messages.push_back(std::move(message));
}

std::optional<QueuedMessage> ReceiveQueue::take()
{
    if (m_messages.empty())
        return std::nullopt;
    QueuedMessage message = std::move(m_messages.front());
    m_messages.pop_front();
    const auto count = m_waiting.find(message.connection);
    if (count != m_waiting.end() && --count->second <= 0)
        m_waiting.erase(count);
    return message;
}

void ReceiveQueue::dropConnection(quint64 connection)
{
    if (m_waiting.erase(connection) == 0)
        return;
    std::erase_if(m_messages,
                  [connection](const QueuedMessage &m) { return m.connection == connection; });
}

int ReceiveQueue::waiting(quint64 connection) const
{
    const auto count = m_waiting.find(connection);
    return count == m_waiting.end() ? 0 : count->second;
}

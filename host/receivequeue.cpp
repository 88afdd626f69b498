#include "host/receivequeue.h"

#include <algorithm>

void ReceiveQueue::push(QueuedMessage message)
{
    std::deque<QueuedMessage> &waiting = m_byConnection[message.connection];
    // A connection with nothing waiting joins at the back of the round.
    if (waiting.empty())
        m_turns.push_back(message.connection);
    waiting.push_back(std::move(message));
    ++m_size;
}

std::optional<QueuedMessage> ReceiveQueue::take()
{
    if (m_turns.empty())
        return std::nullopt;
    const quint64 connection = m_turns.front();
    m_turns.pop_front();
    const auto found = m_byConnection.find(connection);
    QueuedMessage message = std::move(found->second.front());
    found->second.pop_front();
    --m_size;
    if (found->second.empty())
        m_byConnection.erase(found);
    else
        m_turns.push_back(connection);
    return message;
}

void ReceiveQueue::dropConnection(quint64 connection)
{
    const auto found = m_byConnection.find(connection);
    if (found == m_byConnection.end())
        return;
    m_size -= qsizetype(found->second.size());
    m_byConnection.erase(found);
    std::erase(m_turns, connection);
}

int ReceiveQueue::waiting(quint64 connection) const
{
    const auto found = m_byConnection.find(connection);
    return found == m_byConnection.end() ? 0 : int(found->second.size());
}

std::vector<QueuedMessage> ReceiveQueue::messages() const
{
    std::vector<QueuedMessage> all;
    for (const quint64 connection : m_turns) {
        const std::deque<QueuedMessage> &waiting = m_byConnection.at(connection);
        all.insert(all.end(), waiting.begin(), waiting.end());
    }
    return all;
}

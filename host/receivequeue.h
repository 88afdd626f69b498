#pragma once

#include <QByteArray>

#include <deque>
#include <optional>
#include <unordered_map>

// One received message, with the slot and the connection it came on.
struct QueuedMessage
{
    int slot = 0;
    quint64 connection = 0;
    QByteArray text;
};

// The host's receive queue: the messages of all connections in the order
// their bytes were read, oldest first. It counts what each connection has
// waiting, so that one peer cannot fill it without limit.
class ReceiveQueue
{
public:
    void push(QueuedMessage message);
    std::optional<QueuedMessage> take();
    // Removes every message of the connection; the others keep their order.
    void dropConnection(quint64 connection);

    int waiting(quint64 connection) const;
    qsizetype size() const { return qsizetype(m_messages.size()); }
    bool isEmpty() const { return m_messages.empty(); }
    const std::deque<QueuedMessage> &messages() const { return m_messages; }

private:
    std::deque<QueuedMessage> m_messages;
    std::unordered_map<quint64, int> m_waiting;
};

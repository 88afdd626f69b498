#pragma once

#include <QByteArray>

#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

// One received message, with the slot and the connection it came on.
struct QueuedMessage
{
    int slot = 0;
    quint64 connection = 0;
    QByteArray text;
};

// The host's receive queue. Each connection's messages wait in the order
// their bytes were read, and the connections take turns: one message from
// each connection that has any waiting, then round again. So a player who
// keeps many messages in flight slows only himself; everybody else's next
// message is at most one turn of the table away. It counts what each
// connection has waiting, so that one peer cannot fill it without limit.
class ReceiveQueue
{
public:
    void push(QueuedMessage message);
    // The next message in turn; the connection it came from goes to the back.
    std::optional<QueuedMessage> take();
    // Removes every message of the connection; the others keep their order.
    void dropConnection(quint64 connection);

    int waiting(quint64 connection) const;
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // Every waiting message, for checks: each connection's in order.
    std::vector<QueuedMessage> messages() const;

private:
    std::unordered_map<quint64, std::deque<QueuedMessage>> m_byConnection;
    // The connections with messages waiting, the next to be served first.
    std::deque<quint64> m_turns;
    qsizetype m_size = 0;
};

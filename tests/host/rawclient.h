#pragma once

#include "net/framer.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QHostAddress>
#include <QTcpSocket>

#include <memory>

// A bare client for driving the host over loopback: it speaks the wire
// format directly and keeps every message it receives, in order.
class RawClient
{
public:
    explicit RawClient(quint16 port, const QHostAddress &host = QHostAddress::LocalHost);

    // Waits for CMD_sendlogininfo and returns the slot the last one gives (0
    // if none).
    int waitForSlot();
    // Answers the first CMD_sendlogininfo with CMD_reclaim and returns the
    // slot the host's second one gives.
    int reclaim(int heldSlot, const QByteArray &heldKey);
    // Logs in with the slot the host gave and waits for the own
    // CMD_newplayerinfo and the seat key. Returns the slot.
    int login(const QByteArray &name, const QByteArray &version = "1.0.3");
    // Leaves on purpose (CMD_leaving), as a player closing his window does.
    void leave();

    void send(const QByteArray &message);
    void sendRaw(const QByteArray &bytes);
    void close();

    bool waitFor(const QByteArray &message, int timeoutMs = 5000);
    bool waitForClose(int timeoutMs = 5000);
    bool closed() const;
    // Messages received so far whose command name is `name`.
    QByteArrayList named(const char *name) const;
    bool hasReceived(const QByteArray &message) const { return received.contains(message); }

    QByteArrayList received;
    int slot = 0;
    QByteArray name; // as logged in
    QByteArray key;  // the seat key the login brought
    QTcpSocket socket;

private:
    void readAll();

    MessageFramer m_framer;
    bool m_closed = false;
};

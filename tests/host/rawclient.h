#pragma once

#include "net/framer.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QTcpSocket>

#include <memory>

// A bare client for driving the host over loopback: it speaks the wire
// format directly and keeps every message it receives, in order.
class RawClient
{
public:
    explicit RawClient(quint16 port);

    // Waits for CMD_sendlogininfo and returns the slot it gives (0 if none).
    int waitForSlot();
    // Logs in with the slot the host gave and waits for the own
    // CMD_newplayerinfo. Returns the slot.
    int login(const QByteArray &name, const QByteArray &version = "1.0.3");

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
    QTcpSocket socket;

private:
    void readAll();

    MessageFramer m_framer;
    bool m_closed = false;
};

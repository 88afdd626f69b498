#include "tests/host/rawclient.h"

#include "net/gamemessage.h"
#include "net/messages.h"
#include "tests/support/wait.h"

#include <QHostAddress>

RawClient::RawClient(quint16 port, const QHostAddress &host)
{
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [this] {
        readAll();
        m_closed = true;
    });
    socket.connectToHost(host, port);
}

void RawClient::readAll()
{
    if (!socket.isOpen())
        return;
    m_framer.feed(QByteArrayView(socket.readAll()),
                  [this](QByteArrayView message) { received.append(message.toByteArray()); });
}

int RawClient::waitForSlot()
{
    waitUntil([this] { return !named(cmd::sendlogininfo).isEmpty() || m_closed; });
    const QByteArrayList given = named(cmd::sendlogininfo);
    if (given.isEmpty())
        return 0;
    // After a CMD_reclaim the host names the slot again: the last word counts.
    slot = parseStrictInt(GameMessage::parse(given.last()).payload).value_or(0);
    return slot;
}

int RawClient::reclaim(int heldSlot, const QByteArray &heldKey)
{
    if (waitForSlot() == 0)
        return 0;
    send(msg::Reclaim{heldSlot, heldKey}.build());
    if (!waitUntil([this] { return named(cmd::sendlogininfo).size() == 2 || m_closed; }))
        return 0;
    return waitForSlot();
}

int RawClient::login(const QByteArray &name, const QByteArray &version)
{
    if (waitForSlot() == 0)
        return 0;
    send(msg::Logininfo{slot, version, name}.build());
    if (!waitFor(msg::Newplayerinfo{slot, name}.build()))
        return 0;
    this->name = name;
    // The seat key is the last word of a login.
    if (!waitUntil([this] { return !named(cmd::seatkey).isEmpty(); }))
        return 0;
    FieldReader fields(GameMessage::parse(named(cmd::seatkey).last()).payload);
    const std::optional<msg::Seatkey> given = msg::Seatkey::read(fields);
    key = given ? given->key : QByteArray();
    return slot;
}

void RawClient::leave()
{
    send(msg::Leaving{slot}.build());
    close();
}

void RawClient::send(const QByteArray &message)
{
    sendRaw(framed(message));
}

void RawClient::sendRaw(const QByteArray &bytes)
{
    socket.write(bytes);
    socket.flush();
}

void RawClient::close()
{
    socket.disconnectFromHost();
}

bool RawClient::waitFor(const QByteArray &message, int timeoutMs)
{
    return waitUntil([&] { return received.contains(message); }, timeoutMs);
}

bool RawClient::waitForClose(int timeoutMs)
{
    return waitUntil([this] { return m_closed; }, timeoutMs);
}

bool RawClient::closed() const
{
    return m_closed;
}

QByteArrayList RawClient::named(const char *name) const
{
    QByteArrayList matching;
    for (const QByteArray &message : received) {
        if (GameMessage::parse(message).name == name)
            matching.append(message);
    }
    return matching;
}

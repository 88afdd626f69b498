#include "tests/host/hostfixture.h"

#include "host/chatlimit.h"
#include "net/messages.h"

void HostFixture::startHost(quint32 seed)
{
    random.setSeed(seed);
    server = std::make_unique<TServer>(0, random);
    server->setClock([this] { return now; });
    server->startListening();
    port = server->listeningPort();
    ASSERT_NE(port, 0);
}

HostFixture::Client HostFixture::connect()
{
    return std::make_unique<RawClient>(port);
}

HostFixture::Client HostFixture::join(const QByteArray &name, int expectedSlot)
{
    Client client = connect();
    EXPECT_EQ(client->login(name), expectedSlot) << name.constData();
    return client;
}

void HostFixture::sync(RawClient &client)
{
    now += ChatLimit::kWindowMs;
    syncAtThisTime(client);
}

void HostFixture::syncAtThisTime(RawClient &client)
{
    const QByteArray marker = "sync " + QByteArray::number(++syncCount) + "|clBlack";
    client.send(msg::ChatToHost{client.slot, marker}.build());
    ASSERT_TRUE(client.waitFor(msg::ChatToAll{client.name, marker}.build()));
}

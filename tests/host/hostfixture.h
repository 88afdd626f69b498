#pragma once

#include "host/random.h"
#include "host/tserver.h"
#include "tests/host/rawclient.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <memory>

// A host listening on loopback for tests that drive it with raw clients.
// Its draws follow a fixed seed and its time stands still unless a test
// moves `now`.
class HostFixture : public ::testing::Test
{
protected:
    using Client = std::unique_ptr<RawClient>;

    void startHost(quint32 seed);

    Client connect();
    // A client logged in as `name`; expects the host to give it `expectedSlot`.
    Client join(const QByteArray &name, int expectedSlot);

    // Returns once the host has handled everything `client` sent before: a
    // chat sent now is relayed only after all earlier messages in the queue.
    // The clock moves on a chat-limit window first, so the marker is never
    // dropped however much the client has said.
    void sync(RawClient &client);
    // The same with the clock left where the test put it, for tests that
    // hold the host's time just short of a limit.
    void syncAtThisTime(RawClient &client);

    Random random;
    std::unique_ptr<TServer> server;
    quint16 port = 0;
    qint64 now = 0;
    int syncCount = 0;
};

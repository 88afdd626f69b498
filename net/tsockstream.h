#pragma once

#include <QtGlobal>

class TSock;

// A byte-stream view of a socket, made together with it: reading takes
// pending received bytes, writing sends. Seeking means nothing on a socket.
class TSockStream
{
public:
    explicit TSockStream(TSock &sock) : sock(sock) {}

    // Copies at most count pending bytes into buffer; returns how many.
    qint64 Read(char *buffer, qint64 count);
    // Sends count bytes; returns count.
    qint64 Write(const char *buffer, qint64 count);
    qint64 Seek(qint64 offset, int origin);

private:
    TSock &sock;
};

#pragma once

#include "client/composition.h"
#include "client/tchat.h"
#include "host/tserver.h"

#include <QHostAddress>
#include <QString>
#include <QTcpServer>

// A copy of the program hosting for others, as the window tests start one:
// "Hal" on a game port picked at run time, a lobby link on a port of its own
// that nobody answers, and its settings and tally in `filesFolder`. Guests
// join it with guestPorts().
class HostingCopy
{
public:
    explicit HostingCopy(const QString &filesFolder)
        : program_({QStringLiteral("Hal"), QStringLiteral("127.0.0.1"), QStringLiteral("true")},
                   TchatPorts{0, lobby_.serverPort()}, nullptr, filesFolder)
    {}

    Tchat &window() { return program_.window(); }
    Composition &program() { return program_; }
    TchatPorts guestPorts() { return {program_.server().listeningPort(), lobby_.serverPort()}; }

private:
    QTcpServer lobby_;
    const bool lobbyListening_ = lobby_.listen(QHostAddress::LocalHost, 0);
    Composition program_;
};

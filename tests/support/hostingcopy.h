#pragma once

#include "client/composition.h"
#include "client/session/clientsettings.h"
#include "client/session/inifile.h"
#include "client/tchat.h"
#include "host/tserver.h"

#include <QHostAddress>
#include <QString>
#include <QTcpServer>

// A copy of the program hosting for others, as the window tests start one:
// "Hal" on a game port picked at run time, a lobby link on a port of its own
// that nobody answers, and its settings and tally in `filesFolder`. Guests
// join it with guestPorts(). It leaves the router of the computer the tests
// run on alone (Open Port On Router off in its settings): the router tests
// have a router of their own.
class HostingCopy
{
public:
    explicit HostingCopy(const QString &filesFolder)
        : program_({QStringLiteral("Hal"), QStringLiteral("127.0.0.1"), QStringLiteral("true")},
                   TchatPorts{0, lobby_.serverPort()}, nullptr, leavingRouterAlone(filesFolder))
    {}

    Tchat &window() { return program_.window(); }
    Composition &program() { return program_; }
    TchatPorts guestPorts() { return {program_.server().listeningPort(), lobby_.serverPort()}; }

private:
    static QString leavingRouterAlone(const QString &folder)
    {
        const QString path = folder + QChar(u'/') + ClientSettings::kFileName;
        IniFile settings = IniFile::load(path);
        settings.setValue(ClientSettings::kSection, QStringLiteral("Openportonrouter"),
                          QStringLiteral("0"));
        settings.save(path);
        return folder;
    }

    QTcpServer lobby_;
    const bool lobbyListening_ = lobby_.listen(QHostAddress::LocalHost, 0);
    Composition program_;
};

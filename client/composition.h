#pragma once

#include "client/tchat.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

class ClientSettings;
class PlayWithOthers;
class TServer;
class Tdownload;
class Tphrases;
class Tspylist;
class Ttallylist;
namespace router {
class PortMapping;
}

// The one place that builds the program and says which part talks to which.
// It creates the game server and the main window (the table, the chat and
// the connection), puts the rest beside them (settings, sounds, game
// options, tally, phrases, spy list, download, help and about) and wires
// each to the parts it serves, one feature at a time. The side windows are
// the main window's children: they live exactly as long as it does.
class Composition : public QObject
{
    Q_OBJECT
public:
    // `arguments` is the command line without the program name. Without a
    // `server` the program makes its own, listening on `ports.game` once the
    // user hosts. The settings and the tally are kept in `filesFolder`, or
    // where ConfigLocation chooses when it is empty.
    explicit Composition(QStringList arguments = {}, TchatPorts ports = {},
                         TServer *server = nullptr, const QString &filesFolder = {});
    ~Composition() override;

    Tchat &window() { return *window_; }
    TServer &server() { return *server_; }
    ClientSettings &settings() { return *settings_; }
    Ttallylist &tally() { return *tally_; }
    Tspylist &spylist() { return *spylist_; }
    PlayWithOthers &playWithOthers() { return *playWithOthers_; }
    // The router's lease for the game port, renewed at half time; tests
    // make it short. Takes effect for the next request.
    void setRouterLease(std::chrono::seconds lease) { routerLease_ = lease; }

private:
    void wireSettings(const QString &folder);
    void wireSounds();
    void wireGameOptions();
    void wireTally(const QString &folder);
    void wirePhrases();
    void wireSpyList();
    void wirePlayWithOthers();
    void wireNetworkGames(quint16 port);
    void wireLobbyOffer();
    void wireTurnLimit();
    void wireSeatHolds();
    void wireSeatReturn();
    void wireTurnCountdown();
    void wirePlaysInChat();
    void wireTableFit();
    void wireHelp();
    void wireRouterPort();
    // This computer's IPv6 address for friends on the internet; empty when it
    // has none or the game port is not open on IPv6.
    QString ipv6ForFriends() const;

    void PrhaseList1Click();

    // The server outlives the window: the window's connection to it closes
    // first.
    std::unique_ptr<TServer> ownServer_;
    TServer *server_ = nullptr;
    std::unique_ptr<Tchat> window_;
    ClientSettings *settings_ = nullptr;
    Ttallylist *tally_ = nullptr;
    Tphrases *phrases_ = nullptr;
    Tspylist *spylist_ = nullptr;
    Tdownload *download_ = nullptr;
    PlayWithOthers *playWithOthers_ = nullptr;
    // Made when a copy hosting for others first asks its router; its
    // thread talks from the network the program is in at that moment.
    router::PortMapping *routerPort_ = nullptr;
    std::chrono::seconds routerLease_{3600};
};

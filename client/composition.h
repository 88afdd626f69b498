#pragma once

#include <QObject>

#include <memory>

class ClientSettings;
class PlayWithOthers;
class TServer;
class Tchat;
class Tdownload;
class Tphrases;
class Tspylist;
class Ttallylist;
struct TchatPorts;

// Which part of the program talks to which. The main window holds the table,
// the chat and the connection; this puts the rest beside it (settings,
// sounds, game options, tally, phrases, spy list, download, help and about,
// and the game server) and wires each to the parts it serves. The windows
// are the main window's children: they live exactly as long as it does.
class Composition : public QObject
{
    Q_OBJECT
public:
    // Without a `server` the program makes its own, listening on
    // `ports.game` once the user hosts. The settings and the tally are kept
    // in `filesFolder`, or where ConfigLocation chooses when it is empty.
    Composition(Tchat &chat, const TchatPorts &ports, TServer *server,
                const QString &filesFolder = {});
    ~Composition() override;

    TServer &server() { return *server_; }
    ClientSettings &settings() { return *settings_; }
    Ttallylist &tally() { return *tally_; }
    Tspylist &spylist() { return *spylist_; }
    PlayWithOthers &playWithOthers() { return *playWithOthers_; }

private:
    void PrhaseList1Click();

    Tchat &chat_;
    ClientSettings *settings_ = nullptr;
    Ttallylist *tally_ = nullptr;
    Tphrases *phrases_ = nullptr;
    Tspylist *spylist_ = nullptr;
    Tdownload *download_ = nullptr;
    PlayWithOthers *playWithOthers_ = nullptr;
    std::unique_ptr<TServer> ownServer_;
    TServer *server_ = nullptr;
};

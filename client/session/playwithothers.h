#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class ClientSettings;
class TServer;
class Tchat;
class TplayWithOthers;
struct PlayChoice;

// Hosting and joining from the window: opens the Play with Others window
// (from the File menu, the lobby offer, or after a join that failed), keeps
// what the user chose in the settings file, and asks for the game to start
// again in the chosen role.
class PlayWithOthers : public QObject
{
    Q_OBJECT
public:
    static inline const QString kLeaveQuestion =
        QStringLiteral("Other players are connected. Closing Zandor ends the game for them. Exit?");

    PlayWithOthers(Tchat &chat, ClientSettings &settings);

    // With `failedAddress`, joining that address is what the window offers.
    void open(const QString &failedAddress = QString());
    TplayWithOthers &window() { return *window_; }

    // Whether this copy hosts a game that other people have joined.
    static bool othersConnected(const Tchat &chat, const TServer &server);

signals:
    // Start the program again with this command line.
    void restartRequested(const QStringList &arguments);

private:
    void start(const PlayChoice &choice);

    Tchat &chat_;
    ClientSettings &settings_;
    TplayWithOthers *window_ = nullptr;
};

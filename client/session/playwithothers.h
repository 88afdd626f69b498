#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class ClientSettings;
class TServer;
class Tchat;
class TplayWithOthers;
struct PlayChoice;
struct PlayChoices;

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
    // Opens it on joining, the address joined last in the box.
    void openToJoin();
    TplayWithOthers &window() { return *window_; }

    // Whether this copy hosts a game that other people have joined.
    static bool othersConnected(const Tchat &chat, const TServer &server);

signals:
    // Start the program again with this command line.
    void restartRequested(const QStringList &arguments);

private:
    void start(const PlayChoice &choice);
    // The name the user chose, in the window or on the command line; empty
    // when he never did.
    QString knownName(const PlayChoices &remembered) const;

    Tchat &chat_;
    ClientSettings &settings_;
    TplayWithOthers *window_ = nullptr;
};

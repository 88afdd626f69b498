#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class ClientSettings;
class GameFinder;
class QWidget;
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

    // What the window must ask of the game it would end.
    struct Questions
    {
        // The name this game was started under; empty for a solo game, so
        // that nobody is ever told that "You" joined.
        std::function<QString()> nameInUse;
        // Whether the user lets the game now end (he may be asked).
        std::function<bool()> mayLeaveGame;
    };

    PlayWithOthers(QWidget *parentWindow, ClientSettings &settings, Questions questions);

    // With `failedAddress`, joining that address is what the window offers.
    void open(const QString &failedAddress = QString());
    // Opens it on joining, the address joined last in the box.
    void openToJoin();
    TplayWithOthers &window() { return *window_; }
    // The games of the local network, listed while the window is open.
    void listGamesFrom(GameFinder &finder);
    // This copy hosts, and friends on the internet join it at `address`
    // through the router and at `ipv6Address` over IPv6 (nowhere, when
    // empty).
    void showReachableAt(const QString &address, const QString &ipv6Address = QString());

signals:
    // Start the program again with this command line.
    void restartRequested(const QStringList &arguments);

private:
    void start(const PlayChoice &choice);
    // The name the user chose, in the window or on the command line; empty
    // when he never did.
    QString knownName(const PlayChoices &remembered) const;
    void showFoundGames();

    ClientSettings &settings_;
    Questions questions_;
    TplayWithOthers *window_ = nullptr;
    GameFinder *finder_ = nullptr;
};

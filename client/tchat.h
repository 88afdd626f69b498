#pragma once

#include "client/model/clientsession.h"
#include "client/model/seatrotation.h"
#include "net/gamerules.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class BoardPanel;
class ChatPanel;
struct CommandLine;
class ClientConnection;
class ConnectionLife;
class HandState;
class MainMenu;
class QAction;
class QLabel;
class QMenu;
class QMessageBox;
class QPushButton;
class SeatReturn;
class TServer;
class TSock;
class TableFit;
class TableState;
class TableView;

// Where a copy of the program finds its game server and the lobby. The
// program uses the defaults; tests run on free ports picked at run time and
// may hand in a server of their own.
struct TchatPorts
{
    quint16 game = kGamePort; // the game server's port: hosted here, or joined
    quint16 lobby = 9001;     // the lobby program's link on 127.0.0.1
};

// The main window. Every running copy has one; it is a client of the game
// host (its own server when it hosts). It holds the connection, the table
// state the host's messages fill, the table that draws it, the chat panel on
// the right and the main menu. Composition creates it and puts the rest of
// the program beside it.
class Tchat : public QMainWindow
{
    Q_OBJECT
public:
    // `arguments` is the command line without the program name; it is read
    // when the window is first shown. `server` is this copy's game server,
    // listening only once the user hosts; it outlives the window.
    Tchat(QStringList arguments, TchatPorts ports, TServer &server);
    ~Tchat() override;

    // Instead of the command line, the first showing opens the Play with
    // Others window on joining, with no game started: "Join a Game...".
    void choosePlayAtStart() { choosePlay_ = true; }
    // Started without a command line: a solo game under the name "You".
    bool playsSolo() const { return arguments_.isEmpty() && !choosePlay_; }
    // Starts as the command line says: a solo game, hosting or joining, or
    // only the notice that a game is loading (client/session/commandline.h).
    void processparams(const CommandLine &start);
    // Starts the game server of this copy and connects to it. Throws
    // ESockException when the port cannot be bound.
    void hostpress();
    // Connects to the host address. Throws ESockException when the host name
    // cannot be looked up.
    void joinpress();
    // Asks the host to remove the connection of `slot` (host's own copy only).
    void kicking(int slot);

    // Brings the window to the front, restoring it when it is minimised: a
    // second start of the program asks for this.
    void bringToFront();
    // A notice in the chat log, in the system colour.
    void notice(const QString &text);
    // The same with no speaker: nothing in bold, whatever colons it has.
    void plainNotice(const QString &text);

    const ClientSession &session() const { return session_; }
    ClientConnection &connection() { return *connection_; }
    SeatReturn &seatReturn() { return *seatReturn_; }
    ChatPanel &chatPanel() { return *chat_; }
    TableState &state() { return *state_; }
    HandState &handState() { return *hand_; }
    TServer &server() { return server_; }
    const TServer &server() const { return server_; }
    // Whether the user lets a game that others have joined end (asked only
    // then; always true otherwise). Closing and a restart both ask here.
    bool mayLeaveGame();
    // Tests answer the question for the user; by default a Yes/No box.
    void setLeaveQuestion(std::function<bool(const QString &question)> ask)
    {
        askLeave_ = std::move(ask);
    }
    MainMenu &menu() { return *menu_; }
    TableView &table() { return *table_; }
    TableFit &tableFit() { return *fit_; }
    QColor systemColour() const { return systemColour_; }
    // The seat number the seat popup menu was last opened for (its tag).
    int popupSeat() const { return popupSeat_; }

signals:
    // The host has confirmed this copy's own login: the moment to load the
    // settings file.
    void ownLoginConfirmed();
    // A sound of the game should play now.
    void playsounds(const QString &name);
    // The main window has closed; the program ends with it.
    void mainWindowClosed();
    // A solo game is about to be hosted: the moment to offer the lobby.
    void soloGameStarting();
    // This copy now hosts the game: its user may remove others.
    void hostingStarted();
    // The game at `address` could not be reached; the chat has said why.
    void hostUnreachable(const QString &address);
    // The window is up without a game: the user is to choose one to join.
    void joinChoiceOffered();
    // The game this copy played in is over for it: the host ended it, or
    // the way back after a drop gave up. The user may choose another.
    void gameLost();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void unreachable(const QString &address, const QString &why);
    void couldNotHost(const QString &why);
    void FormCreate();
    void buildBoard();
    void buildSeatPopup();
    void buildKeyboardFocus();

    void connectDispatcher();
    void connectConnectionLife();
    void connectionEnded();

    // Handlers of the host's messages that concern connections and logins.
    void newplayerinfo(int slot, const QString &name);
    void playerdisconnected(int seat, const QString &name);
    void justwatching(int seat, bool watching);
    void havewrongversion(const QString &name);
    void wrongversion();
    void gamefull();

    // Menu and popup handlers.
    void JustWatch1Click(bool checkedNow);
    void label_playername1ContextPopup(TablePlace place, const QPoint &globalPos);
    void RemoveFromGame1Click();
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();
    void Exit1Click();

    void openLobbyLink();

    QStringList arguments_;
    TchatPorts ports_;
    TServer &server_;
    ClientSession session_;
    ClientConnection *connection_ = nullptr;
    SeatReturn *seatReturn_ = nullptr;
    ConnectionLife *life_ = nullptr;
    TSock *Sock11_ = nullptr;
    BoardPanel *panel_board_ = nullptr;
    TableFit *fit_ = nullptr;
    ChatPanel *chat_ = nullptr;
    TableState *state_ = nullptr;
    HandState *hand_ = nullptr;
    TableView *table_ = nullptr;
    QPushButton *button_start_ = nullptr;
    QMenu *popup_kick_ = nullptr;
    MainMenu *menu_ = nullptr;
    std::function<bool(const QString &question)> askLeave_;
    QAction *RemoveFromGame1_ = nullptr;
    QAction *SettoJustWatch1_ = nullptr;
    QAction *UnsetJustWatch1_ = nullptr;
    QPointer<QMessageBox> fullBox_;
    QColor systemColour_;
    int popupSeat_ = 0;
    bool shownBefore_ = false;
    bool choosePlay_ = false;
    bool closing_ = false;
};

#pragma once

#include <QObject>
#include <QString>

class ClientConnection;
class SeatReturn;
class TableState;
struct ClientSession;

// This copy's time at the host, from the login to the end: a seat key shown
// before the login, the login itself, a drop and the way back to the seat,
// and the host's goodbye. It holds no window: it says what happened in
// notices and signals, and the main window shows them.
class ConnectionLife : public QObject
{
    Q_OBJECT
public:
    static inline const QString kLostTrying =
        QStringLiteral("Lost the connection to the game. Trying again...");
    static inline const QString kBackInSeat = QStringLiteral("You are back in your seat.");
    static inline const QString kHostClosed = QStringLiteral("%1 closed the game.");
    static inline const QString kRemoved = QStringLiteral("%1 removed you from the game.");
    static inline const QString kGaveUp = QStringLiteral(
        "Could not get back into the game. Host or join one through File > Play with Others...");
    static inline const QString kStoppedTrying = QStringLiteral("Stopped reconnecting.");
    static inline const QString kConnectionEnded = QStringLiteral("The game ended the connection.");

    // `gamePort` is where the host is joined (at session.hostAddress).
    ConnectionLife(ClientSession &session, ClientConnection &connection, SeatReturn &seatReturn,
                   TableState &state, quint16 gamePort, QObject *parent = nullptr);

    // The host offers a login in `slot` (CMD_sendlogininfo).
    void loginOffered(int slot);
    // The host confirmed the own login in `slot`: true when it is the seat
    // this copy sat in before its connection dropped (the chat has said so).
    bool backInSeat(int slot);
    // The connection ended or was lost, and nobody is closing the window.
    void ended();
    // A connection could not be made: true when it was an attempt to come
    // back, which the next attempt follows; the failure is the caller's to
    // tell otherwise.
    bool attemptUnreachable();
    // File > Stop Reconnecting.
    void stopTrying();
    // The program ends on purpose: the player leaves, and the host need not
    // keep his seat, also when the connection is down just now.
    void leave();

signals:
    void notice(const QString &text);
    // The login goes out for `slot`: the table turns to put it at the bottom.
    void loggingIn(int slot);
    // The game this copy played in is over for it: the host ended it, or
    // the way back gave up.
    void gameLost();

private:
    void login(int slot);
    void goodbye(int why, const QString &hostName);
    void tryToComeBack();

    ClientSession &session_;
    ClientConnection &connection_;
    SeatReturn &seatReturn_;
    TableState &state_;
    quint16 gamePort_;
    // The host said it closes this connection on purpose (a
    // ClientDispatcher::Goodbye), so its end is no drop.
    int goodbye_ = -1;
    // The seat this copy sat in when its connection dropped.
    int slotBeforeDrop_ = 0;
};

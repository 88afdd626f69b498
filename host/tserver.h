#pragma once

#include "host/errorthrottle.h"
#include "host/game.h"
#include "host/receivequeue.h"
#include "host/seatholds.h"
#include "host/seatkeys.h"
#include "host/tplayer.h"
#include "net/messages.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

class TSock;
enum class TSocketInfo;

// The game server. It accepts clients into slots, logs them in, relays chat,
// takes one message from its queue every 10 ms and drives the game with it;
// the computer players' turns and the pause between rounds run on its own
// timers. Every message is bound to the connection it came on: a slot or
// seat field that names another slot is not obeyed.
class TServer : public QObject, private GameTable
{
    Q_OBJECT
public:
    // Limits that keep one peer from exhausting the host.
    static constexpr int kMaxWaitingMessages = 100;
    static constexpr qsizetype kMaxUnsentBytes = 1024 * 1024;
    // The range of computer delays the host takes, in milliseconds.
    static constexpr int kMinBotDelay = 1;
    static constexpr int kMaxBotDelay = 60000;
    // A real client answers CMD_sendlogininfo at once; a connection that has
    // not logged in by then only holds a slot away from real players.
    static constexpr qint64 kLoginLimitMs = 15000;
    // How long the seat of a player whose connection dropped is kept for
    // him, unless the host's user chooses otherwise.
    static constexpr int kDefaultSeatHoldSeconds = 120;

    // The server's clock in milliseconds; it never goes back. The login
    // limit, the chat limit and the error reports read it, so tests can set
    // the time instead of waiting for it.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock);
    qint64 now() const;

    explicit TServer(quint16 port = kGamePort, QObject *parent = nullptr);
    // The same, with its own random generator in place of the program's.
    TServer(quint16 port, Random &random, QObject *parent = nullptr);
    ~TServer() override;

    // Starts listening; throws ESockException with the socket's text when
    // the port cannot be bound.
    void startListening();
    // Frees the game port; games already joined go on until the program
    // ends, and a later start listens on the same port again. Never throws,
    // also after a start that failed.
    void stopListening();
    bool listening() const;
    quint16 listeningPort() const;
    // Whether the game port is open on IPv6 too.
    bool listeningIPv6() const;

    // Seats 1 to 4 with a live connection; a seat that just watches counts.
    int numhumans() const;

    // Read-only views for the windows and for tests.
    const tplayer &player(int slot) const { return m_players[slot]; }
    int slotcount() const { return m_slotcount; }
    const GameState &gameState() const { return m_game.state(); }
    int botdelay() const { return m_botdelay; }
    const ReceiveQueue &receivedlist() const { return m_receivedlist; }
    bool computerArmed() const { return m_computertimer.isActive(); }
    bool pauseRunning() const { return m_timer1.isActive(); }
    bool loginTimerRunning() const { return m_logintimer.isActive(); }
    const SeatKeys &seatKeys() const { return m_keys; }

    // Connections without a socket, for the fuzzer and for tests that drive
    // the host without a network: the same slot choice, login and departure
    // as real connections, with nothing sent anywhere. attachConnection
    // returns the slot, or 0 when all nine are taken.
    int attachConnection();
    void detachConnection(int slot);
    // Queues a message as if it had arrived on the slot's connection.
    void receive(int slot, QByteArrayView message);
    // One tick of each timer, whether or not it is running.
    void socktimerTimer();
    void timer1Timer();
    void computertimerTimer();
    void turnclockTimer();

    // The host's own choice, never sent on the wire: a human seat that holds
    // the turn longer than this has one card played for it by the computer,
    // exactly as for a player who left, so every peer sees an ordinary card.
    // 0, the default, leaves every turn open as long as the player likes.
    void setTurnLimit(int milliseconds);
    // Whether anybody but the host's own copy is connected: leaving would
    // end the game for them.
    bool othersConnected() const;
    // The host's own copy is connecting from `ownPort` on this computer:
    // slot 1, the host's, waits for that connection alone, so a player
    // who happens to connect first (one coming back by himself, say) is
    // never taken for the host.
    void reserveHostSlot(quint16 ownPort);
    int turnLimit() const { return m_turnlimit; }
    bool turnClockRunning() const { return m_turnclock.isActive(); }
    int turnClockRemaining() const { return m_turnclock.remainingTime(); }
    // A seated player (not the host's own) whose connection drops without
    // his CMD_leaving has his seat kept this long: nobody else is given it,
    // the computer plays it, and his key brings him back to it. 0 makes a
    // drop an ordinary departure. A change counts for later drops; a seat
    // already kept keeps its time.
    void setSeatHoldSeconds(int seconds);
    int seatHoldSeconds() const { return m_seatholdseconds; }
    bool seatHeld(int seat) const { return m_holds.held(seat); }
    bool seatHoldTimerRunning() const { return m_seatholdtimer.isActive(); }
    // Ends the holds whose time has run out, as ordinary departures.
    void seatholdTimer();
    // The host ends the game: every other connection is told so and
    // closed, and no seat is kept any more.
    void closeGame();
    // Closes the connections that have not logged in within the limit.
    void logintimerTimer();
    // Reports the errors held back in the last second.
    void errortimerTimer();

signals:
    // Who sits where, who watches, or whether a game runs has changed: what
    // the host tells the network about its game.
    void seatsChanged();
    // The game port is open to others, or no longer.
    void listeningStarted();
    void listeningStopped();

private:
    // The host's own lines to all: a colour no player's own chat uses by
    // default, and not the blue of the game's own notices.
    static constexpr char kNoticeColour[] = "|clMaroon";

    void scheduleSocktimer();
    using Handler = void (TServer::*)(int from, const QByteArray &payload);
    // Reads the payload into its message and hands a message that reads to
    // the handler; one that names no slot, seat or position is dropped.
    template <class Message, void (TServer::*handle)(int, const Message &)>
    void take(int from, const QByteArray &payload);
    struct Route
    {
        const char *name;
        Handler handler;
    };
    static const Route kRoutes[];

    void FormCreate();
    void startListeningIPv6();
    void Sock1Accept(TSock *sender);
    void Sock1Read(TSock *sender, int count);
    void tempsockDisconnect(TSock *sender);
    void tempsockInfo(TSock *sender, TSocketInfo kind, const QString &text);

    int freeSlot() const;
    void attach(int slot, TSock *sock);
    // The end of a connection: its seat kept, or an ordinary departure.
    void connectionEnded(int slot);
    bool keepsSeat(int slot) const;
    void departure(int slot);
    // Empties the slot without a word to anybody.
    void clearSlot(int slot);
    void releaseSock(tplayer &player);
    void disconnectsock(int slot);
    void closeLater(int slot);
    void queueMessage(int slot, QByteArrayView message, bool &overflow);
    void dispatch(int from, const QByteArray &message);
    void reportPeerError(const QString &text);

    // Keeping seats (tserverholds.cpp).
    void holdSeat(int seat);
    void endHold(int seat);
    void takeReclaim(int from, const QByteArray &payload);
    bool reclaimable(int from, const msg::Reclaim &request) const;
    void moveConnection(int from, int to);
    void sendNotice(const QString &line);
    QByteArray hostName() const { return m_players[kHostSlot].name; }

    // Message handlers; `from` is the slot of the connection it came on.
    void receivedlogininfo(int from, const msg::Logininfo &request);
    void kickhim(int from, const msg::Kickhim &request);
    void botspeed(int from, const msg::Botspeed &request);
    void chat(int from, const msg::ChatToHost &request);
    void action(int from, const msg::ActionToHost &request);
    void startgame(int from, const msg::StartgameToHost &request);
    void justwatch(int from, const msg::Justwatch &request);
    void playcard(int from, const msg::PlaycardToHost &request);
    void leaving(int from, const msg::Leaving &request);

    void sendTo(int slot, const QByteArray &message);
    // The seat's own cards: only to a connection that has logged in.
    void sendToPlayer(int slot, const QByteArray &message);
    void sendFramed(int slot, const QByteArray &framedMessage);
    void sendToAll(const QByteArray &message);
    // The turn time limit now, as a chat line and as the limit itself.
    void tellTurnLimit(int slot);
    void arm();
    // The seat, holding the turn, has become a human's (a turn passed to it,
    // a player came back or took it over): the turn clock runs.
    void humanHoldsTurn(int seat);
    NumberedValues moneyBySeat() const;
    bool liveSlot(int slot) const;

    // GameTable: the game asks who sits where and tells what happened.
    bool seatConnected(int seat) const override;
    bool seatWatching(int seat) const override;
    void gameStarted(QByteArrayView name, QByteArrayView mode) override;
    void roundStarted(int round) override;
    void handDealt(int seat) override;
    void turnPassed(int seat) override;
    void computerToPlay() override;
    void cardPlayed(int seat, int card, int total) override;
    void cardDrawn(int seat, int position, int card) override;
    void noCard(int seat, int position) override;
    void roundOver(int seat, int money) override;
    void gameWon(int seat) override;
    void pauseStarted() override;

    TSock *Sock1 = nullptr;
    // The game port on IPv6, beside Sock1; never there on a computer
    // without IPv6, and then nobody misses it.
    TSock *Sock6 = nullptr;
    TSock *tempsock = nullptr;
    QTimer m_socktimer;
    // The queue is handled on a fixed 10 ms beat. The timer sleeps while the
    // queue is empty and wakes on the next beat, so an idle host costs
    // nothing and a message waits no longer than with a free-running timer.
    QElapsedTimer m_socktimerBeat;
    QTimer m_timer1;
    QTimer m_computertimer;
    // Runs while a human seat holds the turn and a turn limit is set.
    QTimer m_turnclock;
    int m_turnlimit = 0;
    QTimer m_logintimer;
    QTimer m_seatholdtimer;
    int m_seatholdseconds = kDefaultSeatHoldSeconds;
    SeatHolds m_holds;
    SeatKeys m_keys;
    QTimer m_errortimer;
    QElapsedTimer m_clockStart;
    Clock m_clock;
    ErrorThrottle m_errors;

    // Slots 1 to 11 at their own index; slot 10 only ever refuses, 11 is
    // never used.
    std::array<tplayer, 12> m_players;
    int m_slotcount = 0;
    ReceiveQueue m_receivedlist;
    quint64 m_lastConnection = 0;
    // The port the host's own copy connects from while slot 1 waits for it;
    // 0 when it does not wait.
    quint16 m_ownPort = 0;
    int m_botdelay = 0;
    Game m_game;
};

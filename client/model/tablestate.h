#pragma once

#include "net/gamerules.h"
#include "net/messages.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

struct ClientSession;

// One of the four seats as this client knows it.
struct TableSeat
{
    QString name;            // "<Waiting>" until somebody or a computer takes it
    int bags = kStartMoney;  // money bags, 0 to 3
    bool watching = false;   // the seat's player just watches
    bool outOfMoney = false; // no bags left: out of the game
    bool computer = false;   // a computer player holds the seat
    bool away = false;       // the player lost his connection; the seat waits for him
};

// A watcher: a connection in a slot above the seats.
struct TableWatcher
{
    int slot = 0;
    QString name;
    // "slot: name", as the spy list shows a watcher.
    QString entry() const;
    bool operator==(const TableWatcher &) const = default;
};

// A card laid on the pile this round: who laid it, the card and the pile's
// total just before, so the real sum of a bust can be worked out.
struct TablePlay
{
    int seat = 0;
    QString name; // who sat there when the card was laid
    int card = 0;
    int before = 0;
    bool operator==(const TablePlay &) const = default;
};

// Everything this client knows about the table: who sits where, their bags,
// whose turn it is, the round, the pile and the watchers. The dispatcher
// feeds it the host's messages as typed values; the table view, the main
// window, the tally and the spy list read it and never read their own
// widgets back. Each message is applied first and then announced, so a
// listener always sees the state after the message.
class TableState : public QObject
{
    Q_OBJECT
public:
    using SeatValues = NumberedValues;

    static constexpr int kSeats = kSeatCount;
    static constexpr int kStartBags = kStartMoney;
    // The pile shows nothing at all: a round has started, no card is down.
    static constexpr int kEmptyPile = -1;
    static inline const QString kWaiting = QLatin1String(kWaitingName);

    explicit TableState(const ClientSession *session, QObject *parent = nullptr);

    // The seat 1 to 4; a number outside gives an empty seat that no view
    // draws.
    const TableSeat &seat(int seat) const;
    static bool isSeat(int seat) { return ::isSeat(seat); }
    // The name a computer player shows at `seat`.
    QString defaultName(int seat) const;
    int ownSlot() const;
    // The user holds `seat` (a watcher holds none).
    bool isOwnSeat(int seat) const;

    // Whose turn it is, as far as this client knows; 0 while the user's
    // card is on its way to the host.
    int turnSeat() const { return turnSeat_; }
    int round() const { return round_; }
    int total() const { return total_; }
    // The card on top of the pile: 0 the card back, kEmptyPile nothing.
    int topCard() const { return topCard_; }
    int cardCount() const { return cardCount_; }
    // The host's turn time limit in seconds, 0 for none (or a host that
    // does not tell).
    int turnLimitSeconds() const { return turnLimitSeconds_; }
    int winnerSeat() const { return winnerSeat_; }
    const QString &winnerName() const { return winnerName_; }
    const QList<TableWatcher> &watchers() const { return watchers_; }
    // The last cards laid this round (at most kPlaysKept), oldest first;
    // empty at a round's start and for a client that arrived in the middle
    // of one. A host that never deals again cannot make it grow.
    static constexpr int kPlaysKept = 3;
    const QList<TablePlay> &plays() const { return plays_; }
    QStringList watcherEntries() const;

    // The names at the table the tally counts a game with: every seat but
    // the user's own and the empty ones, computer players included.
    QStringList currentPlayers() const;

    // Login and departure messages.
    void newplayerinfo(int slot, const QString &name);
    // The host keeps `seat` for a player whose connection dropped, or no
    // longer.
    void away(int seat, bool away);
    // This client logs in again after its connection dropped: who sits
    // where is the host's to say anew, so the seats wait and the watchers
    // are forgotten until the new login's messages fill them.
    void rejoin();
    void playerdisconnected(int slot, const QString &name);
    void justwatching(int seat, bool watching);

    // Game messages.
    void startthegame(const QString &name, const QString &mode);
    void startround(int round, const SeatValues &bags);
    void getnextplayer(int seat);
    void turnlimit(int seconds);
    void gamestats(int round, int total, int topcard, int turn, const SeatValues &bags);
    void playcard(int seat, int card, int total);
    void roundover(int seat, int bags);
    void winner(const QString &name, int seat);

    // The host refused a card of `seat`'s hand: when it is the user's, he
    // picks again (the host sends no new turn after a refusal).
    void nocard(int seat, int position);

    // The user sent his card: no other may go until the next turn.
    void closeHand();

signals:
    // A seat's name or its watching mark changed.
    void seatChanged(int seat);
    void watchersChanged();

    // The messages, after they have been applied. A view draws from the
    // state; the arguments only say what the message was about.
    void playerArrived(int slot, const QString &name);
    // The player of a seat left (`name` is who sat there); a computer
    // player has the seat now.
    void seatLeft(int seat, const QString &name);
    void watcherLeft(const TableWatcher &watcher);
    void watchingChanged(int seat, bool watching);
    void gameStarted(const QString &name);
    void roundStarted(const SeatValues &bags);
    void turnChanged(int seat);
    void turnLimitChanged(int seconds);
    void lateArrival(const SeatValues &bags);
    void cardPlayed(int seat);
    void seatBusted(int seat, int bags);
    // The user's card went to the host; or the host refused it, and the
    // card at `position` of his hand is no longer his to play.
    void handClosed();
    void cardRefused(int position);
    void gameWon(const QString &name, int seat);

private:
    TableSeat *find(int seat);
    void takeBags(const SeatValues &bags);
    void reopenHand();
    void seatTheComputers();

    const ClientSession *session_;
    std::array<TableSeat, kSeats> seats_;
    int turnSeat_ = 0;
    int round_ = 0;
    int total_ = 0;
    int topCard_ = 0; // the form shows a card back before any game
    int cardCount_ = 0;
    int turnLimitSeconds_ = 0;
    int winnerSeat_ = 0;
    QString winnerName_;
    QList<TableWatcher> watchers_;
    QList<TablePlay> plays_;
};

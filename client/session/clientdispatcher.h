#pragma once

#include "net/messages.h"

#include <QByteArrayView>
#include <QObject>

class HandState;
class TableState;
#include <QString>

// The client's dispatch table. Each message from the host is matched by its
// command name, in the game's fixed order, to one row; the row reads the
// payload into values and announces them as one typed signal named after the
// handler that takes it. Widgets connect to the signals and never see the
// wire text.
class ClientDispatcher : public QObject
{
    Q_OBJECT
public:
    using SeatValues = NumberedValues;
    // Why the host ends the connection on purpose.
    enum class Goodbye { Closed, Removed };

    using QObject::QObject;

    // Handles one message of the receive queue. An empty or unknown command
    // name is dropped. A number field that does not convert ends the
    // handling of this message and is reported through reportError(). A
    // message naming a seat, slot, position, card, total or bags the game
    // does not have is dropped without a word, so a broken or hostile host
    // cannot make the table draw it; names arrive cut to what is shown.
    void dispatch(QByteArrayView message);

    // Hands every message that changes the table to the table's model.
    void feed(TableState &table);
    // Hands the user's cards to the hand's model.
    void feed(HandState &hand);

signals:
    void sendloginfo(int slot);
    void chatrecieved(const QString &payload);
    void newplayerinfo(int slot, const QString &name);
    void havewrongversion(const QString &name);
    void wrongversion();
    void playerdisconnected(int slot, const QString &name);
    void startthegame(const QString &name, const QString &mode);
    void getnextplayer(int seat);
    void turnlimit(int seconds);
    void winner(const QString &name, int seat);
    void gamefull();
    void justwatching(int seat, const QString &flag);
    void placecard(int seat, const ClientDispatcher::SeatValues &cards);
    void playcard(int seat, int card, int total);
    void startround(int round, const ClientDispatcher::SeatValues &money);
    void newcard(int seat, int position, int card);
    void nocard(int seat, int position);
    void roundover(int seat, int money);
    void gamestats(int round, int total, int topcard, int turn,
                   const ClientDispatcher::SeatValues &money);
    // The key that gives this player his seat back after a drop.
    void seatkey(const QByteArray &key);
    void away(int seat, bool away);
    // The host is about to close the connection: it ended the game, or its
    // player removed this one. `hostName` is the host's player.
    void goodbye(ClientDispatcher::Goodbye why, const QString &hostName);

private:
    struct Row;
    static const Row kRows[];

    // Reads the payload into its message and, when it reads, announces it.
    template <class Message> void take(FieldReader &fields);
    void announce(const msg::Sendlogininfo &m);
    void announce(const msg::Turnlimit &m);
    void announce(const msg::Seatkey &m);
    void announce(const msg::Away &m);
    void announce(const msg::Goodbye &m);
    void announce(const msg::ChatToAll &m);
    void announce(const msg::ActionToAll &m);
    void announce(const msg::Newplayerinfo &m);
    void announce(const msg::Existingplayers &m);
    void announce(const msg::Havewrongversion &m);
    void announce(const msg::Wrongversion &m);
    void announce(const msg::Playerdisconnected &m);
    void announce(const msg::StartgameToAll &m);
    void announce(const msg::Nextplayer &m);
    void announce(const msg::Winner &m);
    void announce(const msg::Full &m);
    void announce(const msg::Justwatching &m);
    void announce(const msg::Placecard &m);
    void announce(const msg::PlaycardToAll &m);
    void announce(const msg::Startround &m);
    void announce(const msg::Newcard &m);
    void announce(const msg::Nocard &m);
    void announce(const msg::Roundover &m);
    void announce(const msg::Gamestats &m);
};

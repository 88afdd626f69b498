#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <array>

class FieldReader;

// The client's dispatch table. Each message from the host is matched by its
// command name, in the game's fixed order, to one row; the row reads the
// payload into values and announces them as one typed signal named after the
// handler that takes it. Widgets connect to the signals and never see the
// wire text.
class ClientDispatcher : public QObject
{
    Q_OBJECT
public:
    using SeatValues = std::array<int, 4>;

    using QObject::QObject;

    // Handles one message of the receive queue. An empty or unknown command
    // name is dropped. A number field that does not convert ends the
    // handling of this message and is reported through reportError().
    void dispatch(QByteArrayView message);

signals:
    void sendloginfo(int slot);
    void chatrecieved(const QString &payload);
    void newplayerinfo(int slot, const QString &name);
    void havewrongversion(const QString &name);
    void wrongversion();
    void playerdisconnected(int slot, const QString &name);
    void startthegame(const QString &name, const QString &mode);
    void getnextplayer(int seat);
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

private:
    struct Row;
    static const Row kRows[];

    void readSendlogininfo(FieldReader &fields);
    void readChat(FieldReader &fields);
    void readNewplayerinfo(FieldReader &fields);
    void readHavewrongversion(FieldReader &fields);
    void readWrongversion(FieldReader &fields);
    void readPlayerdisconnected(FieldReader &fields);
    void readStartgame(FieldReader &fields);
    void readNextplayer(FieldReader &fields);
    void readWinner(FieldReader &fields);
    void readFull(FieldReader &fields);
    void readJustwatching(FieldReader &fields);
    void readPlacecard(FieldReader &fields);
    void readPlaycard(FieldReader &fields);
    void readStartround(FieldReader &fields);
    void readNewcard(FieldReader &fields);
    void readNocard(FieldReader &fields);
    void readRoundover(FieldReader &fields);
    void readGamestats(FieldReader &fields);
};

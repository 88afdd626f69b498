#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Brings a player whose connection dropped back to his seat. It keeps the
// seat key the host gave him (in memory and, through the store, in the
// settings file, so that a copy started again after a crash has it too),
// presents it before the login on a new connection, and after a drop asks
// for the connection to be opened again with growing waits, for up to five
// minutes. A host that does not know keys never gives one and never hears
// one: against it the way back is an ordinary late arrival.
class SeatReturn : public QObject
{
    Q_OBJECT
public:
    static constexpr int kGiveUpMs = 5 * 60 * 1000;
    static constexpr int kFirstWaitMs = 1000;
    static constexpr int kLongestWaitMs = 15000;
    // A host that takes a key answers at once; one that lets the login
    // wait this long did not understand it.
    static constexpr int kAnswerWaitMs = 5000;

    // A seat's key and the slot it takes back.
    struct Key
    {
        int slot = 0;
        QByteArray key;
    };
    // Where keys are kept between runs, by the host's "address:port".
    struct Store
    {
        std::function<Key(const QString &host)> load;
        std::function<void(const QString &host, const Key &key)> save;
    };

    explicit SeatReturn(QObject *parent = nullptr);
    void setStore(Store store) { store_ = std::move(store); }

    // This copy joins the game at `host`: a key kept for it is taken up.
    void joining(const QString &host);
    // The host offers a login in `slot` on a connection: the key to present
    // first (once per connection), with the slot it takes back, or no key
    // when the login may go at once.
    Key keyToPresent(int slot);
    // The connection logged in: its key, if one went out, was answered.
    void loggedIn();
    // The host gave this connection, in `slot`, its key (CMD_seatkey).
    void keyReceived(int slot, const QByteArray &key);
    // The player leaves on purpose, or the host ended his game: the key is
    // of no further use.
    void forget();
    Key key() const { return key_; }

    // The connection dropped: the attempts begin.
    void start();
    // An attempt failed (no answer, refused, or closed before the login):
    // the next one after a longer wait, unless the time is up.
    void attemptFailed();
    // The user had enough, or the player is back.
    void stop();
    bool trying() const { return trying_; }
    // The connection now opening is an attempt to come back.
    bool comingBack() const { return comingBack_; }
    void arrived();

signals:
    // Open the connection again now.
    void attempt();
    // Five minutes without getting back: the attempts have ended.
    void gaveUp();
    void tryingChanged(bool trying);
    // The host let the key go unanswered: log in with `slot` as anybody.
    void keyUnanswered(int slot);

private:
    void wait();

    Store store_;
    QString host_;
    Key key_;
    bool presented_ = false;
    int presentedSlot_ = 0;
    QTimer answerTimer_;
    QTimer attemptTimer_;
    QElapsedTimer since_;
    int nextWaitMs_ = kFirstWaitMs;
    bool trying_ = false;
    bool comingBack_ = false;
};

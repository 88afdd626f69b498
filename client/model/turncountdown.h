#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// On every copy, when the host has announced a turn time limit, the status
// line counts down the last ten seconds of a human's turn. The clock starts
// when this copy hears of the turn, a few milliseconds after the server's
// own; the server alone decides when the limit has passed.
class TurnCountdown : public QObject
{
    Q_OBJECT
public:
    static constexpr int kShownSeconds = 10;

    explicit TurnCountdown(QObject *parent = nullptr);

    void setLimit(int milliseconds) { limitMs_ = milliseconds; }
    // A new turn: counted when a human holds it and a limit is set.
    void turnStarted(bool human);
    // Counts the limit from now.
    void start();
    void stop();

    // The whole seconds to show at `nowMs` (ms since the clock started),
    // 0 when nothing is to be shown; tests step time through this.
    int secondsLeft(qint64 nowMs) const;
    void tick(qint64 nowMs);
    qint64 now() const { return clock_.elapsed(); }

signals:
    // The seconds to show changed; 0 means show the plain turn again.
    void secondsLeftChanged(int seconds);

private:
    void show(int seconds);

    QTimer timer_;
    QElapsedTimer clock_;
    int limitMs_ = 0;
    qint64 deadlineMs_ = -1;
    int shown_ = 0;
};

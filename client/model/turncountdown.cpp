#include "client/model/turncountdown.h"

namespace {
// Often enough that a shown second is never late by more than a blink.
constexpr int kTickMs = 200;
} // namespace

TurnCountdown::TurnCountdown(QObject *parent) : QObject(parent)
{
    clock_.start();
    timer_.setInterval(kTickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(now()); });
}

void TurnCountdown::turnStarted(bool human)
{
    if (human)
        start();
    else
        stop();
}

void TurnCountdown::start()
{
    stop();
    if (limitMs_ <= 0)
        return;
    deadlineMs_ = now() + limitMs_;
    timer_.start();
}

void TurnCountdown::stop()
{
    timer_.stop();
    deadlineMs_ = -1;
    show(0);
}

int TurnCountdown::secondsLeft(qint64 nowMs) const
{
    if (deadlineMs_ < 0)
        return 0;
    const qint64 left = deadlineMs_ - nowMs;
    if (left <= 0 || left > qint64(kShownSeconds) * 1000)
        return 0;
    return int((left + 999) / 1000);
}

void TurnCountdown::tick(qint64 nowMs)
{
    show(secondsLeft(nowMs));
    if (deadlineMs_ >= 0 && nowMs >= deadlineMs_)
        timer_.stop();
}

void TurnCountdown::show(int seconds)
{
    if (seconds == shown_)
        return;
    shown_ = seconds;
    emit secondsLeftChanged(seconds);
}

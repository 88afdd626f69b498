#include "client/session/seatreturn.h"

#include <algorithm>
#include <utility>

SeatReturn::SeatReturn(QObject *parent) : QObject(parent)
{
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(kAnswerWaitMs);
    connect(&answerTimer_, &QTimer::timeout, this, [this] { emit keyUnanswered(presentedSlot_); });
    attemptTimer_.setSingleShot(true);
    connect(&attemptTimer_, &QTimer::timeout, this, [this] {
        presented_ = false;
        comingBack_ = true;
        emit attempt();
    });
}

void SeatReturn::joining(const QString &host)
{
    host_ = host;
    presented_ = false;
    key_ = store_.load ? store_.load(host) : Key{};
}

SeatReturn::Key SeatReturn::keyToPresent(int slot)
{
    if (presented_ || key_.key.isEmpty())
        return {};
    presented_ = true;
    presentedSlot_ = slot;
    answerTimer_.start();
    // A key goes out once: the host takes it or forgets it.
    return std::exchange(key_, Key{});
}

void SeatReturn::loggedIn()
{
    answerTimer_.stop();
}

void SeatReturn::keyReceived(int slot, const QByteArray &key)
{
    key_ = Key{slot, key};
    if (store_.save)
        store_.save(host_, key_);
}

void SeatReturn::forget()
{
    key_ = Key{};
    if (store_.save && !host_.isEmpty())
        store_.save(host_, Key{});
}

void SeatReturn::start()
{
    if (trying_)
        return;
    trying_ = true;
    since_.start();
    nextWaitMs_ = kFirstWaitMs;
    emit tryingChanged(true);
    wait();
}

void SeatReturn::attemptFailed()
{
    if (trying_)
        wait();
}

void SeatReturn::wait()
{
    answerTimer_.stop();
    if (since_.elapsed() + nextWaitMs_ > kGiveUpMs) {
        stop();
        emit gaveUp();
        return;
    }
    attemptTimer_.start(nextWaitMs_);
    nextWaitMs_ = std::min(nextWaitMs_ * 2, kLongestWaitMs);
}

void SeatReturn::stop()
{
    attemptTimer_.stop();
    answerTimer_.stop();
    comingBack_ = false;
    if (!trying_)
        return;
    trying_ = false;
    emit tryingChanged(false);
}

void SeatReturn::arrived()
{
    stop();
}

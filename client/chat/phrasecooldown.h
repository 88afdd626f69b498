#pragma once

#include <QElapsedTimer>

#include <chrono>

// The phrase buttons may be used once every two seconds of real time,
// however fast or slow the window's timers tick.
class PhraseCooldown
{
public:
    explicit PhraseCooldown(std::chrono::milliseconds length = std::chrono::seconds(2))
        : length_(length)
    {}

    bool ready() const { return !lastUse_.isValid() || lastUse_.hasExpired(length_.count()); }
    void use() { lastUse_.start(); }
    void setLength(std::chrono::milliseconds length) { length_ = length; }

private:
    std::chrono::milliseconds length_;
    QElapsedTimer lastUse_;
};

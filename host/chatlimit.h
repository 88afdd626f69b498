#pragma once

#include <QtGlobal>

#include <array>

// How fast one connection may talk: at most kLines chat and action lines in
// any kWindowMs. A real client waits two seconds between phrases and nobody
// types faster than this; a line over the limit is dropped. Time comes in as
// an argument, in milliseconds of a clock that never goes back.
class ChatLimit
{
public:
    static constexpr int kLines = 10;
    static constexpr qint64 kWindowMs = 10000;

    // Whether a line arriving at `now` may pass; a line that passes counts.
    bool allow(qint64 now);
    void clear() { m_count = 0; }

private:
    // The times of the last kLines lines that passed, oldest at m_oldest.
    std::array<qint64, kLines> m_times{};
    int m_count = 0;
    int m_oldest = 0;
};

#pragma once

#include <QHash>
#include <QtGlobal>

// How often the host answers one sender: a few answers in a window of
// time, then nothing until the window has passed. A forged sender address
// gets no more from us than an honest one. The time comes in as an argument.
class AnswerLimit
{
public:
    static constexpr int kAnswersPerWindow = 5;
    static constexpr qint64 kWindowMs = 5000;
    // More senders than a house has computers: the table stays small
    // whatever arrives.
    static constexpr int kMaxSenders = 256;

    // Whether `sender` (an IPv4 address) may have an answer now; counts it.
    bool allow(quint32 sender, qint64 nowMs);

private:
    struct Window
    {
        qint64 startMs = 0;
        int answers = 0;
    };
    void forgetOld(qint64 nowMs);

    QHash<quint32, Window> senders_;
};

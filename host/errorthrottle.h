#pragma once

#include <QString>

#include <optional>

// Errors a peer causes (numbers that do not convert) are reported at most
// once a second: the first at once, the rest of that second counted and
// reported together when the second is over, so that a peer can neither
// write megabytes to standard error nor pile up error boxes. Time comes in
// as an argument, in milliseconds of a clock that never goes back.
class ErrorThrottle
{
public:
    static constexpr qint64 kQuietMs = 1000;

    // The text to report now, or nothing when it is held back and counted.
    std::optional<QString> report(const QString &text, qint64 now);
    // Once the quiet second is over: the report of what was held back, if
    // anything was.
    std::optional<QString> flush(qint64 now);

    bool holding() const { return m_held > 0; }
    // When the held errors may be reported.
    qint64 quietUntil() const { return m_quietUntil; }

private:
    QString released(QString text, int more, qint64 now);

    qint64 m_quietUntil = 0;
    bool m_reportedBefore = false;
    int m_held = 0;
    QString m_lastHeld;
};

#include "host/errorthrottle.h"

#include <utility>

namespace {
const QString kMoreErrors = QStringLiteral("\n\nand %1 more errors");
} // namespace

std::optional<QString> ErrorThrottle::report(const QString &text, qint64 now)
{
    if (m_reportedBefore && now < m_quietUntil) {
        ++m_held;
        m_lastHeld = text;
        return std::nullopt;
    }
    // Errors held from the last second go with this one.
    return released(text, std::exchange(m_held, 0), now);
}

std::optional<QString> ErrorThrottle::flush(qint64 now)
{
    if (m_held == 0 || now < m_quietUntil)
        return std::nullopt;
    const int more = std::exchange(m_held, 0) - 1;
    return released(m_lastHeld, more, now);
}

QString ErrorThrottle::released(QString text, int more, qint64 now)
{
    m_reportedBefore = true;
    m_quietUntil = now + kQuietMs;
    m_lastHeld.clear();
    return more > 0 ? text + kMoreErrors.arg(more) : text;
}

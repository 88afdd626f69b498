#include "host/chatlimit.h"

bool ChatLimit::allow(qint64 now)
{
    if (m_count < kLines) {
        m_times[std::size_t((m_oldest + m_count) % kLines)] = now;
        ++m_count;
        return true;
    }
    if (now - m_times[std::size_t(m_oldest)] < kWindowMs)
        return false;
    // The oldest line has left the window; this one takes its place.
    m_times[std::size_t(m_oldest)] = now;
    m_oldest = (m_oldest + 1) % kLines;
    return true;
}

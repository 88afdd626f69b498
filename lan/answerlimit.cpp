#include "lan/answerlimit.h"

bool AnswerLimit::allow(quint32 sender, qint64 nowMs)
{
    auto known = senders_.find(sender);
    if (known != senders_.end() && nowMs - known->startMs >= kWindowMs) {
        senders_.erase(known);
        known = senders_.end();
    }
    if (known == senders_.end()) {
        if (senders_.size() >= kMaxSenders)
            forgetOld(nowMs);
        // Still full: the windows are all young, and a crowd of senders
        // is exactly what no answer should go to.
        if (senders_.size() >= kMaxSenders)
            return false;
        known = senders_.insert(sender, Window{nowMs, 0});
    }
    if (known->answers >= kAnswersPerWindow)
        return false;
    ++known->answers;
    return true;
}

void AnswerLimit::forgetOld(qint64 nowMs)
{
    senders_.removeIf(
        [nowMs](const auto &entry) { return nowMs - entry.value().startMs >= kWindowMs; });
}

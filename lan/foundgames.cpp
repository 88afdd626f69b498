#include "lan/foundgames.h"

bool FoundGames::heard(const QHostAddress &address, const lan::Announcement &told, qint64 nowMs)
{
    const auto same = [&](const FoundGame &game) {
        return game.address.isEqual(address, QHostAddress::TolerantConversion) &&
               game.announcement.port == told.port;
    };
    const auto known = std::find_if(games_.begin(), games_.end(), same);
    if (told.closed) {
        if (known == games_.end())
            return false;
        games_.erase(known);
        return true;
    }
    if (known == games_.end()) {
        games_.append(FoundGame{address, told, nowMs});
        return true;
    }
    known->heardMs = nowMs;
    if (known->announcement == told)
        return false;
    known->announcement = told;
    return true;
}

bool FoundGames::expire(qint64 nowMs)
{
    return games_.removeIf(
               [nowMs](const FoundGame &game) { return nowMs - game.heardMs >= kSilenceMs; }) > 0;
}

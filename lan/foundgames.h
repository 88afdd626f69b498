#pragma once

#include "net/lanannouncement.h"

#include <QHostAddress>
#include <QList>

// One game heard on the network.
struct FoundGame
{
    QHostAddress address;
    lan::Announcement announcement;
    qint64 heardMs = 0;
};

// The games a joining copy has heard of, in the order it first heard them.
// A game is known by its host's address and port; it is gone when its host
// says it closed or has been silent too long. The time comes in as an
// argument.
class FoundGames
{
public:
    static constexpr qint64 kSilenceMs = 15000;

    // Returns whether the list as shown changed.
    bool heard(const QHostAddress &address, const lan::Announcement &told, qint64 nowMs);
    bool expire(qint64 nowMs);
    void clear() { games_.clear(); }

    const QList<FoundGame> &games() const { return games_; }

private:
    QList<FoundGame> games_;
};

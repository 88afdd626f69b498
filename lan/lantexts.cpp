#include "lan/lantexts.h"

#include <QStringList>

namespace lantexts {

QString gameLine(const lan::Announcement &told)
{
    // One pass: a "%2" in a player's name stays as he typed it.
    return kGameLine.arg(told.hostName, QString::number(told.seatsTaken),
                         QString::number(told.watchers), told.playing ? kPlaying : kWaiting);
}

QString reachableLine(const QList<QHostAddress> &addresses)
{
    QStringList shown;
    for (const QHostAddress &address : addresses)
        shown.append(address.toString());
    if (shown.isEmpty())
        return QString();
    const QString last = shown.takeLast();
    const QString joined = shown.isEmpty() ? last : shown.join(kComma) + kOr + last;
    return kReachableAt.arg(joined);
}

} // namespace lantexts

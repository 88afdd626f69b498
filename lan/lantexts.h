#pragma once

#include "net/lanannouncement.h"

#include <QHostAddress>
#include <QList>
#include <QString>

// The game's words about the games on the local network.
namespace lantexts {

inline const QString kGameLine = QStringLiteral("%1's game - %2 of 4 seats taken, %3 watching, %4");
inline const QString kPlaying = QStringLiteral("playing");
inline const QString kWaiting = QStringLiteral("waiting to start");
inline const QString kReachableAt = QStringLiteral("Others on this network can join you at %1.");
inline const QString kOr = QStringLiteral(" or ");
inline const QString kComma = QStringLiteral(", ");

// "Ann's game - 2 of 4 seats taken, 1 watching, playing"
QString gameLine(const lan::Announcement &told);
// "Others on this network can join you at 192.168.1.20 or 10.0.0.5.";
// empty when the computer is on no network.
QString reachableLine(const QList<QHostAddress> &addresses);

} // namespace lantexts

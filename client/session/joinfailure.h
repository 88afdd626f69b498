#pragma once

#include <QString>

// Why a join could not reach its host, in words a player understands, with
// the socket's own text after them for whoever looks further. A failure
// without plain words keeps the socket's text alone.
QString joinFailureWords(const QString &socketText, quint16 port);

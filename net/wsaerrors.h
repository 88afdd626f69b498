#pragma once

#include <QString>

// Socket errors are reported with the Windows Sockets numbering and names
// that players and the game's own messages have always used, so errno
// values are translated at the edge.

// The Windows Sockets code for an errno value; an errno with no counterpart
// comes back unchanged (and is named "UNKNOWN ERROR").
int wsaCodeFromErrno(int errnoValue);

// The symbolic name of a Windows Sockets code, "UNKNOWN ERROR" for others.
QString wsaErrorName(int code);

#pragma once

#include <QString>

// The name other players see when the user has not typed one: the full name
// of his account (the first comma-separated part of the passwd comment
// field), or failing that its user name.
QString accountName();

// The same, read from a passwd comment field and user name.
QString accountNameFrom(const QString &gecos, const QString &userName);

#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// What the Play with Others window remembers between runs: the name the
// user plays under and the addresses he joined, the most recent first. They
// live in the settings file under keys of their own, which the rest of the
// settings never read or write.
struct PlayChoices
{
    static inline const QString kNameKey = QStringLiteral("Playername");
    static inline const QString kHostsKey = QStringLiteral("Recenthosts");
    static constexpr int kMaxRecentHosts = 8;

    QString playerName;
    QStringList recentHosts;

    static PlayChoices read(const IniFile &ini, const QString &section);
    void write(IniFile &ini, const QString &section) const;

    // Puts `address` first, once, and forgets the oldest past the limit.
    void rememberHost(const QString &address);
};

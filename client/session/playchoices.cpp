#include "client/session/playchoices.h"

#include "client/session/inifile.h"

namespace {
// Host names and addresses never hold a comma.
const QChar kSeparator = QLatin1Char(',');
} // namespace

PlayChoices PlayChoices::read(const IniFile &ini, const QString &section)
{
    PlayChoices choices;
    choices.playerName = ini.value(section, kNameKey, QString()).trimmed();
    const QStringList stored =
        ini.value(section, kHostsKey, QString()).split(kSeparator, Qt::SkipEmptyParts);
    // Oldest first, so that remembering each keeps the file's order.
    for (auto it = stored.crbegin(); it != stored.crend(); ++it)
        choices.rememberHost(*it);
    return choices;
}

void PlayChoices::write(IniFile &ini, const QString &section) const
{
    ini.setValue(section, kNameKey, playerName);
    ini.setValue(section, kHostsKey, recentHosts.join(kSeparator));
}

void PlayChoices::rememberHost(const QString &address)
{
    const QString cleaned = address.trimmed();
    if (cleaned.isEmpty() || cleaned.contains(kSeparator))
        return;
    recentHosts.removeIf(
        [&](const QString &known) { return known.compare(cleaned, Qt::CaseInsensitive) == 0; });
    recentHosts.prepend(cleaned);
    while (recentHosts.size() > kMaxRecentHosts)
        recentHosts.removeLast();
}

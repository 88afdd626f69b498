#include "client/session/accountname.h"

#include <pwd.h>
#include <unistd.h>

QString accountNameFrom(const QString &gecos, const QString &userName)
{
    // The rest of the field holds the office and telephone numbers.
    const QString fullName = gecos.section(QLatin1Char(','), 0, 0).simplified();
    return fullName.isEmpty() ? userName.trimmed() : fullName;
}

QString accountName()
{
    if (const passwd *account = ::getpwuid(::getuid()))
        return accountNameFrom(QString::fromLocal8Bit(account->pw_gecos),
                               QString::fromLocal8Bit(account->pw_name));
    return accountNameFrom(QString(), qEnvironmentVariable("USER"));
}

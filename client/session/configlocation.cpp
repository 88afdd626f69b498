#include "client/session/configlocation.h"

#include "client/session/clientsettings.h"
#include "stats/tallyfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// Asking the file system whether a folder is writable can be wrong (read-only
// mounts, access lists); trying it cannot.
bool canWriteIn(const QString &folder)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".zandor-write-check-XXXXXX")));
    return probe.open();
}

// Beside a copy while it is being made, so a copy cut short never stands
// under the file's own name.
const QString kPartSuffix = QStringLiteral(".part");

} // namespace

ConfigLocation::ConfigLocation(QString programFolder, QString userFolder, QStringList files)
    : programFolder_(std::move(programFolder)), userFolder_(std::move(userFolder)),
      files_(std::move(files))
{}

QString ConfigLocation::folder() const
{
    if (canWriteIn(programFolder_))
        return programFolder_;
    QDir().mkpath(userFolder_);
    for (const QString &name : files_)
        takeOver(name);
    return userFolder_;
}

void ConfigLocation::takeOver(const QString &fileName) const
{
    const QString from = QDir(programFolder_).filePath(fileName);
    const QString to = QDir(userFolder_).filePath(fileName);
    if (!QFileInfo(from).isFile() || QFileInfo::exists(to))
        return;
    // A copy that turned out to be unreadable has been kept aside under this
    // name (see the settings and the tally): taking the same file again at
    // every start would only say so again.
    if (QFileInfo::exists(to + ClientSettings::kDamagedSuffix) ||
        QFileInfo::exists(to + TallyFile::kDamagedSuffix))
        return;
    const QString part = to + kPartSuffix;
    QFile::remove(part);
    // The copy takes the original's permissions; a read-only original must
    // not make the player's own copy one that no save may replace.
    if (!QFile::copy(from, part) ||
        !QFile::setPermissions(part, QFile::permissions(part) | QFileDevice::ReadOwner |
                                         QFileDevice::WriteOwner) ||
        !QFile::rename(part, to))
        QFile::remove(part);
}

QString ConfigLocation::filePath(const QString &fileName) const
{
    return QDir(folder()).filePath(fileName);
}

QString ConfigLocation::defaultProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString ConfigLocation::defaultUserFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zandor");
}

QStringList ConfigLocation::defaultFiles()
{
    return {ClientSettings::kFileName, TallyFile::kFileName};
}

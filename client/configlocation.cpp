#include "client/configlocation.h"

#include <QCoreApplication>
#include <QDir>
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

} // namespace

ConfigLocation::ConfigLocation(QString programFolder, QString userFolder)
    : programFolder_(std::move(programFolder)), userFolder_(std::move(userFolder))
{}

QString ConfigLocation::folder() const
{
    if (canWriteIn(programFolder_))
        return programFolder_;
    QDir().mkpath(userFolder_);
    return userFolder_;
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

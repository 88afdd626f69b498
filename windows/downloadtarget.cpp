#include "windows/downloadtarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

namespace downloadtarget {

namespace {

// Trying is the only reliable test: permissions, read-only mounts and
// access lists all have their say.
bool canCreateFilesIn(const QString &folder)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".zandor-download-check-XXXXXX")));
    return probe.open();
}

} // namespace

QString fileNameFromUrl(const QString &url)
{
    const QString path = QUrl(url).path(QUrl::FullyDecoded);
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

QString chooseFolder(const QString &programFolder, const QString &userFolder)
{
    if (canCreateFilesIn(programFolder))
        return programFolder;
    QDir().mkpath(userFolder);
    return userFolder;
}

QString defaultFolder()
{
    return chooseFolder(QCoreApplication::applicationDirPath(),
                        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString installedLobbyProgram()
{
    // Drive C of the user's default Wine set-up.
    QString insideDriveC = kLobbyWindowsPath.mid(3);
    insideDriveC.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::home().filePath(QStringLiteral(".wine/drive_c/") + insideDriveC);
}

} // namespace downloadtarget

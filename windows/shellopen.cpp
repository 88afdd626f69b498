#include "windows/shellopen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace shellopen {

bool open(const QString &file, const QString &parameters, Show)
{
    const QFileInfo info(file);
    if (!info.exists() || info.isDir())
        return false;
    const QStringList arguments = QProcess::splitCommand(parameters);
    if (info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), arguments);
    if (info.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (!wine.isEmpty())
            return QProcess::startDetached(wine, QStringList{info.absoluteFilePath()} + arguments);
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace shellopen

#include "windows/shellopen.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace shellopen {

namespace {

// Starts a program and watches it for `watch`. A program still running then
// goes on by itself; the process object is left to it and goes when it ends.
bool startWatching(const QString &program, const QStringList &arguments,
                   std::chrono::milliseconds watch)
{
    auto *process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    if (process->waitForFinished(int(watch.count()))) {
        const bool ran = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return ran;
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
}

} // namespace

bool isWindowsProgram(const QString &file)
{
    const QString suffix = QFileInfo(file).suffix();
    if (suffix.compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QLatin1String("com"), Qt::CaseInsensitive) == 0)
        return true;
    QFile program(file);
    return program.open(QIODevice::ReadOnly) && program.read(2) == "MZ";
}

bool open(const QString &file, const QString &parameters, Show, std::chrono::milliseconds watch)
{
    const QFileInfo info(file);
    if (!info.exists() || info.isDir())
        return false;
    const QString path = info.absoluteFilePath();
    const QStringList arguments = QProcess::splitCommand(parameters);
    if (isWindowsProgram(path)) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return false;
        return startWatching(wine, QStringList{path} + arguments, watch);
    }
    if (info.isExecutable())
        return startWatching(path, arguments, watch);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        return startWatching(opener, {path}, watch);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace shellopen

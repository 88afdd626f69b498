#include "windows/shellopen.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <utility>

namespace shellopen {

namespace {

// Starts a program and watches it for `watch` without waiting for it: the
// event loop, and the game this copy may host, go on meanwhile. `done`
// hears the outcome once: false when the program did not start or ended
// with an error within the watch, true when it ran. A program still running
// then goes on by itself; the process object is left to it and goes when it
// ends.
void startWatching(const QString &program, const QStringList &arguments,
                   std::chrono::milliseconds watch, Done done)
{
    auto *process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    auto *watchEnd = new QTimer(process);
    watchEnd->setSingleShot(true);
    auto answered = std::make_shared<bool>(false);
    const auto answer = [answered, done](bool ran) {
        if (std::exchange(*answered, true))
            return;
        if (done)
            done(ran);
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, answer](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         answer(false);
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, answer](int exitCode, QProcess::ExitStatus status) {
                         answer(status == QProcess::NormalExit && exitCode == 0);
                         process->deleteLater();
                     });
    QObject::connect(watchEnd, &QTimer::timeout, process, [answer] { answer(true); });
    QObject::connect(process, &QProcess::started, watchEnd,
                     [watchEnd, watch] { watchEnd->start(watch); });
    process->start();
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

void open(const QString &file, const QString &parameters, Show, Done done,
          std::chrono::milliseconds watch)
{
    const auto refuse = [&done] {
        // Told from the event loop, as every other outcome is.
        QTimer::singleShot(0, [done] {
            if (done)
                done(false);
        });
    };
    const QFileInfo info(file);
    if (!info.exists() || info.isDir())
        return refuse();
    const QString path = info.absoluteFilePath();
    const QStringList arguments = QProcess::splitCommand(parameters);
    if (isWindowsProgram(path)) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return refuse();
        return startWatching(wine, QStringList{path} + arguments, watch, std::move(done));
    }
    if (info.isExecutable())
        return startWatching(path, arguments, watch, std::move(done));
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        return startWatching(opener, {path}, watch, std::move(done));
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    QTimer::singleShot(0, [done, opened] {
        if (done)
            done(opened);
    });
}

} // namespace shellopen

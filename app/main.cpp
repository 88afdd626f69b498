#include "client/composition.h"
#include "client/errorbox.h"
#include "client/session/clientsettings.h"
#include "client/session/commandline.h"
#include "client/session/configlocation.h"
#include "client/session/inifile.h"
#include "client/session/playchoices.h"
#include "client/session/playwithothers.h"
#include "client/session/relaunch.h"
#include "client/session/rolechange.h"
#include "client/session/shutdownsignals.h"
#include "client/session/singleinstance.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "resources/artwork.h"
#include "windows/helptexts.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

namespace {
// --help, --version and an option the program does not know are answered
// before any window, on the terminal; nothing else is.
std::optional<int> answerQuestion(int argc, char **argv)
{
    const QStringList typed = CommandLine::typed(argc, argv);
    switch (CommandLine::question(typed)) {
    case CommandLine::Question::None:
        return std::nullopt;
    case CommandLine::Question::Help:
        std::fputs(CommandLine::usage().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Question::Version:
        std::printf("Zandor %s%s\n", kVersionText,
                    helptexts::kBuildSuffix.toLocal8Bit().constData());
        return 0;
    case CommandLine::Question::UnknownOption:
        std::fprintf(stderr, "zandor: unknown option %s\n%s",
                     typed.first().toLocal8Bit().constData(),
                     CommandLine::usage().toLocal8Bit().constData());
        return 2;
    }
    return std::nullopt;
}
} // namespace

int main(int argc, char **argv)
{
    if (const std::optional<int> exitCode = answerQuestion(argc, argv))
        return *exitCode;
    // The game's own arguments, after the mark, are kept from Qt: a name
    // such as "-platform" is a name, not an option.
    const CommandLine::Split commandLine = CommandLine::split(argc, argv);
    int qtArgc = commandLine.qtArgc;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandor"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(artwork::windowIcon())));

    // One copy per desktop: a second start brings the first to the front.
    SingleInstance instance(SingleInstance::desktopKey());
    if (instance.claim() == SingleInstance::Role::Second)
        return 0;

    // The desktop entry's actions: host under the remembered name, or offer
    // the Play with Others window.
    const CommandLine start = CommandLine::read(
        commandLine.gameArguments.value_or(QApplication::arguments().mid(1)),
        PlayChoices::read(IniFile::load(ConfigLocation().filePath(ClientSettings::kFileName)),
                          ClientSettings::kSection)
            .playerName);
    Composition program(start.arguments());
    Tchat &chat = program.window();
    ErrorBox errors(&chat);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &chat, &Tchat::bringToFront);
    // Side windows may still be open; the main window alone decides.
    QObject::connect(&chat, &Tchat::mainWindowClosed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Play with Others starts the game again in the chosen role: a new copy
    // takes the desktop over, or everything is taken back.
    Relaunch relaunch(QCoreApplication::applicationFilePath(), SingleInstance::desktopKey());
    RoleChange roleChange(program, instance, relaunch);
    QObject::connect(&program.playWithOthers(), &PlayWithOthers::restartRequested, &roleChange,
                     &RoleChange::begin);
    QObject::connect(&roleChange, &RoleChange::handedOver, &app, [] { QCoreApplication::exit(0); });
    // Logging out or shutting down ends the event loop, open boxes and all
    // (exit, not quit, which a window could refuse), so the windows are
    // destroyed in order and the tally is written.
    ShutdownSignals shutdown;
    QObject::connect(&shutdown, &ShutdownSignals::received, &app,
                     [] { QCoreApplication::exit(0); });
    // "Join a Game..." opens the Play with Others window on joining, with
    // no game started behind it.
    if (start.start == CommandLine::Start::PlayWithOthers)
        chat.choosePlayAtStart();
    chat.show();
    return app.exec();
}

#include "client/session/clientsettings.h"
#include "client/composition.h"
#include "client/session/configlocation.h"
#include "client/errorbox.h"
#include "client/session/inifile.h"
#include "client/session/playchoices.h"
#include "client/session/playwithothers.h"
#include "client/session/relaunch.h"
#include "client/session/shutdownsignals.h"
#include "client/session/singleinstance.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/errorreport.h"
#include "resources/artwork.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char **argv)
{
    // The game's own arguments, after the mark, are kept from Qt: a name
    // such as "-platform" is a name, not an option.
    const SplitCommandLine commandLine = splitCommandLine(argc, argv);
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
    const DesktopAction start = readDesktopAction(
        commandLine.gameArguments.value_or(QApplication::arguments().mid(1)),
        PlayChoices::read(IniFile::load(ConfigLocation().filePath(ClientSettings::kFileName)),
                          ClientSettings::kSection));
    Tchat chat(start.arguments);
    ErrorBox errors(&chat);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &chat, &Tchat::bringToFront);
    // Side windows may still be open; the main window alone decides.
    QObject::connect(&chat, &Tchat::mainWindowClosed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Logging out or shutting down ends the event loop, open boxes and all
    // (exit, not quit, which a window could refuse), so the windows are
    // destroyed in order and the tally is written.
    // Play with Others starts the game again in the chosen role: this copy
    // gives up the desktop's key and the game port, starts the new copy, and
    // ends once the new one has taken the key over.
    Relaunch relaunch(QCoreApplication::applicationFilePath(), SingleInstance::desktopKey());
    QObject::connect(&chat.parts().playWithOthers(), &PlayWithOthers::restartRequested, &chat,
                     [&](const QStringList &arguments) {
                         instance.release();
                         chat.server().stopListening();
                         if (relaunch.start(arguments)) {
                             chat.hide();
                             return;
                         }
                         reportError(QStringLiteral("Zandor could not be started again."));
                         instance.claim();
                     });
    QObject::connect(&relaunch, &Relaunch::handedOver, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(&relaunch, &Relaunch::failed, &chat, [&] {
        chat.show();
        reportError(QStringLiteral("The new game did not start."));
    });
    ShutdownSignals shutdown;
    QObject::connect(&shutdown, &ShutdownSignals::received, &app,
                     [] { QCoreApplication::exit(0); });
    chat.show();
    if (start.openPlayWithOthers)
        chat.parts().playWithOthers().open();
    return app.exec();
}

#include "client/clientsettings.h"
#include "client/composition.h"
#include "client/configlocation.h"
#include "client/errorbox.h"
#include "client/inifile.h"
#include "client/playchoices.h"
#include "client/playwithothers.h"
#include "client/relaunch.h"
#include "client/rolechange.h"
#include "client/shutdownsignals.h"
#include "client/singleinstance.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "resources/artwork.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandor"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(artwork::windowIcon())));

    // One copy per desktop: a second start brings the first to the front.
    SingleInstance instance(SingleInstance::desktopKey());
    if (instance.claim() == SingleInstance::Role::Second)
        return 0;

    // The desktop entry's actions: host under the remembered name, or offer
    // the Play with Others window.
    const DesktopAction start = readDesktopAction(
        QApplication::arguments().mid(1),
        PlayChoices::read(IniFile::load(ConfigLocation().filePath(ClientSettings::kFileName)),
                          ClientSettings::kSection));
    Tchat chat(start.arguments);
    ErrorBox errors(&chat);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &chat, &Tchat::bringToFront);
    // Side windows may still be open; the main window alone decides.
    QObject::connect(&chat, &Tchat::mainWindowClosed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Play with Others starts the game again in the chosen role: a new copy
    // takes the desktop over, or everything is taken back.
    Relaunch relaunch(QCoreApplication::applicationFilePath(), SingleInstance::desktopKey());
    RoleChange roleChange(chat, instance, relaunch);
    QObject::connect(&chat.parts().playWithOthers(), &PlayWithOthers::restartRequested, &roleChange,
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
    if (start.openPlayWithOthers)
        chat.choosePlayAtStart();
    chat.show();
    return app.exec();
}

#include "client/session/rolechange.h"

#include "client/composition.h"
#include "client/session/clientsettings.h"
#include "client/session/relaunch.h"
#include "client/session/singleinstance.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/errorreport.h"
#include "net/tsock.h"
#include "stats/ttallylist.h"

RoleChange::RoleChange(Composition &program, SingleInstance &instance, Relaunch &relaunch,
                       QObject *parent)
    : QObject(parent), program_(program), instance_(instance), relaunch_(relaunch)
{
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &RoleChange::takeBack);
    connect(&relaunch_, &Relaunch::handedOver, this, [this] {
        running_ = false;
        emit handedOver();
    });
    connect(&relaunch_, &Relaunch::failed, this, [this] { undo(kDidNotStart); });
}

void RoleChange::begin(const QStringList &arguments)
{
    if (running_)
        return;
    running_ = true;
    // The new copy reads both at its start; this one would otherwise write
    // its additions only when it ends, under the new copy's feet.
    program_.settings().saveinifile();
    program_.tally().savetally();

    hosted_ = program_.server().listening();
    instance_.release();
    program_.server().stopListening();
    if (!relaunch_.start(arguments)) {
        undo(kCouldNotStart);
        return;
    }
    program_.window().hide();
}

void RoleChange::undo(const QString &why)
{
    relaunch_.abandon();
    program_.window().bringToFront();
    reportError(why);
    // The ended copy may hold the key or the port for a moment longer.
    triedMs_ = 0;
    takeBack();
    if (running_)
        retry_.start();
}

void RoleChange::takeBack()
{
    const bool lastTry = triedMs_ >= kTakeBackMs;
    triedMs_ += kRetryMs;
    instance_.reclaim();
    QString listenFailure;
    if (hosted_ && !program_.server().listening()) {
        try {
            program_.server().startListening();
        } catch (const ESockException &error) {
            listenFailure = error.text;
        }
    }
    const bool done = instance_.holdsKey() && (!hosted_ || program_.server().listening());
    if (!done && !lastTry)
        return;
    retry_.stop();
    running_ = false;
    if (!listenFailure.isEmpty())
        reportError(listenFailure);
    emit takenBack();
}

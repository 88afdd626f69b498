#include "client/session/playwithothers.h"

#include "client/session/commandline.h"

#include "client/session/accountname.h"
#include "client/session/clientsettings.h"
#include "client/session/relaunch.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/gamerules.h"
#include "windows/tplaywithothers.h"

PlayWithOthers::PlayWithOthers(Tchat &chat, ClientSettings &settings)
    : QObject(&chat), chat_(chat), settings_(settings), window_(new TplayWithOthers(&chat))
{
    connect(window_, &TplayWithOthers::startRequested, this, &PlayWithOthers::start);
}

void PlayWithOthers::open(const QString &failedAddress)
{
    const PlayChoices remembered = settings_.playChoices();
    const QString known = knownName(remembered);
    window_->open(known.isEmpty() ? accountName() : known, remembered.recentHosts, failedAddress,
                  known.isEmpty());
}

void PlayWithOthers::openToJoin()
{
    const PlayChoices remembered = settings_.playChoices();
    const QString known = knownName(remembered);
    window_->openToJoin(known.isEmpty() ? accountName() : known, remembered.recentHosts,
                        known.isEmpty());
}

QString PlayWithOthers::knownName(const PlayChoices &remembered) const
{
    if (!remembered.playerName.isEmpty())
        return remembered.playerName;
    // The name this game was started under; never the solo game's "You",
    // or others would be told that "You" joined.
    return chat_.playsSolo() ? QString() : chat_.session().playerName;
}

bool PlayWithOthers::othersConnected(const Tchat &chat, const TServer &server)
{
    if (!chat.session().host)
        return false;
    for (int slot = 1; slot <= kHighestSlot; ++slot) {
        if (slot != chat.session().ownSlot && server.player(slot).connected)
            return true;
    }
    return false;
}

void PlayWithOthers::start(const PlayChoice &choice)
{
    PlayChoices remembered = settings_.playChoices();
    remembered.playerName = choice.name;
    if (!choice.host)
        remembered.rememberHost(choice.address);
    settings_.savePlayChoices(remembered);

    if (!chat_.mayLeaveGame())
        return;
    emit restartRequested(CommandLine::forChoice(choice).forNewCopy());
}

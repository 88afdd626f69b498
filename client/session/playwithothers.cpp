#include "client/session/playwithothers.h"

#include "client/session/commandline.h"

#include "client/session/accountname.h"
#include "client/session/clientsettings.h"
#include "client/session/relaunch.h"
#include "lan/gamefinder.h"
#include "lan/lantexts.h"
#include "windows/tplaywithothers.h"

PlayWithOthers::PlayWithOthers(QWidget *parentWindow, ClientSettings &settings, Questions questions)
    : QObject(parentWindow), settings_(settings), questions_(std::move(questions)),
      window_(new TplayWithOthers(parentWindow))
{
    connect(window_, &TplayWithOthers::startRequested, this, &PlayWithOthers::start);
}

void PlayWithOthers::open(const QString &failedAddress)
{
    const PlayChoices remembered = settings_.playChoices();
    const QString known = knownName(remembered);
    window_->open(known.isEmpty() ? accountName() : known, remembered.recentHosts, failedAddress,
                  known.isEmpty());
    if (finder_)
        finder_->start();
}

void PlayWithOthers::openToJoin()
{
    const PlayChoices remembered = settings_.playChoices();
    const QString known = knownName(remembered);
    window_->openToJoin(known.isEmpty() ? accountName() : known, remembered.recentHosts,
                        known.isEmpty());
    if (finder_)
        finder_->start();
}

void PlayWithOthers::listGamesFrom(GameFinder &finder)
{
    finder_ = &finder;
    connect(&finder, &GameFinder::gamesChanged, this, &PlayWithOthers::showFoundGames);
    // Nobody looks at the list while the window is closed: no queries then.
    connect(window_, &QDialog::finished, &finder, &GameFinder::stop);
    if (window_->isVisible())
        finder.start();
}

void PlayWithOthers::showFoundGames()
{
    QList<ListedGame> rows;
    for (const FoundGame &game : finder_->games())
        rows.append(ListedGame{lantexts::gameLine(game.announcement), game.address.toString()});
    window_->showGames(rows);
}

QString PlayWithOthers::knownName(const PlayChoices &remembered) const
{
    if (!remembered.playerName.isEmpty())
        return remembered.playerName;
    return questions_.nameInUse();
}

void PlayWithOthers::start(const PlayChoice &choice)
{
    PlayChoices remembered = settings_.playChoices();
    remembered.playerName = choice.name;
    if (!choice.host)
        remembered.rememberHost(choice.address);
    settings_.savePlayChoices(remembered);

    if (!questions_.mayLeaveGame())
        return;
    emit restartRequested(CommandLine::forChoice(choice).forNewCopy());
}

void PlayWithOthers::showReachableAt(const QString &address, const QString &ipv6Address)
{
    window_->showReachableAt(address, ipv6Address);
}

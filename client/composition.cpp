#include "client/composition.h"

#include "client/chat/chatpanel.h"
#include "client/chat/playlines.h"
#include "client/mainmenu.h"
#include "client/model/handstate.h"
#include "client/model/tablestate.h"
#include "client/model/tallyrecorder.h"
#include "client/model/turncountdown.h"
#include "client/session/clientconnection.h"
#include "client/session/clientsettings.h"
#include "client/session/configlocation.h"
#include "client/session/playwithothers.h"
#include "client/session/seatreturn.h"
#include "client/table/soundplayer.h"
#include "client/table/tablefit.h"
#include "client/table/tableview.h"
#include "host/tserver.h"
#include "lan/gameannouncer.h"
#include "lan/gamefinder.h"
#include "lan/lantexts.h"
#include "lan/localnetworks.h"
#include "net/errorreport.h"
#include "net/gamerules.h"
#include "net/messages.h"
#include "resources/artsizes.h"
#include "resources/artwork.h"
#include "router/ipv6reach.h"
#include "router/portmapping.h"
#include "stats/ttallylist.h"
#include "widgets/sidelook.h"
#include "windows/helpmenu.h"
#include "windows/tabout.h"
#include "windows/tdownload.h"
#include "windows/tgamestart.h"
#include "windows/thelp.h"
#include "windows/tphrases.h"
#include "windows/tplaywithothers.h"
#include "windows/tspylist.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>

#include <memory>

Composition::Composition(QStringList arguments, TchatPorts ports, TServer *server,
                         const QString &filesFolder)
{
    setObjectName(QStringLiteral("composition"));
    if (server) {
        server_ = server;
    } else {
        ownServer_ = std::make_unique<TServer>(ports.game);
        server_ = ownServer_.get();
    }
    window_ = std::make_unique<Tchat>(std::move(arguments), ports, *server_);

    const QString folder = filesFolder.isEmpty() ? ConfigLocation().folder() : filesFolder;
    wireSettings(folder);
    wireSounds();
    wireGameOptions();
    wireTally(folder);
    wirePhrases();
    wireSpyList();
    wirePlayWithOthers();
    wireNetworkGames(ports.game);
    wireLobbyOffer();
    wireTurnLimit();
    wireSeatHolds();
    wireSeatReturn();
    wireTurnCountdown();
    wirePlaysInChat();
    wireTableFit();
    wireHelp();
    wireRouterPort();
}

Composition::~Composition()
{
    // The window and its side windows go first; their connection to the
    // server closes before the server does.
    window_.reset();
}

void Composition::PrhaseList1Click()
{
    Tphrases::Phrases current;
    for (std::size_t i = 0; i < current.size(); ++i)
        current[i] = window_->chatPanel().phrase(int(i) + 1);
    phrases_->showphrases(current);
}

void Composition::wireSettings(const QString &folder)
{
    // The settings file: read after the own login, written at every change
    // of the chat's and the Options menu's preferences.
    Tchat &chat = *window_;
    settings_ = new ClientSettings(folder, &chat.session(), &chat.chatPanel(), &chat);
    chat.chatPanel().connectMainMenu(chat.menu());
    settings_->connectMainMenu(chat.menu());
    connect(settings_, &ClientSettings::sendToHost, &chat.connection(),
            &ClientConnection::sendToHost);
    connect(&chat, &Tchat::ownLoginConfirmed, settings_, &ClientSettings::loadinifile);
    connect(settings_, &ClientSettings::autoSortChanged, &chat.handState(),
            &HandState::setAutoSort);
}

void Composition::wireSounds()
{
    // The sounds of the table and of logins.
    Tchat &chat = *window_;
    auto *sounds = new SoundPlayer(&chat);
    connect(settings_, &ClientSettings::playSoundsChanged, sounds, &SoundPlayer::setEnabled);
    connect(&chat, &Tchat::playsounds, sounds, &SoundPlayer::playsounds);
    connect(&chat.table(), &TableView::playsounds, sounds, &SoundPlayer::playsounds);
}

void Composition::wireGameOptions()
{
    // The game options window starts a game for the host's user.
    Tchat &chat = *window_;
    GameStartHooks gameStart;
    gameStart.numhumans = [this] { return server_->numhumans(); };
    gameStart.playerName = [&chat] { return chat.session().playerName; };
    auto *options = new Tgamestart(gameStart, &chat);
    connect(options, &Tgamestart::sendToHost, &chat.connection(), &ClientConnection::sendToHost);
    connect(options, &Tgamestart::gameStarted, settings_, &ClientSettings::saveinifile);
    // The window closes on the start; the table, where the game is played,
    // gets the keyboard back at once instead of whenever the desktop thinks
    // of it.
    connect(options, &Tgamestart::gameStarted, &chat, [&chat] { chat.activateWindow(); });
    connect(&chat.table(), &TableView::gameOptionsRequested, options, &Tgamestart::open);
}

void Composition::wireTally(const QString &folder)
{
    // The tally counts the games of the user's seat, with the players the
    // table state has at the table.
    Tchat &chat = *window_;
    TableState &state = chat.state();
    tally_ = new Ttallylist(folder, &chat);
    connect(tally_, &Ttallylist::errorOccurred, this,
            [](const QString &text) { reportError(text); });
    chat.menu().ViewTally1->setEnabled(true);
    connect(chat.menu().ViewTally1, &QAction::triggered, tally_,
            [this, &state] { tally_->viewtally(state.currentPlayers()); });
    auto *recorder = new TallyRecorder(&state, this);
    connect(recorder, &TallyRecorder::increase, tally_, &Ttallylist::addtomineincrease);
    connect(recorder, &TallyRecorder::gameRecorded, tally_,
            [this, &state](bool userWon, const QString &winner) {
                tally_->addgame(userWon, winner, state.currentPlayers());
            });
}

namespace {
// The phrase list and the spy list lie on the main window's own cloth.
QImage clothTile()
{
    return artwork::picture(artwork::Art::BackgroundTile, 0, 1.0, qApp->devicePixelRatio());
}
} // namespace

void Composition::wirePhrases()
{
    // The phrase list stores through the settings file and puts the phrases
    // on the buttons at once.
    phrases_ = new Tphrases(clothTile, window_.get());
    connect(phrases_, &Tphrases::phrasesSaved, settings_, &ClientSettings::savephrases);
    connect(window_->menu().PrhaseList1, &QAction::triggered, this, &Composition::PrhaseList1Click);
}

void Composition::wireSpyList()
{
    // The spy list shows the watchers and removes one through the main
    // window.
    Tchat &chat = *window_;
    TableState &state = chat.state();
    spylist_ = new Tspylist(clothTile(), &chat);
    connect(spylist_, &Tspylist::kickRequested, &chat, &Tchat::kicking);
    connect(&state, &TableState::watchersChanged, spylist_,
            [this, &state] { spylist_->setEntries(state.watcherEntries()); });
    connect(&chat, &Tchat::hostingStarted, spylist_, [this] { spylist_->setRemoveEnabled(true); });
    connect(chat.menu().SpyList1, &QAction::triggered, spylist_, &Tspylist::showspylist);
}

void Composition::wirePlayWithOthers()
{
    // Hosting and joining from the window: the File menu, the lobby offer
    // when no lobby is installed, a join that could not reach its host, and
    // a start that offers the choice of a game to join.
    Tchat &chat = *window_;
    PlayWithOthers::Questions questions;
    questions.nameInUse = [&chat] {
        return chat.playsSolo() ? QString() : chat.session().playerName;
    };
    questions.mayLeaveGame = [&chat] { return chat.mayLeaveGame(); };
    playWithOthers_ = new PlayWithOthers(&chat, *settings_, std::move(questions));
    connect(chat.menu().PlayWithOthers1, &QAction::triggered, playWithOthers_,
            [this] { playWithOthers_->open(); });
    connect(&chat, &Tchat::hostUnreachable, playWithOthers_, &PlayWithOthers::open);
    connect(&chat, &Tchat::joinChoiceOffered, playWithOthers_, &PlayWithOthers::openToJoin);
    connect(&chat, &Tchat::gameLost, playWithOthers_, [this] { playWithOthers_->open(); });
}

void Composition::wireNetworkGames(quint16 port)
{
    // The games of the local network: a copy that hosts for others makes
    // its game known there, on the UDP port of the same number as the game
    // port; the Play with Others window lists the games it hears.
    Tchat &chat = *window_;
    const auto describe = [this, &chat] {
        lan::Announcement told;
        told.gameVersion = QString::fromLatin1(kVersionText);
        told.hostName = chat.session().playerName;
        for (int seat = 1; seat <= kSeatCount; ++seat)
            told.seatsTaken += server_->player(seat).connected || server_->seatHeld(seat);
        for (int slot = kFirstWatcherSlot; slot <= server_->slotcount(); ++slot)
            told.watchers += server_->player(slot).connected;
        told.playing = server_->gameState().ingame();
        told.port = server_->listeningPort();
        return told;
    };
    auto *announcer = new GameAnnouncer(port, describe, &chat);
    // A restart that failed opens the game port again: the game is
    // announced again too.
    auto forOthers = std::make_shared<bool>(false);
    connect(server_, &TServer::listeningStarted, announcer, [announcer, forOthers] {
        if (*forOthers)
            announcer->start();
    });
    auto tellWhere = std::make_shared<bool>(false);
    connect(&chat, &Tchat::hostingStarted, announcer, [&chat, announcer, forOthers, tellWhere] {
        // A solo game is nobody else's business.
        if (chat.playsSolo())
            return;
        *forOthers = true;
        *tellWhere = true;
        announcer->start();
    });
    // Under the greeting of the host's own login (queued: the greeting is
    // written after the signal), where the user reads on.
    connect(
        &chat, &Tchat::ownLoginConfirmed, announcer,
        [&chat, tellWhere] {
            if (!*tellWhere)
                return;
            *tellWhere = false;
            const QString reachable =
                lantexts::reachableLine(LocalNetworks::current().reachableAddresses());
            if (!reachable.isEmpty())
                chat.notice(reachable);
        },
        Qt::QueuedConnection);
    // Queued: the table has settled when the announcement reads it.
    connect(server_, &TServer::seatsChanged, announcer, &GameAnnouncer::announceNow,
            Qt::QueuedConnection);
    connect(server_, &TServer::listeningStopped, announcer, &GameAnnouncer::stop);
    connect(&chat, &Tchat::mainWindowClosed, announcer, &GameAnnouncer::stop);

    auto *finder = new GameFinder(port, &chat);
    finder->setOwnGamePort([this] { return server_->listening() ? server_->listeningPort() : 0; });
    playWithOthers_->listGamesFrom(*finder);
}

void Composition::wireLobbyOffer()
{
    // The lobby download is offered with a solo game, unless the user said
    // not to; it may end the game.
    Tchat &chat = *window_;
    download_ = new Tdownload(&chat);
    connect(&chat, &Tchat::soloGameStarting, download_, [this] {
        if (settings_->hideLobbyOffer())
            return;
        download_->setDontShowAtStartup(false);
        sidelook::bringForward(*download_);
    });
    connect(download_, &Tdownload::dontShowAtStartupChanged, settings_,
            &ClientSettings::setHideLobbyOffer);
    connect(download_, &Tdownload::playWithOthersRequested, playWithOthers_,
            [this] { playWithOthers_->open(); });
    connect(download_, &Tdownload::exitRequested, &chat, &Tchat::close);
}

void Composition::wireTurnLimit()
{
    // The host's own choice of a turn time limit, kept in the settings and
    // handed to its server; a joined copy has nothing to limit.
    const MainMenu &menu = window_->menu();
    const auto applyLimit = [this](int seconds) { server_->setTurnLimit(seconds * 1000); };
    for (QAction *limit : menu.turnLimits) {
        connect(limit, &QAction::triggered, settings_, [this, limit, applyLimit] {
            settings_->setTurnLimitSeconds(limit->data().toInt());
            applyLimit(limit->data().toInt());
        });
    }
    connect(window_.get(), &Tchat::hostingStarted, this, [this, &menu, applyLimit] {
        const int seconds = settings_->turnLimitSeconds();
        for (QAction *limit : menu.turnLimits)
            limit->setChecked(limit->data().toInt() == seconds);
        menu.TurnTimeLimit1->setEnabled(true);
        applyLimit(seconds);
    });
}

void Composition::wireSeatHolds()
{
    // The host's own choice of how long a dropped player's seat waits for
    // him, kept in the settings and handed to its server.
    const MainMenu &menu = window_->menu();
    for (QAction *hold : menu.seatHolds) {
        connect(hold, &QAction::triggered, settings_, [this, hold] {
            settings_->setSeatHoldSeconds(hold->data().toInt());
            server_->setSeatHoldSeconds(hold->data().toInt());
        });
    }
    connect(window_.get(), &Tchat::hostingStarted, this, [this, &menu] {
        const int seconds = settings_->seatHoldSeconds();
        for (QAction *hold : menu.seatHolds)
            hold->setChecked(hold->data().toInt() == seconds);
        menu.KeepDroppedSeat1->setEnabled(true);
        server_->setSeatHoldSeconds(seconds);
    });
}

void Composition::wireSeatReturn()
{
    // The seat key is kept in the settings file, so that a copy started
    // again after a crash can take its seat back.
    SeatReturn::Store store;
    store.load = [this](const QString &host) {
        const ClientSettings::SeatKey kept = settings_->seatKeyFor(host);
        return SeatReturn::Key{kept.slot, kept.key};
    };
    store.save = [this](const QString &host, const SeatReturn::Key &key) {
        settings_->setSeatKey(host, ClientSettings::SeatKey{key.slot, key.key});
    };
    window_->seatReturn().setStore(std::move(store));
}

void Composition::wireTurnCountdown()
{
    // Every copy counts down the last seconds of a human's turn under the
    // limit its host announced.
    TableState &state = window_->state();
    auto *countdown = new TurnCountdown(this);
    connect(&state, &TableState::turnLimitChanged, countdown,
            [countdown](int seconds) { countdown->setLimit(seconds * 1000); });
    connect(&state, &TableState::turnChanged, countdown, [&state, countdown](int seat) {
        countdown->turnStarted(isSeat(seat) && !state.seat(seat).computer);
    });
    connect(&state, &TableState::cardPlayed, countdown, &TurnCountdown::stop);
    connect(&state, &TableState::seatBusted, countdown, &TurnCountdown::stop);
    connect(&state, &TableState::gameWon, countdown, &TurnCountdown::stop);
    connect(countdown, &TurnCountdown::secondsLeftChanged, &window_->table(),
            &TableView::showSecondsLeft);
}

void Composition::wirePlaysInChat()
{
    // View > Show Plays In Chat, as the settings file has it at the start
    // and after the own login, and as the user turns it.
    Tchat &chat = *window_;
    QAction *item = chat.menu().ShowPlaysInChat1;
    auto *lines = new PlayLines(chat.state(), chat.chatPanel(), this);
    const auto showChoice = [this, item, lines] {
        const bool show = settings_->showPlaysInChat();
        lines->setEnabled(show);
        item->setChecked(show);
    };
    showChoice();
    connect(&chat, &Tchat::ownLoginConfirmed, settings_, showChoice);
    connect(item, &QAction::triggered, settings_, [this, lines](bool show) {
        lines->setEnabled(show);
        settings_->setShowPlaysInChat(show);
    });
}

void Composition::wireTableFit()
{
    // View > Fit Table To Window: a larger window shows a larger table.
    Tchat &chat = *window_;
    QAction *item = chat.menu().FitTableToWindow1;
    const auto showChoice = [this, item, &chat] {
        const bool fit = settings_->fitTableToWindow();
        item->setChecked(fit);
        chat.tableFit().setFitToWindow(fit);
    };
    showChoice();
    connect(&chat, &Tchat::ownLoginConfirmed, settings_, showChoice);
    connect(item, &QAction::triggered, settings_, [this, &chat](bool fit) {
        chat.tableFit().setFitToWindow(fit);
        settings_->setFitTableToWindow(fit);
    });
}

void Composition::wireHelp()
{
    Tchat &chat = *window_;
    const MainMenu &menu = chat.menu();
    connectHelpMenu(*menu.Help2, *menu.QuickInstructions1, *menu.About1, *new Thelp(&chat),
                    *new Tabout(&chat), [&chat](const QString &line) { chat.notice(line); });
}

void Composition::wireRouterPort()
{
    // Options > Open Port On Router: a copy hosting for others asks the
    // router to forward the game port, in the background, and says in the
    // chat where friends on the internet join or why they cannot. This
    // computer's own IPv6 address needs no router and follows either
    // answer. The port goes back when hosting ends or the user turns the
    // item off.
    Tchat &chat = *window_;
    QAction *item = chat.menu().OpenPortOnRouter1;
    const auto ask = [this, &chat] {
        if (!routerPort_) {
            routerPort_ = new router::PortMapping(routerLease_, this);
            connect(routerPort_, &router::PortMapping::mapped, this,
                    [this, &chat](const QString &at) {
                        const QString ipv6 = ipv6ForFriends();
                        chat.notice(TplayWithOthers::kReachableAt.arg(at));
                        if (!ipv6.isEmpty())
                            chat.plainNotice(TplayWithOthers::kOverIPv6.arg(ipv6));
                        playWithOthers_->showReachableAt(at, ipv6);
                    });
            connect(routerPort_, &router::PortMapping::failed, &chat,
                    [this, &chat](router::PortMapping::Failure, const QString &why) {
                        const QString ipv6 = ipv6ForFriends();
                        chat.notice(why);
                        if (!ipv6.isEmpty())
                            chat.plainNotice(TplayWithOthers::kOverIPv6.arg(ipv6));
                        playWithOthers_->showReachableAt({}, ipv6);
                    });
        }
        routerPort_->start(server_->listeningPort());
    };
    connect(&chat, &Tchat::hostingStarted, this, [this, &chat, item, ask] {
        if (chat.playsSolo())
            return;
        item->setChecked(settings_->openPortOnRouter());
        item->setEnabled(true);
        playWithOthers_->showReachableAt({}, ipv6ForFriends());
        if (item->isChecked())
            ask();
    });
    connect(item, &QAction::triggered, this, [this, ask](bool open) {
        settings_->setOpenPortOnRouter(open);
        if (open) {
            ask();
            return;
        }
        if (routerPort_ && routerPort_->stop())
            window_->notice(router::PortMapping::kGivenBack.arg(server_->listeningPort()));
        playWithOthers_->showReachableAt({}, ipv6ForFriends());
    });
}

QString Composition::ipv6ForFriends() const
{
    if (!server_->listeningIPv6())
        return {};
    return router::addressForFriends(router::ownIPv6Addresses());
}

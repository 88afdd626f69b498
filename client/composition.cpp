#include "client/composition.h"

#include "client/chat/chatpanel.h"
#include "client/mainmenu.h"
#include "client/model/handstate.h"
#include "client/model/tablestate.h"
#include "client/model/tallyrecorder.h"
#include "client/model/turncountdown.h"
#include "client/session/clientconnection.h"
#include "client/session/clientsettings.h"
#include "client/session/configlocation.h"
#include "client/session/playwithothers.h"
#include "client/table/lastplays.h"
#include "client/table/soundplayer.h"
#include "client/table/tablefit.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/errorreport.h"
#include "net/gamerules.h"
#include "resources/artsizes.h"
#include "resources/artwork.h"
#include "stats/ttallylist.h"
#include "widgets/sidelook.h"
#include "windows/helpmenu.h"
#include "windows/tabout.h"
#include "windows/tdownload.h"
#include "windows/tgamestart.h"
#include "windows/thelp.h"
#include "windows/tphrases.h"
#include "windows/tspylist.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>

Composition::Composition(Tchat &chat, const TchatPorts &ports, TServer *server,
                         const QString &filesFolder)
    : QObject(&chat), chat_(chat)
{
    setObjectName(QStringLiteral("composition"));
    const MainMenu &menu = chat.menu();
    ChatPanel &chatPanel = chat.chatPanel();
    TableView &table = chat.table();
    TableState &state = chat.state();
    ClientConnection &connection = chat.connection();

    // The settings file: read after the own login, written at every change
    // of the chat's and the Options menu's preferences.
    const QString folder = filesFolder.isEmpty() ? ConfigLocation().folder() : filesFolder;
    settings_ = new ClientSettings(folder, &chat.session(), &chatPanel, &chat);
    chatPanel.connectMainMenu(menu);
    settings_->connectMainMenu(menu);
    connect(settings_, &ClientSettings::sendToHost, &connection, &ClientConnection::sendToHost);
    connect(&chat, &Tchat::ownLoginConfirmed, settings_, &ClientSettings::loadinifile);
    connect(settings_, &ClientSettings::autoSortChanged, &chat.handState(),
            &HandState::setAutoSort);

    // The sounds of the table and of logins.
    auto *sounds = new SoundPlayer(&chat);
    connect(settings_, &ClientSettings::playSoundsChanged, sounds, &SoundPlayer::setEnabled);
    connect(&chat, &Tchat::playsounds, sounds, &SoundPlayer::playsounds);
    connect(&table, &TableView::playsounds, sounds, &SoundPlayer::playsounds);

    // The game options window starts a game for the host's user.
    GameStartHooks gameStart;
    gameStart.numhumans = [this] { return server_->numhumans(); };
    gameStart.playerName = [&chat] { return chat.session().playerName; };
    auto *options = new Tgamestart(gameStart, &chat);
    connect(options, &Tgamestart::sendToHost, &connection, &ClientConnection::sendToHost);
    connect(options, &Tgamestart::gameStarted, settings_, &ClientSettings::saveinifile);
    // The window closes on the start; the table, where the game is played,
    // gets the keyboard back at once instead of whenever the desktop thinks
    // of it.
    connect(options, &Tgamestart::gameStarted, &chat, [&chat] { chat.activateWindow(); });
    connect(&table, &TableView::gameOptionsRequested, options, &Tgamestart::open);

    // The tally counts the games of the user's seat, with the players the
    // table state has at the table.
    tally_ = new Ttallylist(folder, &chat);
    connect(tally_, &Ttallylist::errorOccurred, this,
            [](const QString &text) { reportError(text); });
    menu.ViewTally1->setEnabled(true);
    connect(menu.ViewTally1, &QAction::triggered, tally_,
            [this, &state] { tally_->viewtally(state.currentPlayers()); });
    auto *recorder = new TallyRecorder(&state, this);
    connect(recorder, &TallyRecorder::increase, tally_, &Ttallylist::addtomineincrease);
    connect(recorder, &TallyRecorder::gameRecorded, tally_,
            [this, &state](bool userWon, const QString &winner) {
                tally_->addgame(userWon, winner, state.currentPlayers());
            });

    // The phrase list stores through the settings file and puts the phrases
    // on the buttons at once; the spy list shows the watchers and removes
    // one through the main window. Both lie on the main window's own cloth.
    const auto tile = [] {
        return artwork::picture(artwork::Art::BackgroundTile, 0, 1.0, qApp->devicePixelRatio());
    };
    phrases_ = new Tphrases(tile, &chat);
    connect(phrases_, &Tphrases::phrasesSaved, settings_, &ClientSettings::savephrases);
    connect(menu.PrhaseList1, &QAction::triggered, this, &Composition::PrhaseList1Click);
    spylist_ = new Tspylist(tile(), &chat);
    connect(spylist_, &Tspylist::kickRequested, &chat, &Tchat::kicking);
    connect(&state, &TableState::watchersChanged, spylist_,
            [this, &state] { spylist_->setEntries(state.watcherEntries()); });
    connect(&chat, &Tchat::hostingStarted, spylist_, [this] { spylist_->setRemoveEnabled(true); });
    connect(menu.SpyList1, &QAction::triggered, spylist_, &Tspylist::showspylist);

    // Hosting and joining from the window: the File menu, the lobby offer
    // when no lobby is installed, and a join that could not reach its host.
    PlayWithOthers::Questions questions;
    questions.nameInUse = [&chat] {
        return chat.playsSolo() ? QString() : chat.session().playerName;
    };
    questions.mayLeaveGame = [&chat] { return chat.mayLeaveGame(); };
    playWithOthers_ = new PlayWithOthers(&chat, *settings_, std::move(questions));
    connect(menu.PlayWithOthers1, &QAction::triggered, playWithOthers_,
            [this] { playWithOthers_->open(); });
    connect(&chat, &Tchat::hostUnreachable, playWithOthers_, &PlayWithOthers::open);

    // The lobby download is offered with a solo game, unless the user said
    // not to; it may end the game.
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

    // The host's own choice of a turn time limit, kept in the settings and
    // handed to its server; a joined copy has nothing to limit.
    for (QAction *limit : menu.turnLimits)
        connect(limit, &QAction::triggered, settings_,
                [this, limit] { settings_->setTurnLimitSeconds(limit->data().toInt()); });
    const auto applyLimit = [this](int seconds) { server_->setTurnLimit(seconds * 1000); };
    for (QAction *limit : menu.turnLimits)
        connect(limit, &QAction::triggered, this,
                [applyLimit, limit] { applyLimit(limit->data().toInt()); });
    connect(&chat, &Tchat::hostingStarted, this, [this, &menu, applyLimit] {
        const int seconds = settings_->turnLimitSeconds();
        for (QAction *limit : menu.turnLimits)
            limit->setChecked(limit->data().toInt() == seconds);
        menu.TurnTimeLimit1->setEnabled(true);
        applyLimit(seconds);
    });
    // Every copy counts down the last seconds of a human's turn under the
    // limit its host announced.
    auto *countdown = new TurnCountdown(this);
    connect(&state, &TableState::turnLimitChanged, countdown,
            [countdown](int seconds) { countdown->setLimit(seconds * 1000); });
    connect(&state, &TableState::turnChanged, countdown, [&state, countdown](int seat) {
        countdown->turnStarted(isSeat(seat) && !state.seat(seat).computer);
    });
    connect(&state, &TableState::cardPlayed, countdown, &TurnCountdown::stop);
    connect(&state, &TableState::seatBusted, countdown, &TurnCountdown::stop);
    connect(&state, &TableState::gameWon, countdown, &TurnCountdown::stop);
    connect(countdown, &TurnCountdown::secondsLeftChanged, &table, &TableView::showSecondsLeft);
    // View > Show Plays In Chat: every card laid gets a quiet line of its
    // own in the chat log as well.
    menu.ShowPlaysInChat1->setChecked(settings_->showPlaysInChat());
    connect(&chat, &Tchat::ownLoginConfirmed, settings_,
            [this, &menu] { menu.ShowPlaysInChat1->setChecked(settings_->showPlaysInChat()); });
    connect(menu.ShowPlaysInChat1, &QAction::triggered, settings_,
            &ClientSettings::setShowPlaysInChat);
    connect(&state, &TableState::cardPlayed, &chatPanel, [&state, &menu, &chatPanel] {
        if (!menu.ShowPlaysInChat1->isChecked() || state.plays().isEmpty())
            return;
        const TablePlay &play = state.plays().constLast();
        chatPanel.addlinetochat(LastPlays::lineFor(play.name, play.before, play.card),
                                QColor(Qt::gray));
    });
    // View > Fit Table To Window: a larger window shows a larger table.
    const auto showFit = [this, &menu, &chat] {
        const bool fit = settings_->fitTableToWindow();
        menu.FitTableToWindow1->setChecked(fit);
        chat.tableFit().setFitToWindow(fit);
    };
    showFit();
    connect(&chat, &Tchat::ownLoginConfirmed, settings_, showFit);
    connect(menu.FitTableToWindow1, &QAction::triggered, settings_, [this, &chat](bool fit) {
        chat.tableFit().setFitToWindow(fit);
        settings_->setFitTableToWindow(fit);
    });
    connectHelpMenu(*menu.Help2, *menu.QuickInstructions1, *menu.About1, *new Thelp(&chat),
                    *new Tabout(&chat), [&chat](const QString &line) { chat.notice(line); });

    // The server comes after the main window, as the program creates its
    // windows in that order.
    if (server) {
        server_ = server;
    } else {
        ownServer_ = std::make_unique<TServer>(ports.game);
        server_ = ownServer_.get();
    }
}

Composition::~Composition() = default;

void Composition::PrhaseList1Click()
{
    Tphrases::Phrases current;
    for (std::size_t i = 0; i < current.size(); ++i)
        current[i] = chat_.chatPanel().phrase(int(i) + 1);
    phrases_->showphrases(current);
}

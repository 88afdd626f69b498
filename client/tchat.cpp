#include "client/tchat.h"

#include "client/session/commandline.h"
#include "client/session/connectionlife.h"

#include "client/table/boardpanel.h"
#include "client/table/hand.h"
#include "client/table/tablefit.h"

#include "client/chat/chatpanel.h"
#include "client/mainmenu.h"
#include "client/model/handstate.h"
#include "client/model/tablestate.h"
#include "client/session/clientconnection.h"
#include "client/session/joinfailure.h"
#include "client/session/playwithothers.h"
#include "client/session/seatreturn.h"
#include "client/table/tableview.h"
#include "host/random.h"
#include "host/tserver.h"
#include "net/errorreport.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "net/tsock.h"
#include "net/tsocktexts.h"
#include "widgets/tanimated.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
const QString kCaption = QStringLiteral("Zandor");
const QString kLoopback = QStringLiteral("127.0.0.1");
const QString kSoloName = QStringLiteral("You");

const QString kLoadingSolo = QStringLiteral("Loading Solo Game..Please wait.");
const QString kLoadingMulti = QStringLiteral("Loading Multi-player Game.. Please Wait.");
const QString kUnreachable = QStringLiteral("Could not reach the game at %1: %2.");
const QString kConnecting = QStringLiteral("Connecting to %1...");
const QString kCouldNotHost = QStringLiteral("Could not host a game: %1.");
const QString kPortTaken = QStringLiteral(
    "port %1 is already in use on this computer, perhaps by another copy of Zandor (%2)");
const QString kChooseGame =
    QStringLiteral("Host a game or join one through File > Play with Others...");
const QString kYouAreConnected = QStringLiteral("You are Connected.");
const QString kIsConnected = QStringLiteral(" is Connected.");
const QString kQuickInstructions = QStringLiteral("For Quick Instructions press ctrl-i");
const QString kYouAreSpying = QStringLiteral("You are spying.");
const QString kIsSpying = QStringLiteral(" is spying.");
const QString kDisconnected = QStringLiteral(" disconnected.");
const QString kHasLeft = QStringLiteral(" has left.");
const QString kIsJustWatching = QStringLiteral(" is just watching");
const QString kPlayingAgain = QStringLiteral(" is now playing again");
const QString kHasWrongVersion = QStringLiteral(" has a different version of the game then you.");
const QString kWrongVersion =
    QStringLiteral("You have a differnt version of the game then the host.");
const QString kGameIsFull = QStringLiteral("Game is full");
const QString kEnteredSound = QStringLiteral("entered");

// The main window's client area and the board on it.
constexpr QRect kBoard(8, 8, 697, 474);
// The chat column of the board: below the maker's logo and clear of the
// corner ornaments.
constexpr QRect kChatPlace(428, 32, 265, 405);
// The table part of the board, framed while it has the keyboard focus.
constexpr QRect kTableArea(0, 0, 426, 474);

QAction *addItem(QMenu *menu, const QString &caption, const char *name)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

Tchat::Tchat(QStringList arguments, TchatPorts ports, TServer &server)
    : arguments_(std::move(arguments)), ports_(ports), server_(server)
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(kCaption);

    connection_ = new ClientConnection(this);
    seatReturn_ = new SeatReturn(this);
    Sock11_ = new TSock(this);
    Sock11_->setObjectName(QStringLiteral("Sock11"));

    buildBoard();
    menu_ = new MainMenu(menuBar());
    connect(menu_->StartGame1, &QAction::triggered, table_, &TableView::button_startClick);
    connect(menu_->Exit1, &QAction::triggered, this, &Tchat::Exit1Click);
    connect(menu_->JustWatch1, &QAction::triggered, this, &Tchat::JustWatch1Click);
    connect(state_, &TableState::gameStarted, this,
            [this] { menu_->JustWatch1->setChecked(false); });
    buildSeatPopup();
    FormCreate();
    connectDispatcher();
    connectConnectionLife();
}

Tchat::~Tchat()
{
    // The program ends on purpose here (a crash never gets this far).
    life_->leave();
    // The client's socket goes before the server it may be connected to.
    delete connection_;
    connection_ = nullptr;
}

void Tchat::FormCreate()
{
    systemColour_ = QColor(0, 0, 255);
    session_ = ClientSession{};
    programRandom().randomize();
}

void Tchat::buildBoard()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);

    panel_board_ = new BoardPanel(client);
    panel_board_->setObjectName(QStringLiteral("panel_board"));
    panel_board_->setTableArea(kTableArea);
    // The designed size is the smallest; a larger window grows the board and
    // the chat column alike.
    fit_ = new TableFit(client, panel_board_, kBoard, this);

    // The table owns every control of the card table; the seat menu on the
    // name labels is the main window's.
    state_ = new TableState(&session_, this);
    hand_ = new HandState(state_, this);
    table_ = new TableView(panel_board_, &session_, state_, hand_, this);
    connect(table_, &TableView::sendToHost, connection_, &ClientConnection::sendToHost);
    connect(table_, &TableView::notice, this, &Tchat::notice);
    connect(table_, &TableView::messageForUser, this, [this](const QString &text) {
        auto *box =
            new QMessageBox(QMessageBox::Information, kCaption, text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
    connect(table_, &TableView::linkClicked, this,
            [](const QUrl &url) { QDesktopServices::openUrl(url); });
    for (int place = 0; place < kTablePlaces; ++place) {
        QLabel *name = table_->atPlace(TablePlace(place)).label_playername;
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, place, name](const QPoint &pos) {
                    label_playername1ContextPopup(TablePlace(place), name->mapToGlobal(pos));
                });
    }
    button_start_ = table_->startButton();

    chat_ = new ChatPanel(&session_, panel_board_);
    connect(chat_, &ChatPanel::sendToHost, connection_, &ClientConnection::sendToHost);
    chat_->setGeometry(kChatPlace);
    connect(fit_, &TableFit::scalePreviewed, this, [this](qreal scale) {
        table_->previewScale(scale);
        panel_board_->setTableArea(tablescale::scaled(kTableArea, scale));
        chat_->setGeometry(tablescale::scaled(kChatPlace, scale));
        chat_->previewScale(scale);
    });
    connect(fit_, &TableFit::scaleChanged, this, [this](qreal scale) {
        table_->setScale(scale);
        chat_->setScale(scale);
    });
    buildKeyboardFocus();
}

void Tchat::buildKeyboardFocus()
{
    // The table and the chat input are the window's two focus stops: Tab
    // goes between them, Escape leaves the chat for the table, a click on
    // the cloth (or anything on the table) gives the table the focus, and a
    // game starts with the keys on the table unless the user is typing.
    panel_board_->setKeyHandler([this](int key) { return table_->hand().keyPressed(key); });
    QWidget *cloth = centralWidget();
    cloth->setFocusPolicy(Qt::ClickFocus);
    cloth->setFocusProxy(panel_board_);
    chat_->setFocusOrder(panel_board_);
    connect(chat_, &ChatPanel::doneTyping, panel_board_,
            [this] { panel_board_->setFocus(Qt::ShortcutFocusReason); });
    connect(state_, &TableState::gameStarted, panel_board_, [this] {
        if (!chat_->isTyping())
            panel_board_->setFocus(Qt::OtherFocusReason);
    });
    // Until then the chat line has it, ready for a greeting.
    chat_->setFocus(Qt::OtherFocusReason);
}

void Tchat::buildSeatPopup()
{
    popup_kick_ = new QMenu(this);
    popup_kick_->setObjectName(QStringLiteral("popup_kick"));
    RemoveFromGame1_ = addItem(popup_kick_, QStringLiteral("Remove From Game"), "RemoveFromGame1");
    SettoJustWatch1_ = addItem(popup_kick_, QStringLiteral("Set to Just Watch"), "SettoJustWatch1");
    UnsetJustWatch1_ = addItem(popup_kick_, QStringLiteral("Unset Just Watch"), "UnsetJustWatch1");
    connect(RemoveFromGame1_, &QAction::triggered, this, &Tchat::RemoveFromGame1Click);
    connect(SettoJustWatch1_, &QAction::triggered, this, &Tchat::SettoJustWatch1Click);
    connect(UnsetJustWatch1_, &QAction::triggered, this, &Tchat::UnsetJustWatch1Click);
}

void Tchat::connectDispatcher()
{
    ClientDispatcher &dispatcher = connection_->dispatcher();
    connect(&dispatcher, &ClientDispatcher::chatrecieved, chat_, &ChatPanel::chatrecieved);
    // Seats, watchers and the game go into the table state; the table view
    // and the notices below follow what it announces.
    dispatcher.feed(*state_);
    dispatcher.feed(*hand_);
    connect(state_, &TableState::playerArrived, this, &Tchat::newplayerinfo);
    connect(&dispatcher, &ClientDispatcher::havewrongversion, this, &Tchat::havewrongversion);
    connect(&dispatcher, &ClientDispatcher::wrongversion, this, &Tchat::wrongversion);
    connect(state_, &TableState::seatLeft, this, &Tchat::playerdisconnected);
    connect(state_, &TableState::watcherLeft, this, [this](const TableWatcher &watcher) {
        notice(peertext::isolated(watcher.name) + kHasLeft);
    });
    connect(&dispatcher, &ClientDispatcher::gamefull, this, &Tchat::gamefull);
    connect(state_, &TableState::watchingChanged, this, &Tchat::justwatching);
    connect(connection_, &ClientConnection::ended, this, &Tchat::connectionEnded);
    connect(connection_, &ClientConnection::connectionLost, this, [this](const QString &why) {
        notice(why);
        if (!closing_)
            life_->ended();
    });
    connect(connection_, &ClientConnection::unreachable, this, [this](const QString &why) {
        if (!life_->attemptUnreachable())
            unreachable(session_.hostAddress, why);
    });
}

void Tchat::connectConnectionLife()
{
    // The login, the way back after a drop and the host's goodbye; File >
    // Stop Reconnecting ends the attempts.
    life_ = new ConnectionLife(session_, *connection_, *seatReturn_, *state_, ports_.game, this);
    connect(life_, &ConnectionLife::notice, this, &Tchat::notice);
    connect(life_, &ConnectionLife::gameLost, this, &Tchat::gameLost);
    connect(life_, &ConnectionLife::loggingIn, table_, &TableView::sortstuff);
    connect(seatReturn_, &SeatReturn::tryingChanged, menu_->StopReconnecting1,
            &QAction::setEnabled);
    connect(menu_->StopReconnecting1, &QAction::triggered, life_, &ConnectionLife::stopTrying);
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shownBefore_)
        return;
    shownBefore_ = true;
    const CommandLine start = CommandLine::read(arguments_);
    if (!choosePlay_ && start.start != CommandLine::Start::PlayWithOthers) {
        processparams(start);
        return;
    }
    button_start_->hide();
    menu_->StartGame1->setEnabled(false);
    notice(kChooseGame);
    // Once the main window is up, so that the window comes up over it and
    // has the keyboard.
    QTimer::singleShot(0, this, &Tchat::joinChoiceOffered);
}

bool Tchat::mayLeaveGame()
{
    // Leaving ends the game for everybody who joined this copy's game: ask.
    // A solo host or a joined copy leaves at once.
    if (!server().othersConnected())
        return true;
    if (askLeave_)
        return askLeave_(PlayWithOthers::kLeaveQuestion);
    return QMessageBox::question(this, kCaption, PlayWithOthers::kLeaveQuestion,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void Tchat::closeEvent(QCloseEvent *event)
{
    if (!closing_ && !mayLeaveGame()) {
        event->ignore();
        return;
    }
    event->accept();
    if (!closing_) {
        closing_ = true;
        emit mainWindowClosed();
    }
}

void Tchat::processparams(const CommandLine &start)
{
    using Start = CommandLine::Start;
    button_start_->hide();
    menu_->StartGame1->setEnabled(false);
    try {
        if (start.start == Start::Solo) {
            notice(kLoadingSolo);
            emit soloGameStarting();
            session_.hostAddress = kLoopback;
            session_.playerName = kSoloName;
            hostpress();
            return;
        }
        notice(kLoadingMulti);
        session_.playerName = start.name;
        session_.hostAddress = start.address;
        if (start.start == Start::Loading)
            return;
        if (start.start == Start::Host)
            hostpress();
        else
            joinpress();
        openLobbyLink();
    } catch (const ESockException &error) {
        // Start-up stops here; the window stays open and unconnected.
        reportError(error.text);
        if (start.start == Start::Join)
            unreachable(session_.hostAddress, error.text);
        else
            couldNotHost(error.text);
    }
}

void Tchat::unreachable(const QString &address, const QString &why)
{
    notice(kUnreachable.arg(address, joinFailureWords(why, ports_.game)));
    emit hostUnreachable(address);
}

void Tchat::couldNotHost(const QString &why)
{
    // The chat would otherwise go on saying that the game is loading.
    const QString words =
        why == QString(TSockText::ListenBindError) ? kPortTaken.arg(ports_.game).arg(why) : why;
    notice(kCouldNotHost.arg(words));
}

void Tchat::hostpress()
{
    server().startListening();
    session_.host = true;
    connection_->open(kLoopback, server().listeningPort());
    server().reserveHostSlot(connection_->localPort());
    button_start_->show();
    menu_->StartGame1->setEnabled(true);
    emit hostingStarted();
}

void Tchat::joinpress()
{
    // No speaker: an IPv6 address's colons must not make half of it bold.
    plainNotice(kConnecting.arg(session_.hostAddress));
    seatReturn_->joining(session_.hostAddress + QLatin1Char(':') + QString::number(ports_.game));
    connection_->open(session_.hostAddress, ports_.game);
    button_start_->hide();
    menu_->StartGame1->setEnabled(false);
}

void Tchat::openLobbyLink()
{
    // Only the lobby listens there; whether it answers does not matter.
    Sock11_->setSocketType(TSocketType::stStream);
    Sock11_->setBlocking(false);
    Sock11_->setHostName(kLoopback);
    Sock11_->setPortName(QString::number(ports_.lobby));
    try {
        Sock11_->Open();
    } catch (const ESockException &) {
    }
}

void Tchat::bringToFront()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void Tchat::notice(const QString &text)
{
    chat_->addlinetochat(text, systemColour_);
}

void Tchat::plainNotice(const QString &text)
{
    chat_->addlinetochat(text, systemColour_, ChatLineHead::None);
}

void Tchat::newplayerinfo(int slot, const QString &name)
{
    const bool own = session_.loggedIn && slot == session_.ownSlot;
    if (own && life_->backInSeat(slot)) {
        emit ownLoginConfirmed();
        return;
    }
    if (own) {
        notice(kYouAreConnected);
        emit ownLoginConfirmed();
        // A watcher's table has no hand at the bottom: a fan like the others.
        if (session_.ownSlot >= kFirstWatcherSlot)
            table_->atPlace(TablePlace::Bottom).image_card->show();
        notice(QString());
        notice(kQuickInstructions);
        notice(QString());
    } else {
        notice(peertext::isolated(name) + kIsConnected);
    }
    if (!session_.isSeat(slot))
        notice(own ? kYouAreSpying : peertext::isolated(name) + kIsSpying);
    emit playsounds(kEnteredSound);
}

void Tchat::playerdisconnected(int seat, const QString &name)
{
    if (name != state_->defaultName(seat))
        notice(peertext::isolated(name) + kDisconnected);
}

void Tchat::justwatching(int seat, bool watching)
{
    if (seat == session_.ownSlot)
        menu_->JustWatch1->setChecked(watching);
    notice(peertext::isolated(state_->seat(seat).name) +
           (watching ? kIsJustWatching : kPlayingAgain));
}

void Tchat::havewrongversion(const QString &name)
{
    notice(peertext::isolated(name) + kHasWrongVersion);
}

void Tchat::wrongversion()
{
    notice(kWrongVersion);
}

void Tchat::gamefull()
{
    if (fullBox_)
        return;
    fullBox_ =
        new QMessageBox(QMessageBox::Information, kCaption, kGameIsFull, QMessageBox::Ok, this);
    fullBox_->setObjectName(QStringLiteral("gameFullBox"));
    fullBox_->setAttribute(Qt::WA_DeleteOnClose);
    // The program ends once the user has read it.
    connect(fullBox_, &QDialog::finished, this, &QWidget::close);
    fullBox_->open();
}

void Tchat::connectionEnded()
{
    // With "Game is full" on screen, closing waits for the user.
    if (fullBox_ || closing_)
        return;
    life_->ended();
}

void Tchat::JustWatch1Click(bool checkedNow)
{
    // The click changes no check mark; the host's answer does.
    const bool wasChecked = !checkedNow;
    menu_->JustWatch1->setChecked(wasChecked);
    if (!session_.loggedIn || !session_.ownSlotIsSeat())
        return;
    connection_->sendToHost(
        msg::Justwatch{session_.ownSlot, wasChecked ? watchflag::playAgain : watchflag::justWatch}
            .build());
}

void Tchat::label_playername1ContextPopup(TablePlace place, const QPoint &globalPos)
{
    const bool host = session_.host;
    RemoveFromGame1_->setEnabled(host);
    SettoJustWatch1_->setEnabled(host);
    UnsetJustWatch1_->setEnabled(host);
    // The label's tag: the seat of its place in the form, whatever seat the
    // rotation draws there.
    popupSeat_ = int(place) + 1;
    // Removing the host's own seat would end the game for everybody.
    const int shownSeat = table_->rotation().seatAt(place);
    if (state_->seat(shownSeat).name == TableState::kWaiting || popupSeat_ == session_.ownSlot)
        RemoveFromGame1_->setEnabled(false);
    popup_kick_->popup(globalPos);
}

void Tchat::kicking(int slot)
{
    if (!session_.host || !session_.loggedIn)
        return;
    connection_->sendToHost(msg::Kickhim{session_.ownSlot, slot}.build());
}

void Tchat::RemoveFromGame1Click()
{
    kicking(popupSeat_);
}

void Tchat::SettoJustWatch1Click()
{
    if (session_.loggedIn && popupSeat_ <= session_.seatCount)
        connection_->sendToHost(msg::Justwatch{popupSeat_, watchflag::justWatch}.build());
}

void Tchat::UnsetJustWatch1Click()
{
    if (session_.loggedIn && popupSeat_ <= session_.seatCount)
        connection_->sendToHost(msg::Justwatch{popupSeat_, watchflag::playAgain}.build());
}

void Tchat::Exit1Click()
{
    close();
}

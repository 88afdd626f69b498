#include "client/tchat.h"

#include "client/chatpanel.h"
#include "client/clientconnection.h"
#include "client/clientsettings.h"
#include "client/configlocation.h"
#include "client/seatrotation.h"
#include "client/soundplayer.h"
#include "client/tableview.h"
#include "host/random.h"
#include "host/tserver.h"
#include "net/errorreport.h"
#include "net/messages.h"
#include "net/tsock.h"
#include "resources/artwork.h"
#include "stats/ttallylist.h"
#include "windows/helpmenu.h"
#include "windows/sidelook.h"
#include "windows/tabout.h"
#include "windows/tdownload.h"
#include "windows/tgamestart.h"
#include "windows/thelp.h"
#include "windows/tphrases.h"
#include "windows/tspylist.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

namespace {
const QString kCaption = QStringLiteral("Zandor");
const QString kLoopback = QStringLiteral("127.0.0.1");
const QString kSoloName = QStringLiteral("You");
const QString kHostMode = QStringLiteral("true");
const QString kWaiting = QLatin1String(kWaitingName);

const QString kLoadingSolo = QStringLiteral("Loading Solo Game..Please wait.");
const QString kLoadingMulti = QStringLiteral("Loading Multi-player Game.. Please Wait.");
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
constexpr QSize kClientArea(714, 489);
constexpr QRect kBoard(8, 8, 697, 474);
// The chat column of the board: below the maker's logo and clear of the
// corner ornaments.
constexpr QRect kChatPlace(428, 32, 265, 405);

const char kTagProperty[] = "tag";

QAction *addItem(QMenu *menu, const QString &caption, const char *name)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QAction *addCheckItem(QMenu *menu, const QString &caption, const char *name, bool checked)
{
    QAction *action = addItem(menu, caption, name);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}
} // namespace

Tchat::Tchat(QStringList arguments, TchatPorts ports, TServer *server, QWidget *parent)
    : QMainWindow(parent), arguments_(std::move(arguments)), ports_(ports)
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(kCaption);

    connection_ = new ClientConnection(this);
    Sock11_ = new TSock(this);
    Sock11_->setObjectName(QStringLiteral("Sock11"));

    buildBoard();
    buildMenu();
    chat_->connectMainMenu(this);
    auto *settings = new ClientSettings(
        ConfigLocation().folder(), &session_, chat_,
        [this](const QByteArray &message) { connection_->sendToHost(message); }, this);
    settings->connectMainMenu(this);
    connect(this, &Tchat::ownLoginConfirmed, settings, &ClientSettings::loadinifile);

    // The table's sounds and the game options window.
    auto *sounds = new SoundPlayer([settings] { return settings->playSounds(); }, this);
    connect(this, &Tchat::playsounds, sounds, &SoundPlayer::playsounds);
    connect(table_, &TableView::playsounds, sounds, &SoundPlayer::playsounds);
    GameStartHooks gameStart;
    gameStart.numhumans = [this] { return server_->numhumans(); };
    gameStart.send = [this](const QByteArray &message) { connection_->sendToHost(message); };
    gameStart.playerName = [this] { return session_.playerName; };
    gameStart.saveinifile = [settings] { settings->saveinifile(); };
    auto *options = new Tgamestart(gameStart, this);
    table_->setGameOptions([options] { options->open(); });
    table_->setAutoSort([settings] { return settings->autoSort(); });
    connect(StartGame1_, &QAction::triggered, table_, &TableView::button_startClick);
    connect(table_, &TableView::gameStarted, JustWatch1_,
            [this] { JustWatch1_->setChecked(false); });

    // The tally counts the games of the user's seat.
    TallyHooks tallyHooks;
    tallyHooks.currentPlayers = [this] {
        QStringList names;
        for (int seat = 1; seat <= session_.seatCount; ++seat) {
            const QLabel *label = seatLabel(seat);
            if (seat != session_.ownSlot && label && label->text() != kWaiting)
                names.append(label->text());
        }
        return names;
    };
    tallyHooks.ownSlot = [this] { return session_.ownSlot; };
    tallyHooks.showError = reportError;
    auto *tally = new Ttallylist(ConfigLocation().folder(), tallyHooks, this);
    if (auto *viewTally = findChild<QAction *>(QStringLiteral("ViewTally1"))) {
        viewTally->setEnabled(true);
        connect(viewTally, &QAction::triggered, tally, &Ttallylist::viewtally);
    }
    connect(table_, &TableView::tallyIncrease, tally, &Ttallylist::addtomineincrease);
    connect(table_, &TableView::tallyGame, tally, &Ttallylist::addgame);

    // The phrase list stores through the settings file and puts the phrases
    // on the buttons at once; the spy list removes a watcher through
    // `kicking`. Both lie on the main window's own cloth.
    const auto tile = [] { return artwork::backgroundTile(); };
    phrases_ = new Tphrases(
        [settings](const Tphrases::Phrases &texts) { settings->savephrases(texts); }, tile, this);
    spylist_ = new Tspylist([this](int slot) { kicking(slot); }, tile(), this);
    connect(&spyList_, &SpyList::changed, spylist_, [this] {
        spylist_->setEntries(spyList_.entries());
        spylist_->setRemoveEnabled(spyList_.removeEnabled());
    });
    buildSeatPopup();
    FormCreate();
    connectDispatcher();

    // The side windows live as long as the main window and are only hidden.
    download_ = new Tdownload(this);
    connect(download_, &Tdownload::exitRequested, this, &Tchat::Exit1Click);
    connectHelpMenu(*this, *new Thelp(this), *new Tabout(this),
                    [this](const QString &line) { notice(line); });

    // The server comes after the main window, as the program creates its
    // windows in that order.
    if (server) {
        server_ = server;
    } else {
        ownServer_ = std::make_unique<TServer>(ports_.game);
        server_ = ownServer_.get();
    }
}

Tchat::~Tchat()
{
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
    client->setFixedSize(kClientArea);
    setCentralWidget(client);

    panel_board_ = new QWidget(client);
    panel_board_->setObjectName(QStringLiteral("panel_board"));
    panel_board_->setGeometry(kBoard);

    // The table owns every control of the card table; the seat menu on the
    // name labels is the main window's.
    TableHooks table;
    table.send = [this](const QByteArray &message) { connection_->sendToHost(message); };
    table.notice = [this](const QString &line) { notice(line); };
    table_ = new TableView(panel_board_, &session_, table, this);
    for (int seat = 1; seat <= kSeatCount; ++seat) {
        QLabel *name = table_->nameLabel(seat);
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, name](const QPoint &pos) { label_playername1ContextPopup(name, pos); });
    }
    button_start_ = table_->startButton();

    chat_ = new ChatPanel(
        &session_, [this](const QByteArray &message) { connection_->sendToHost(message); },
        panel_board_);
    chat_->setGeometry(kChatPlace);
}

void Tchat::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    StartGame1_ = addItem(file, QStringLiteral("Start Game"), "StartGame1");
    StartGame1_->setEnabled(false);
    QAction *exit = addItem(file, QStringLiteral("Exit"), "Exit1");
    connect(exit, &QAction::triggered, this, &Tchat::Exit1Click);

    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    addCheckItem(options, QStringLiteral("Play Sounds"), "PlaySounds1", true);
    QMenu *speed = options->addMenu(QStringLiteral("Bot Speed"));
    speed->setObjectName(QStringLiteral("BotSpeed1"));
    auto *speeds = new QActionGroup(speed);
    const struct
    {
        const char *caption;
        const char *name;
        int ms;
    } kSpeeds[] = {{kSlowBots.name, "Slow1", kSlowBots.ms},
                   {kNormalBots.name, "Normal1", kNormalBots.ms},
                   {kFastBots.name, "Fast1", kFastBots.ms}};
    for (const auto &item : kSpeeds) {
        QAction *action =
            addCheckItem(speed, QLatin1String(item.caption), item.name, item.ms == kNormalBots.ms);
        action->setData(item.ms);
        speeds->addAction(action);
    }
    addCheckItem(options, QStringLiteral("Auto Sort"), "AutoSort1", true);
    options->addSeparator();
    addItem(options, QStringLiteral("Text Color"), "TextColor1");
    addItem(options, QStringLiteral("Action Color"), "ActionColor1");
    QMenu *size = options->addMenu(QStringLiteral("Text Size"));
    size->setObjectName(QStringLiteral("TextSize1"));
    auto *sizes = new QActionGroup(size);
    for (int points : {8, 10, 12, 14}) {
        const QByteArray name = "N" + QByteArray::number(points);
        QAction *action =
            addCheckItem(size, QString::number(points), name.constData(), points == 8);
        action->setData(points);
        sizes->addAction(action);
    }
    QAction *scrollOff =
        addCheckItem(options, QStringLiteral("Scroll Chat Off"), "ScrollChatOff2", false);
    scrollOff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(options, QStringLiteral("Clear Main Chat"), "ClearMainChat1");
    options->addSeparator();
    JustWatch1_ = addCheckItem(options, QStringLiteral("Just Watch"), "JustWatch1", false);
    connect(JustWatch1_, &QAction::triggered, this, &Tchat::JustWatch1Click);

    // The tally, the side windows and the help arrive with their own
    // windows; until then their items stay disabled.
    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    addItem(view, QStringLiteral("View Tally"), "ViewTally1")->setEnabled(false);
    connect(addItem(view, QStringLiteral("Spy List"), "SpyList1"), &QAction::triggered, this,
            &Tchat::SpyList1Click);
    connect(addItem(view, QStringLiteral("Phrase List"), "PrhaseList1"), &QAction::triggered, this,
            &Tchat::PrhaseList1Click);

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction *content = addItem(help, QStringLiteral("Content"), "Help2");
    content->setShortcut(QKeySequence(Qt::Key_F1));
    content->setEnabled(false);
    QAction *quick = addItem(help, QStringLiteral("Quick Instructions"), "QuickInstructions1");
    quick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    quick->setEnabled(false);
    help->addSeparator();
    addItem(help, QStringLiteral("About"), "About1")->setEnabled(false);
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
    connect(&dispatcher, &ClientDispatcher::sendloginfo, this, &Tchat::sendloginfo);
    connect(&dispatcher, &ClientDispatcher::chatrecieved, chat_, &ChatPanel::chatrecieved);
    connect(&dispatcher, &ClientDispatcher::newplayerinfo, this, &Tchat::newplayerinfo);
    connect(&dispatcher, &ClientDispatcher::havewrongversion, this, &Tchat::havewrongversion);
    connect(&dispatcher, &ClientDispatcher::wrongversion, this, &Tchat::wrongversion);
    connect(&dispatcher, &ClientDispatcher::playerdisconnected, this, &Tchat::playerdisconnected);
    connect(&dispatcher, &ClientDispatcher::gamefull, this, &Tchat::gamefull);
    connect(&dispatcher, &ClientDispatcher::justwatching, this, &Tchat::justwatching);
    table_->connectDispatcher(dispatcher);
    connect(connection_, &ClientConnection::ended, this, &Tchat::connectionEnded);
    connect(connection_, &ClientConnection::connectionLost, this, &Tchat::notice);
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shownBefore_)
        return;
    shownBefore_ = true;
    processparams(arguments_);
}

void Tchat::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!closing_) {
        closing_ = true;
        emit mainWindowClosed();
    }
}

void Tchat::processparams(const QStringList &arguments)
{
    button_start_->hide();
    StartGame1_->setEnabled(false);
    try {
        if (arguments.isEmpty()) {
            notice(kLoadingSolo);
            sidelook::bringForward(*download_);
            session_.hostAddress = kLoopback;
            session_.playerName = kSoloName;
            hostpress();
            return;
        }
        notice(kLoadingMulti);
        session_.playerName = arguments.at(0);
        session_.hostAddress = arguments.value(1);
        if (arguments.size() < 3)
            return;
        if (arguments.at(2) == kHostMode)
            hostpress();
        else
            joinpress();
        openLobbyLink();
    } catch (const ESockException &error) {
        // Start-up stops here; the window stays open and unconnected.
        reportError(error.text);
    }
}

void Tchat::hostpress()
{
    server_->startListening();
    session_.host = true;
    connection_->open(kLoopback, server_->listeningPort());
    button_start_->show();
    StartGame1_->setEnabled(true);
    spyList_.setRemoveEnabled(true);
}

void Tchat::joinpress()
{
    connection_->open(session_.hostAddress, ports_.game);
    button_start_->hide();
    StartGame1_->setEnabled(false);
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

QLabel *Tchat::seatLabel(int seat) const
{
    return qobject_cast<QLabel *>(findSeatControl(panel_board_, u"label_playername", seat));
}

void Tchat::sendloginfo(int slot)
{
    // The host gives a connection its slot once. A second one, or a slot
    // outside 1 to 9, would turn the table round again under the user.
    if (session_.loggedIn || slot < 1 || slot > kHighestSlot)
        return;
    session_.ownSlot = slot;
    session_.loggedIn = true;
    connection_->sendToHost(
        msg::Logininfo{slot, kVersionText, session_.playerName.toUtf8()}.build());
    sortstuff(panel_board_, slot);
}

void Tchat::newplayerinfo(int slot, const QString &name)
{
    if (slot < 1 || slot > kHighestSlot)
        return;
    const bool own = session_.loggedIn && slot == session_.ownSlot;
    if (own) {
        notice(kYouAreConnected);
        emit ownLoginConfirmed();
        if (session_.ownSlot >= kFirstWatcherSlot) {
            if (QWidget *fan = findSeatControl(panel_board_, u"image_card", 1))
                fan->show();
        }
        notice(QString());
        notice(kQuickInstructions);
        notice(QString());
    } else {
        notice(name + kIsConnected);
    }

    if (session_.isSeat(slot)) {
        if (QLabel *label = seatLabel(slot))
            label->setText(name);
    } else {
        spyList_.add(SpyList::entryFor(slot, name));
        notice(own ? kYouAreSpying : name + kIsSpying);
    }
    emit playsounds(kEnteredSound);
}

void Tchat::playerdisconnected(int slot, const QString &name)
{
    if (session_.isSeat(slot)) {
        QLabel *label = seatLabel(slot);
        if (!label)
            return;
        const QString &defaultName = session_.defaultNames[std::size_t(slot - 1)];
        if (label->text() != defaultName)
            notice(label->text() + kDisconnected);
        // The computer player takes the seat over.
        label->setText(defaultName);
        if (QWidget *eyes = findSeatControl(panel_board_, u"image_eyes", slot))
            eyes->hide();
        return;
    }
    const QString entry = SpyList::entryFor(slot, name);
    if (spyList_.contains(entry)) {
        notice(name + kHasLeft);
        spyList_.remove(entry);
    }
}

void Tchat::justwatching(int seat, const QString &flag)
{
    if (seat > session_.seatCount)
        return;
    QLabel *label = seatLabel(seat);
    if (!label)
        return;
    const bool watching = flag == QLatin1String(watchflag::justWatch);
    if (seat == session_.ownSlot)
        JustWatch1_->setChecked(watching);
    notice(label->text() + (watching ? kIsJustWatching : kPlayingAgain));
    if (QWidget *eyes = findSeatControl(panel_board_, u"image_eyes", seat))
        eyes->setVisible(watching);
}

void Tchat::havewrongversion(const QString &name)
{
    notice(name + kHasWrongVersion);
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
    if (fullBox_)
        return;
    close();
}

void Tchat::JustWatch1Click(bool checkedNow)
{
    // The click changes no check mark; the host's answer does.
    const bool wasChecked = !checkedNow;
    JustWatch1_->setChecked(wasChecked);
    if (!session_.loggedIn || !session_.ownSlotIsSeat())
        return;
    connection_->sendToHost(
        msg::Justwatch{session_.ownSlot, wasChecked ? watchflag::playAgain : watchflag::justWatch}
            .build());
}

void Tchat::label_playername1ContextPopup(QLabel *label, const QPoint &pos)
{
    const bool host = session_.host;
    RemoveFromGame1_->setEnabled(host);
    SettoJustWatch1_->setEnabled(host);
    UnsetJustWatch1_->setEnabled(host);
    popupSeat_ = label->property(kTagProperty).toInt();
    // Removing the host's own seat would end the game for everybody.
    if (label->text() == kWaiting || popupSeat_ == session_.ownSlot)
        RemoveFromGame1_->setEnabled(false);
    popup_kick_->popup(label->mapToGlobal(pos));
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

void Tchat::SpyList1Click()
{
    spylist_->showspylist();
}

void Tchat::PrhaseList1Click()
{
    Tphrases::Phrases current;
    for (std::size_t i = 0; i < current.size(); ++i)
        current[i] = chat_->phrase(int(i) + 1);
    phrases_->showphrases(current);
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

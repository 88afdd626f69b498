#include "client/table/tableview.h"
#include "client/model/cardnames.h"

#include "client/model/clientsession.h"
#include "client/model/handstate.h"
#include "client/model/tablestate.h"
#include "client/model/turncountdown.h"
#include "client/table/boardlabels.h"
#include "client/table/hand.h"
#include "client/table/lastplays.h"
#include "client/table/pileview.h"
#include "client/table/tablepictures.h"
#include "client/table/tablescale.h"
#include "client/table/tablesounds.h"
#include "client/table/winnerbanner.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "resources/artsizes.h"
#include "resources/artwork.h"
#include "widgets/sidelook.h"
#include "widgets/tanimated.h"
#include "widgets/tlbbackground.h"
#include "windows/helptexts.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {

using boardlabels::kInk;
using boardlabels::kStatusInk;
using boardlabels::kTagProperty;
using boardlabels::picture;
using boardlabels::text;

const QString kYourTurn = QStringLiteral("Your Turn.");
const QString kSomebodysTurn = QStringLiteral("'s turn.");
const QString kSecondsLeft = QStringLiteral(" %1 seconds left");
const QString kBusted = QStringLiteral(" busted the pile and lost a bag of money.");
const QString kWelcome = QStringLiteral("Welcome to Zandor by Korvex Software");
const QString kHasStarted = QStringLiteral(" has started a game.");
const QString kYouHaveWon = QStringLiteral("You have won all the bags of money!");
const QString kHasWon = QStringLiteral(" has won all the bags of money!");
const QString kNotConnected = QStringLiteral("You are not connected");
const QString kNextRound = QStringLiteral("Next round in %1 seconds");

constexpr int kStartBags = TableState::kStartBags;
constexpr int kSeats = TableState::kSeats;

// The seven controls of a seat, by prefix, at their four places: bottom,
// left, upper left, upper right (seats 1 to 4 as the form lays them out).
struct SeatControl
{
    const char *prefix;
    std::array<QPoint, kTablePlaces> places;
    QSize size;
};
const SeatControl kName{
    "label_playername", {{{176, 398}, {32, 319}, {82, 148}, {280, 152}}}, {99, 16}};
const SeatControl kFan{"image_card", {{{176, 293}, {32, 216}, {82, 43}, {280, 48}}}, {101, 102}};
const SeatControl kChips{"image_chips", {{{152, 298}, {8, 218}, {58, 48}, {256, 50}}}, {23, 76}};
const SeatControl kTurn{"image_turn", {{{152, 372}, {8, 293}, {58, 122}, {256, 126}}}, {23, 24}};
const SeatControl kEyes{"image_eyes", {{{153, 398}, {9, 319}, {59, 148}, {257, 152}}}, {23, 15}};
const SeatControl kMoney{"image_money", {{{176, 338}, {32, 261}, {82, 88}, {280, 92}}}, {66, 57}};
const SeatControl kWinner{"image_winner", {{{170, 338}, {32, 261}, {82, 88}, {272, 92}}}, {77, 56}};

constexpr QRect kStatusPlace(31, 451, 385, 16);
constexpr QRect kStartPlace(275, 411, 144, 33);
constexpr QRect kLogoPlace(519, 5, 146, 20);
constexpr QSize kOrnament(30, 30);
// The last plays: right of the hand and above the start button, clear of the
// chat column.
constexpr QRect kLastPlaysPlace(330, 293, 96, 116);
// Below the last plays, where the start button stands between games.
constexpr QRect kNextRoundPlace(330, 411, 96, 28);

QPixmap art(artwork::Art kind, int index, qreal scale)
{
    return tablepictures::picture(kind, index, scale);
}

// START GAME drawn as its picture, pressed while the mouse holds it.
class PictureButton : public QPushButton
{
public:
    explicit PictureButton(QWidget *parent) : QPushButton(parent)
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }

    void setPictures(const QPixmap &up, const QPixmap &down)
    {
        up_ = up;
        down_ = down;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawPixmap(rect(), isDown() ? down_ : up_);
    }

private:
    QPixmap up_;
    QPixmap down_;
};

// A picture on the board that answers a left click.
class ClickablePicture : public QLabel
{
public:
    ClickablePicture(std::function<void()> clicked, QWidget *parent)
        : QLabel(parent), clicked_(std::move(clicked))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            clicked_();
    }

private:
    std::function<void()> clicked_;
};

} // namespace

TableView::TableView(QWidget *board, const ClientSession *session, TableState *state,
                     HandState *hand, QObject *parent)
    : QObject(parent), board_(board), session_(session), state_(state), handState_(hand)
{
    setObjectName(QStringLiteral("tableview"));
    // The window's cloth: tiles beneath everything, the board panel itself
    // stays transparent so they show through.
    background_ = new TLbBackground(board->window());
    background_->setObjectName(QStringLiteral("LbBackground1"));
    background_->setEnabled(true);

    buildDecorations();
    buildPile();
    buildSeats();
    banner_ = new WinnerBanner(board_, places_);

    hand_ = new HandView(board_, handState_, this);
    connect(hand_, &HandView::playRequested, this, &TableView::requestPlay);
    connect(hand_, &HandView::sortRequested, handState_, &HandState::sort);
    drawPictures();
    clearall();

    sounds_ = new TableSounds(state_, this);
    connect(sounds_, &TableSounds::playsounds, this, &TableView::playsounds);
    connect(state_, &TableState::seatChanged, this, &TableView::showSeat);
    connect(state_, &TableState::gameStarted, this, &TableView::gameStarted);
    connect(state_, &TableState::roundStarted, this, &TableView::roundStarted);
    connect(state_, &TableState::turnChanged, this, &TableView::showTurn);
    connect(state_, &TableState::lateArrival, this, &TableView::lateArrival);
    connect(state_, &TableState::cardPlayed, this, &TableView::cardPlayed);
    connect(state_, &TableState::seatBusted, this, &TableView::seatBusted);
    connect(state_, &TableState::gameWon, this, &TableView::gameWon);
}

TableView::~TableView() = default;

void TableView::setScale(qreal scale)
{
    if (scale <= 0)
        return;
    const bool drawn = scale == places_.scale() && hand_->pictureScale() == scale;
    previewScale(scale);
    if (drawn)
        return;
    hand_->setScale(scale);
    drawPictures();
}

void TableView::previewScale(qreal scale)
{
    if (scale <= 0 || scale == places_.scale())
        return;
    places_.setScale(scale);
    lastPlays_->setScale(scale);
    hand_->previewScale(scale);
}

void TableView::drawPictures()
{
    using artwork::Art;
    const qreal scale = places_.scale();
    // The cloth and the fans are drawn when they are painted, for the
    // screen they are painted on.
    background_->setImageMaker(artwork::makerFor(Art::BackgroundTile, 0, scale));
    for (int corner = 1; corner <= 4; ++corner)
        ornaments_[std::size_t(corner - 1)]->setPixmap(art(Art::Ornament, corner, scale));
    logo_->setPixmap(art(Art::Logo, 0, scale));
    static_cast<PictureButton *>(button_start_)
        ->setPictures(art(Art::StartButton, 0, scale), art(Art::StartButtonDown, 0, scale));
    for (const SeatControls &seat : seatsAtPlaces_) {
        seat.image_card->setBitMapMaker(artwork::makerFor(Art::CardFan, 0, scale));
        seat.image_turn->setPixmap(art(Art::TurnMarker, 0, scale));
        seat.image_eyes->setPixmap(art(Art::Eyes, 0, scale));
        seat.image_money->setPixmap(art(Art::OutOfMoney, 0, scale));
        seat.image_winner->setPixmap(art(Art::Winner, 0, scale));
    }
    for (int seat = 1; seat <= kSeats; ++seat)
        showBags(seat);
    pile_->showTopCard();
    pile_->showTotal();
}

void TableView::buildDecorations()
{
    const QSize area = board_->size();
    const std::array<QPoint, 4> corners = {
        QPoint(0, 0), QPoint(area.width() - kOrnament.width(), 0),
        QPoint(0, area.height() - kOrnament.height()),
        QPoint(area.width() - kOrnament.width(), area.height() - kOrnament.height())};
    for (int corner = 1; corner <= 4; ++corner) {
        ornaments_[std::size_t(corner - 1)] =
            picture(board_, places_, QStringLiteral("Image%1").arg(corner),
                    QRect(corners[std::size_t(corner - 1)], kOrnament));
    }
    logo_ = new ClickablePicture([this] { Image5Click(); }, board_);
    logo_->setObjectName(QStringLiteral("Image5"));
    places_.place(logo_, kLogoPlace);
    logo_->setToolTip(QStringLiteral("http://") + helptexts::kMakerSite);
}

void TableView::buildPile()
{
    pile_ = std::make_unique<PileView>(board_, places_, *state_);
    label_status_ = text(board_, places_, QStringLiteral("label_status"), kStatusPlace, kWelcome,
                         12, kStatusInk);
    label_status_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    button_start_ = new PictureButton(board_);
    button_start_->setObjectName(QStringLiteral("button_start"));
    places_.place(button_start_, kStartPlace);
    button_start_->setToolTip(QStringLiteral("Start Game"));
    connect(button_start_, &QPushButton::clicked, this, &TableView::button_startClick);

    lastPlays_ = new LastPlays(state_, board_);
    places_.place(lastPlays_, kLastPlaysPlace);

    // The design keeps the bust's status line through the pause; this says
    // that the game is waiting, and for how long.
    label_nextround_ = text(board_, places_, QStringLiteral("label_nextround"), kNextRoundPlace,
                            QString(), 10, kStatusInk);
    label_nextround_->setWordWrap(true);
    label_nextround_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_nextround_->hide();
    pause_ = new TurnCountdown(this);
    pause_->setLimit(kPauseSeconds * 1000);
    connect(pause_, &TurnCountdown::secondsLeftChanged, this, &TableView::showPauseLeft);
}

void TableView::showPauseLeft(int seconds)
{
    label_nextround_->setText(kNextRound.arg(seconds));
    label_nextround_->setVisible(seconds > 0);
}

void TableView::buildSeats()
{
    for (int index = 0; index < kTablePlaces; ++index) {
        const std::size_t place = std::size_t(index);
        const auto placed = [place](const SeatControl &control) {
            return QRect(control.places[place], control.size);
        };
        SeatControls &seat = seatsAtPlaces_[place];

        seat.image_card = new TAnimated(board_);
        places_.place(seat.image_card, placed(kFan));
        seat.image_card->setInterval(250);
        seat.image_card->setFrameCount(artwork::cardFanFrames);
        seat.image_card->setTransparentColor(QColor::fromRgb(artwork::cardFanKey()));
        // The fans lie on the cloth itself, not on a box of felt colour.
        seat.image_card->setColor(Qt::transparent);
        seat.image_card->hide();

        seat.image_chips = picture(board_, places_, QString(), placed(kChips));
        seat.image_turn = picture(board_, places_, QString(), placed(kTurn));
        seat.image_eyes = picture(board_, places_, QString(), placed(kEyes));
        seat.image_eyes->hide();
        seat.image_money = picture(board_, places_, QString(), placed(kMoney));
        seat.image_money->hide();
        seat.image_winner = picture(board_, places_, QString(), placed(kWinner));
        seat.image_winner->hide();

        seat.label_playername =
            text(board_, places_, QString(), placed(kName), TableState::kWaiting, 12, kInk);
        places_.font(seat.label_playername, sidelook::arialPixels(12, false));
        // Centred under the seat's fan, which stands at the same left edge.
        seat.label_playername->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        // The tag is the seat number of the label's place in the form; the
        // seat menu reads it.
        seat.label_playername->setProperty(kTagProperty, index + 1);
        seat.label_playername->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    nameSeatControls();
}

void TableView::nameSeatControls()
{
    for (int index = 0; index < kTablePlaces; ++index) {
        const SeatControls &seat = seatsAtPlaces_[std::size_t(index)];
        const QString number = QString::number(rotation_.seatAt(TablePlace(index)));
        seat.label_playername->setObjectName(QLatin1String(kName.prefix) + number);
        seat.image_card->setObjectName(QLatin1String(kFan.prefix) + number);
        seat.image_chips->setObjectName(QLatin1String(kChips.prefix) + number);
        // The form spells the turn markers of the left and upper right
        // places with a capital T.
        const bool capital =
            TablePlace(index) == TablePlace::Left || TablePlace(index) == TablePlace::UpperRight;
        seat.image_turn->setObjectName(
            (capital ? QStringLiteral("image_Turn") : QLatin1String(kTurn.prefix)) + number);
        seat.image_eyes->setObjectName(QLatin1String(kEyes.prefix) + number);
        seat.image_money->setObjectName(QLatin1String(kMoney.prefix) + number);
        seat.image_winner->setObjectName(QLatin1String(kWinner.prefix) + number);
    }
}

const SeatControls &TableView::atPlace(TablePlace place) const
{
    return seatsAtPlaces_[std::size_t(place)];
}

const SeatControls *TableView::seatControls(int seat) const
{
    if (!TableState::isSeat(seat))
        return nullptr;
    return &atPlace(rotation_.placeOf(seat));
}

void TableView::sortstuff(int ownSlot)
{
    rotation_ = SeatRotation(ownSlot);
    nameSeatControls();
    for (int seat = 1; seat <= kSeats; ++seat) {
        showSeat(seat);
        showBags(seat);
    }
}

void TableView::setStatus(const QString &line)
{
    label_status_->setText(line);
}

void TableView::showSecondsLeft(int seconds)
{
    // Only over the turn's own line: a bust or a winner has taken it over.
    if (turnStatus_.isEmpty() || !label_status_->text().startsWith(turnStatus_))
        return;
    label_status_->setText(seconds > 0 ? turnStatus_ + kSecondsLeft.arg(seconds) : turnStatus_);
    sounds_->turnSecondsLeft(seconds);
}

void TableView::showSeat(int seat)
{
    const SeatControls *controls = seatControls(seat);
    if (!controls)
        return;
    const TableSeat &state = state_->seat(seat);
    controls->label_playername->setText(state.name);
    controls->image_eyes->setVisible(state.watching);
    nameSeat(seat);
}

void TableView::nameSeat(int seat)
{
    const SeatControls *controls = seatControls(seat);
    if (!controls)
        return;
    const TableSeat &state = state_->seat(seat);
    cardnames::Seat words;
    words.name = state.name;
    words.bags = state.bags;
    words.holdsTurn = state_->turnSeat() == seat;
    words.justWatches = state.watching;
    words.won = state_->winnerSeat() == seat;
    const QString name = cardnames::seatName(words);
    for (QWidget *widget : {static_cast<QWidget *>(controls->label_playername),
                            static_cast<QWidget *>(controls->image_card),
                            static_cast<QWidget *>(controls->image_chips)})
        widget->setAccessibleName(name);
}

void TableView::showBags(int seat)
{
    if (const SeatControls *controls = seatControls(seat)) {
        const int bags = state_->seat(seat).bags;
        controls->image_chips->setPixmap(tablepictures::bags(bags, places_.scale()));
        controls->image_chips->setProperty(kTagProperty, bags);
    }
    nameSeat(seat);
}

void TableView::showMoneyList()
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        const SeatControls &controls = *seatControls(seat);
        if (state_->seat(seat).outOfMoney) {
            controls.image_money->show();
            controls.image_card->hide();
        } else if (!state_->isOwnSeat(seat)) {
            // The user sees his own hand instead of a fan.
            controls.image_card->show();
            controls.image_money->hide();
        }
    }
}

void TableView::stopFans()
{
    for (const SeatControls &controls : seatsAtPlaces_) {
        controls.image_card->setPlay(false);
        controls.image_card->setFrame(0);
    }
}

void TableView::clearall()
{
    for (int seat = 1; seat <= kSeats; ++seat)
        showBags(seat);
    stopFans();
}

void TableView::gameStarted(const QString &name)
{
    pause_->stop();
    button_start_->hide();
    banner_->hide();
    clearall();
    pile_->showCardCount();
    emit notice(peertext::isolated(name) + kHasStarted);
    pile_->showTotal();
    for (const SeatControls &controls : seatsAtPlaces_) {
        controls.image_winner->hide();
        controls.image_money->hide();
    }
}

void TableView::roundStarted()
{
    pause_->stop();
    pile_->showRound();
    showMoneyList();
    for (int seat = 1; seat <= kSeats; ++seat)
        showBags(seat);
    stopFans();
    pile_->showTopCard();
    pile_->showTotal();
    pile_->showCardCount();
}

void TableView::showTurn(int seat)
{
    for (const SeatControls &controls : seatsAtPlaces_) {
        controls.image_card->setPlay(false);
        controls.image_card->setFrame(0);
        places_.font(controls.label_playername, sidelook::arialPixels(12, false));
        controls.image_turn->hide();
    }
    const SeatControls *controls = seatControls(seat);
    if (controls) {
        controls->image_turn->show();
        places_.font(controls->label_playername, sidelook::arialPixels(12, true));
    }
    for (int each = 1; each <= kSeats; ++each)
        nameSeat(each);
    if (seat == session_->ownSlot) {
        setStatus(kYourTurn);
        turnStatus_ = kYourTurn;
        return;
    }
    if (controls) {
        turnStatus_ = peertext::isolated(state_->seat(seat).name) + kSomebodysTurn;
        setStatus(turnStatus_);
        controls->image_card->setPlay(true);
    }
}

void TableView::lateArrival()
{
    pile_->showRound();
    pile_->showTopCard();
    pile_->showTotal();
    showMoneyList();
    for (int seat = 1; seat <= kSeats; ++seat)
        showBags(seat);
}

void TableView::requestPlay(int position)
{
    if (!session_->loggedIn || !session_->ownSlotIsSeat() ||
        state_->turnSeat() != session_->ownSlot)
        return;
    if (!handState_->pick(position))
        return;
    // One card per turn: the next turn message opens the hand again.
    state_->closeHand();
    emit sendToHost(msg::PlaycardToHost{session_->ownSlot, position}.build());
}

void TableView::cardPlayed(int seat)
{
    pile_->showTopCard();
    pile_->showTotal();
    if (const SeatControls *controls = seatControls(seat)) {
        controls->image_card->setPlay(false);
        controls->image_card->setFrame(0);
    }
    pile_->showCardCount();
}

void TableView::seatBusted(int seat, int bags)
{
    setStatus(peertext::isolated(state_->seat(seat).name) + kBusted);
    if (bags < 0 || bags > kStartBags)
        return;
    const SeatControls *controls = seatControls(seat);
    if (controls && bags < 1)
        controls->image_money->show();
    showBags(seat);
    for (const SeatControls &each : seatsAtPlaces_)
        each.image_card->hide();
    // A winner, if there is one now, follows at once and ends the count.
    pause_->start();
}

void TableView::gameWon(const QString &name, int seat)
{
    pause_->stop();
    if (const SeatControls *controls = seatControls(seat))
        controls->image_winner->show();

    // By seat, never by name: two players may share one.
    QString banner = peertext::isolated(name) + kHasWon;
    if (state_->isOwnSeat(seat))
        banner = kYouHaveWon;
    emit notice(banner);
    banner_->announce(banner);
    if (session_->host)
        button_start_->show();

    for (const SeatControls &controls : seatsAtPlaces_) {
        controls.image_turn->hide();
        controls.image_chips->clear();
    }
}

void TableView::button_startClick()
{
    if (!session_->loggedIn) {
        emit messageForUser(kNotConnected);
        return;
    }
    emit gameOptionsRequested();
}

void TableView::Image5Click()
{
    emit linkClicked(QUrl(QStringLiteral("http://") + helptexts::kMakerSite));
}

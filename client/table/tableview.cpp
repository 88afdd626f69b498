#include "client/table/tableview.h"

#include "client/model/clientsession.h"
#include "client/model/handstate.h"
#include "client/model/tablestate.h"
#include "client/model/turncountdown.h"
#include "client/table/boardlabels.h"
#include "client/table/hand.h"
#include "client/table/lastplays.h"
#include "client/table/pileview.h"
#include "client/table/seatviews.h"
#include "client/table/tablepictures.h"
#include "client/table/tablescale.h"
#include "client/table/tablesounds.h"
#include "client/table/winnerbanner.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "resources/artwork.h"
#include "widgets/tlbbackground.h"
#include "windows/helptexts.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {

using boardlabels::kStatusInk;
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
    seats_ = std::make_unique<SeatViews>(board_, places_, *state_);
    banner_ = new WinnerBanner(board_, places_);

    hand_ = new HandView(board_, handState_, this);
    connect(hand_, &HandView::playRequested, this, &TableView::requestPlay);
    connect(hand_, &HandView::sortRequested, handState_, &HandState::sort);
    drawPictures();
    clearall();

    sounds_ = new TableSounds(state_, this);
    connect(sounds_, &TableSounds::playsounds, this, &TableView::playsounds);
    connect(state_, &TableState::seatChanged, this, [this](int seat) { seats_->showSeat(seat); });
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
    seats_->drawPictures();
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

const SeatControls &TableView::atPlace(TablePlace place) const
{
    return seats_->atPlace(place);
}

const SeatControls *TableView::seatControls(int seat) const
{
    return seats_->seatControls(seat);
}

void TableView::sortstuff(int ownSlot)
{
    seats_->setRotation(ownSlot);
}

void TableView::setStatus(const QString &line)
{
    label_status_->setText(line);
    // Any other line, a bust's, takes the turn's place: no count over it.
    turnStatus_.clear();
}

void TableView::showSecondsLeft(int seconds)
{
    // Only over the turn's own line.
    if (turnStatus_.isEmpty())
        return;
    label_status_->setText(seconds > 0 ? turnStatus_ + kSecondsLeft.arg(seconds) : turnStatus_);
    sounds_->turnSecondsLeft(seconds);
}

void TableView::clearall()
{
    for (int seat = 1; seat <= kSeats; ++seat)
        seats_->showBags(seat);
    seats_->stopFans();
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
    seats_->hideOutcomes();
}

void TableView::roundStarted()
{
    pause_->stop();
    pile_->showRound();
    seats_->showMoneyList();
    for (int seat = 1; seat <= kSeats; ++seat)
        seats_->showBags(seat);
    seats_->stopFans();
    pile_->showTopCard();
    pile_->showTotal();
    pile_->showCardCount();
}

void TableView::showTurn(int seat)
{
    seats_->showTurn(seat);
    if (seat == session_->ownSlot) {
        setStatus(kYourTurn);
        turnStatus_ = kYourTurn;
        return;
    }
    if (TableState::isSeat(seat)) {
        const QString line = peertext::isolated(state_->seat(seat).name) + kSomebodysTurn;
        setStatus(line);
        turnStatus_ = line;
        seats_->playFan(seat);
    }
}

void TableView::lateArrival()
{
    pile_->showRound();
    pile_->showTopCard();
    pile_->showTotal();
    seats_->showMoneyList();
    for (int seat = 1; seat <= kSeats; ++seat)
        seats_->showBags(seat);
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
    seats_->stopFan(seat);
    pile_->showCardCount();
}

void TableView::seatBusted(int seat, int bags)
{
    setStatus(peertext::isolated(state_->seat(seat).name) + kBusted);
    if (bags < 0 || bags > kStartBags)
        return;
    if (bags < 1)
        seats_->showOutOfMoney(seat);
    seats_->showBags(seat);
    seats_->hideFans();
    // A winner, if there is one now, follows at once and ends the count.
    pause_->start();
}

void TableView::gameWon(const QString &name, int seat)
{
    pause_->stop();
    seats_->showWinner(seat);

    // By seat, never by name: two players may share one.
    QString banner = peertext::isolated(name) + kHasWon;
    if (state_->isOwnSeat(seat))
        banner = kYouHaveWon;
    emit notice(banner);
    banner_->announce(banner);
    if (session_->host)
        button_start_->show();
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

const SeatRotation &TableView::rotation() const
{
    return seats_->rotation();
}

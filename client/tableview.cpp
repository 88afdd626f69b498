#include "client/tableview.h"

#include "client/clientsession.h"
#include "client/hand.h"
#include "client/seatrotation.h"
#include "client/tablepictures.h"
#include "net/messages.h"
#include "resources/artwork.h"
#include "widgets/tanimated.h"
#include "widgets/tlbbackground.h"
#include "windows/helptexts.h"
#include "windows/sidelook.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace {

const QString kYourTurn = QStringLiteral("Your Turn.");
const QString kSomebodysTurn = QStringLiteral("'s turn.");
const QString kBusted = QStringLiteral(" busted the pile and lost a bag of money.");
const QString kWelcome = QStringLiteral("Welcome to Zandor by Korvex Software");
const QString kHasStarted = QStringLiteral(" has started a game.");
const QString kYouHaveWon = QStringLiteral("You have won all the bags of money!");
const QString kHasWon = QStringLiteral(" has won all the bags of money!");
const QString kNotConnected = QStringLiteral("You are not connected");
const QString kCardCount = QStringLiteral("Card Count: ");
const QString kRound = QStringLiteral("Round: ");
const QString kOwnWin = QStringLiteral("addtomine");
const QString kCaption = QStringLiteral("Zandor");

const QString kSoundStartRound = QStringLiteral("startround");
const QString kSoundTurn = QStringLiteral("turn");
const QString kSoundPlaceCard = QStringLiteral("placecard");
const QString kSoundError = QStringLiteral("error");
const QString kSoundLostMoney = QStringLiteral("lostmoney");
const QString kSoundWinner = QStringLiteral("winner");

const char kTagProperty[] = "tag";

// Tally columns the table adds to.
constexpr int kColumnBusts = 3;
constexpr int kColumnBagsWon = 4;
constexpr int kColumnBagsStaked = 5;
constexpr int kBagsAtStake = 12;
constexpr int kStartBags = kStartMoney;

constexpr int kSeats = kSeatCount;

// The seven controls of a seat, by prefix, at their four places: bottom,
// left, upper left, upper right (seats 1 to 4 before the rotation).
struct SeatControl
{
    const char *prefix;
    std::array<QPoint, kSeats> places;
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

constexpr QRect kTopCard(153, 176, 71, 96);
constexpr QRect kTens(233, 176, 71, 96);
constexpr QRect kOnes(297, 176, 71, 96);
// Centred under the pile.
constexpr QRect kCardCountPlace(146, 273, 230, 16);
constexpr QRect kRoundPlace(5, 430, 99, 16);
constexpr QRect kStatusPlace(31, 451, 385, 16);
constexpr QRect kStartPlace(275, 411, 144, 33);
constexpr QRect kWinnerPlace(30, 6, 388, 59);
constexpr QRect kWinnerText(43, 10, 302, 40);
constexpr QRect kLogoPlace(519, 5, 146, 20);
constexpr QSize kOrnament(30, 30);

const QColor kInk(250, 246, 228);       // names and notes on the cloth
const QColor kStatusInk(255, 226, 140); // the status line, a little warmer
const QColor kOlive(128, 128, 0);
const QColor kShadow(128, 128, 128);

void paint(QLabel *label, const QColor &colour)
{
    QPalette ink = label->palette();
    ink.setColor(QPalette::WindowText, colour);
    label->setPalette(ink);
}

QLabel *picture(QWidget *board, const QString &name, QRect place, const QImage &image)
{
    auto *label = new QLabel(board);
    label->setObjectName(name);
    label->setGeometry(place);
    if (!image.isNull())
        label->setPixmap(QPixmap::fromImage(image));
    return label;
}

QLabel *text(QWidget *board, const QString &name, QRect place, const QString &caption, int pixels,
             const QColor &colour)
{
    auto *label = new QLabel(caption, board);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setTextFormat(Qt::PlainText);
    label->setFont(sidelook::arialPixels(pixels, true));
    paint(label, colour);
    return label;
}

// START GAME drawn as its picture, pressed while the mouse holds it.
class PictureButton : public QPushButton
{
public:
    PictureButton(const QImage &up, const QImage &down, QWidget *parent)
        : QPushButton(parent), up_(QPixmap::fromImage(up)), down_(QPixmap::fromImage(down))
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
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

// The banner that announces the winner: a parchment plate with a gold rim.
class WinnerBanner : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath plate;
        plate.addRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 10, 10);
        painter.fillPath(plate, QColor(255, 250, 228, 240));
        painter.setPen(QPen(QColor(196, 156, 58), 3));
        painter.drawPath(plate);
    }
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

TableView::TableView(QWidget *board, ClientSession *session, TableHooks hooks, QObject *parent)
    : QObject(parent), board_(board), session_(session), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("tableview"));
    // The window's cloth: tiles beneath everything, the board panel itself
    // stays transparent so they show through.
    auto *background = new TLbBackground(board->window());
    background->setObjectName(QStringLiteral("LbBackground1"));
    background->setImage(artwork::backgroundTile());
    background->setEnabled(true);

    buildDecorations();
    buildPile();
    buildSeats();
    buildBanner();

    hand_ = new HandView(board_, this);
    connect(hand_, &HandView::cardPressed, this, &TableView::cardimagesMouseDown);
    clearall();
}

TableView::~TableView() = default;

void TableView::buildDecorations()
{
    const QSize area = board_->size();
    const std::array<QPoint, 4> corners = {
        QPoint(0, 0), QPoint(area.width() - kOrnament.width(), 0),
        QPoint(0, area.height() - kOrnament.height()),
        QPoint(area.width() - kOrnament.width(), area.height() - kOrnament.height())};
    for (int corner = 1; corner <= 4; ++corner) {
        picture(board_, QStringLiteral("Image%1").arg(corner),
                QRect(corners[std::size_t(corner - 1)], kOrnament), artwork::ornament(corner));
    }
    auto *logo = new ClickablePicture([this] { Image5Click(); }, board_);
    logo->setObjectName(QStringLiteral("Image5"));
    logo->setGeometry(kLogoPlace);
    logo->setPixmap(QPixmap::fromImage(artwork::logo()));
    logo->setToolTip(QStringLiteral("http://") + helptexts::kMakerSite);
}

void TableView::buildPile()
{
    image_topcard_ =
        picture(board_, QStringLiteral("image_topcard"), kTopCard, artwork::bigCard(0));
    image_topcard_->setScaledContents(true);
    image_nums1_ = picture(board_, QStringLiteral("image_nums1"), kTens, artwork::digit(0));
    image_nums2_ = picture(board_, QStringLiteral("image_nums2"), kOnes, artwork::digit(0));

    label_cardcount_ =
        text(board_, QStringLiteral("label_cardcount"), kCardCountPlace, QString(), 12, kInk);
    label_cardcount_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label_round_ = text(board_, QStringLiteral("label_round"), kRoundPlace,
                        kRound + QStringLiteral("0"), 14, kInk);
    label_status_ =
        text(board_, QStringLiteral("label_status"), kStatusPlace, kWelcome, 12, kStatusInk);
    label_status_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    button_start_ = new PictureButton(artwork::startButton(), artwork::startButtonDown(), board_);
    button_start_->setObjectName(QStringLiteral("button_start"));
    button_start_->setGeometry(kStartPlace);
    button_start_->setToolTip(QStringLiteral("Start Game"));
    connect(button_start_, &QPushButton::clicked, this, &TableView::button_startClick);
}

void TableView::buildSeats()
{
    const QImage fanStrip = artwork::cardFan();
    for (int seat = 1; seat <= kSeats; ++seat) {
        const std::size_t place = std::size_t(seat - 1);
        const auto placed = [place](const SeatControl &control) {
            return QRect(control.places[place], control.size);
        };
        const auto nameOf = [seat](const char *prefix) {
            return QLatin1String(prefix) + QString::number(seat);
        };

        auto *fan = new TAnimated(board_);
        fan->setObjectName(nameOf(kFan.prefix));
        fan->setGeometry(placed(kFan));
        fan->setInterval(250);
        fan->setFrameCount(artwork::cardFanFrames);
        fan->setBitMap(fanStrip);
        fan->setTransparentColor(QColor::fromRgb(artwork::cardFanKey()));
        fan->setColor(artwork::feltColour());
        fan->hide();

        picture(board_, nameOf(kChips.prefix), placed(kChips), artwork::bags(kStartBags))
            ->setProperty(kTagProperty, kStartBags);
        // The form spells two of the turn markers with a capital T; the
        // lookup ignores case, and the rotation keeps each control's spelling.
        const QString turnName =
            seat % 2 == 0 ? QStringLiteral("image_Turn%1").arg(seat) : nameOf(kTurn.prefix);
        picture(board_, turnName, placed(kTurn), artwork::turnMarker());
        picture(board_, nameOf(kEyes.prefix), placed(kEyes), artwork::eyes())->hide();
        picture(board_, nameOf(kMoney.prefix), placed(kMoney), artwork::outOfMoney())->hide();
        picture(board_, nameOf(kWinner.prefix), placed(kWinner), artwork::winner())->hide();

        QLabel *name = text(board_, nameOf(kName.prefix), placed(kName), kWaiting, 12, kInk);
        name->setFont(sidelook::arialPixels(12, false));
        // Centred under the seat's fan, which stands at the same left edge.
        name->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        name->setProperty(kTagProperty, seat);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
    }
}

void TableView::buildBanner()
{
    panel_winner_ = new WinnerBanner(board_);
    panel_winner_->setObjectName(QStringLiteral("panel_winner"));
    panel_winner_->setGeometry(kWinnerPlace);
    // The shadow first, so the olive text lies over it.
    label_winner2_ = text(panel_winner_, QStringLiteral("label_winner2"),
                          kWinnerText.translated(1, -1), QString(), 15, kShadow);
    label_winner1_ =
        text(panel_winner_, QStringLiteral("label_winner1"), kWinnerText, QString(), 15, kOlive);
    for (QLabel *label : {label_winner2_, label_winner1_}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
    }
    panel_winner_->hide();
}

void TableView::connectDispatcher(ClientDispatcher &dispatcher)
{
    connect(&dispatcher, &ClientDispatcher::startthegame, this, &TableView::startthegame);
    connect(&dispatcher, &ClientDispatcher::getnextplayer, this, &TableView::getnextplayer);
    connect(&dispatcher, &ClientDispatcher::winner, this, &TableView::winner);
    connect(&dispatcher, &ClientDispatcher::placecard, this, &TableView::placecard);
    connect(&dispatcher, &ClientDispatcher::playcard, this, &TableView::playcard);
    connect(&dispatcher, &ClientDispatcher::startround, this, &TableView::startround);
    connect(&dispatcher, &ClientDispatcher::newcard, this, &TableView::newcard);
    connect(&dispatcher, &ClientDispatcher::nocard, this, &TableView::nocard);
    connect(&dispatcher, &ClientDispatcher::roundover, this, &TableView::roundover);
    connect(&dispatcher, &ClientDispatcher::gamestats, this, &TableView::gamestats);
}

QWidget *TableView::seatControl(QStringView prefix, int seat) const
{
    return findSeatControl(board_, prefix, seat);
}

QLabel *TableView::nameLabel(int seat) const
{
    return qobject_cast<QLabel *>(seatControl(u"label_playername", seat));
}

TAnimated *TableView::cardFan(int seat) const
{
    return qobject_cast<TAnimated *>(seatControl(u"image_card", seat));
}

void TableView::sortstuff(int ownSlot)
{
    ::sortstuff(board_, ownSlot);
}

bool TableView::ownSeat(int seat) const
{
    return seat == session_->ownSlot && session_->ownSlotIsSeat();
}

void TableView::notice(const QString &line)
{
    if (hooks_.notice)
        hooks_.notice(line);
}

void TableView::send(const QByteArray &message)
{
    if (hooks_.send)
        hooks_.send(message);
}

void TableView::showMessage(const QString &message)
{
    if (hooks_.showMessage) {
        hooks_.showMessage(message);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Information, kCaption, message, QMessageBox::Ok,
                                board_->window());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TableView::setStatus(const QString &line)
{
    label_status_->setText(line);
}

void TableView::setCardCount(int count)
{
    label_cardcount_->setProperty(kTagProperty, count);
    label_cardcount_->setText(kCardCount + QString::number(count));
}

void TableView::showTotal(int total)
{
    const bool twoDigits = total >= 10;
    image_nums1_->setPixmap(tablepictures::digit(twoDigits ? total / 10 : 0));
    image_nums2_->setPixmap(tablepictures::digit(twoDigits ? total % 10 : total));
}

void TableView::showBags(int seat, int bags)
{
    if (auto *chips = qobject_cast<QLabel *>(seatControl(u"image_chips", seat))) {
        chips->setPixmap(tablepictures::bags(bags));
        chips->setProperty(kTagProperty, bags);
    }
}

void TableView::showMoneyList(const ClientDispatcher::SeatValues &money, bool updateBags)
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        const int bags = money[std::size_t(seat - 1)];
        QWidget *outOfMoney = seatControl(u"image_money", seat);
        QWidget *fan = seatControl(u"image_card", seat);
        if (bags < 1) {
            if (outOfMoney)
                outOfMoney->show();
            if (fan)
                fan->hide();
        } else if (!ownSeat(seat)) {
            // The user sees his own hand instead of a fan.
            if (fan)
                fan->show();
            if (outOfMoney)
                outOfMoney->hide();
        }
        if (updateBags)
            showBags(seat, bags);
    }
}

void TableView::stopFans()
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (TAnimated *fan = cardFan(seat)) {
            fan->setPlay(false);
            fan->setFrame(0);
        }
    }
}

void TableView::defaultNamesForWaitingSeats()
{
    // Computer players take the seats nobody holds.
    for (int seat = 2; seat <= kSeats; ++seat) {
        QLabel *label = nameLabel(seat);
        if (label && label->text() == kWaiting)
            label->setText(session_->defaultNames[std::size_t(seat - 1)]);
    }
}

void TableView::clearall()
{
    for (int seat = 1; seat <= kSeats; ++seat)
        showBags(seat, kStartBags);
    stopFans();
}

void TableView::startthegame(const QString &name, const QString &)
{
    button_start_->hide();
    emit gameStarted();
    panel_winner_->hide();
    clearall();
    setCardCount(0);
    notice(name + kHasStarted);
    showTotal(0);
    defaultNamesForWaitingSeats();
    hand_->removeAllCards();
    for (int seat = 1; seat <= kSeats; ++seat) {
        for (QStringView prefix : {u"image_winner", u"image_money"}) {
            if (QWidget *control = seatControl(prefix, seat))
                control->hide();
        }
    }
    if (session_->ownSlotIsSeat())
        emit tallyIncrease(kColumnBagsStaked, kStartBags);
}

void TableView::startround(int round, const ClientDispatcher::SeatValues &money)
{
    label_round_->setText(kRound + QString::number(round));
    showMoneyList(money, false);
    stopFans();
    image_topcard_->clear();
    showTotal(0);
    setCardCount(0);
    hand_->freePlaces();
    hand_->removeAllCards();
    emit playsounds(kSoundStartRound);
}

void TableView::showTurn(int seat)
{
    for (int each = 1; each <= kSeats; ++each) {
        if (TAnimated *fan = cardFan(each)) {
            fan->setPlay(false);
            fan->setFrame(0);
        }
        if (QLabel *label = nameLabel(each))
            label->setFont(sidelook::arialPixels(12, false));
        if (QWidget *marker = seatControl(u"image_turn", each))
            marker->hide();
    }
    if (QWidget *marker = seatControl(u"image_turn", seat))
        marker->show();
    QLabel *label = nameLabel(seat);
    if (label)
        label->setFont(sidelook::arialPixels(12, true));
    if (seat == session_->ownSlot) {
        setStatus(kYourTurn);
        emit playsounds(kSoundTurn);
        return;
    }
    if (label)
        setStatus(label->text() + kSomebodysTurn);
    if (TAnimated *fan = cardFan(seat))
        fan->setPlay(true);
}

void TableView::getnextplayer(int seat)
{
    session_->turnSeat = seat;
    showTurn(seat);
}

void TableView::gamestats(int round, int total, int topcard, int turn,
                          const ClientDispatcher::SeatValues &money)
{
    label_round_->setText(kRound + QString::number(round));
    session_->turnSeat = turn;
    if (turn != 0)
        showTurn(turn);
    if (topcard != 0)
        image_topcard_->setPixmap(tablepictures::bigCard(topcard));
    showTotal(total);
    showMoneyList(money, true);
    defaultNamesForWaitingSeats();
}

void TableView::placecard(int seat, const ClientDispatcher::SeatValues &cards)
{
    if (!ownSeat(seat))
        return;
    for (int position = 1; position <= kSeats; ++position)
        hand_->createcard(position, cards[std::size_t(position - 1)]);
    // A fresh hand is always sorted, whatever "Auto Sort" says.
    hand_->sortthem();
}

void TableView::cardimagesMouseDown(int position, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        hand_->sortthem();
        return;
    }
    if (button != Qt::LeftButton || !session_->loggedIn || !session_->ownSlotIsSeat() ||
        session_->turnSeat != session_->ownSlot)
        return;
    if (!hand_->pick(position))
        return;
    // One card per turn: the next turn message opens the hand again.
    session_->turnSeat = 0;
    send(msg::PlaycardToHost{session_->ownSlot, position}.build());
}

void TableView::playcard(int seat, int card, int total)
{
    image_topcard_->setPixmap(tablepictures::bigCard(card));
    showTotal(total);
    if (TAnimated *fan = cardFan(seat)) {
        fan->setPlay(false);
        fan->setFrame(0);
    }
    setCardCount(label_cardcount_->property(kTagProperty).toInt() + 1);
    emit playsounds(kSoundPlaceCard);
}

void TableView::newcard(int seat, int position, int card)
{
    // A hand has positions 1 to 4; anything else names no card of ours.
    if (!ownSeat(seat) || position < 1 || position > kSeats)
        return;
    hand_->removeCard(position);
    hand_->movecards(position);
    hand_->createcard(position, card);
    if (hooks_.autoSort && hooks_.autoSort())
        hand_->sortthem();
}

void TableView::nocard(int seat, int position)
{
    if (!ownSeat(seat))
        return;
    hand_->blankCard(position);
    // The host sends no new turn after a refusal: the user picks again.
    if (session_->turnSeat == 0)
        session_->turnSeat = session_->ownSlot;
    emit playsounds(kSoundError);
}

void TableView::roundover(int seat, int money)
{
    const QLabel *label = nameLabel(seat);
    setStatus((label ? label->text() : QString()) + kBusted);
    if (money < 0 || money > kStartBags)
        return;
    if (money < 1) {
        if (QWidget *outOfMoney = seatControl(u"image_money", seat))
            outOfMoney->show();
    }
    showBags(seat, money);
    if (session_->ownSlotIsSeat()) {
        for (int position = 1; position <= kSeats; ++position)
            hand_->removeCard(position);
    }
    for (int each = 1; each <= kSeats; ++each) {
        if (QWidget *fan = seatControl(u"image_card", each))
            fan->hide();
    }
    if (ownSeat(seat))
        emit tallyIncrease(kColumnBusts, 1);
    emit playsounds(kSoundLostMoney);
}

void TableView::winner(const QString &name, int seat)
{
    if (seat != 0) {
        if (QWidget *heap = seatControl(u"image_winner", seat))
            heap->show();
    }
    emit playsounds(kSoundWinner);

    QString banner = name + kHasWon;
    if (session_->ownSlotIsSeat()) {
        const QLabel *own = nameLabel(session_->ownSlot);
        if (own && own->text() == name) {
            banner = kYouHaveWon;
            const QWidget *chips = seatControl(u"image_chips", session_->ownSlot);
            const int held = chips ? chips->property(kTagProperty).toInt() : 0;
            emit tallyIncrease(kColumnBagsWon, kBagsAtStake - held);
        }
    }
    label_winner1_->setText(banner);
    label_winner2_->setText(banner);
    notice(banner);
    panel_winner_->show();
    panel_winner_->raise();
    if (session_->host)
        button_start_->show();

    for (int each = 1; each <= kSeats; ++each) {
        if (QWidget *marker = seatControl(u"image_turn", each))
            marker->hide();
        if (auto *chips = qobject_cast<QLabel *>(seatControl(u"image_chips", each)))
            chips->clear();
    }
    if (session_->ownSlotIsSeat())
        emit tallyGame(ownSeat(seat) ? kOwnWin : name);
}

void TableView::button_startClick()
{
    if (!session_->loggedIn) {
        showMessage(kNotConnected);
        return;
    }
    if (hooks_.openGameOptions)
        hooks_.openGameOptions();
}

void TableView::Image5Click()
{
    const QUrl site(QStringLiteral("http://") + helptexts::kMakerSite);
    if (hooks_.openLink)
        hooks_.openLink(site);
    else
        QDesktopServices::openUrl(site);
}

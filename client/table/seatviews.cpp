#include "client/table/seatviews.h"

#include "client/model/cardnames.h"
#include "client/model/tablestate.h"
#include "client/table/boardlabels.h"
#include "client/table/scaledplaces.h"
#include "client/table/tablepictures.h"
#include "resources/artsizes.h"
#include "resources/artwork.h"
#include "widgets/sidelook.h"
#include "widgets/tanimated.h"

#include <QLabel>

namespace {
// After the name of a player whose seat waits for him to come back.
const QString kAway = QStringLiteral(" (away)");

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

QFont nameFont(bool toPlay)
{
    return sidelook::arialPixels(12, toPlay);
}

} // namespace

SeatViews::SeatViews(QWidget *board, ScaledPlaces &places, const TableState &state)
    : places_(places), state_(state)
{
    build(board);
    nameControls();
}

void SeatViews::build(QWidget *board)
{
    using boardlabels::picture;
    for (int index = 0; index < kTablePlaces; ++index) {
        const std::size_t place = std::size_t(index);
        const auto placed = [place](const SeatControl &control) {
            return QRect(control.places[place], control.size);
        };
        SeatControls &seat = seatsAtPlaces_[place];

        seat.image_card = new TAnimated(board);
        places_.place(seat.image_card, placed(kFan));
        seat.image_card->setInterval(250);
        seat.image_card->setFrameCount(artwork::cardFanFrames);
        seat.image_card->setTransparentColor(QColor::fromRgb(artwork::cardFanKey()));
        // The fans lie on the cloth itself, not on a box of felt colour.
        seat.image_card->setColor(Qt::transparent);
        seat.image_card->hide();

        seat.image_chips = picture(board, places_, QString(), placed(kChips));
        seat.image_turn = picture(board, places_, QString(), placed(kTurn));
        seat.image_eyes = picture(board, places_, QString(), placed(kEyes));
        seat.image_eyes->hide();
        seat.image_money = picture(board, places_, QString(), placed(kMoney));
        seat.image_money->hide();
        seat.image_winner = picture(board, places_, QString(), placed(kWinner));
        seat.image_winner->hide();

        seat.label_playername = boardlabels::text(board, places_, QString(), placed(kName),
                                                  TableState::kWaiting, 12, boardlabels::kInk);
        places_.font(seat.label_playername, nameFont(false));
        // Centred under the seat's fan, which stands at the same left edge.
        seat.label_playername->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        // The tag is the seat number of the label's place in the form; the
        // seat menu reads it.
        seat.label_playername->setProperty(boardlabels::kTagProperty, index + 1);
        seat.label_playername->setContextMenuPolicy(Qt::CustomContextMenu);
    }
}

void SeatViews::nameControls()
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

void SeatViews::setRotation(int ownSlot)
{
    rotation_ = SeatRotation(ownSlot);
    nameControls();
    for (int seat = 1; seat <= kSeats; ++seat) {
        showSeat(seat);
        showBags(seat);
    }
}

const SeatControls &SeatViews::atPlace(TablePlace place) const
{
    return seatsAtPlaces_[std::size_t(place)];
}

const SeatControls *SeatViews::seatControls(int seat) const
{
    if (!TableState::isSeat(seat))
        return nullptr;
    return &atPlace(rotation_.placeOf(seat));
}

void SeatViews::drawPictures()
{
    using artwork::Art;
    const qreal scale = places_.scale();
    for (const SeatControls &seat : seatsAtPlaces_) {
        // The fans are drawn when they are painted, for the screen they are
        // painted on.
        seat.image_card->setBitMapMaker(artwork::makerFor(Art::CardFan, 0, scale));
        seat.image_turn->setPixmap(tablepictures::picture(Art::TurnMarker, 0, scale));
        seat.image_eyes->setPixmap(tablepictures::picture(Art::Eyes, 0, scale));
        seat.image_money->setPixmap(tablepictures::picture(Art::OutOfMoney, 0, scale));
        seat.image_winner->setPixmap(tablepictures::picture(Art::Winner, 0, scale));
    }
    for (int seat = 1; seat <= kSeats; ++seat)
        showBags(seat);
}

void SeatViews::showSeat(int seat)
{
    const SeatControls *controls = seatControls(seat);
    if (!controls)
        return;
    const TableSeat &state = state_.seat(seat);
    controls->label_playername->setText(state.away ? state.name + kAway : state.name);
    controls->image_eyes->setVisible(state.watching);
    nameSeat(seat);
}

void SeatViews::nameSeat(int seat)
{
    const SeatControls *controls = seatControls(seat);
    if (!controls)
        return;
    const TableSeat &state = state_.seat(seat);
    cardnames::Seat words;
    words.name = state.name;
    words.bags = state.bags;
    words.holdsTurn = state_.turnSeat() == seat;
    words.justWatches = state.watching;
    words.won = state_.winnerSeat() == seat;
    const QString name = cardnames::seatName(words);
    for (QWidget *widget : {static_cast<QWidget *>(controls->label_playername),
                            static_cast<QWidget *>(controls->image_card),
                            static_cast<QWidget *>(controls->image_chips)})
        widget->setAccessibleName(name);
}

void SeatViews::showBags(int seat)
{
    if (const SeatControls *controls = seatControls(seat)) {
        const int bags = state_.seat(seat).bags;
        controls->image_chips->setPixmap(tablepictures::bags(bags, places_.scale()));
        controls->image_chips->setProperty(boardlabels::kTagProperty, bags);
    }
    nameSeat(seat);
}

void SeatViews::showMoneyList()
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        const SeatControls &controls = *seatControls(seat);
        if (state_.seat(seat).outOfMoney) {
            controls.image_money->show();
            controls.image_card->hide();
        } else if (!state_.isOwnSeat(seat)) {
            // The user sees his own hand instead of a fan.
            controls.image_card->show();
            controls.image_money->hide();
        }
    }
}

void SeatViews::showTurn(int seat)
{
    for (const SeatControls &controls : seatsAtPlaces_) {
        controls.image_card->setPlay(false);
        controls.image_card->setFrame(0);
        places_.font(controls.label_playername, nameFont(false));
        controls.image_turn->hide();
    }
    if (const SeatControls *controls = seatControls(seat)) {
        controls->image_turn->show();
        places_.font(controls->label_playername, nameFont(true));
    }
    for (int each = 1; each <= kSeats; ++each)
        nameSeat(each);
}

void SeatViews::playFan(int seat)
{
    if (const SeatControls *controls = seatControls(seat))
        controls->image_card->setPlay(true);
}

void SeatViews::stopFan(int seat)
{
    if (const SeatControls *controls = seatControls(seat)) {
        controls->image_card->setPlay(false);
        controls->image_card->setFrame(0);
    }
}

void SeatViews::stopFans()
{
    for (const SeatControls &controls : seatsAtPlaces_) {
        controls.image_card->setPlay(false);
        controls.image_card->setFrame(0);
    }
}

void SeatViews::hideFans()
{
    for (const SeatControls &controls : seatsAtPlaces_)
        controls.image_card->hide();
}

void SeatViews::showOutOfMoney(int seat)
{
    if (const SeatControls *controls = seatControls(seat))
        controls->image_money->show();
}

void SeatViews::showWinner(int seat)
{
    if (const SeatControls *controls = seatControls(seat))
        controls->image_winner->show();
    for (const SeatControls &controls : seatsAtPlaces_) {
        controls.image_turn->hide();
        controls.image_chips->clear();
    }
}

void SeatViews::hideOutcomes()
{
    for (const SeatControls &controls : seatsAtPlaces_) {
        controls.image_winner->hide();
        controls.image_money->hide();
    }
}

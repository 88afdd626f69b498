#include "client/table/pileview.h"

#include "client/model/cardnames.h"
#include "client/model/tablestate.h"
#include "client/table/boardlabels.h"
#include "client/table/scaledplaces.h"
#include "client/table/tablepictures.h"

#include <QLabel>

namespace {

const QString kCardCount = QStringLiteral("Card Count: ");
const QString kRound = QStringLiteral("Round: ");

constexpr QRect kTopCard(153, 176, 71, 96);
constexpr QRect kTens(233, 176, 71, 96);
constexpr QRect kOnes(297, 176, 71, 96);
// Centred under the pile.
constexpr QRect kCardCountPlace(146, 273, 230, 16);
constexpr QRect kRoundPlace(5, 430, 99, 16);

} // namespace

PileView::PileView(QWidget *board, ScaledPlaces &places, const TableState &state)
    : places_(places), state_(state)
{
    using boardlabels::kInk;
    image_topcard_ = boardlabels::picture(board, places, QStringLiteral("image_topcard"), kTopCard);
    image_nums1_ = boardlabels::picture(board, places, QStringLiteral("image_nums1"), kTens);
    image_nums2_ = boardlabels::picture(board, places, QStringLiteral("image_nums2"), kOnes);

    label_cardcount_ = boardlabels::text(board, places, QStringLiteral("label_cardcount"),
                                         kCardCountPlace, QString(), 12, kInk);
    label_cardcount_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label_round_ = boardlabels::text(board, places, QStringLiteral("label_round"), kRoundPlace,
                                     kRound + QStringLiteral("0"), 14, kInk);
}

void PileView::namePile()
{
    const QString name = cardnames::pileName(state_.total(), state_.topCard());
    for (QLabel *label : {image_topcard_, image_nums1_, image_nums2_})
        label->setAccessibleName(name);
}

void PileView::showCardCount()
{
    // The tag holds the count as the form keeps it; it is never read back.
    label_cardcount_->setProperty(boardlabels::kTagProperty, state_.cardCount());
    label_cardcount_->setText(kCardCount + QString::number(state_.cardCount()));
}

void PileView::showRound()
{
    label_round_->setText(kRound + QString::number(state_.round()));
}

void PileView::showTopCard()
{
    if (state_.topCard() == TableState::kEmptyPile)
        image_topcard_->clear();
    else
        image_topcard_->setPixmap(tablepictures::bigCard(state_.topCard(), places_.scale()));
    namePile();
}

void PileView::showTotal()
{
    const int total = state_.total();
    const bool twoDigits = total >= 10;
    image_nums1_->setPixmap(tablepictures::digit(twoDigits ? total / 10 : 0, places_.scale()));
    image_nums2_->setPixmap(tablepictures::digit(twoDigits ? total % 10 : total, places_.scale()));
    namePile();
}

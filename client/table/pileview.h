#pragma once

class QLabel;
class QWidget;
class ScaledPlaces;
class TableState;

// The pile in the middle of the table: its top card, the total in two big
// digits, the card count under it and the round at the lower left, with the
// names a screen reader speaks for the pile. Drawn from the table state.
class PileView
{
public:
    PileView(QWidget *board, ScaledPlaces &places, const TableState &state);

    // Each draws its part for the table's scale now.
    void showTopCard();
    void showTotal();
    void showCardCount();
    void showRound();

private:
    void namePile();

    ScaledPlaces &places_;
    const TableState &state_;
    QLabel *image_topcard_ = nullptr;
    QLabel *image_nums1_ = nullptr; // tens
    QLabel *image_nums2_ = nullptr; // ones
    QLabel *label_cardcount_ = nullptr;
    QLabel *label_round_ = nullptr;
};

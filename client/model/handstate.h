#pragma once

#include "client/model/handlayout.h"
#include "net/messages.h"

#include <QObject>

class TableState;

// The user's hand: which positions hold which cards, where each lies
// (resting, raised, refused), and the keyboard's highlight. The host's deal
// and new cards fill it; the table's rounds and games empty it; the user's
// own picks, sorts and highlight change it through its methods. Every change
// is announced by `changed`, which the hand's view draws.
class HandState : public QObject
{
    Q_OBJECT
public:
    // A round lays the hand's cards in places 1 to 10.
    static constexpr int kRoundPlaces = 10;

    explicit HandState(const TableState *table, QObject *parent = nullptr);

    const HandLayout &layout() const { return layout_; }

    // "Auto Sort": a new card is sorted into the hand at once.
    void setAutoSort(bool on) { autoSort_ = on; }

    // The host's messages for the user's seat; another seat's are ignored.
    void placecard(int seat, const NumberedValues &cards);
    void newcard(int seat, int position, int card);

    // The user's doings. pick is a left click on a card: it raises a
    // resting card (true: the card goes to the host) or lowers a raised one.
    bool pick(int position);
    void sort();
    void highlight(int position);
    void moveHighlight(int step);
    // Escape: the highlight goes and a raised card at `position` is lowered.
    void lower(int position);

signals:
    void changed();

private:
    void removeAll();

    const TableState *table_;
    HandLayout layout_;
    bool autoSort_ = true;
};

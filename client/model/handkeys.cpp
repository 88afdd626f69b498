#include "client/model/handkeys.h"

#include "client/model/handlayout.h"

#include <Qt>

namespace handkeys {

namespace {

// The position raised off the resting line, 0 when none is.
int raisedPosition(const HandLayout &hand)
{
    for (int place = 1; place <= HandLayout::kPlayPlaces; ++place) {
        const int position = hand.positionAt(place);
        const HandLayout::CardImage *card = position > 0 ? hand.image(position) : nullptr;
        if (card && card->top == HandLayout::kPickedTop)
            return position;
    }
    return 0;
}

} // namespace

Intent forKey(int key, const HandLayout &hand)
{
    Intent intent;
    if (key >= Qt::Key_1 && key <= Qt::Key_4) {
        const int position = hand.positionAt(key - Qt::Key_1 + 1);
        intent.kind = Intent::Kind::Play;
        intent.position = position > 0 && hand.image(position) ? position : 0;
        intent.highlight = true;
        return intent;
    }
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        intent.kind = Intent::Kind::MoveHighlight;
        intent.step = key == Qt::Key_Right ? 1 : -1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        intent.kind = Intent::Kind::Play;
        intent.position = hand.highlighted() ? hand.highlighted() : raisedPosition(hand);
        break;
    case Qt::Key_Escape:
        intent.position = raisedPosition(hand);
        if (intent.position || hand.highlighted())
            intent.kind = Intent::Kind::Lower;
        break;
    default:
        break;
    }
    return intent;
}

} // namespace handkeys

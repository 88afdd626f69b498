#pragma once

class HandLayout;

// What a key pressed on the table asks of the hand. Keys 1 to 4 ask to play
// the card at that place, left to right, exactly as a click on it does (and
// move the highlight there); Left and Right move the highlight, which marks
// a card and sends nothing; Enter or Space ask to play the highlighted card,
// else the raised one (a click on a raised card lowers it); Escape takes the
// highlight away and lowers a raised card.
namespace handkeys {

struct Intent
{
    enum class Kind { None, Play, MoveHighlight, Lower };
    Kind kind = Kind::None;
    // Play: the hand position asked for (0: no card there); Lower: the
    // raised card's position (0: none).
    int position = 0;
    int step = 0;           // MoveHighlight: +1 right, -1 left
    bool highlight = false; // Play: the highlight moves to the card first

    // Whether the key was the hand's at all. Escape with nothing to lower
    // or unmark is not, so that it can mean something else.
    bool handled() const { return kind != Kind::None; }
};

Intent forKey(int key, const HandLayout &hand);

} // namespace handkeys

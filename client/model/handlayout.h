#pragma once

#include <array>
#include <vector>

// Where the cards of the user's hand lie on the table, without any widget:
// the twenty hand places, the card image of each hand position with its
// place on the screen, and the order in which the images overlap. The hand
// widgets only show what this holds, so tests can drive the rules directly.
//
// The host knows the cards by hand position 1 to 4; the places are the
// client's own screen order, left to right, and never go back to the host.
class HandLayout
{
public:
    static constexpr int kPlaces = 20;
    // Play uses the first four places; the rest only exist so that a burst
    // of cards never lacks a place.
    static constexpr int kPlayPlaces = 4;
    static constexpr int kRestingTop = 296;
    static constexpr int kPickedTop = 292;
    static constexpr int kWidth = 71;
    static constexpr int kHeight = 96;

    // Left edge of a card made or moved along into `place`.
    static constexpr int madeLeft(int place) { return 25 * place + 153; }
    // Left edge of a card the sort put into `place`.
    static constexpr int sortedLeft(int place) { return 25 * place + 151; }
    // Ace 1, 2 to 10, Jack 11, Queen 12, King 14; suits do not count, and a
    // card 0 (shown as the back) counts as a King.
    static int rankKey(int card);

    struct CardImage
    {
        int position = 0; // hand position 1 to 4, the host's number
        int card = 0;     // 0 to 52; the sort reads it
        int left = 0;
        int top = kRestingTop;
        bool blank = false; // the host refused it: no picture
    };

    HandLayout();

    // Makes the image of a dealt card in the lowest free place and returns
    // that place, or 0 when all twenty are taken and no image is made. An
    // image the position already had is taken out first.
    int createcard(int position, int card);
    // Takes the position out of places 1 to 4 and closes the gap; every
    // image of the hand returns to the resting line. Its own image stays
    // until removeImage().
    void movecards(int position);
    // Sorts places 1 to 4 by rank, equal ranks keeping their order. Returns
    // false when it stopped at a place whose image is missing; the hand
    // then keeps the order reached so far.
    bool sortthem();

    // The card image goes; its place stays taken until freePlaces().
    void removeImage(int position);
    void removeAllImages();
    // Frees places first to last (1-based).
    void freePlaces(int first, int last);

    // A left click on the image: a card on the resting line rises to the
    // picked line and true is returned (it may be played); a picked card
    // goes back down and false is returned. No image: false.
    bool pick(int position);
    // The host refused the position: the image loses its picture and rests.
    bool blank(int position);

    // The keyboard's highlight: one card of the play places the user has
    // moved to with the arrow keys. It only marks the card (nothing goes to
    // the host), follows it through sorts and moves and goes with it.
    // The highlighted hand position, or 0 for none.
    int highlighted() const;
    // Highlights the card of the position, if it lies in a play place.
    void highlight(int position);
    void clearHighlight() { highlighted_ = 0; }
    // Moves the highlight `step` cards right (negative: left) along the play
    // places, stopping at the ends. Without a highlight, a step right
    // starts at the leftmost card and a step left at the rightmost.
    void moveHighlight(int step);

    const CardImage *image(int position) const;
    // The place holding the position (1 to 20), or 0.
    int placeOf(int position) const;
    // The position lying in `place`, or -1 when the place is free.
    int positionAt(int place) const;
    // Images from the bottom of the pile to the top.
    const std::vector<CardImage> &stacking() const { return images_; }

private:
    CardImage *find(int position);
    void bringToFront(int position);

    std::array<int, kPlaces> places_{};
    // Bottom first; bringing an image to the front moves it to the end.
    std::vector<CardImage> images_;
    int highlighted_ = 0;
};

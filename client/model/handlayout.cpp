#include "client/model/handlayout.h"

#include "net/gamerules.h"

#include <algorithm>

namespace {
constexpr int kFree = -1;
// Kings sort after the Queens.
constexpr int kKingKey = 14;
} // namespace

int HandLayout::rankKey(int card)
{
    const int rank = cardRank(card);
    return rank == kKingRank ? kKingKey : rank;
}

HandLayout::HandLayout()
{
    places_.fill(kFree);
}

HandLayout::CardImage *HandLayout::find(int position)
{
    auto it = std::find_if(images_.begin(), images_.end(), [position](const CardImage &image) {
        return image.position == position;
    });
    return it == images_.end() ? nullptr : &*it;
}

const HandLayout::CardImage *HandLayout::image(int position) const
{
    return const_cast<HandLayout *>(this)->find(position);
}

void HandLayout::bringToFront(int position)
{
    auto it = std::find_if(images_.begin(), images_.end(), [position](const CardImage &image) {
        return image.position == position;
    });
    if (it != images_.end())
        std::rotate(it, it + 1, images_.end());
}

int HandLayout::placeOf(int position) const
{
    for (int place = 1; place <= kPlaces; ++place) {
        if (places_[place - 1] == position)
            return place;
    }
    return 0;
}

int HandLayout::positionAt(int place) const
{
    if (place < 1 || place > kPlaces)
        return kFree;
    return places_[place - 1];
}

int HandLayout::createcard(int position, int card)
{
    // A position has one image; dealing it again replaces the old one
    // rather than leaving two cards answering to the same name.
    if (const int held = placeOf(position)) {
        if (held <= kPlayPlaces)
            movecards(position);
        else
            places_[held - 1] = kFree;
    }
    removeImage(position);

    const auto free = std::find(places_.begin(), places_.end(), kFree);
    if (free == places_.end())
        return 0;
    *free = position;
    const int place = int(free - places_.begin()) + 1;

    images_.push_back(CardImage{position, card, madeLeft(place), kRestingTop, false});
    // A card landing left of cards already lying there must not cover them.
    if (place <= kPlayPlaces) {
        for (int right = place; right <= kPlayPlaces; ++right) {
            if (places_[right - 1] != kFree)
                bringToFront(places_[right - 1]);
        }
    }
    return place;
}

void HandLayout::movecards(int position)
{
    int gap = 0;
    for (int place = 1; place <= kPlayPlaces; ++place) {
        if (places_[place - 1] == position) {
            gap = place;
            break;
        }
    }
    if (gap == 0)
        return;
    places_[gap - 1] = kFree;

    for (int place = gap + 1; place <= kPlayPlaces; ++place) {
        const int moving = places_[place - 1];
        if (moving == kFree)
            continue;
        if (CardImage *card = find(moving)) {
            card->left = madeLeft(place - 1);
            bringToFront(moving);
        }
        places_[place - 2] = moving;
        places_[place - 1] = kFree;
    }
    for (int place = 1; place <= kPlayPlaces; ++place) {
        if (CardImage *card = find(places_[place - 1]))
            card->top = kRestingTop;
    }
}

bool HandLayout::sortthem()
{
    constexpr int kPasses = 4;
    for (int pass = 0; pass < kPasses; ++pass) {
        for (int right = kPlayPlaces; right >= 2; --right) {
            const int rightPosition = places_[right - 1];
            if (rightPosition == kFree)
                continue;
            CardImage *rightCard = find(rightPosition);
            CardImage *leftCard = find(places_[right - 2]);
            if (!rightCard || !leftCard)
                return false;
            if (rankKey(leftCard->card) <= rankKey(rightCard->card))
                continue;
            std::swap(places_[right - 1], places_[right - 2]);
            leftCard->left = sortedLeft(right);
            rightCard->left = sortedLeft(right - 1);
        }
    }
    for (int place = 1; place <= kPlayPlaces; ++place) {
        const int position = places_[place - 1];
        if (CardImage *card = find(position)) {
            card->top = kRestingTop;
            bringToFront(position);
        }
    }
    return true;
}

int HandLayout::highlighted() const
{
    if (highlighted_ <= 0)
        return 0;
    const int place = placeOf(highlighted_);
    return place >= 1 && place <= kPlayPlaces && image(highlighted_) ? highlighted_ : 0;
}

void HandLayout::highlight(int position)
{
    const int place = placeOf(position);
    if (position > 0 && place >= 1 && place <= kPlayPlaces && image(position))
        highlighted_ = position;
}

void HandLayout::moveHighlight(int step)
{
    // The cards of the play places, left to right.
    std::vector<int> shown;
    for (int place = 1; place <= kPlayPlaces; ++place) {
        const int position = positionAt(place);
        if (position > 0 && image(position))
            shown.push_back(position);
    }
    if (shown.empty() || step == 0)
        return;
    const auto now = std::find(shown.begin(), shown.end(), highlighted());
    int index;
    if (now == shown.end())
        index = step > 0 ? 0 : int(shown.size()) - 1;
    else
        index = std::clamp(int(now - shown.begin()) + step, 0, int(shown.size()) - 1);
    highlighted_ = shown[std::size_t(index)];
}

void HandLayout::removeImage(int position)
{
    if (position == highlighted_)
        highlighted_ = 0;
    std::erase_if(images_,
                  [position](const CardImage &image) { return image.position == position; });
}

void HandLayout::removeAllImages()
{
    highlighted_ = 0;
    images_.clear();
}

void HandLayout::freePlaces(int first, int last)
{
    for (int place = std::max(first, 1); place <= std::min(last, kPlaces); ++place)
        places_[place - 1] = kFree;
}

bool HandLayout::pick(int position)
{
    CardImage *card = find(position);
    if (!card)
        return false;
    if (card->top == kRestingTop) {
        card->top = kPickedTop;
        return true;
    }
    card->top = kRestingTop;
    return false;
}

bool HandLayout::blank(int position)
{
    CardImage *card = find(position);
    if (!card)
        return false;
    card->blank = true;
    card->top = kRestingTop;
    return true;
}

#include "client/hand.h"

#include "client/tablepictures.h"

#include <QMouseEvent>

namespace {
const char kTagProperty[] = "tag";
const char kHintProperty[] = "hint";
constexpr int kRoundPlaces = 10;
} // namespace

CardImage::CardImage(int position, QWidget *board) : QLabel(board), position_(position)
{
    setObjectName(Hand::imageName(position));
    setProperty(kTagProperty, position);
    setFixedSize(HandLayout::kWidth, HandLayout::kHeight);
    setScaledContents(true);
    setCursor(Qt::PointingHandCursor);
}

void CardImage::showCard(int card, bool blank)
{
    setProperty(kHintProperty, QString::number(card));
    if (blank)
        clear();
    else
        setPixmap(tablepictures::bigCard(card));
}

void CardImage::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed(position_, event->button());
}

Hand::Hand(QWidget *board, QObject *parent) : QObject(parent), board_(board) {}

Hand::~Hand() = default;

QString Hand::imageName(int position)
{
    return QStringLiteral("card%1").arg(position);
}

CardImage *Hand::image(int position) const
{
    const auto it = images_.find(position);
    return it == images_.end() ? nullptr : it->second;
}

void Hand::createcard(int position, int card)
{
    layout_.createcard(position, card);
    show();
}

void Hand::movecards(int position)
{
    layout_.movecards(position);
    show();
}

void Hand::sortthem()
{
    layout_.sortthem();
    show();
}

void Hand::removeCard(int position)
{
    layout_.removeImage(position);
    show();
}

void Hand::removeAllCards()
{
    layout_.removeAllImages();
    show();
}

void Hand::freePlaces()
{
    layout_.freePlaces(1, kRoundPlaces);
}

bool Hand::blankCard(int position)
{
    const bool found = layout_.blank(position);
    show();
    return found;
}

bool Hand::pick(int position)
{
    const bool picked = layout_.pick(position);
    show();
    return picked;
}

void Hand::show()
{
    // Images the layout no longer has go first.
    for (auto it = images_.begin(); it != images_.end();) {
        if (!layout_.image(it->first)) {
            delete it->second;
            it = images_.erase(it);
        } else {
            ++it;
        }
    }
    // Then every image the layout has, bottom of the pile first, so that
    // raising each in turn leaves the pile in the layout's order.
    for (const HandLayout::CardImage &card : layout_.stacking()) {
        CardImage *&widget = images_[card.position];
        if (!widget) {
            widget = new CardImage(card.position, board_);
            connect(widget, &CardImage::pressed, this, &Hand::cardPressed);
        }
        if (widget->property(kHintProperty).toString() != QString::number(card.card) ||
            widget->pixmap().isNull() != card.blank)
            widget->showCard(card.card, card.blank);
        widget->move(card.left, card.top);
        widget->raise();
        widget->show();
    }
}

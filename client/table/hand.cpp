#include "client/table/hand.h"
#include "client/model/cardnames.h"
#include "client/model/handkeys.h"

#include "client/table/tablepictures.h"
#include "client/table/tablescale.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
const char kTagProperty[] = "tag";
const char kHintProperty[] = "hint";
constexpr int kRoundPlaces = 10;
} // namespace

CardImage::CardImage(int position, QWidget *board) : QLabel(board), position_(position)
{
    setObjectName(HandView::imageName(position));
    setProperty(kTagProperty, position);
    setFixedSize(HandLayout::kWidth, HandLayout::kHeight);
    setScaledContents(true);
    setCursor(Qt::PointingHandCursor);
}

void CardImage::showCard(int card, bool blank, qreal scale)
{
    setProperty(kHintProperty, QString::number(card));
    shownScale_ = scale;
    if (blank)
        clear();
    else
        setPixmap(tablepictures::bigCard(card, scale));
}

void CardImage::setHighlighted(bool on)
{
    if (on == highlighted_)
        return;
    highlighted_ = on;
    setAccessibleDescription(on ? QStringLiteral("Selected") : QString());
    update();
}

void CardImage::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!highlighted_)
        return;
    // Inside the card's own edge, so it grows with the card and covers
    // nothing around it.
    const qreal pen = std::max(2.0, width() / 30.0);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 200, 40), pen));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = pen / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 3 * pen,
                            3 * pen);
}

void CardImage::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed(position_, event->button());
}

HandView::HandView(QWidget *board, QObject *parent) : QObject(parent), board_(board) {}

HandView::~HandView() = default;

QString HandView::imageName(int position)
{
    return QStringLiteral("card%1").arg(position);
}

CardImage *HandView::image(int position) const
{
    const auto it = images_.find(position);
    return it == images_.end() ? nullptr : it->second;
}

void HandView::createcard(int position, int card)
{
    layout_.createcard(position, card);
    show();
}

void HandView::movecards(int position)
{
    layout_.movecards(position);
    show();
}

void HandView::sortthem()
{
    layout_.sortthem();
    show();
}

void HandView::removeCard(int position)
{
    layout_.removeImage(position);
    show();
}

void HandView::removeAllCards()
{
    layout_.removeAllImages();
    show();
}

void HandView::freePlaces()
{
    layout_.freePlaces(1, kRoundPlaces);
}

bool HandView::blankCard(int position)
{
    const bool found = layout_.blank(position);
    show();
    return found;
}

void HandView::moveHighlight(int step)
{
    layout_.moveHighlight(step);
    show();
}

void HandView::highlight(int position)
{
    layout_.highlight(position);
    show();
}

void HandView::clearHighlight()
{
    layout_.clearHighlight();
    show();
}

void HandView::setScale(qreal scale)
{
    scale_ = scale;
    pictureScale_ = scale;
    show();
}

void HandView::previewScale(qreal scale)
{
    scale_ = scale;
    show();
}

bool HandView::pick(int position)
{
    const bool picked = layout_.pick(position);
    show();
    return picked;
}

bool HandView::keyPressed(int key)
{
    using Kind = handkeys::Intent::Kind;
    const handkeys::Intent intent = handkeys::forKey(key, layout_);
    switch (intent.kind) {
    case Kind::None:
        return false;
    case Kind::MoveHighlight:
        moveHighlight(intent.step);
        break;
    case Kind::Lower:
        layout_.clearHighlight();
        if (intent.position)
            layout_.pick(intent.position);
        show();
        break;
    case Kind::Play:
        if (intent.highlight)
            highlight(intent.position);
        if (intent.position)
            emit playRequested(intent.position);
        break;
    }
    return true;
}

void HandView::show()
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
            connect(widget, &CardImage::pressed, this,
                    [this](int position, Qt::MouseButton button) {
                        if (button == Qt::LeftButton)
                            emit playRequested(position);
                        else if (button == Qt::RightButton)
                            emit sortRequested();
                    });
        }
        if (widget->property(kHintProperty).toString() != QString::number(card.card) ||
            widget->pixmap().isNull() != card.blank || widget->shownScale() != pictureScale_)
            widget->showCard(card.card, card.blank, pictureScale_);
        widget->setFixedSize(
            tablescale::scaled(QRect(0, 0, HandLayout::kWidth, HandLayout::kHeight), scale_)
                .size());
        widget->setAccessibleName(card.blank ? QString() : cardnames::handCardName(card.card));
        widget->setHighlighted(card.position == layout_.highlighted());
        widget->move(qRound(card.left * scale_), qRound(card.top * scale_));
        widget->raise();
        widget->show();
    }
}

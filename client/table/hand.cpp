#include "client/table/hand.h"
#include "client/model/cardnames.h"
#include "client/model/handkeys.h"
#include "client/model/handstate.h"

#include "client/table/tablepictures.h"
#include "client/table/tablescale.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
const char kTagProperty[] = "tag";
const char kHintProperty[] = "hint";
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

HandView::HandView(QWidget *board, HandState *hand, QObject *parent)
    : QObject(parent), board_(board), hand_(hand)
{
    connect(hand_, &HandState::changed, this, &HandView::show);
}

HandView::~HandView() = default;

const HandLayout &HandView::layout() const
{
    return hand_->layout();
}

QString HandView::imageName(int position)
{
    return QStringLiteral("card%1").arg(position);
}

CardImage *HandView::image(int position) const
{
    const auto it = images_.find(position);
    return it == images_.end() ? nullptr : it->second;
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

bool HandView::keyPressed(int key)
{
    using Kind = handkeys::Intent::Kind;
    const handkeys::Intent intent = handkeys::forKey(key, layout());
    switch (intent.kind) {
    case Kind::None:
        return false;
    case Kind::MoveHighlight:
        hand_->moveHighlight(intent.step);
        break;
    case Kind::Lower:
        hand_->lower(intent.position);
        break;
    case Kind::Play:
        if (intent.highlight)
            hand_->highlight(intent.position);
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
        if (!layout().image(it->first)) {
            delete it->second;
            it = images_.erase(it);
        } else {
            ++it;
        }
    }
    // Then every image the layout has, bottom of the pile first, so that
    // raising each in turn leaves the pile in the layout's order.
    for (const HandLayout::CardImage &card : layout().stacking()) {
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
        widget->setHighlighted(card.position == layout().highlighted());
        widget->move(qRound(card.left * scale_), qRound(card.top * scale_));
        widget->raise();
        widget->show();
    }
}

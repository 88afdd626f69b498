#pragma once

#include "client/model/handlayout.h"

class HandState;

#include <QLabel>
#include <QObject>

#include <map>

// One card of the user's hand on the table: named "card" and its hand
// position, tagged with the position, holding its card number as "hint".
class CardImage : public QLabel
{
    Q_OBJECT
public:
    CardImage(int position, QWidget *board);

    int position() const { return position_; }
    // Shows card n of the big-card pictures (0 the back) drawn for the
    // table's scale; a blank card shows nothing at all.
    void showCard(int card, bool blank, qreal scale);
    qreal shownScale() const { return shownScale_; }
    // The keyboard's highlight: a gold frame round the card.
    bool highlighted() const { return highlighted_; }
    void setHighlighted(bool on);

signals:
    void pressed(int position, Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int position_;
    qreal shownScale_ = 1.0;
    bool highlighted_ = false;
};

// The user's hand on the table: a card image for every card of the hand
// state, kept exactly where its layout says, each card overlapping the one
// to its left. Clicks and keys on it become the user's intents: a play, a
// sort, the highlight moved.
class HandView : public QObject
{
    Q_OBJECT
public:
    HandView(QWidget *board, HandState *hand, QObject *parent = nullptr);
    ~HandView() override;

    static QString imageName(int position);

    // A key pressed on the table (client/model/handkeys.h): highlight moves
    // go to the hand state, plays are asked for by playRequested. Returns
    // whether the key was the hand's.
    bool keyPressed(int key);

    // Lays the hand out at `scale` times its designed size, its cards drawn
    // for that size.
    void setScale(qreal scale);
    // Lays the hand out at `scale`, the cards showing the pictures they
    // have, stretched.
    void previewScale(qreal scale);
    qreal pictureScale() const { return pictureScale_; }

    const HandLayout &layout() const;
    CardImage *image(int position) const;

signals:
    // The user asks to play the card at a hand position: a left click on it
    // or a key. Whether it may go is the table's to decide.
    void playRequested(int position);
    // A right click on a card: the hand is to be sorted.
    void sortRequested();

private:
    // Makes the widgets match the layout: geometry, picture, stacking.
    void show();

    QWidget *board_;
    HandState *hand_;
    std::map<int, CardImage *> images_;
    qreal scale_ = 1.0;
    qreal pictureScale_ = 1.0;
};

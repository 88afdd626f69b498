#pragma once

#include <QWidget>

class QLabel;
class ScaledPlaces;

// The banner that announces the winner over the table: a parchment plate
// with a gold rim and the winner's line in olive over its grey shadow.
// Hidden until a game is won.
class WinnerBanner : public QWidget
{
public:
    WinnerBanner(QWidget *board, ScaledPlaces &places);

    // Shows the banner with `line` on top of everything on the board.
    void announce(const QString &line);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *label_winner1_ = nullptr; // the olive line
    QLabel *label_winner2_ = nullptr; // its shadow
};

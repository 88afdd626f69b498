#pragma once

#include "client/model/tablestate.h"

#include <QWidget>

#include <array>

class QLabel;

// The last three cards laid this round beside the pile, the newest on top,
// each with who laid it and the sum it made: "Ann: Four of Hearts on 96:
// 100, busted". A bust reads as 99 on the digits; here it can always be
// traced to its card. Names come from other players, so every line is plain
// text.
class LastPlays : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kShown = TableState::kPlaysKept;

    LastPlays(const TableState *state, QWidget *parent = nullptr);

    // Fonts and spacing for the table's scale (1 the designed size).
    void setScale(qreal scale);

    // The lines shown, the newest first; empty lines stand for no card.
    QStringList lines() const;
    // One line: who laid the card and what it made of the pile.
    static QString lineFor(const QString &name, int before, int card);

private:
    void refresh();

    static constexpr int kSpacing = 2;
    static constexpr int kFontPixels = 10;

    const TableState *state_;
    std::array<QLabel *, kShown> rows_{};
};

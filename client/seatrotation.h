#pragma once

#include <QStringView>

class QWidget;

// The table draws every seat's controls at four fixed places, the user's own
// seat at the bottom. Controls are found by prefix and seat number, without
// regard to letter case, and the seat rotation renames them so that the
// controls at the bottom carry the user's seat number.

// The child of `board` named prefix + seat, or nullptr.
QWidget *findSeatControl(const QWidget *board, QStringView prefix, int seat);

// Gives every seat control named prefix + from the name prefix + to.
void movestuff(QWidget *board, int from, int to);

// Renames the seat controls so that the bottom ones belong to `ownSlot`, the
// others following clockwise. Seat 1 and watchers change nothing.
void sortstuff(QWidget *board, int ownSlot);

#pragma once

#include <QObject>
#include <QString>

class TableState;

// What a game at this table adds to the user's tally, by the tally grid's
// own columns: the bags he stakes when a game starts, a bag lost at each of
// his busts, and at the end the bags he won, when he won, and who won. Only
// while the user holds a seat; a watcher's tally stays as it is.
class TallyRecorder : public QObject
{
    Q_OBJECT
public:
    explicit TallyRecorder(const TableState *state, QObject *parent = nullptr);

signals:
    // A column of the user's own totals grows.
    void increase(int column, int amount);
    // A game ended; the winner is the user's seat or, by name, another.
    void gameRecorded(bool userWon, const QString &winner);

private:
    bool userHasSeat() const;

    const TableState *state_;
};

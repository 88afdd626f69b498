#pragma once

#include <QObject>
#include <QString>

class TableState;

// Which of the game's sounds each moment of the table plays: a round's
// deal, the user's turn (and once more when five seconds of a turn limit
// are left), a card laid, a card the host refused, a bust and a winner.
class TableSounds : public QObject
{
    Q_OBJECT
public:
    explicit TableSounds(const TableState *state, QObject *parent = nullptr);

    // The seconds a turn limit leaves, as the status line shows them.
    void turnSecondsLeft(int seconds);

signals:
    void playsounds(const QString &name);

private:
    const TableState *state_;
};

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The statistics themselves, without any window: row 0 holds the user's own
// totals, every further row one followed opponent. Counts are kept as decimal
// text, the way they travel in the tally file.
//
// Row 0: 1 total games, 2 the user's wins, 3 bags lost, 4 bags won,
// 5 bags received; 0 and 6 to 8 unused ("0").
// Opponent rows: 0 the name, 1 games together, 2 the opponent's wins, 3 the
// user's wins, 4 neither won; 5 to 8 the same four for this run only.
class TallyGrid
{
public:
    static constexpr int kColumns = 9;

    // User row.
    static constexpr int kTotalGames = 1;
    static constexpr int kUserWins = 2;
    static constexpr int kBagsLost = 3;
    static constexpr int kBagsWon = 4;
    static constexpr int kBagsReceived = 5;

    // Opponent rows; the session copy of column c is c + kSessionOffset.
    static constexpr int kGamesTogether = 1;
    static constexpr int kOpponentWins = 2;
    static constexpr int kYourWins = 3;
    static constexpr int kNeitherWon = 4;
    static constexpr int kSessionOffset = 4;

    // One row of "0": the user, nobody followed.
    TallyGrid();

    int rowCount() const { return int(m_rows.size()); }
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);

    // Reads the cell as a number (an empty cell counts 0), adds `amount`,
    // stores the sum as decimal text and returns it.
    qint64 addit(int column, int row, qint64 amount);
    qint64 addtomineincrease(int column, qint64 amount) { return addit(column, 0, amount); }

    // The followed opponents, in row order (row = index + 1).
    QStringList followed() const;
    // Index of `name` among the followed, ignoring letter case; -1 if absent.
    int followedIndex(const QString &name) const;
    // Appends a row for `name` with every count 0. Refuses a name that is
    // already followed, or one with a line break, which the file's line
    // per cell could not hold.
    bool follow(const QString &name);
    // Removes grid row `row` (1 and up), moving the rows below it up.
    void moverow(int row);

    // One finished game. `currentPlayers` are the names at the table, the
    // user excluded; `winner` is the winner's name. Whether the user won is
    // a flag of its own: a name is whatever a player chose to be called.
    void addgame(bool userWon, const QString &winner, const QStringList &currentPlayers);

    // The "Session" columns start from 0 in every run of the program.
    void clearSession();

    // The grid as the tally file holds it: "9", the row count, then every
    // cell column by column, each line ended by CR LF.
    QByteArray text() const;
    // Reads that text back; nothing when it is not a whole, well-formed
    // grid, so that a damaged file is never half taken in.
    static std::optional<TallyGrid> fromText(const QByteArray &text);

private:
    bool valid(int column, int row) const;

    QVector<QStringList> m_rows;
};

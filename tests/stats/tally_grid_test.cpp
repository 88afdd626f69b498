#include "stats/tallygrid.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// One followed opponent; the user has played 5 games and won 2, lost 7
// bags, won 9 and received 15.
const QByteArray kTwoRowText = "9\r\n2\r\n"
                               "0\r\nAnn\r\n"
                               "5\r\n3\r\n"
                               "2\r\n1\r\n"
                               "7\r\n1\r\n"
                               "9\r\n1\r\n"
                               "15\r\n3\r\n"
                               "0\r\n1\r\n"
                               "0\r\n1\r\n"
                               "0\r\n1\r\n";

QStringList rowOf(const TallyGrid &grid, int row)
{
    QStringList cells;
    for (int column = 0; column < TallyGrid::kColumns; ++column)
        cells.append(grid.cell(column, row));
    return cells;
}

TEST(TallyGridText, ReadsAndWritesTheCellsColumnByColumn)
{
    const std::optional<TallyGrid> grid = TallyGrid::fromText(kTwoRowText);
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(rowOf(*grid, 0), QStringList({"0", "5", "2", "7", "9", "15", "0", "0", "0"}));
    EXPECT_EQ(rowOf(*grid, 1), QStringList({"Ann", "3", "1", "1", "1", "3", "1", "1", "1"}));
    EXPECT_EQ(grid->text(), kTwoRowText);
}

TEST(TallyGridText, RoundTripsNamesAndEmptyCells)
{
    TallyGrid grid;
    ASSERT_TRUE(grid.follow(QStringLiteral("Zoë Ångström")));
    ASSERT_TRUE(grid.follow(QStringLiteral("Bob 2")));
    grid.setCell(8, 2, QString()); // the very last cell empty
    grid.addtomineincrease(TallyGrid::kBagsReceived, 3);

    const std::optional<TallyGrid> back = TallyGrid::fromText(grid.text());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(rowOf(*back, row), rowOf(grid, row)) << "row " << row;
}

TEST(TallyGridText, AcceptsHarmlessVariants)
{
    const struct
    {
        const char *what;
        QByteArray text;
    } cases[] = {
        {"an empty line after the cells", kTwoRowText + "\r\n"},
        {"bare line feeds", QByteArray(kTwoRowText).replace("\r\n", "\n")},
        {"empty count cells", "9\r\n1\r\n0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"},
        {"a name in a single-byte code page", QByteArray(kTwoRowText).replace("Ann", "Jos\xe9")},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(TallyGrid::fromText(c.text)) << c.what;

    const std::optional<TallyGrid> latin =
        TallyGrid::fromText(QByteArray(kTwoRowText).replace("Ann", "Jos\xe9"));
    ASSERT_TRUE(latin);
    EXPECT_EQ(latin->cell(0, 1), QStringLiteral("José"));
}

TEST(TallyGridText, RefusesDamagedText)
{
    const struct
    {
        const char *what;
        QByteArray text;
    } cases[] = {
        {"empty", ""},
        {"another column count", QByteArray(kTwoRowText).replace(0, 1, "8")},
        {"row count 0", "9\r\n0\r\n"},
        {"row count not a number", QByteArray(kTwoRowText).replace(3, 1, "x")},
        {"row count far beyond the text", "9\r\n99999999999\r\n0\r\n"},
        {"a cell missing", kTwoRowText.chopped(3)},
        {"the last line cut off", kTwoRowText.chopped(2)},
        {"more text after the cells", kTwoRowText + "junk\r\n"},
        {"a count that is no number", QByteArray(kTwoRowText).replace("15\r\n", "1x\r\n")},
        {"a count too long to add to",
         QByteArray(kTwoRowText).replace("15\r\n", "1234567890123456789\r\n")},
        {"binary noise", QByteArray("\x01\x02\xff\xfe\x00\x10", 6)},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(TallyGrid::fromText(c.text)) << c.what;
}

TEST(TallyGrid, AdditAddsToTheNumberAndKeepsText)
{
    TallyGrid grid;
    EXPECT_EQ(grid.addit(TallyGrid::kBagsReceived, 0, 3), 3);
    EXPECT_EQ(grid.addtomineincrease(TallyGrid::kBagsReceived, 3), 6);
    EXPECT_EQ(grid.addtomineincrease(TallyGrid::kBagsWon, 12 - 3), 9);
    grid.setCell(TallyGrid::kBagsLost, 0, QString());
    EXPECT_EQ(grid.addtomineincrease(TallyGrid::kBagsLost, 1), 1);
    EXPECT_EQ(rowOf(grid, 0), QStringList({"0", "0", "0", "1", "9", "6", "0", "0", "0"}));
}

TEST(TallyGrid, FollowingIsCaseBlindAndKeepsNamesOnOneLine)
{
    TallyGrid grid;
    EXPECT_TRUE(grid.follow(QStringLiteral("Computer 2")));
    EXPECT_FALSE(grid.follow(QStringLiteral("COMPUTER 2")));
    EXPECT_FALSE(grid.follow(QStringLiteral("two\nlines")));
    EXPECT_FALSE(grid.follow(QStringLiteral("cr\r")));
    EXPECT_EQ(grid.followed(), QStringList({"Computer 2"}));
    EXPECT_EQ(grid.followedIndex(QStringLiteral("computer 2")), 0);
    EXPECT_EQ(grid.followedIndex(QStringLiteral("Computer")), -1);
    EXPECT_EQ(rowOf(grid, 1), QStringList({"Computer 2", "0", "0", "0", "0", "0", "0", "0", "0"}));
}

TEST(TallyGrid, MoverowShiftsTheRowsBelowUp)
{
    const struct
    {
        int row;
        QStringList names;
        QStringList games;
    } cases[] = {
        {1, {"B", "C"}, {"2", "3"}},           {2, {"A", "C"}, {"1", "3"}},
        {3, {"A", "B"}, {"1", "2"}},           {0, {"A", "B", "C"}, {"1", "2", "3"}},
        {4, {"A", "B", "C"}, {"1", "2", "3"}}, {-1, {"A", "B", "C"}, {"1", "2", "3"}},
    };
    for (const auto &c : cases) {
        TallyGrid grid;
        grid.addtomineincrease(TallyGrid::kTotalGames, 40);
        for (const char *name : {"A", "B", "C"})
            grid.follow(QLatin1String(name));
        for (int row = 1; row <= 3; ++row)
            grid.setCell(TallyGrid::kGamesTogether, row, QString::number(row));

        grid.moverow(c.row);
        EXPECT_EQ(grid.followed(), c.names) << "row " << c.row;
        QStringList games;
        for (int row = 1; row < grid.rowCount(); ++row)
            games.append(grid.cell(TallyGrid::kGamesTogether, row));
        EXPECT_EQ(games, c.games) << "row " << c.row;
        EXPECT_EQ(grid.cell(TallyGrid::kTotalGames, 0), QStringLiteral("40")) << "row " << c.row;
    }
}

TEST(TallyGrid, MoverowOfTheOnlyOpponentLeavesTheUserRow)
{
    TallyGrid grid;
    grid.follow(QStringLiteral("Ann"));
    grid.moverow(1);
    EXPECT_EQ(grid.rowCount(), 1);
    grid.moverow(1);
    EXPECT_EQ(grid.rowCount(), 1);
}

// Counts for one row: games together, his wins, the user's wins, neither.
using Counts = std::array<int, 4>;

TEST(TallyGrid, AddgameCountsEveryFollowedOpponentAtTheTable)
{
    const struct
    {
        const char *what;
        bool userWon;
        QString winner;
        QStringList atTable;
        std::array<int, 2> user; // games, wins
        Counts ann, bob, computer;
    } cases[] = {
        {"the user wins",
         true,
         "Zed",
         {"Ann", "bob", "Dave"},
         {1, 1},
         {1, 0, 1, 0},
         {1, 0, 1, 0},
         {0, 0, 0, 0}},
        {"a followed computer player wins",
         false,
         "Computer 3",
         {"Ann", "Computer 3", "Dave"},
         {1, 0},
         {1, 0, 0, 1},
         {0, 0, 0, 0},
         {1, 1, 0, 0}},
        {"somebody not followed wins",
         false,
         "Dave",
         {"bob", "Dave"},
         {1, 0},
         {0, 0, 0, 0},
         {1, 0, 0, 1},
         {0, 0, 0, 0}},
        {"followed whatever the case, the winner compared exactly",
         false,
         "BOB",
         {"BOB"},
         {1, 0},
         {0, 0, 0, 0},
         {1, 0, 0, 1},
         {0, 0, 0, 0}},
        {"one row counts once when two seats share its name",
         false,
         "Ann",
         {"Ann", "ANN"},
         {1, 0},
         {1, 1, 0, 0},
         {0, 0, 0, 0},
         {0, 0, 0, 0}},
        {"nobody followed at the table",
         true,
         "Zed",
         {"Dave"},
         {1, 1},
         {0, 0, 0, 0},
         {0, 0, 0, 0},
         {0, 0, 0, 0}},
        {"an empty table", false, "Dave", {}, {1, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
        // A player may call himself anything, the word the table once used
        // for the user's own win included.
        {"a player named addtomine wins",
         false,
         "addtomine",
         {"Ann", "addtomine"},
         {1, 0},
         {1, 0, 0, 1},
         {0, 0, 0, 0},
         {0, 0, 0, 0}},
        {"the user wins against a follower of the same name",
         true,
         "Ann",
         {"Ann"},
         {1, 1},
         {1, 0, 1, 0},
         {0, 0, 0, 0},
         {0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        TallyGrid grid;
        grid.addtomineincrease(TallyGrid::kTotalGames, 20);
        grid.addtomineincrease(TallyGrid::kUserWins, 7);
        const QStringList followed = {"Ann", "bob", "Computer 3"};
        for (const QString &name : followed) {
            grid.follow(name);
            for (int column = 1; column <= 4; ++column)
                grid.setCell(column, grid.rowCount() - 1, QStringLiteral("10"));
        }

        grid.addgame(c.userWon, c.winner, c.atTable);

        EXPECT_EQ(grid.cell(TallyGrid::kTotalGames, 0).toInt(), 20 + c.user[0]) << c.what;
        EXPECT_EQ(grid.cell(TallyGrid::kUserWins, 0).toInt(), 7 + c.user[1]) << c.what;
        const Counts *expected[] = {&c.ann, &c.bob, &c.computer};
        for (int i = 0; i < 3; ++i) {
            for (int column = 1; column <= 4; ++column) {
                const int delta = (*expected[i])[column - 1];
                EXPECT_EQ(grid.cell(column, i + 1).toInt(), 10 + delta)
                    << c.what << ": " << followed[i].toStdString() << " column " << column;
                EXPECT_EQ(grid.cell(column + TallyGrid::kSessionOffset, i + 1).toInt(), delta)
                    << c.what << ": " << followed[i].toStdString() << " session column " << column;
            }
        }
    }
}

TEST(TallyGrid, AddgameFillsEmptyCellsOfACountedRow)
{
    TallyGrid grid;
    grid.follow(QStringLiteral("Ann"));
    grid.follow(QStringLiteral("Bob"));
    for (int row = 1; row <= 2; ++row) {
        for (int column = 1; column < TallyGrid::kColumns; ++column)
            grid.setCell(column, row, QString());
    }
    grid.addgame(true, QString(), {"Ann"});
    EXPECT_EQ(rowOf(grid, 1), QStringList({"Ann", "1", "0", "1", "0", "1", "0", "1", "0"}));
    // Bob was not at the table: his row is not touched at all.
    EXPECT_EQ(rowOf(grid, 2), QStringList({"Bob", "", "", "", "", "", "", "", ""}));
}

TEST(TallyGrid, ClearSessionLeavesTotalsAndTheUserRow)
{
    std::optional<TallyGrid> grid = TallyGrid::fromText(kTwoRowText);
    ASSERT_TRUE(grid);
    grid->clearSession();
    EXPECT_EQ(rowOf(*grid, 0), QStringList({"0", "5", "2", "7", "9", "15", "0", "0", "0"}));
    EXPECT_EQ(rowOf(*grid, 1), QStringList({"Ann", "3", "1", "1", "1", "0", "0", "0", "0"}));
}

} // namespace

#include "stats/tallyfile.h"
#include "stats/ttallylist.h"
#include "tests/support/wait.h"

#include <QListWidget>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// What the tally file holds right now, as the next start would read it.
TallyGrid onDisk(const QString &folder)
{
    TallyFile::LoadResult loaded = TallyFile(folder).load();
    EXPECT_EQ(loaded.outcome, TallyFile::Outcome::Loaded) << loaded.error.toStdString();
    return loaded.grid;
}

// When the X server goes away, Qt ends the program on the spot and no window
// is destroyed, so the save at exit never comes. Every change the game makes
// (a bag counted, a finished game) and every opponent followed or forgotten
// is on disk as soon as it happens.
TEST(TallyWritten, EveryChangeIsOnDiskAtOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList atTable = {"Ann", "Computer 3"};
    auto window = std::make_unique<Ttallylist>(dir.path());
    window->setConfirm([](const QString &) { return true; });
    window->viewtally(atTable);

    window->checklistClickCheck(0); // follow Ann
    EXPECT_EQ(onDisk(dir.path()).followed(), QStringList{"Ann"});

    // A game dealt: the bags received are counted before anybody has won.
    window->addtomineincrease(TallyGrid::kBagsReceived, 3);
    EXPECT_EQ(onDisk(dir.path()).cell(TallyGrid::kBagsReceived, 0), QStringLiteral("3"));
    window->addgame(false, QStringLiteral("Ann"), atTable);
    TallyGrid saved = onDisk(dir.path());
    EXPECT_EQ(saved.cell(TallyGrid::kTotalGames, 0), QStringLiteral("1"));
    EXPECT_EQ(saved.cell(TallyGrid::kBagsReceived, 0), QStringLiteral("3"));
    EXPECT_EQ(saved.cell(TallyGrid::kOpponentWins, 1), QStringLiteral("1"));

    window->checklistClickCheck(1); // follow Computer 3
    EXPECT_EQ(onDisk(dir.path()).followed(), QStringList({"Ann", "Computer 3"}));
    // Forget Ann: the user unchecks him and answers Yes.
    window->findChild<QListWidget *>(QStringLiteral("listbox_tally"))
        ->item(0)
        ->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(waitUntil([&] { return window->grid().rowCount() == 2; }));
    EXPECT_EQ(onDisk(dir.path()).followed(), QStringList{"Computer 3"});

    // The next game's bags, before it ends; the save at exit changes nothing.
    window->addtomineincrease(TallyGrid::kBagsReceived, 3);
    window->addtomineincrease(TallyGrid::kBagsLost, 1);
    saved = onDisk(dir.path());
    EXPECT_EQ(saved.cell(TallyGrid::kBagsReceived, 0), QStringLiteral("6"));
    EXPECT_EQ(saved.cell(TallyGrid::kBagsLost, 0), QStringLiteral("1"));
    window.reset();
    EXPECT_EQ(onDisk(dir.path()).text(), saved.text());
}

} // namespace

#include "client/model/clientsession.h"
#include "client/model/tablestate.h"
#include "client/model/tallyrecorder.h"
#include "stats/tallygrid.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// What a game adds to the user's tally, as the table state announces it.
class Recorder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(&recorder, &TallyRecorder::increase, [this](int column, int amount) {
            calls.append(QStringLiteral("column %1 +%2").arg(column).arg(amount));
        });
        QObject::connect(&recorder, &TallyRecorder::gameRecorded,
                         [this](bool userWon, const QString &winner) {
                             calls.append(userWon ? QStringLiteral("won") : "lost to " + winner);
                         });
    }

    // Ann in `slot` with a namesake in seat 3, a game in which Ann busts once
    // and seat `winner` wins.
    void play(int slot, int winner)
    {
        session.ownSlot = slot;
        session.loggedIn = true;
        state.newplayerinfo(slot, "Ann");
        state.newplayerinfo(3, "Ann");
        state.startthegame("Ann", "b");
        state.roundover(slot, 2);
        state.roundover(4, 0);
        state.winner("Ann", winner);
    }

    ClientSession session;
    TableState state{&session};
    TallyRecorder recorder{&state};
    QStringList calls;
};

TEST_F(Recorder, TheUsersOwnWinCountsHisBagsWon)
{
    play(2, 2);
    EXPECT_EQ(calls,
              (QStringList{QStringLiteral("column %1 +3").arg(TallyGrid::kBagsReceived),
                           QStringLiteral("column %1 +1").arg(TallyGrid::kBagsLost),
                           QStringLiteral("column %1 +10").arg(TallyGrid::kBagsWon), "won"}));
}

TEST_F(Recorder, ANamesakesWinIsNotTheUsers)
{
    play(2, 3);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("column %1 +3").arg(TallyGrid::kBagsReceived),
                                  QStringLiteral("column %1 +1").arg(TallyGrid::kBagsLost),
                                  "lost to Ann"}));
}

TEST_F(Recorder, AWatchersTallyStaysAsItIs)
{
    play(6, 3);
    EXPECT_TRUE(calls.isEmpty()) << calls.join(", ").toStdString();
}

} // namespace

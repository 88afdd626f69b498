#include "client/model/turncountdown.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The last ten seconds of a human's turn are counted down in whole seconds,
// rounded up; nothing shows earlier, after the limit, for a computer's turn
// or without a limit.
TEST(TurnCountdown, CountsTheLastTenSecondsOfAHumansTurn)
{
    TurnCountdown countdown;
    std::vector<int> shown;
    QObject::connect(&countdown, &TurnCountdown::secondsLeftChanged,
                     [&](int seconds) { shown.push_back(seconds); });
    countdown.setLimit(30000);
    const qint64 start = countdown.now();
    countdown.turnStarted(true);
    struct Step
    {
        qint64 at;
        int seconds;
    };
    const Step steps[] = {{0, 0},     {19000, 0}, {20001, 10}, {20999, 10}, {21001, 9},
                          {29000, 1}, {29999, 1}, {30000, 0},  {45000, 0}};
    for (const Step &step : steps)
        EXPECT_EQ(countdown.secondsLeft(start + step.at), step.seconds) << step.at;

    for (qint64 at : {19000, 20500, 21500, 21600, 29500})
        countdown.tick(start + at);
    EXPECT_EQ(shown, (std::vector<int>{10, 9, 1}));
    countdown.stop(); // a card was played
    EXPECT_EQ(shown.back(), 0);
    EXPECT_EQ(countdown.secondsLeft(start + 29500), 0);

    countdown.turnStarted(false); // a computer's turn
    EXPECT_EQ(countdown.secondsLeft(countdown.now() + 25000), 0);
    countdown.setLimit(0);
    countdown.turnStarted(true);
    EXPECT_EQ(countdown.secondsLeft(countdown.now() + 1), 0);
}

} // namespace

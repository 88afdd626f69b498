#include "client/composition.h"
#include "client/model/tablestate.h"
#include "client/session/clientconnection.h"
#include "client/table/hand.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "stats/tallygrid.h"
#include "stats/ttallylist.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

// The computer players' delay while the test plays: short, so a whole game
// of a few hundred cards takes seconds. The host accepts it from its own
// client like any speed the Options menu sets.
constexpr int kTestBotDelay = 2;
constexpr int kGameDeadlineMs = 240000;

int totalGames(const Tchat &window)
{
    return window.findChild<Ttallylist *>()->grid().cell(TallyGrid::kTotalGames, 0).toInt();
}

// A solo game, started with the start button and the game options window,
// played to its winner by clicking the user's cards in the real window.
TEST(SoloGame, UserClicksHisCardsUntilTheWinnerBannerShows)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));

    Composition program({}, TchatPorts{0, lobby.serverPort()}, nullptr,
                        fastSettingsFolder(folder.path()));
    Tchat &window = program.window();
    window.show();
    TServer &server = window.server();
    ASSERT_TRUE(waitUntil([&] { return server.botdelay() == 500; }, 30000))
        << "the own client tells its server the stored speed after the login";
    window.connection().sendToHost(msg::Botspeed{1, kTestBotDelay}.build());
    ASSERT_TRUE(waitUntil([&] { return server.botdelay() == kTestBotDelay; }, 30000));
    const int gamesBefore = totalGames(window);

    auto *start = window.findChild<QPushButton *>(QStringLiteral("button_start"));
    ASSERT_TRUE(start && start->isVisible());
    clickWidget(*start, Qt::LeftButton);
    auto *options = window.findChild<QWidget *>(QStringLiteral("Tgamestart"));
    ASSERT_TRUE(options && options->isVisible());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(options, &enter);
    EXPECT_FALSE(options->isVisible());

    UserAtTable user(window);
    int handsSeen = 0;
    const bool won = waitUntil(
        [&] {
            hurryPause(server);
            if (window.findChildren<CardImage *>().size() == 4)
                ++handsSeen;
            user.play();
            return !winnerBanner(window).isEmpty();
        },
        kGameDeadlineMs);
    ASSERT_TRUE(won) << "cards clicked: " << user.cardsClicked();

    // The banner names the one seat still holding money.
    int winnerSeat = 0;
    int withMoney = 0;
    int heaps = 0;
    for (int seat = 1; seat <= 4; ++seat) {
        if (server.gameState().seat(seat).money > 0) {
            winnerSeat = seat;
            ++withMoney;
        }
        heaps += window.table().seatControls(seat)->image_winner->isVisible() ? 1 : 0;
    }
    ASSERT_EQ(withMoney, 1);
    EXPECT_EQ(heaps, 1);
    EXPECT_TRUE(window.table().seatControls(winnerSeat)->image_winner->isVisible());
    const QString expected = winnerSeat == 1
                                 ? QStringLiteral("You have won all the bags of money!")
                                 : peertext::isolated(window.state().seat(winnerSeat).name) +
                                       QStringLiteral(" has won all the bags of money!");
    EXPECT_EQ(winnerBanner(window), expected);
    EXPECT_EQ(window.state().winnerSeat(), winnerSeat);
    // Three seats lost three bags each, one bust a round.
    const QString round = window.findChild<QLabel *>(QStringLiteral("label_round"))->text();
    EXPECT_GE(round.mid(QStringLiteral("Round: ").size()).toInt(), 9) << round.toStdString();
    EXPECT_GT(user.cardsClicked(), 0);
    EXPECT_EQ(user.handsSorted(), 1);
    EXPECT_GT(handsSeen, 0);
    EXPECT_TRUE(start->isVisible()) << "the host may start the next game";
    EXPECT_EQ(totalGames(window), gamesBefore + 1);
}

} // namespace

#include "client/composition.h"
#include "client/model/tablestate.h"
#include "client/session/clientconnection.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "net/tsock.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/hostingcopy.h"
#include "tests/support/ipv6loopback.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"

#include <gtest/gtest.h>

#include <optional>

#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

constexpr int kTestBotDelay = 2;
constexpr int kGameDeadlineMs = 240000;

// The name shown at the bottom of a window's table.
QString bottomName(Tchat &window)
{
    return window.table().atPlace(TablePlace::Bottom).label_playername->text();
}

// How the guest names the host when he joins: as joins always did, by its
// IPv6 address, or by a name that has an IPv6 address alone.
enum class HostNamed { IPv4Address, IPv6Address, IPv6OnlyName };

class TwoHumansGame : public ::testing::TestWithParam<HostNamed>
{
};

// Two people, each in his own main window, against two computer players on
// one host: both click their cards until both windows show the winner.
TEST_P(TwoHumansGame, BothPlayUntilBothSeeTheSameWinner)
{
    QString hostAddress = QStringLiteral("127.0.0.1");
    std::optional<IPv6OnlyName> ipv6OnlyName;
    if (GetParam() != HostNamed::IPv4Address && !hasIPv6Loopback())
        GTEST_SKIP() << kNoIPv6Loopback;
    if (GetParam() == HostNamed::IPv6Address)
        hostAddress = QStringLiteral("::1");
    if (GetParam() == HostNamed::IPv6OnlyName) {
        ipv6OnlyName.emplace();
        hostAddress = ipv6OnlyName->name();
        if (hostAddress.isEmpty())
            GTEST_SKIP() << kNoIPv6OnlyName;
    }
    QTemporaryDir hostFolder;
    QTemporaryDir guestFolder;
    ASSERT_TRUE(hostFolder.isValid() && guestFolder.isValid());

    HostingCopy hosting(fastSettingsFolder(hostFolder.path()));
    Tchat &host = hosting.window();
    host.show();
    TServer &server = host.server();
    ASSERT_TRUE(waitUntil([&] { return server.botdelay() == 500; }, 30000));
    host.connection().sendToHost(msg::Botspeed{1, kTestBotDelay}.build());
    ASSERT_TRUE(waitUntil([&] { return server.botdelay() == kTestBotDelay; }, 30000));

    Composition guestProgram({"Bob", hostAddress, "false"}, hosting.guestPorts(), nullptr,
                             fastSettingsFolder(guestFolder.path()));
    Tchat &guest = guestProgram.window();
    guest.show();
    ASSERT_TRUE(waitUntil(
        [&] { return guest.session().ownSlot == 2 && host.state().seat(2).name == "Bob"; }, 30000));
    // The game went where the guest was told, not round by IPv4.
    EXPECT_EQ(server.player(2).sock->HostName(),
              GetParam() == HostNamed::IPv4Address ? "127.0.0.1" : "::1");
    // Each sees himself at the bottom; the guest never gets a start button.
    EXPECT_EQ(bottomName(host), "Hal");
    ASSERT_TRUE(waitUntil([&] { return bottomName(guest) == "Bob"; }, 30000));
    EXPECT_FALSE(guest.findChild<QPushButton *>("button_start")->isVisible());

    // "File" / "Start Game" opens the options; their start button starts.
    auto *startGame = host.findChild<QAction *>("StartGame1");
    ASSERT_TRUE(startGame && startGame->isEnabled());
    host.activateWindow(); // the player clicks the main window
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &host; }));
    ASSERT_TRUE(windowinput::chooseMenuItem('f', startGame));
    auto *options = host.findChild<QWidget *>("Tgamestart");
    ASSERT_TRUE(options && options->isVisible());
    clickWidget(*options->findChild<QLabel *>("button_start"), Qt::LeftButton);

    UserAtTable hal(host);
    UserAtTable bob(guest);
    const bool over = waitUntil(
        [&] {
            hurryPause(server);
            hal.play();
            bob.play();
            return !winnerBanner(host).isEmpty() && !winnerBanner(guest).isEmpty();
        },
        kGameDeadlineMs);
    ASSERT_TRUE(over) << "Hal clicked " << hal.cardsClicked() << ", Bob " << bob.cardsClicked();
    EXPECT_GT(hal.cardsClicked(), 0);
    EXPECT_GT(bob.cardsClicked(), 0);

    int winnerSeat = 0;
    for (int seat = 1; seat <= 4; ++seat) {
        if (server.gameState().seat(seat).money > 0)
            winnerSeat = winnerSeat == 0 ? seat : -1;
    }
    ASSERT_GE(winnerSeat, 1) << "one seat holds all the money left";
    const QString names[] = {"Hal", "Bob", "Doruv", "Darar"};
    const QString winner = names[winnerSeat - 1];
    const QString you = QStringLiteral("You have won all the bags of money!");
    const QString other =
        peertext::isolated(winner) + QStringLiteral(" has won all the bags of money!");
    EXPECT_EQ(winnerBanner(host), winnerSeat == 1 ? you : other);
    EXPECT_EQ(winnerBanner(guest), winnerSeat == 2 ? you : other);
    for (Tchat *window : {&host, &guest})
        EXPECT_TRUE(window->table().seatControls(winnerSeat)->image_winner->isVisible());
}

std::string hostNamedCase(const ::testing::TestParamInfo<HostNamed> &info)
{
    switch (info.param) {
    case HostNamed::IPv4Address:
        return "IPv4Address";
    case HostNamed::IPv6Address:
        return "IPv6Address";
    case HostNamed::IPv6OnlyName:
        return "IPv6OnlyName";
    }
    return {};
}

INSTANTIATE_TEST_SUITE_P(HostNamed, TwoHumansGame,
                         ::testing::Values(HostNamed::IPv4Address, HostNamed::IPv6Address,
                                           HostNamed::IPv6OnlyName),
                         hostNamedCase);

} // namespace

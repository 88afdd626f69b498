#include "client/model/clientsession.h"
#include "client/model/handstate.h"
#include "client/model/tablestate.h"
#include "client/model/tallyrecorder.h"
#include "client/table/hand.h"
#include "client/table/tablepictures.h"
#include "client/table/tableview.h"
#include "net/messages.h"
#include "tests/support/windowinput.h"
#include "widgets/tanimated.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <memory>

namespace {

using Seats = NumberedValues;

bool shows(const QLabel *label, const QPixmap &picture)
{
    return label && !label->pixmap().isNull() && label->pixmap().cacheKey() == picture.cacheKey();
}

// The table on a board of its own, as the main window lays it out, with
// everything it says to the rest of the program recorded.
class Table : public ::testing::Test
{
protected:
    void SetUp() override
    {
        board.resize(697, 474);
        table = std::make_unique<TableView>(&board, &session, &state, &hand);
        QObject::connect(table.get(), &TableView::sendToHost,
                         [this](const QByteArray &message) { sent.append(message); });
        QObject::connect(table.get(), &TableView::notice,
                         [this](const QString &line) { notices.append(line); });
        QObject::connect(table.get(), &TableView::gameOptionsRequested,
                         [this] { ++optionsOpened; });
        QObject::connect(table.get(), &TableView::messageForUser,
                         [this](const QString &text) { messages.append(text); });
        QObject::connect(table.get(), &TableView::playsounds,
                         [this](const QString &name) { sounds.append(name); });
        QObject::connect(&recorder, &TallyRecorder::increase, [this](int column, int amount) {
            tallies.append(QStringLiteral("%1+%2").arg(column).arg(amount));
        });
        QObject::connect(&recorder, &TallyRecorder::gameRecorded,
                         [this](bool userWon, const QString &winner) {
                             tallies.append(userWon ? "game won by the user" : "game " + winner);
                         });
        board.show();
    }

    void seatAs(int slot, bool host = false)
    {
        session.ownSlot = slot;
        session.loggedIn = true;
        session.host = host;
        table->sortstuff(slot);
    }

    void name(int seat, const QString &text) { state.newplayerinfo(seat, text); }

    template <typename T = QWidget> T *control(const QString &name) const
    {
        return board.findChild<T *>(name);
    }
    QLabel *label(const QString &name) const { return control<QLabel>(name); }
    const SeatControls &seat(int number) const { return *table->seatControls(number); }
    const SeatControls &place(TablePlace where) const { return table->atPlace(where); }

    void click(int position, Qt::MouseButton button = Qt::LeftButton)
    {
        CardImage *card = table->hand().image(position);
        ASSERT_NE(card, nullptr) << "card" << position;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10),
                          card->mapToGlobal(QPointF(10, 10)), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(card, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10),
                            card->mapToGlobal(QPointF(10, 10)), button, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(card, &release);
    }

    QWidget board;
    ClientSession session;
    TableState state{&session};
    HandState hand{&state};
    TallyRecorder recorder{&state};
    std::unique_ptr<TableView> table;
    int optionsOpened = 0;
    QByteArrayList sent;
    QStringList notices;
    QStringList messages;
    QStringList sounds;
    QStringList tallies;
};

struct TotalCase
{
    int total;
    int tens;
    int ones;
};

class TableTotal : public Table, public ::testing::WithParamInterface<TotalCase>
{
};

TEST_P(TableTotal, ShowsTwoDigits)
{
    seatAs(1);
    state.playcard(2, 14, GetParam().total);
    EXPECT_TRUE(shows(label("image_nums1"), tablepictures::digit(GetParam().tens)));
    EXPECT_TRUE(shows(label("image_nums2"), tablepictures::digit(GetParam().ones)));
}

INSTANTIATE_TEST_SUITE_P(Totals, TableTotal,
                         ::testing::Values(TotalCase{7, 0, 7}, TotalCase{42, 4, 2},
                                           TotalCase{99, 9, 9}, TotalCase{0, 0, 0},
                                           TotalCase{10, 1, 0}));

TEST_F(Table, PlayedCardGoesOnThePileAndCounts)
{
    seatAs(1);
    state.startround(1, {3, 3, 3, 3});
    state.playcard(2, 27, 1);
    state.playcard(3, 0, 1); // card 0 is drawn as the back
    EXPECT_TRUE(shows(label("image_topcard"), tablepictures::bigCard(0)));
    EXPECT_EQ(state.cardCount(), 2);
    EXPECT_EQ(label("label_cardcount")->text(), "Card Count: 2");
    EXPECT_EQ(label("label_cardcount")->property("tag").toInt(), 2);
    EXPECT_EQ(sounds, (QStringList{"startround", "placecard", "placecard"}));
}

TEST_F(Table, LateArrivalWithoutTopCardLeavesThePileEmpty)
{
    // The table as the form shows it, a card back on the pile, and then the
    // game's state as the first message of the game.
    seatAs(2);
    ASSERT_FALSE(label("image_topcard")->pixmap().isNull());
    state.gamestats(4, 37, 0, 3, {3, 2, 1, 3});
    EXPECT_EQ(state.topCard(), TableState::kEmptyPile);
    EXPECT_TRUE(label("image_topcard")->pixmap().isNull());
    EXPECT_EQ(label("label_round")->text(), "Round: 4");
    EXPECT_TRUE(shows(label("image_nums1"), tablepictures::digit(3)));
    EXPECT_EQ(state.turnSeat(), 3);
    EXPECT_TRUE(seat(3).image_card->Play());
    EXPECT_EQ(state.seat(3).bags, 1);
    EXPECT_EQ(seat(3).image_chips->property("tag").toInt(), 1);
    EXPECT_TRUE(shows(seat(3).image_chips, tablepictures::bags(1)));

    state.gamestats(4, 37, 45, 0, {3, 2, 1, 3});
    EXPECT_TRUE(shows(label("image_topcard"), tablepictures::bigCard(45)));
}

TEST_F(Table, OwnSeatOutOfMoneyShowsAtTheBottom)
{
    seatAs(3);
    state.gamestats(2, 10, 5, 1, {3, 3, 0, 2});
    EXPECT_TRUE(state.seat(3).outOfMoney);
    const SeatControls &bottom = place(TablePlace::Bottom);
    EXPECT_EQ(bottom.image_money->objectName(), "image_money3");
    EXPECT_EQ(bottom.image_money->pos(), QPoint(176, 338));
    EXPECT_TRUE(bottom.image_money->isVisible());
    EXPECT_FALSE(bottom.image_card->isVisible());
    // The others with money show their fans.
    for (TablePlace other : {TablePlace::Left, TablePlace::UpperLeft, TablePlace::UpperRight})
        EXPECT_TRUE(place(other).image_card->isVisible()) << int(other);
}

struct RotationCase
{
    int ownSlot;
    // Seat whose turn it is, and where its fan stands then.
    int turn;
    TablePlace place;
};

class TableRotation : public Table, public ::testing::WithParamInterface<RotationCase>
{
};

TEST_P(TableRotation, TurnAnimatesTheFanAtTheSeatsPlace)
{
    seatAs(GetParam().ownSlot);
    state.startround(1, {3, 3, 3, 3});
    state.getnextplayer(GetParam().turn);
    TAnimated *fan = place(GetParam().place).image_card;
    EXPECT_TRUE(fan->Play());
    EXPECT_TRUE(fan->isVisible());
    // The fan keeps its place on the form and takes the seat's name.
    const QPoint fanPlaces[] = {{176, 293}, {32, 216}, {82, 43}, {280, 48}};
    EXPECT_EQ(fan->pos(), fanPlaces[int(GetParam().place)]);
    EXPECT_EQ(fan->objectName(), QStringLiteral("image_card%1").arg(GetParam().turn));
    int playing = 0;
    for (int number = 1; number <= 4; ++number)
        playing += seat(number).image_card->Play() ? 1 : 0;
    EXPECT_EQ(playing, 1);
    // The own seat has no fan at the bottom.
    EXPECT_FALSE(place(TablePlace::Bottom).image_card->isVisible());
}

// Clockwise from the bottom: the next seat sits at the left.
INSTANTIATE_TEST_SUITE_P(OwnSlots, TableRotation,
                         ::testing::Values(RotationCase{1, 2, TablePlace::Left},
                                           RotationCase{1, 4, TablePlace::UpperRight},
                                           RotationCase{2, 3, TablePlace::Left},
                                           RotationCase{2, 1, TablePlace::UpperRight},
                                           RotationCase{3, 4, TablePlace::Left},
                                           RotationCase{3, 2, TablePlace::UpperRight},
                                           RotationCase{4, 1, TablePlace::Left},
                                           RotationCase{4, 3, TablePlace::UpperRight},
                                           RotationCase{4, 2, TablePlace::UpperLeft}));

TEST_F(Table, TurnMarksOneSeatAndSaysWhose)
{
    seatAs(1);
    name(3, "Doruv");
    state.getnextplayer(3);
    EXPECT_EQ(label("label_status")->text(), "\u2068Doruv\u2069's turn.");
    for (int number = 1; number <= 4; ++number) {
        EXPECT_EQ(seat(number).image_turn->isVisible(), number == 3) << number;
        EXPECT_EQ(seat(number).label_playername->font().bold(), number == 3) << number;
    }
    state.getnextplayer(1);
    EXPECT_EQ(label("label_status")->text(), "Your Turn.");
    EXPECT_FALSE(seat(3).image_card->Play());
    EXPECT_EQ(sounds, QStringList{"turn"});
}

TEST_F(Table, TwoClicksInOneTurnSendOnePlay)
{
    seatAs(2);
    hand.placecard(2, {7, 26, 27, 51});
    state.getnextplayer(2);
    click(3);
    click(3);
    click(1);
    EXPECT_EQ(sent, QByteArrayList{(msg::PlaycardToHost{2, 3}.build())});
    EXPECT_EQ(table->hand().image(3)->y(), 292);
    EXPECT_EQ(state.turnSeat(), 0);
}

TEST_F(Table, ClicksOutsideTheTurnSendNothing)
{
    seatAs(1);
    hand.placecard(1, {7, 26, 27, 51});
    state.getnextplayer(2);
    click(1);
    click(2, Qt::MiddleButton);
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_EQ(table->hand().image(1)->y(), 296);
}

TEST_F(Table, DealIsSortedAndRightClickSortsLaterCards)
{
    seatAs(1);
    hand.setAutoSort(false);
    hand.placecard(1, {7, 26, 27, 51});
    EXPECT_EQ(table->hand().layout().positionAt(1), 3); // the Ace
    const int dealt[] = {7, 26, 27, 51};
    for (int position = 1; position <= 4; ++position) {
        auto *card = control<CardImage>(QStringLiteral("card%1").arg(position));
        ASSERT_NE(card, nullptr) << position;
        EXPECT_EQ(card->property("tag").toInt(), position);
        EXPECT_EQ(card->property("hint").toString(), QString::number(dealt[position - 1]));
        EXPECT_EQ(card->size(), QSize(71, 96));
        EXPECT_TRUE(shows(card, tablepictures::bigCard(dealt[position - 1])));
    }
    // Playing the Ace: the new Two stays at the right until asked.
    hand.newcard(1, 3, 2);
    EXPECT_EQ(table->hand().image(3)->x(), 253);
    click(1, Qt::RightButton);
    EXPECT_EQ(table->hand().layout().positionAt(1), 3);
    EXPECT_EQ(table->hand().image(3)->x(), 176);
    // Where the first two cards overlap, the right one is on top.
    CardImage *second = table->hand().image(table->hand().layout().positionAt(2));
    EXPECT_EQ(board.childAt(second->pos() + QPoint(5, 40)), second);
}

TEST_F(Table, NewCardForAPositionOutsideTheHandIsIgnored)
{
    seatAs(1);
    hand.placecard(1, {7, 26, 27, 51});
    for (int position : {-1, 0, 5, 20}) {
        hand.newcard(1, position, 9);
        EXPECT_EQ(board.findChildren<CardImage *>().size(), 4) << position;
        EXPECT_EQ(control<CardImage>(QStringLiteral("card%1").arg(position)), nullptr) << position;
    }
}

TEST_F(Table, NewCardIsSortedInWithAutoSort)
{
    seatAs(1);
    hand.placecard(1, {7, 26, 27, 51});
    hand.newcard(1, 3, 2); // the Ace went, a Two came
    EXPECT_EQ(table->hand().layout().positionAt(1), 3);
    EXPECT_EQ(table->hand().image(3)->property("hint").toString(), "2");
}

TEST_F(Table, RefusedPositionBlanksTheCardAndTheUserPicksAgain)
{
    seatAs(1);
    hand.placecard(1, {7, 26, 27, 51});
    state.getnextplayer(1);
    click(4);
    state.nocard(1, 4);
    EXPECT_TRUE(table->hand().image(4)->pixmap().isNull());
    EXPECT_EQ(table->hand().image(4)->y(), 296);
    EXPECT_EQ(sounds.last(), "error");
    click(1);
    EXPECT_EQ(sent, (QByteArrayList{(msg::PlaycardToHost{1, 4}.build()),
                                    (msg::PlaycardToHost{1, 1}.build())}));
    // A refusal for a card that is gone still sounds.
    state.nocard(1, 9);
    EXPECT_EQ(sounds.count("error"), 2);
}

TEST_F(Table, OwnBustEmptiesTheHandAndHidesTheFans)
{
    seatAs(1);
    name(1, "Ann");
    state.startround(1, {3, 3, 3, 3});
    hand.placecard(1, {7, 26, 27, 51});
    state.roundover(1, 2);
    EXPECT_EQ(label("label_status")->text(),
              "\u2068Ann\u2069 busted the pile and lost a bag of money.");
    EXPECT_EQ(board.findChildren<CardImage *>().size(), 0);
    for (int number = 1; number <= 4; ++number)
        EXPECT_FALSE(seat(number).image_card->isVisible()) << number;
    EXPECT_EQ(state.seat(1).bags, 2);
    EXPECT_TRUE(shows(seat(1).image_chips, tablepictures::bags(2)));
    EXPECT_EQ(tallies, QStringList{"3+1"});
    EXPECT_EQ(sounds.last(), "lostmoney");
}

TEST_F(Table, LastBagLostShowsOutOfMoneyAndBadBagCountsOnlyTalk)
{
    seatAs(1);
    name(4, "Darar");
    state.roundover(4, 0);
    EXPECT_TRUE(seat(4).image_money->isVisible());
    EXPECT_TRUE(state.seat(4).outOfMoney);
    EXPECT_TRUE(tallies.isEmpty());

    hand.placecard(1, {7, 26, 27, 51});
    state.roundover(4, 7);
    EXPECT_EQ(label("label_status")->text(),
              "\u2068Darar\u2069 busted the pile and lost a bag of money.");
    EXPECT_EQ(state.seat(4).bags, 0);
    EXPECT_EQ(board.findChildren<CardImage *>().size(), 4);
}

struct WinnerCase
{
    int ownSlot;
    int winnerSeat;
    const char *banner;
    QStringList tallies;
};

class TableWinner : public Table, public ::testing::WithParamInterface<WinnerCase>
{
};

TEST_P(TableWinner, BannerAndTally)
{
    seatAs(GetParam().ownSlot, true);
    for (int number = 1; number <= 4; ++number)
        name(number, QStringLiteral("P%1").arg(number));
    if (GetParam().ownSlot <= 4)
        name(GetParam().ownSlot, "Ann");
    state.startthegame("Ann", "b");
    tallies.clear();
    state.roundover(1, 2);
    tallies.clear();
    const QString winnerName =
        GetParam().winnerSeat == GetParam().ownSlot ? QStringLiteral("Ann") : QStringLiteral("P2");
    state.winner(winnerName, GetParam().winnerSeat);

    EXPECT_EQ(label("label_winner1")->text(), GetParam().banner);
    EXPECT_EQ(label("label_winner2")->text(), GetParam().banner);
    EXPECT_TRUE(control("panel_winner")->isVisible());
    EXPECT_TRUE(seat(GetParam().winnerSeat).image_winner->isVisible());
    EXPECT_EQ(state.winnerSeat(), GetParam().winnerSeat);
    EXPECT_EQ(notices.last(), GetParam().banner);
    EXPECT_TRUE(table->startButton()->isVisible());
    EXPECT_EQ(tallies, GetParam().tallies);
    EXPECT_EQ(sounds.last(), "winner");
    for (int number = 1; number <= 4; ++number) {
        EXPECT_FALSE(seat(number).image_turn->isVisible());
        EXPECT_TRUE(seat(number).image_chips->pixmap().isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableWinner,
    ::testing::Values(
        // Seat 1 kept 2 bags: 12 - 2 bags won.
        WinnerCase{1, 1, "You have won all the bags of money!", {"4+10", "game won by the user"}},
        WinnerCase{3, 2, "\u2068P2\u2069 has won all the bags of money!", {"game P2"}},
        WinnerCase{5, 2, "\u2068P2\u2069 has won all the bags of money!", {}}));

TEST_F(Table, OnlyAUserWithASeatRecords)
{
    // The tally hears of a game only from a user who holds a seat.
    const struct
    {
        int slot;
        bool records;
    } cases[] = {{1, true}, {4, true}, {5, false}, {9, false}, {0, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.slot);
        seatAs(c.slot);
        const int bust = c.records ? c.slot : 1;
        name(bust, "Ann");
        tallies.clear();
        state.startthegame("Ann", "b");
        state.roundover(bust, 2);
        state.winner("Ann", bust);
        if (c.records)
            EXPECT_EQ(tallies, (QStringList{"5+3", "3+1", "4+10", "game won by the user"}));
        else
            EXPECT_TRUE(tallies.isEmpty()) << tallies.join(',').toStdString();
    }
}

TEST_F(Table, GameStartResetsTheTableAndSeatsTheComputers)
{
    seatAs(1, true);
    name(1, "Ann");
    name(3, "Bob");
    state.startthegame("Ann", "b");
    hand.placecard(1, {7, 26, 27, 51});
    state.roundover(2, 0);
    state.winner("Ann", 1);
    tallies.clear();

    state.startthegame("Ann", "b");
    EXPECT_FALSE(table->startButton()->isVisible());
    EXPECT_FALSE(control("panel_winner")->isVisible());
    EXPECT_EQ(label("label_cardcount")->text(), "Card Count: 0");
    EXPECT_EQ(notices.last(), "\u2068Ann\u2069 has started a game.");
    EXPECT_TRUE(shows(label("image_nums2"), tablepictures::digit(0)));
    const QStringList names = {state.seat(1).name, state.seat(2).name, state.seat(3).name,
                               state.seat(4).name};
    EXPECT_EQ(names, (QStringList{"Ann", "Zaze", "Bob", "Darar"}));
    const QStringList shown = {seat(1).label_playername->text(), seat(2).label_playername->text(),
                               seat(3).label_playername->text(), seat(4).label_playername->text()};
    EXPECT_EQ(shown, names);
    EXPECT_TRUE(state.seat(2).computer);
    EXPECT_FALSE(state.seat(3).computer);
    EXPECT_EQ(board.findChildren<CardImage *>().size(), 0);
    for (int number = 1; number <= 4; ++number) {
        EXPECT_FALSE(seat(number).image_money->isVisible());
        EXPECT_FALSE(seat(number).image_winner->isVisible());
        EXPECT_EQ(state.seat(number).bags, 3);
        EXPECT_EQ(seat(number).image_chips->property("tag").toInt(), 3);
    }
    EXPECT_EQ(tallies, QStringList{"5+3"});
}

TEST_F(Table, WatcherSeesEveryFanAndNeverAHand)
{
    seatAs(6);
    state.startround(1, {3, 3, 3, 3});
    hand.placecard(1, {7, 26, 27, 51});
    hand.placecard(6, {7, 26, 27, 51});
    for (int number = 1; number <= 4; ++number)
        EXPECT_TRUE(seat(number).image_card->isVisible()) << number;
    EXPECT_EQ(board.findChildren<CardImage *>().size(), 0);
    state.getnextplayer(1);
    EXPECT_TRUE(seat(1).image_card->Play());
}

TEST_F(Table, LogoOpensTheMakersSite)
{
    QUrl opened;
    QObject::connect(table.get(), &TableView::linkClicked, [&](const QUrl &url) { opened = url; });
    auto *logo = board.findChild<QLabel *>("Image5");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->geometry(), QRect(519, 5, 146, 20));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), logo->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(logo, &release);
    EXPECT_EQ(opened, QUrl("http://www.korvex.example"));
}

TEST_F(Table, StartButtonOpensTheOptionsOnlyWhenConnected)
{
    ASSERT_TRUE(table->startButton()->isVisible());
    windowinput::click(*table->startButton());
    EXPECT_EQ(messages, QStringList{"You are not connected"});
    EXPECT_EQ(optionsOpened, 0);
    seatAs(1, true);
    ASSERT_TRUE(table->startButton()->isVisible());
    windowinput::click(*table->startButton());
    EXPECT_EQ(optionsOpened, 1);
}

} // namespace

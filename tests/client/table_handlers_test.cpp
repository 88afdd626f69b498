#include "client/clientsession.h"
#include "client/hand.h"
#include "client/tablepictures.h"
#include "client/tableview.h"
#include "net/messages.h"
#include "widgets/tanimated.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <memory>

namespace {

using Seats = ClientDispatcher::SeatValues;

// Where the seat controls stand: bottom, left, upper left, upper right.
const std::array<QPoint, 4> kFanPlaces = {QPoint(176, 293), QPoint(32, 216), QPoint(82, 43),
                                          QPoint(280, 48)};
const std::array<QPoint, 4> kMoneyPlaces = {QPoint(176, 338), QPoint(32, 261), QPoint(82, 88),
                                            QPoint(280, 92)};

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
        TableHooks hooks;
        hooks.send = [this](const QByteArray &message) { sent.append(message); };
        hooks.notice = [this](const QString &line) { notices.append(line); };
        hooks.autoSort = [this] { return autoSort; };
        hooks.openGameOptions = [this] { ++optionsOpened; };
        hooks.showMessage = [this](const QString &text) { messages.append(text); };
        table = std::make_unique<TableView>(&board, &session, hooks);
        QObject::connect(table.get(), &TableView::playsounds,
                         [this](const QString &name) { sounds.append(name); });
        QObject::connect(table.get(), &TableView::tallyIncrease, [this](int column, int amount) {
            tallies.append(QStringLiteral("%1+%2").arg(column).arg(amount));
        });
        QObject::connect(table.get(), &TableView::tallyGame,
                         [this](const QString &winner) { tallies.append("game " + winner); });
        board.show();
    }

    void seatAs(int slot, bool host = false)
    {
        session.ownSlot = slot;
        session.loggedIn = true;
        session.host = host;
        table->sortstuff(slot);
    }

    void name(int seat, const QString &text) { table->nameLabel(seat)->setText(text); }

    template <typename T = QWidget> T *control(const QString &name) const
    {
        return board.findChild<T *>(name);
    }
    QLabel *label(const QString &name) const { return control<QLabel>(name); }
    // The seat control of `prefix` standing at `place` on the board.
    QWidget *at(const QString &prefix, QPoint place) const
    {
        for (QWidget *child : board.findChildren<QWidget *>()) {
            if (child->objectName().startsWith(prefix, Qt::CaseInsensitive) &&
                child->pos() == place)
                return child;
        }
        return nullptr;
    }

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
    std::unique_ptr<TableView> table;
    bool autoSort = true;
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
    table->playcard(2, 14, GetParam().total);
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
    table->startround(1, {3, 3, 3, 3});
    table->playcard(2, 27, 1);
    table->playcard(3, 0, 1); // card 0 is drawn as the back
    EXPECT_TRUE(shows(label("image_topcard"), tablepictures::bigCard(0)));
    EXPECT_EQ(label("label_cardcount")->text(), "Card Count: 2");
    EXPECT_EQ(sounds, (QStringList{"startround", "placecard", "placecard"}));
}

TEST_F(Table, LateArrivalWithoutTopCardLeavesThePileEmpty)
{
    seatAs(2);
    table->startround(1, {3, 3, 3, 3});
    table->gamestats(4, 37, 0, 3, {3, 2, 1, 3});
    EXPECT_TRUE(label("image_topcard")->pixmap().isNull());
    EXPECT_EQ(label("label_round")->text(), "Round: 4");
    EXPECT_TRUE(shows(label("image_nums1"), tablepictures::digit(3)));
    EXPECT_EQ(session.turnSeat, 3);
    EXPECT_TRUE(table->cardFan(3)->Play());
    EXPECT_EQ(table->seatControl(u"image_chips", 3)->property("tag").toInt(), 1);

    table->gamestats(4, 37, 45, 0, {3, 2, 1, 3});
    EXPECT_TRUE(shows(label("image_topcard"), tablepictures::bigCard(45)));
}

TEST_F(Table, OwnSeatOutOfMoneyShowsAtTheBottom)
{
    seatAs(3);
    table->gamestats(2, 10, 5, 1, {3, 3, 0, 2});
    QWidget *outOfMoney = at("image_money", kMoneyPlaces[0]);
    ASSERT_NE(outOfMoney, nullptr);
    EXPECT_EQ(outOfMoney->objectName(), "image_money3");
    EXPECT_TRUE(outOfMoney->isVisible());
    EXPECT_FALSE(at("image_card", kFanPlaces[0])->isVisible());
    // The others with money show their fans.
    for (int place = 1; place < 4; ++place)
        EXPECT_TRUE(at("image_card", kFanPlaces[std::size_t(place)])->isVisible()) << place;
}

struct RotationCase
{
    int ownSlot;
    // Seat whose turn it is, and where its fan stands then.
    int turn;
    int place;
};

class TableRotation : public Table, public ::testing::WithParamInterface<RotationCase>
{
};

TEST_P(TableRotation, TurnAnimatesTheFanAtTheSeatsPlace)
{
    seatAs(GetParam().ownSlot);
    table->startround(1, {3, 3, 3, 3});
    table->getnextplayer(GetParam().turn);
    auto *fan =
        qobject_cast<TAnimated *>(at("image_card", kFanPlaces[std::size_t(GetParam().place)]));
    ASSERT_NE(fan, nullptr);
    EXPECT_TRUE(fan->Play());
    EXPECT_TRUE(fan->isVisible());
    int playing = 0;
    for (int seat = 1; seat <= 4; ++seat)
        playing += table->cardFan(seat)->Play() ? 1 : 0;
    EXPECT_EQ(playing, 1);
    // The own seat has no fan at the bottom.
    EXPECT_FALSE(at("image_card", kFanPlaces[0])->isVisible());
}

// Clockwise from the bottom: the next seat sits at the left.
INSTANTIATE_TEST_SUITE_P(OwnSlots, TableRotation,
                         ::testing::Values(RotationCase{1, 2, 1}, RotationCase{1, 4, 3},
                                           RotationCase{2, 3, 1}, RotationCase{2, 1, 3},
                                           RotationCase{3, 4, 1}, RotationCase{3, 2, 3},
                                           RotationCase{4, 1, 1}, RotationCase{4, 3, 3},
                                           RotationCase{4, 2, 2}));

TEST_F(Table, TurnMarksOneSeatAndSaysWhose)
{
    seatAs(1);
    name(3, "Doruv");
    table->getnextplayer(3);
    EXPECT_EQ(label("label_status")->text(), "Doruv's turn.");
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_EQ(table->seatControl(u"image_turn", seat)->isVisible(), seat == 3) << seat;
        EXPECT_EQ(table->nameLabel(seat)->font().bold(), seat == 3) << seat;
    }
    table->getnextplayer(1);
    EXPECT_EQ(label("label_status")->text(), "Your Turn.");
    EXPECT_FALSE(table->cardFan(3)->Play());
    EXPECT_EQ(sounds, QStringList{"turn"});
}

TEST_F(Table, TwoClicksInOneTurnSendOnePlay)
{
    seatAs(2);
    table->placecard(2, {7, 26, 27, 51});
    table->getnextplayer(2);
    click(3);
    click(3);
    click(1);
    EXPECT_EQ(sent, QByteArrayList{(msg::PlaycardToHost{2, 3}.build())});
    EXPECT_EQ(table->hand().image(3)->y(), 292);
    EXPECT_EQ(session.turnSeat, 0);
}

TEST_F(Table, ClicksOutsideTheTurnSendNothing)
{
    seatAs(1);
    table->placecard(1, {7, 26, 27, 51});
    table->getnextplayer(2);
    click(1);
    click(2, Qt::MiddleButton);
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_EQ(table->hand().image(1)->y(), 296);
}

TEST_F(Table, DealIsSortedAndRightClickSortsLaterCards)
{
    seatAs(1);
    autoSort = false;
    table->placecard(1, {7, 26, 27, 51});
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
    table->newcard(1, 3, 2);
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
    table->placecard(1, {7, 26, 27, 51});
    for (int position : {-1, 0, 5, 20}) {
        table->newcard(1, position, 9);
        EXPECT_EQ(board.findChildren<CardImage *>().size(), 4) << position;
        EXPECT_EQ(control<CardImage>(QStringLiteral("card%1").arg(position)), nullptr) << position;
    }
}

TEST_F(Table, NewCardIsSortedInWithAutoSort)
{
    seatAs(1);
    table->placecard(1, {7, 26, 27, 51});
    table->newcard(1, 3, 2); // the Ace went, a Two came
    EXPECT_EQ(table->hand().layout().positionAt(1), 3);
    EXPECT_EQ(table->hand().image(3)->property("hint").toString(), "2");
}

TEST_F(Table, RefusedPositionBlanksTheCardAndTheUserPicksAgain)
{
    seatAs(1);
    table->placecard(1, {7, 26, 27, 51});
    table->getnextplayer(1);
    click(4);
    table->nocard(1, 4);
    EXPECT_TRUE(table->hand().image(4)->pixmap().isNull());
    EXPECT_EQ(table->hand().image(4)->y(), 296);
    EXPECT_EQ(sounds.last(), "error");
    click(1);
    EXPECT_EQ(sent, (QByteArrayList{(msg::PlaycardToHost{1, 4}.build()),
                                    (msg::PlaycardToHost{1, 1}.build())}));
    // A refusal for a card that is gone still sounds.
    table->nocard(1, 9);
    EXPECT_EQ(sounds.count("error"), 2);
}

TEST_F(Table, OwnBustEmptiesTheHandAndHidesTheFans)
{
    seatAs(1);
    name(1, "Ann");
    table->startround(1, {3, 3, 3, 3});
    table->placecard(1, {7, 26, 27, 51});
    table->roundover(1, 2);
    EXPECT_EQ(label("label_status")->text(), "Ann busted the pile and lost a bag of money.");
    EXPECT_EQ(board.findChildren<CardImage *>().size(), 0);
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_FALSE(table->cardFan(seat)->isVisible()) << seat;
    EXPECT_TRUE(shows(qobject_cast<QLabel *>(table->seatControl(u"image_chips", 1)),
                      tablepictures::bags(2)));
    EXPECT_EQ(tallies, QStringList{"3+1"});
    EXPECT_EQ(sounds.last(), "lostmoney");
}

TEST_F(Table, LastBagLostShowsOutOfMoneyAndBadBagCountsOnlyTalk)
{
    seatAs(1);
    name(4, "Darar");
    table->roundover(4, 0);
    EXPECT_TRUE(table->seatControl(u"image_money", 4)->isVisible());
    EXPECT_TRUE(tallies.isEmpty());

    table->placecard(1, {7, 26, 27, 51});
    table->roundover(4, 7);
    EXPECT_EQ(label("label_status")->text(), "Darar busted the pile and lost a bag of money.");
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
    for (int seat = 1; seat <= 4; ++seat)
        name(seat, QStringLiteral("P%1").arg(seat));
    if (GetParam().ownSlot <= 4)
        name(GetParam().ownSlot, "Ann");
    table->startthegame("Ann", "b");
    tallies.clear();
    table->roundover(1, 2);
    tallies.clear();
    const QString winnerName =
        GetParam().winnerSeat == GetParam().ownSlot ? QStringLiteral("Ann") : QStringLiteral("P2");
    table->winner(winnerName, GetParam().winnerSeat);

    EXPECT_EQ(label("label_winner1")->text(), GetParam().banner);
    EXPECT_EQ(label("label_winner2")->text(), GetParam().banner);
    EXPECT_TRUE(control("panel_winner")->isVisible());
    EXPECT_TRUE(table->seatControl(u"image_winner", GetParam().winnerSeat)->isVisible());
    EXPECT_EQ(notices.last(), GetParam().banner);
    EXPECT_TRUE(table->startButton()->isVisible());
    EXPECT_EQ(tallies, GetParam().tallies);
    EXPECT_EQ(sounds.last(), "winner");
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_FALSE(table->seatControl(u"image_turn", seat)->isVisible());
        EXPECT_TRUE(
            qobject_cast<QLabel *>(table->seatControl(u"image_chips", seat))->pixmap().isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableWinner,
    ::testing::Values(
        // Seat 1 kept 2 bags: 12 - 2 bags won.
        WinnerCase{1, 1, "You have won all the bags of money!", {"4+10", "game addtomine"}},
        WinnerCase{3, 2, "P2 has won all the bags of money!", {"game P2"}},
        WinnerCase{5, 2, "P2 has won all the bags of money!", {}}));

TEST_F(Table, GameStartResetsTheTableAndSeatsTheComputers)
{
    seatAs(1, true);
    name(1, "Ann");
    name(3, "Bob");
    table->startthegame("Ann", "b");
    table->placecard(1, {7, 26, 27, 51});
    table->roundover(2, 0);
    table->winner("Ann", 1);
    int started = 0;
    QObject::connect(table.get(), &TableView::gameStarted, [&] { ++started; });
    tallies.clear();

    table->startthegame("Ann", "b");
    EXPECT_EQ(started, 1);
    EXPECT_FALSE(table->startButton()->isVisible());
    EXPECT_FALSE(control("panel_winner")->isVisible());
    EXPECT_EQ(label("label_cardcount")->text(), "Card Count: 0");
    EXPECT_EQ(notices.last(), "Ann has started a game.");
    EXPECT_TRUE(shows(label("image_nums2"), tablepictures::digit(0)));
    const QStringList names = {table->nameLabel(1)->text(), table->nameLabel(2)->text(),
                               table->nameLabel(3)->text(), table->nameLabel(4)->text()};
    EXPECT_EQ(names, (QStringList{"Ann", "Zaze", "Bob", "Darar"}));
    EXPECT_EQ(board.findChildren<CardImage *>().size(), 0);
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_FALSE(table->seatControl(u"image_money", seat)->isVisible());
        EXPECT_FALSE(table->seatControl(u"image_winner", seat)->isVisible());
        EXPECT_EQ(table->seatControl(u"image_chips", seat)->property("tag").toInt(), 3);
    }
    EXPECT_EQ(tallies, QStringList{"5+3"});
}

TEST_F(Table, WatcherSeesEveryFanAndNeverAHand)
{
    seatAs(6);
    table->startround(1, {3, 3, 3, 3});
    table->placecard(1, {7, 26, 27, 51});
    table->placecard(6, {7, 26, 27, 51});
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_TRUE(table->cardFan(seat)->isVisible()) << seat;
    EXPECT_EQ(board.findChildren<CardImage *>().size(), 0);
    table->getnextplayer(1);
    EXPECT_TRUE(table->cardFan(1)->Play());
}

TEST_F(Table, LogoOpensTheMakersSite)
{
    QUrl opened;
    TableHooks hooks;
    hooks.openLink = [&](const QUrl &url) { opened = url; };
    QWidget otherBoard;
    otherBoard.resize(697, 474);
    TableView other(&otherBoard, &session, hooks);
    auto *logo = otherBoard.findChild<QLabel *>("Image5");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->geometry(), QRect(519, 5, 146, 20));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), logo->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(logo, &release);
    EXPECT_EQ(opened, QUrl("http://www.korvex.example"));
}

TEST_F(Table, StartButtonOpensTheOptionsOnlyWhenConnected)
{
    table->startButton()->click();
    EXPECT_EQ(messages, QStringList{"You are not connected"});
    EXPECT_EQ(optionsOpened, 0);
    seatAs(1, true);
    table->startButton()->click();
    EXPECT_EQ(optionsOpened, 1);
}

} // namespace

#include "client/composition.h"
#include "client/mainmenu.h"
#include "client/session/clientsettings.h"
#include "client/session/inifile.h"
#include "client/table/hand.h"
#include "client/table/tablefit.h"
#include "client/table/tablescale.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "net/messages.h"
#include "resources/artsizes.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "widgets/tanimated.h"
#include "widgets/tlbbackground.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>

#include <map>
#include <memory>

namespace {

// A window joined as Ann in seat 1 with a round under way and her four
// cards dealt, so that every kind of control is on the board.
class FitWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        window = std::make_unique<JoinedWindow>(folder.path());
        ASSERT_TRUE(window->login(1));
        window->host.send(msg::Startround{1, {3, 3, 3, 3}}.build());
        window->host.send(msg::PlaycardToAll{2, 5, 5}.build());
        for (int position = 1; position <= 4; ++position)
            window->host.send(msg::Newcard{1, position, position * 3}.build());
        ASSERT_TRUE(waitUntil([&] { return table().hand().image(4) != nullptr; }));
    }

    Tchat &chat() { return *window->chat; }
    TableView &table() { return chat().table(); }
    QWidget *board() { return table().board(); }
    QWidget *area() { return chat().centralWidget(); }

    // Grows or shrinks the window until its client area is `size` and the
    // table has drawn its pictures for the new scale.
    bool resizeArea(QSize size)
    {
        chat().resize(chat().size() + size - area()->size());
        return waitUntil([&] {
            return area()->size() == size &&
                   table().hand().pictureScale() == chat().tableFit().fit().scale;
        });
    }

    // Every control lying on the board, by its place in the child list.
    std::map<const QWidget *, QRect> places()
    {
        std::map<const QWidget *, QRect> found;
        for (const QObject *child : board()->children()) {
            if (const auto *control = qobject_cast<const QWidget *>(child))
                found[control] = control->geometry();
        }
        return found;
    }

    QLabel *label(const char *name) { return chat().findChild<QLabel *>(QLatin1String(name)); }

    QTemporaryDir folder;
    std::unique_ptr<JoinedWindow> window;
};

TEST_F(FitWindow, EveryControlScalesWithTheWindowAndComesBackToItsDesignedPlace)
{
    ASSERT_EQ(area()->size(), tablescale::designedSize);
    EXPECT_EQ(area()->minimumSize(), tablescale::designedSize);
    EXPECT_EQ(table().scale(), 1.0);
    const std::map<const QWidget *, QRect> designed = places();
    ASSERT_GT(designed.size(), 40u);
    const QRect designedBoard = board()->geometry();

    // Twice the designed size, and 1.5 times with a taller window whose
    // extra height goes to the cloth above and below.
    struct Case
    {
        QSize area;
        qreal scale;
        QPoint offset;
    };
    const Case cases[] = {{{1428, 978}, 2.0, {0, 0}}, {{1071, 900}, 1.5, {0, 83}}};
    for (const Case &c : cases) {
        ASSERT_TRUE(resizeArea(c.area));
        EXPECT_EQ(table().scale(), c.scale);
        EXPECT_EQ(board()->geometry(),
                  tablescale::scaled(designedBoard, c.scale).translated(c.offset));
        for (const auto &[control, place] : places()) {
            ASSERT_TRUE(designed.count(control)) << control->objectName().toStdString();
            EXPECT_EQ(place, tablescale::scaled(designed.at(control), c.scale))
                << control->objectName().toStdString() << " at " << c.scale;
        }
        // Text is set in a larger font, not enlarged.
        EXPECT_EQ(label("label_status")->font().pixelSize(), qRound(12 * c.scale));
        // Pictures are drawn for the size they are shown at.
        const QSize card = tablescale::scaled(QRect(0, 0, 71, 96), c.scale).size();
        EXPECT_EQ(label("image_topcard")->pixmap().deviceIndependentSize().toSize(), card);
        EXPECT_EQ(label("image_nums1")->pixmap().deviceIndependentSize().toSize(), card);
        EXPECT_EQ(table().hand().image(1)->pixmap().deviceIndependentSize().toSize(), card);
        EXPECT_EQ(table().hand().image(1)->size(), card);
        // The fans and the cloth take theirs when they are painted.
        chat().grab();
        const TAnimated *fan = table().seatControls(2)->image_card;
        ASSERT_TRUE(fan->isVisible());
        EXPECT_EQ(fan->BitMap().size(), artwork::pixelSize(artwork::Art::CardFan, c.scale, 1));
        const auto *cloth = chat().findChild<TLbBackground *>(QStringLiteral("LbBackground1"));
        ASSERT_NE(cloth, nullptr);
        EXPECT_EQ(cloth->Image().size(),
                  artwork::pixelSize(artwork::Art::BackgroundTile, c.scale, 1));
    }

    ASSERT_TRUE(resizeArea(tablescale::designedSize));
    EXPECT_EQ(table().scale(), 1.0);
    EXPECT_EQ(board()->geometry(), designedBoard);
    EXPECT_EQ(places(), designed);
    EXPECT_EQ(label("label_status")->font().pixelSize(), 12);
    EXPECT_EQ(label("image_topcard")->pixmap().size(), QSize(71, 96));
}

// A drag of the window's edge: each step puts every control at its place
// for the new size at once and shows the pictures it has, stretched; the
// pictures of the exact size are drawn once the size rests.
TEST_F(FitWindow, ADragMovesTheControlsAtOnceAndDrawsThePicturesWhenItRests)
{
    const QPixmap designedCard = table().hand().image(1)->pixmap();
    QSize size = area()->size();
    for (int step = 0; step < 10; ++step) {
        size += QSize(20, 14);
        chat().resize(chat().size() + size - area()->size());
        QCoreApplication::processEvents();
        const qreal scale = chat().tableFit().fit().scale;
        EXPECT_EQ(table().scale(), scale);
        EXPECT_EQ(label("image_topcard")->size(),
                  tablescale::scaled(QRect(153, 176, 71, 96), scale).size());
        EXPECT_EQ(table().hand().image(1)->pixmap().cacheKey(), designedCard.cacheKey());
    }
    const qreal scale = chat().tableFit().fit().scale;
    ASSERT_GT(scale, 1.2);
    ASSERT_TRUE(waitUntil([&] { return table().hand().pictureScale() == scale; }));
    const QSize card = tablescale::scaled(QRect(0, 0, 71, 96), scale).size();
    EXPECT_EQ(table().hand().image(1)->pixmap().deviceIndependentSize().toSize(), card);
    EXPECT_EQ(label("image_topcard")->pixmap().deviceIndependentSize().toSize(), card);
}

TEST_F(FitWindow, FittingTurnedOffKeepsTheDesignedSizeCentredAndIsRemembered)
{
    QAction *fit = chat().menu().FitTableToWindow1;
    ASSERT_NE(fit, nullptr);
    EXPECT_EQ(fit->objectName(), "FitTableToWindow1");
    EXPECT_EQ(fit->text(), "&Fit Table To Window");
    EXPECT_TRUE(fit->isCheckable());
    EXPECT_TRUE(fit->isChecked());
    const QRect designedBoard = board()->geometry();

    ASSERT_TRUE(resizeArea({1428, 978}));
    EXPECT_EQ(table().scale(), 2.0);
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &chat(); }));
    ASSERT_TRUE(windowinput::chooseMenuItem('v', fit));
    EXPECT_FALSE(fit->isChecked());
    EXPECT_EQ(table().scale(), 1.0);
    EXPECT_EQ(board()->geometry(), designedBoard.translated(357, 244));

    const QString path = window->chat.parts().settings().filePath();
    EXPECT_EQ(IniFile::load(path).value(ClientSettings::kSection, "Fittabletowindow", QString()),
              "0");

    // A new window on the same settings keeps the designed size however
    // large it is, until the item is checked again.
    window.reset();
    JoinedWindow again(folder.path());
    ASSERT_TRUE(again.login(1));
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(again.chat.get(), "You are Connected."); }));
    QAction *fitAgain = again.chat->menu().FitTableToWindow1;
    EXPECT_FALSE(fitAgain->isChecked());
    QWidget *area = again.chat->centralWidget();
    again.chat->resize(again.chat->size() + QSize(714, 489));
    ASSERT_TRUE(waitUntil([&] { return area->size() == QSize(1428, 978); }));
    EXPECT_EQ(again.chat->table().scale(), 1.0);
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == again.chat.get(); }));
    ASSERT_TRUE(windowinput::chooseMenuItem('v', fitAgain));
    EXPECT_EQ(again.chat->table().scale(), 2.0);
    EXPECT_EQ(IniFile::load(path).value(ClientSettings::kSection, "Fittabletowindow", QString()),
              "1");
}

} // namespace

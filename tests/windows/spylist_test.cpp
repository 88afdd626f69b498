#include "resources/artwork.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "widgets/tselbutton.h"
#include "windows/tspylist.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const QStringList kWatchers = {QStringLiteral("5: Ann"), QStringLiteral("6: Bob: Jr"),
                               QStringLiteral("7: Cy")};

// A spy list whose "kick" only records the slots it was asked to remove.
struct SpyWindow
{
    std::vector<int> kicked;
    Tspylist window;

    SpyWindow(const QStringList &entries = kWatchers, bool host = true)
    {
        QObject::connect(&window, &Tspylist::kickRequested,
                         [this](int slot) { kicked.push_back(slot); });
        window.setEntries(entries);
        window.setRemoveEnabled(host);
        window.showspylist();
    }

    QListWidget &list() const { return *window.findChild<QListWidget *>("listbox_spys"); }
    QAction &removeItem() const { return *window.findChild<QAction *>("popup_kickhim"); }

    // A point of the list's viewport: over item `row`, or below every item.
    QPoint over(std::optional<int> row) const
    {
        if (row)
            return list().visualItemRect(list().item(*row)).center();
        return QPoint(10, list().viewport()->height() - 3);
    }

    // The pointer moved to `at` in the list.
    void movePointer(QPoint at) const { windowinput::movePointer(*list().viewport(), at); }

    // A right click at `at` in the list, and the menu that opened.
    QMenu *rightClick(QPoint at) const
    {
        return windowinput::openContextMenu(*list().viewport(), at);
    }
};

} // namespace

TEST(SpyListEntry, SlotIsTheWholeNumberBeforeTheFirstColon)
{
    const struct
    {
        const char *entry;
        std::optional<int> slot;
    } cases[] = {
        {"5: Ann", 5}, {"9: Bob: Jr", 9}, {"12:", 12}, {"7:Cy", 7},     {"Ann: 5", {}},
        {"5 Ann", {}}, {": Ann", {}},     {"", {}},    {"5x: Ann", {}}, {"3.5: Ann", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Tspylist::slotOf(QLatin1String(c.entry)), c.slot) << c.entry;
}

TEST(SpyList, WindowShowsTheWatchersAndStaysOnTop)
{
    SpyWindow w;
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("Zandor - Spys"));
    EXPECT_EQ(w.window.size(), QSize(162, 168));
    EXPECT_TRUE(w.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(w.window.isModal());
    EXPECT_EQ(w.list().mapTo(&w.window, QPoint(0, 0)), QPoint(5, 5));
    EXPECT_EQ(w.list().size(), QSize(154, 130));
    EXPECT_EQ(w.window.entries(), kWatchers);
    EXPECT_EQ(w.removeItem().text(), QStringLiteral("Remove From Game"));
    auto *title = w.window.findChild<QLabel *>(QStringLiteral("label_spylist"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("Spy List"));
    EXPECT_TRUE(title->font().bold());
}

TEST(SpyList, RemoveActsOnTheItemThePointerLastMovedOver)
{
    const struct
    {
        const char *name;
        QStringList entries;
        bool host;
        std::optional<int> pointerRow; // none: empty list space
        int tag;
        std::vector<int> kicked;
    } cases[] = {
        {"first watcher", kWatchers, true, 0, 0, {5}},
        {"name with a colon", kWatchers, true, 1, 1, {6}},
        {"empty space", kWatchers, true, std::nullopt, -1, {}},
        {"not the host", kWatchers, false, 2, 2, {}},
        {"entry without a slot", {QStringLiteral("Ann: 5")}, true, 0, 0, {}},
    };
    for (const auto &c : cases) {
        SpyWindow w(c.entries, c.host);
        // Over an item first, so that moving to empty space has to clear it.
        w.movePointer(w.over(0));
        w.movePointer(w.over(c.pointerRow));
        EXPECT_EQ(w.window.tag(), c.tag) << c.name;
        EXPECT_EQ(w.list().property("tag").toInt(), c.tag) << c.name;
        // The right click where the pointer rests; only the host's menu
        // offers the item.
        ASSERT_NE(w.rightClick(w.over(c.pointerRow)), nullptr) << c.name;
        EXPECT_EQ(windowinput::chooseInOpenMenu(&w.removeItem()), c.host) << c.name;
        EXPECT_EQ(w.kicked, c.kicked) << c.name;
    }
}

TEST(SpyList, RightClickOpensTheMenuForTheItemUnderThePointer)
{
    SpyWindow w;
    auto *menu = w.window.findChild<QMenu *>(QStringLiteral("popup_spys"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(&w.removeItem()));

    w.movePointer(w.over(std::nullopt));
    ASSERT_EQ(w.rightClick(w.over(2)), menu);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(w.window.tag(), 2);
    ASSERT_TRUE(windowinput::chooseInOpenMenu(&w.removeItem()));
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(w.kicked, std::vector<int>{7});
}

TEST(SpyList, AChangedListForgetsThePointedItem)
{
    SpyWindow w;
    w.movePointer(w.over(1));
    ASSERT_NE(w.rightClick(w.over(1)), nullptr);
    ASSERT_EQ(w.window.tag(), 1);
    // Bob leaves while the menu is open: row 1 is now somebody else.
    w.window.setEntries({QStringLiteral("5: Ann"), QStringLiteral("7: Cy")});
    EXPECT_EQ(w.window.tag(), -1);
    EXPECT_TRUE(windowinput::chooseInOpenMenu(&w.removeItem()));
    EXPECT_TRUE(w.kicked.empty());

    // The same entries again are no change.
    w.movePointer(w.over(1));
    ASSERT_NE(w.rightClick(w.over(1)), nullptr);
    w.window.setEntries({QStringLiteral("5: Ann"), QStringLiteral("7: Cy")});
    EXPECT_TRUE(windowinput::chooseInOpenMenu(&w.removeItem()));
    EXPECT_EQ(w.kicked, std::vector<int>{7});
}

TEST(SpyList, DoneEscapeAndEnterCloseTheWindow)
{
    const struct
    {
        const char *how;
        std::function<void(SpyWindow &)> act;
    } cases[] = {
        {"Done",
         [](SpyWindow &w) {
             auto *done = w.window.findChild<TSelButton *>(QStringLiteral("button_done"));
             ASSERT_NE(done, nullptr);
             EXPECT_EQ(done->Caption(), QStringLiteral("Done"));
             windowinput::click(*done);
         }},
        {"Escape", [](SpyWindow &) { windowinput::press(Qt::Key_Escape); }},
        {"Enter", [](SpyWindow &) { windowinput::press(Qt::Key_Return); }},
    };
    for (const auto &c : cases) {
        SpyWindow w;
        ASSERT_TRUE(w.window.isVisible()) << c.how;
        ASSERT_TRUE(waitUntil([&] { return w.window.isActiveWindow(); })) << c.how;
        c.act(w);
        EXPECT_FALSE(w.window.isVisible()) << c.how;
        EXPECT_EQ(w.window.entries(), kWatchers) << c.how;
        EXPECT_TRUE(w.kicked.empty()) << c.how;
    }
}

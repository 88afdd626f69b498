#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tplaywithothers.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const PlayChoice &choice, std::ostream *os)
{
    *os << "{" << choice.name.toStdString() << ", " << (choice.host ? "host" : "join") << ", "
        << choice.address.toStdString() << "}";
}

// The list of games on the network in the Play with Others window, as the
// user works it with keys while the games come, change and go.

namespace {

using windowinput::press;
using windowinput::type;

const ListedGame kAnn{"Ann's game - 2 of 4 seats taken, 1 watching, playing", "10.0.0.5"};
const ListedGame kBob{"Bob's game - 1 of 4 seats taken, 0 watching, waiting to start", "10.0.0.6"};

struct Window
{
    TplayWithOthers window;
    Window()
    {
        window.open("Cleo", {"192.0.2.7"});
        EXPECT_TRUE(waitUntil([this] { return windowinput::topWindow() == &window; }));
    }
    QTreeWidget *list() { return window.findChild<QTreeWidget *>("list_games"); }
    QLabel *noGames() { return window.findChild<QLabel *>("label_nogames"); }
    QRadioButton *join() { return window.findChild<QRadioButton *>("radio_join"); }
    QComboBox *address() { return window.findChild<QComboBox *>("combo_address"); }
    QStringList rows()
    {
        QStringList shown;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            shown.append(list()->topLevelItem(i)->text(0) + " @ " +
                         list()->topLevelItem(i)->text(1));
        return shown;
    }
};

TEST(PlayWithOthersGames, NothingFoundSaysWhatToDo)
{
    Window w;
    EXPECT_TRUE(w.noGames()->isVisible());
    EXPECT_EQ(w.noGames()->text(),
              "No games found on this network yet. Ask the host for the address, or check that "
              "UDP and TCP port 7772 are not blocked.");
    w.window.showGames({kAnn});
    EXPECT_FALSE(w.noGames()->isVisible());
    EXPECT_EQ(w.rows(), QStringList{kAnn.description + " @ 10.0.0.5"});
    w.window.showGames({});
    EXPECT_TRUE(w.noGames()->isVisible());
    EXPECT_TRUE(w.rows().isEmpty());
}

// The user's choice in the list follows its game through the updates; the
// address box keeps what was typed there all along.
TEST(PlayWithOthersGames, ChoiceFollowsTheGameThroughUpdates)
{
    Window w;
    // Hosting is chosen; the list is empty when the user goes there.
    press(Qt::Key_G, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), w.list());
    EXPECT_FALSE(w.join()->isChecked());

    // The first game found is chosen for him.
    w.window.showGames({kAnn});
    EXPECT_TRUE(w.join()->isChecked());
    EXPECT_EQ(w.window.choice(), (PlayChoice{"Cleo", false, "10.0.0.5"}));

    w.window.showGames({kAnn, kBob});
    press(Qt::Key_Down);
    EXPECT_EQ(w.window.choice().address, "10.0.0.6");

    // Bob's game changes and moves up: still Bob's.
    ListedGame bobPlaying = kBob;
    bobPlaying.description = "Bob's game - 3 of 4 seats taken, 0 watching, playing";
    w.window.showGames({bobPlaying, kAnn});
    EXPECT_EQ(w.window.choice().address, "10.0.0.6");
    EXPECT_EQ(w.rows().first(), bobPlaying.description + " @ 10.0.0.6");

    // Bob closes: the typed address is what Start joins now.
    w.window.showGames({kAnn});
    EXPECT_EQ(w.window.choice(), (PlayChoice{"Cleo", false, "192.0.2.7"}));
    EXPECT_EQ(w.address()->currentText(), "192.0.2.7");
}

TEST(PlayWithOthersGames, TypingOrHostingLeavesTheListsChoice)
{
    struct Case
    {
        const char *what;
        std::function<void(Window &)> keys;
        PlayChoice chosen;
    };
    const Case cases[] = {
        {"an address typed",
         [](Window &) {
             press(Qt::Key_Tab);
             type("10.9.9.9");
         },
         {"Cleo", false, "10.9.9.9"}},
        {"hosting clicked",
         [](Window &w) {
             // On its round mark: the button is wider than its words.
             auto *host = w.window.findChild<QRadioButton *>("radio_host");
             QTest::mouseClick(host, Qt::LeftButton, {}, QPoint(8, host->height() / 2));
         },
         {"Cleo", true, "192.0.2.7"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        w.window.showGames({kAnn, kBob});
        press(Qt::Key_G, Qt::AltModifier);
        ASSERT_EQ(w.window.choice().address, "10.0.0.5");
        c.keys(w);
        EXPECT_EQ(w.window.choice(), c.chosen);
        EXPECT_TRUE(w.list()->selectedItems().isEmpty());
    }
}

} // namespace

#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tplaywithothers.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Window
{
    TplayWithOthers window;
    std::vector<PlayChoice> started;
    Window()
    {
        QObject::connect(&window, &TplayWithOthers::startRequested,
                         [this](const PlayChoice &c) { started.push_back(c); });
    }

    template <typename T> T *child(const char *name)
    {
        return window.findChild<T *>(QLatin1String(name));
    }
    QLineEdit *name() { return child<QLineEdit>("edit_name"); }
    QComboBox *address() { return child<QComboBox>("combo_address"); }
    QRadioButton *join() { return child<QRadioButton>("radio_join"); }
    PlayChoice lastStart() { return started.back(); }
    // Opened, the window takes the keys once it is the active one.
    bool open(const QString &name)
    {
        window.open(name, {});
        return waitUntil([this] { return QApplication::activeWindow() == &window; });
    }
    // Alt+J, the join button's letter: the button comes down and is let go.
    bool chooseJoin()
    {
        windowinput::press(Qt::Key_J, Qt::AltModifier);
        return waitUntil([this] { return join()->isChecked(); });
    }
};

TEST(PlayWithOthers, OpensWithTheRememberedNameAndAddressesAndHostingChosen)
{
    Window w;
    w.window.open("Ann", {"192.0.2.7", "games.example"});
    ASSERT_TRUE(w.window.isVisible());
    EXPECT_EQ(w.window.windowTitle(), "Zandor - Play with Others");
    EXPECT_EQ(w.name()->text(), "Ann");
    ASSERT_EQ(w.address()->count(), 2);
    EXPECT_EQ(w.address()->itemText(0), "192.0.2.7"); // the most recent first
    EXPECT_EQ(w.address()->currentText(), "192.0.2.7");
    EXPECT_TRUE(w.child<QRadioButton>("radio_host")->isChecked());
    EXPECT_TRUE(w.child<QPushButton>("button_start")->isDefault());
    EXPECT_EQ(w.child<QPushButton>("button_start")->text(), "&Start");
}

// Start hands on the choice, trimmed, and closes the window; Enter is Start
// and Escape closes without a word.
TEST(PlayWithOthers, StartEnterAndEscape)
{
    Window w;
    ASSERT_TRUE(w.open("  Ann "));
    windowinput::press(Qt::Key_Return);
    ASSERT_EQ(w.started.size(), 1);
    EXPECT_EQ(w.lastStart(), (PlayChoice{"Ann", true, QString()}));
    EXPECT_FALSE(w.window.isVisible());

    ASSERT_TRUE(w.open("Bob"));
    ASSERT_TRUE(w.chooseJoin());
    windowinput::retype(*w.address()->lineEdit(), " 10.0.0.5 ");
    windowinput::click(*w.child<QPushButton>("button_start"));
    ASSERT_EQ(w.started.size(), 2);
    EXPECT_EQ(w.lastStart(), (PlayChoice{"Bob", false, "10.0.0.5"}));

    ASSERT_TRUE(w.open("Bob"));
    windowinput::press(Qt::Key_Escape);
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.started.size(), 2);
}

// Typing an address is choosing to join.
TEST(PlayWithOthers, TypingAnAddressChoosesToJoin)
{
    Window w;
    w.window.open("Ann", {});
    ASSERT_TRUE(waitUntil([&] { return w.window.isActiveWindow(); }));
    // A click into the box, and the keys go there.
    windowinput::click(*w.address()->lineEdit());
    windowinput::type("192.0.2.7");
    EXPECT_TRUE(w.child<QRadioButton>("radio_join")->isChecked());
    EXPECT_EQ(w.window.choice(), (PlayChoice{"Ann", false, "192.0.2.7"}));
}

// An empty name, or a join without an address, is refused with a word under
// the boxes; the window stays open and nothing starts.
TEST(PlayWithOthers, RefusesAnEmptyNameOrAddress)
{
    struct Case
    {
        QString name;
        bool join;
        QString address;
        QString refusal;
    };
    const Case cases[] = {
        {"", false, "", TplayWithOthers::kNoName},
        {"   ", true, "10.0.0.5", TplayWithOthers::kNoName},
        {"Ann", true, "", TplayWithOthers::kNoAddress},
        {"Ann", true, "  ", TplayWithOthers::kNoAddress},
    };
    for (const Case &c : cases) {
        Window w;
        ASSERT_TRUE(w.open(c.name));
        if (c.join) {
            ASSERT_TRUE(w.chooseJoin());
        }
        windowinput::retype(*w.address()->lineEdit(), c.address);
        EXPECT_EQ(w.address()->currentText(), c.address);
        windowinput::click(*w.child<QPushButton>("button_start"));
        EXPECT_EQ(w.started.size(), 0) << c.name.toStdString();
        EXPECT_TRUE(w.window.isVisible());
        EXPECT_EQ(w.window.problem(), c.refusal);
        const QLabel *problem = w.child<QLabel>("label_problem");
        EXPECT_TRUE(problem->isVisible());
        EXPECT_EQ(problem->textFormat(), Qt::PlainText);
    }
}

// After a failed connection the window opens on the address that failed,
// with joining chosen, so the user can correct it or host instead.
TEST(PlayWithOthers, OpensOnAFailedAddress)
{
    Window w;
    w.window.open("Ann", {"games.example"}, "192.0.2.7");
    EXPECT_TRUE(w.child<QRadioButton>("radio_join")->isChecked());
    EXPECT_EQ(w.address()->currentText(), "192.0.2.7");
    EXPECT_EQ(w.address()->itemText(0), "games.example");
}

TEST(PlayWithOthers, NamesAreHeldToTheHostsLimit)
{
    Window w;
    w.window.open(QString(100, 'x'), {});
    EXPECT_EQ(w.name()->text().size(), TplayWithOthers::kMaxNameLength);
}

} // namespace

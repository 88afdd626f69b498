#include "resources/artwork.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"
#include "windows/tphrases.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const Tphrases::Phrases kShown = {QStringLiteral("Way To Go!"),
                                  QStringLiteral("Good One!"),
                                  QStringLiteral("Nice Try!"),
                                  QStringLiteral("Excellent!"),
                                  QStringLiteral("Brilliant!"),
                                  QStringLiteral("Wow, WTG!"),
                                  QStringLiteral("Thanks!"),
                                  QStringLiteral("Way To Go Teamie!"),
                                  QStringLiteral("Good Game Everyone!"),
                                  QStringLiteral("/me waves \"Good-Bye\"")};

// A phrase window whose "save" only records what it was handed.
struct PhraseWindow
{
    std::vector<Tphrases::Phrases> saved;
    int tilesAsked = 0;
    Tphrases window{[this] {
        ++tilesAsked;
        QImage tile(8, 8, QImage::Format_RGB32);
        tile.fill(Qt::magenta);
        return tile;
    }};
    PhraseWindow()
    {
        QObject::connect(&window, &Tphrases::phrasesSaved,
                         [this](const Tphrases::Phrases &p) { saved.push_back(p); });
    }

    QLineEdit *box(int n) const
    {
        return window.findChild<QLineEdit *>(QStringLiteral("phrase%1").arg(n));
    }
};

} // namespace

TEST(PhraseWindow, ShowsTenRowsWithTheButtonsCurrentPhrases)
{
    PhraseWindow w;
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("Zandor - Phrase Buttons "));
    EXPECT_EQ(w.window.size(), QSize(368, 282));
    EXPECT_FALSE(w.window.isModal());

    w.window.showphrases(kShown);
    ASSERT_TRUE(w.window.isVisible());
    for (int n = 1; n <= 10; ++n) {
        ASSERT_NE(w.box(n), nullptr) << n;
        EXPECT_EQ(w.box(n)->text(), kShown[std::size_t(n - 1)]) << n;
        auto *label = w.window.findChild<QLabel *>(QStringLiteral("label_phrase%1").arg(n));
        ASSERT_NE(label, nullptr) << n;
        EXPECT_EQ(label->text(), QStringLiteral("Phrase Button %1:").arg(n));
    }
    auto *note = w.window.findChild<QLabel *>(QStringLiteral("label_note"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), QStringLiteral("Buttons can only be used once every 2 seconds"));
    EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(w.saved.empty());
}

TEST(PhraseWindow, DoneSavesAllTenIncludingAnEmptiedOneAndCloses)
{
    PhraseWindow w;
    w.window.showphrases(kShown);
    ASSERT_TRUE(waitUntil([&] { return w.window.isActiveWindow(); }));
    windowinput::click(*w.box(3));
    windowinput::press(Qt::Key_A, Qt::ControlModifier);
    windowinput::press(Qt::Key_Backspace);
    windowinput::retype(*w.box(10), QStringLiteral("/me bows"));

    auto *done = w.window.findChild<TSelButton *>(QStringLiteral("button_done"));
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->Caption(), QStringLiteral("Done"));
    windowinput::click(*done);

    ASSERT_EQ(w.saved.size(), 1u);
    Tphrases::Phrases expected = kShown;
    expected[2].clear();
    expected[9] = QStringLiteral("/me bows");
    EXPECT_EQ(w.saved.front(), expected);
    EXPECT_FALSE(w.window.isVisible());
}

TEST(PhraseWindow, EnterInABoxIsDoneAndEscapeLeavesWithoutSaving)
{
    PhraseWindow w;
    w.window.showphrases(kShown);
    ASSERT_TRUE(waitUntil([&] { return w.window.isActiveWindow(); }));
    windowinput::retype(*w.box(1), QStringLiteral("Hi"));
    EXPECT_EQ(w.box(1)->text(), QStringLiteral("Hi"));
    windowinput::press(Qt::Key_Escape);
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_TRUE(w.saved.empty());

    // Opening again shows the buttons' phrases, not what was typed before.
    w.window.showphrases(kShown);
    EXPECT_EQ(w.box(1)->text(), kShown[0]);
    ASSERT_TRUE(waitUntil([&] { return w.window.isActiveWindow(); }));
    windowinput::retype(*w.box(7), QStringLiteral("Cheers"));
    windowinput::press(Qt::Key_Return);
    EXPECT_FALSE(w.window.isVisible());
    ASSERT_EQ(w.saved.size(), 1u);
    EXPECT_EQ(w.saved.front()[6], QStringLiteral("Cheers"));
}

TEST(PhraseWindow, ABoxHoldsAtMostFiftyCharacters)
{
    const QString fifty = QString(49, QLatin1Char('a')) + QLatin1Char('z');
    const QString seventy = fifty + QString(20, QLatin1Char('x'));
    Tphrases::Phrases longFourth;
    longFourth[3] = seventy;
    const struct
    {
        const char *how;
        Tphrases::Phrases shown;
        std::function<void()> fill;
    } cases[] = {
        {"typed", {}, [&] { windowinput::type(seventy); }},
        {"pasted",
         {},
         [&] {
             QApplication::clipboard()->setText(seventy);
             windowinput::press(Qt::Key_V, Qt::ControlModifier);
         }},
        // A phrase grown too long elsewhere is cut where the window shows it.
        {"shown", longFourth, [] {}},
    };
    for (const auto &c : cases) {
        PhraseWindow w;
        w.window.showphrases(c.shown);
        ASSERT_TRUE(waitUntil([&] { return w.window.isActiveWindow(); })) << c.how;
        QLineEdit &box = *w.box(4);
        windowinput::click(box);
        c.fill();
        EXPECT_EQ(box.text(), fifty) << c.how;
        windowinput::click(*w.window.findChild<TSelButton *>(QStringLiteral("button_done")));
        ASSERT_EQ(w.saved.size(), 1u) << c.how;
        EXPECT_EQ(w.saved.front()[3], fifty) << c.how;
    }
}

TEST(PhraseWindow, CopiesTheMainWindowsTileWhenMadeAndWhenActivated)
{
    PhraseWindow w;
    EXPECT_EQ(w.tilesAsked, 1);
    ASSERT_FALSE(w.window.LbBackground1().Image().isNull());
    EXPECT_EQ(w.window.LbBackground1().Image().toImage().pixelColor(0, 0), QColor(Qt::magenta));
    EXPECT_TRUE(w.window.LbBackground1().Enabled());

    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&w.window, &activate);
    EXPECT_EQ(w.tilesAsked, 2);
}

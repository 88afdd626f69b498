#include "stats/lzrw1container.h"
#include "stats/ttallylist.h"
#include "tests/support/wait.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Grid text with the user's row first and one row per followed opponent,
// each row given as its nine cells.
QByteArray gridText(const QList<QStringList> &rows)
{
    QByteArray text = "9\r\n" + QByteArray::number(rows.size()) + "\r\n";
    for (int column = 0; column < 9; ++column) {
        for (const QStringList &row : rows)
            text += row[column].toUtf8() + "\r\n";
    }
    return text;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TallyWindow : public ::testing::Test
{
protected:
    QString tallyPath() const { return dir.filePath(QStringLiteral("Zandortally.tld")); }

    void writeTally(const QByteArray &bytes)
    {
        QFile file(tallyPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void writeGrid(const QList<QStringList> &rows) { writeTally(lzrw1::compress(gridText(rows))); }

    std::unique_ptr<Ttallylist> open()
    {
        auto window = std::make_unique<Ttallylist>(dir.path());
        window->setConfirm([this](const QString &question) {
            questions.append(question);
            return answer;
        });
        QObject::connect(window.get(), &Ttallylist::errorOccurred,
                         [this](const QString &text) { errors.append(text); });
        return window;
    }

    static QString label(const Ttallylist &window, const QString &name)
    {
        auto *found = window.findChild<QLabel *>(name);
        return found ? found->text() : QStringLiteral("<no %1>").arg(name);
    }

    static QStringList labels(const Ttallylist &window, const char *prefix, int first, int last)
    {
        QStringList texts;
        for (int n = first; n <= last; ++n)
            texts.append(label(window, QLatin1String(prefix) + QString::number(n)));
        return texts;
    }

    static QListWidget *list(const Ttallylist &window, const char *name)
    {
        return window.findChild<QListWidget *>(QLatin1String(name));
    }

    static QStringList itemsOf(const QListWidget *listWidget, Qt::CheckState *allState = nullptr)
    {
        QStringList names;
        for (int i = 0; i < listWidget->count(); ++i) {
            names.append(listWidget->item(i)->text());
            if (allState && listWidget->item(i)->checkState() != *allState)
                names.last() += QStringLiteral(" (check differs)");
        }
        return names;
    }

    QTemporaryDir dir;
    QStringList atTable;
    bool answer = true;
    QStringList questions;
    QStringList errors;
};

const QStringList kUserRow = {"0", "12", "4", "9", "14", "36", "0", "0", "0"};
const QStringList kAnnRow = {"Ann", "8", "3", "2", "3", "5", "2", "1", "2"};
const QStringList kComputerRow = {"Computer 3", "4", "1", "1", "2", "3", "1", "1", "1"};

TEST_F(TallyWindow, LoadShowsTheStoredTotalsAndSessionsFromZero)
{
    writeGrid({kUserRow, kAnnRow, kComputerRow});
    auto window = open();
    EXPECT_EQ(labels(*window, "mylabel_", 1, 5), QStringList({"12", "4", "9", "14", "36"}));
    Qt::CheckState checked = Qt::Checked;
    EXPECT_EQ(itemsOf(list(*window, "listbox_tally"), &checked),
              QStringList({"Ann", "Computer 3"}));
    // Nobody chosen yet.
    EXPECT_EQ(labels(*window, "label_", 1, 8), QStringList(8, "0"));
    EXPECT_EQ(label(*window, "label_hisname"), QStringLiteral("XX Wins:"));

    list(*window, "listbox_tally")->setCurrentRow(1);
    EXPECT_EQ(labels(*window, "label_", 1, 8),
              QStringList({"4", "1", "1", "2", "0", "0", "0", "0"}));
    EXPECT_EQ(label(*window, "label_hisname"), QStringLiteral("Computer 3 Wins:"));
    EXPECT_EQ(label(*window, "label_hisnametop"), QStringLiteral("Computer 3's Tally"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TallyWindow, ForgettingTheOnlyOpponentAsksFirst)
{
    for (bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "answer Yes" : "answer No");
        questions.clear();
        answer = yes;
        writeGrid({kUserRow, kAnnRow});
        {
            auto window = open();
            QListWidget *tallied = list(*window, "listbox_tally");
            tallied->setCurrentRow(0);
            const QByteArray before = window->grid().text();

            tallied->item(0)->setCheckState(Qt::Unchecked);
            ASSERT_TRUE(waitUntil([&] { return !questions.isEmpty(); }));
            EXPECT_EQ(questions,
                      QStringList({"This will delete Ann's Tally, Are you want to delete it?"}));
            if (yes) {
                EXPECT_EQ(window->grid().rowCount(), 1);
                EXPECT_EQ(tallied->count(), 0);
                EXPECT_EQ(labels(*window, "label_", 1, 8), QStringList(8, "0"));
                EXPECT_EQ(label(*window, "label_hisnametop"), QStringLiteral("XX's Tally"));
            } else {
                EXPECT_EQ(window->grid().text(), before);
                ASSERT_EQ(tallied->count(), 1);
                EXPECT_EQ(tallied->item(0)->checkState(), Qt::Checked);
                EXPECT_EQ(label(*window, "label_1"), QStringLiteral("8"));
            }
            EXPECT_EQ(labels(*window, "mylabel_", 1, 5), QStringList({"12", "4", "9", "14", "36"}));
        }
        // What the next run finds.
        auto again = open();
        EXPECT_EQ(itemsOf(list(*again, "listbox_tally")),
                  yes ? QStringList() : QStringList({"Ann"}));
        EXPECT_EQ(questions.size(), 1);
    }
}

TEST_F(TallyWindow, CheckingAPlayerAtTheTableFollowsHim)
{
    writeGrid({kUserRow, kAnnRow});
    atTable = {"ANN", "Computer 2", "Computer 3"};
    auto window = open();
    window->viewtally(atTable);
    EXPECT_TRUE(window->isVisible());
    QListWidget *current = list(*window, "checklist");
    ASSERT_EQ(itemsOf(current), atTable);
    // Followed whatever the letter case.
    EXPECT_EQ(current->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(current->item(1)->checkState(), Qt::Unchecked);

    current->item(1)->setCheckState(Qt::Checked);
    Qt::CheckState checked = Qt::Checked;
    EXPECT_EQ(itemsOf(list(*window, "listbox_tally"), &checked),
              QStringList({"Ann", "Computer 2"}));
    ASSERT_EQ(window->grid().rowCount(), 3);
    for (int column = 1; column < 9; ++column)
        EXPECT_EQ(window->grid().cell(column, 2), QStringLiteral("0")) << "column " << column;

    // Unchecking a followed name here does not touch his tally.
    const QByteArray before = window->grid().text();
    current->item(0)->setCheckState(Qt::Unchecked);
    current->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(window->grid().text(), before);
    EXPECT_EQ(list(*window, "listbox_tally")->count(), 2);
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(TallyWindow, AGameCountsForTheFollowedPlayersAtTheTable)
{
    const QStringList bobRow = {"Bob", "6", "2", "2", "2", "0", "0", "0", "0"};
    writeGrid({kUserRow, kAnnRow, kComputerRow, bobRow});
    atTable = {"Ann", "Computer 3", "Computer 4"};
    auto window = open();
    list(*window, "listbox_tally")->setCurrentRow(1);

    // A followed computer player wins.
    window->addgame(false, QStringLiteral("Computer 3"), atTable);
    EXPECT_EQ(itemsOf(list(*window, "checklist")), atTable);
    EXPECT_EQ(labels(*window, "mylabel_", 1, 2), QStringList({"13", "4"}));
    // The open window shows the new counts at once.
    EXPECT_EQ(labels(*window, "label_", 1, 8),
              QStringList({"5", "2", "1", "2", "1", "1", "0", "0"}));
    // Bob was not at the table.
    for (int column = 0; column < 9; ++column)
        EXPECT_EQ(window->grid().cell(column, 3), bobRow[column]) << "column " << column;

    window->addgame(true, QString(), atTable);
    EXPECT_EQ(labels(*window, "mylabel_", 1, 2), QStringList({"14", "5"}));
    EXPECT_EQ(labels(*window, "label_", 1, 8),
              QStringList({"6", "2", "2", "2", "2", "1", "1", "0"}));
    // Ann: neither won, then the user won; her sessions started from 0.
    QStringList ann;
    for (int column = 1; column < 9; ++column)
        ann.append(window->grid().cell(column, 1));
    EXPECT_EQ(ann, QStringList({"10", "3", "3", "4", "2", "0", "1", "1"}));
}

TEST_F(TallyWindow, ADamagedFileIsReportedAndKept)
{
    const QByteArray damaged = "WRZL\x10\x00\x00\x00 not what it claims";
    writeTally(damaged);
    {
        auto window = open();
        // The box comes once the event loop runs.
        ASSERT_TRUE(waitUntil([&] { return !errors.isEmpty(); }));
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(tallyPath() + QStringLiteral(".damaged")))
            << errors[0].toStdString();
        EXPECT_EQ(window->grid().rowCount(), 1);
        EXPECT_EQ(list(*window, "listbox_tally")->count(), 0);
        window->addgame(true, QString(), atTable);
    }
    EXPECT_EQ(readAll(tallyPath() + QStringLiteral(".damaged")), damaged);
    auto again = open();
    EXPECT_EQ(label(*again, "mylabel_1"), QStringLiteral("1"));
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(TallyWindow, NoWorkingFileAppearsInTheCurrentFolder)
{
    const QString startedIn = QDir::currentPath();
    for (bool userHasOne : {true, false}) {
        SCOPED_TRACE(userHasOne ? "a temp.txt of the user's" : "no temp.txt");
        QTemporaryDir cwd;
        ASSERT_TRUE(QDir::setCurrent(cwd.path()));
        const QByteArray mine = "my own notes\n";
        if (userHasOne) {
            QFile notes(cwd.filePath(QStringLiteral("temp.txt")));
            ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
            notes.write(mine);
        }
        writeGrid({kUserRow, kAnnRow});
        atTable = {"Ann"};
        {
            auto window = open();
            window->addgame(false, QStringLiteral("Ann"), atTable);
        }
        {
            auto window = open();
            EXPECT_EQ(label(*window, "mylabel_1"), QStringLiteral("13"));
            EXPECT_EQ(window->grid().cell(TallyGrid::kOpponentWins, 1), QStringLiteral("4"));
        }
        const QStringList left =
            QDir(cwd.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_EQ(left, userHasOne ? QStringList({"temp.txt"}) : QStringList());
        if (userHasOne) {
            EXPECT_EQ(readAll(cwd.filePath(QStringLiteral("temp.txt"))), mine);
        }
        ASSERT_TRUE(QDir::setCurrent(startedIn));
    }
}

TEST_F(TallyWindow, FormLayoutAndDone)
{
    auto window = open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zandor  - Tally List"));
    EXPECT_EQ(window->size(), QSize(455, 368));
    const struct
    {
        const char *name;
        QRect place;
    } places[] = {
        {"panel_total", {2, 3, 297, 104}},    {"panel_opponent", {2, 109, 297, 140}},
        {"checklist", {2, 266, 297, 98}},     {"listbox_tally", {301, 19, 150, 320}},
        {"button_done", {301, 344, 150, 20}},
    };
    for (const auto &p : places) {
        auto *widget = window->findChild<QWidget *>(QLatin1String(p.name));
        ASSERT_TRUE(widget) << p.name;
        EXPECT_EQ(widget->geometry(), p.place) << p.name;
        EXPECT_EQ(widget->parentWidget(), window.get()) << p.name;
    }
    auto *background = window->findChild<TLbBackground *>(QStringLiteral("LbBackground1"));
    ASSERT_TRUE(background);
    EXPECT_TRUE(background->Enabled());
    // The cloth is drawn for the screen when the window is first painted.
    window->grab();
    EXPECT_EQ(background->Image().size(), QSize(71, 96));

    auto *done = window->findChild<TSelButton *>(QStringLiteral("button_done"));
    ASSERT_TRUE(done);
    EXPECT_EQ(done->Caption(), QStringLiteral("Done"));
}

TEST_F(TallyWindow, DoneEscapeAndEnterHideTheWindow)
{
    writeGrid({kUserRow, kAnnRow});
    atTable = {"Ann", "Computer 3"};
    auto window = open();
    const auto click = [](QWidget *widget) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(
                type, QPointF(10, 10), widget->mapToGlobal(QPointF(10, 10)), Qt::LeftButton,
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        }
    };
    const auto press = [](QWidget *widget, int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    // Keys go to a list, where the user's focus is, and reach the window
    // only if the list lets them through.
    const struct
    {
        const char *how;
        std::function<void()> act;
        bool hides;
    } cases[] = {
        {"Done", [&] { click(window->findChild<TSelButton *>(QStringLiteral("button_done"))); },
         true},
        {"Escape in the followed list",
         [&] { press(list(*window, "listbox_tally"), Qt::Key_Escape); }, true},
        {"Enter in the current players", [&] { press(list(*window, "checklist"), Qt::Key_Return); },
         true},
        {"a letter", [&] { press(list(*window, "checklist"), Qt::Key_X); }, false},
    };
    for (const auto &c : cases) {
        window->viewtally(atTable);
        ASSERT_TRUE(window->isVisible()) << c.how;
        list(*window, "checklist")->setCurrentRow(0);
        list(*window, "listbox_tally")->setCurrentRow(0);
        const QByteArray before = window->grid().text();
        c.act();
        EXPECT_EQ(window->isVisible(), !c.hides) << c.how;
        EXPECT_EQ(window->grid().text(), before) << c.how;
        EXPECT_TRUE(questions.isEmpty()) << c.how;
    }
}

} // namespace

#include "client/composition.h"
#include "client/mainmenu.h"
#include "client/model/tablestate.h"
#include "client/session/clientsettings.h"
#include "client/session/inifile.h"
#include "client/table/tablepictures.h"
#include "client/tchat.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "tests/client/programwindow.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>

#include <memory>

namespace {

// The colour a whole chat line is written in; invalid when the line is not
// in the log or its parts differ in colour.
QColor lineColour(const QWidget *window, const QString &line)
{
    const auto *log = window->findChild<QTextEdit *>(QStringLiteral("mainchat"));
    if (!log)
        return {};
    for (QTextBlock block = log->document()->begin(); block.isValid(); block = block.next()) {
        QString text = block.text();
        text.remove(QChar(peertext::kIsolateStart)).remove(QChar(peertext::kIsolateEnd));
        if (text != line)
            continue;
        QColor colour;
        for (auto part = block.begin(); !part.atEnd(); ++part) {
            const QColor each = part.fragment().charFormat().foreground().color();
            if (colour.isValid() && each != colour)
                return {};
            colour = each;
        }
        return colour;
    }
    return {};
}

// A main window joined as "Ann" in seat 1 to a scripted host, with its
// settings in a folder of the test's own. Bob, Carl and Dan hold the other
// seats.
class Window : public JoinedWindow
{
public:
    explicit Window(const QString &settingsFolder) : JoinedWindow(settingsFolder) {}

    bool login()
    {
        if (!JoinedWindow::login(1))
            return false;
        host.send(msg::Newplayerinfo{2, "Bob"}.build());
        host.send(msg::Newplayerinfo{3, "Carl"}.build());
        host.send(msg::Newplayerinfo{4, "Dan"}.build());
        return waitUntil([&] { return chat->state().seat(4).name == "Dan"; });
    }

    void play(int seat, int card, int total)
    {
        host.send(msg::PlaycardToAll{seat, card, total}.build());
    }

    // Messages are handled in order: once this one shows, all before it
    // have been handled.
    bool sync()
    {
        const QByteArray name = "sync" + QByteArray::number(++syncs_);
        host.send(msg::Havewrongversion{name}.build());
        const QString line =
            QString::fromLatin1(name) + " has a different version of the game then you.";
        return waitUntil([&] { return chatHasLine(chat.get(), line); });
    }

    QStringList strip() const
    {
        QStringList lines;
        for (int row = 1; row <= 3; ++row) {
            const auto *label = chat->findChild<QLabel *>(QString("lastplay%1").arg(row));
            lines.append(label ? label->text() : QString("<missing>"));
        }
        return lines;
    }

    QAction *showPlays() const { return chat->menu().ShowPlaysInChat1; }
    // The player picks View > Show Plays In Chat with the keys.
    bool chooseShowPlays()
    {
        return waitUntil([&] { return windowinput::topWindow() == chat.get(); }) &&
               windowinput::chooseMenuItem('v', showPlays());
    }

private:
    int syncs_ = 0;
};

class LastPlaysWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        window = std::make_unique<Window>(folder.path());
        ASSERT_TRUE(window->login());
    }

    QTemporaryDir folder;
    std::unique_ptr<Window> window;
};

TEST_F(LastPlaysWindow, StripFollowsTheRoundThroughABustAndClearsAtTheNext)
{
    Window &w = *window;
    w.host.send(msg::Startround{1, {3, 3, 3, 3}}.build());
    ASSERT_TRUE(w.sync());
    EXPECT_EQ(w.strip(), (QStringList{"", "", ""}));

    const QWidget *strip = w.chat->findChild<QWidget *>("lastplays");
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->isVisible());

    w.play(2, 13, 98); // King of Clubs: 98
    ASSERT_TRUE(w.sync());
    EXPECT_EQ(w.strip(), (QStringList{"\u2068Bob\u2069: King of Clubs on 0: 98", "", ""}));

    w.play(3, 23, 88); // a Ten takes ten off
    w.play(4, 46, 95);
    w.play(1, 27, 96);
    // The host reports the bust as 99; the strip shows what the card made.
    w.play(2, 30, 99);
    w.host.send(msg::Roundover{2, 2}.build());
    ASSERT_TRUE(w.sync());
    EXPECT_EQ(w.strip(), (QStringList{"\u2068Bob\u2069: Four of Hearts on 96: 100, busted",
                                      "\u2068Ann\u2069: Ace of Hearts on 95: 96",
                                      "\u2068Dan\u2069: Seven of Spades on 88: 95"}));
    // The pile's digits and the status line keep the reported 99.
    for (const char *digit : {"image_nums1", "image_nums2"}) {
        const auto *label = w.chat->findChild<QLabel *>(digit);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->pixmap().cacheKey(), tablepictures::digit(9).cacheKey()) << digit;
    }
    const auto *status = w.chat->findChild<QLabel *>("label_status");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), "\u2068Bob\u2069 busted the pile and lost a bag of money.");

    w.host.send(msg::Startround{2, {3, 2, 3, 3}}.build());
    ASSERT_TRUE(w.sync());
    EXPECT_EQ(w.strip(), (QStringList{"", "", ""}));
    w.play(3, 2, 2);
    ASSERT_TRUE(w.sync());
    EXPECT_EQ(w.strip(), (QStringList{"\u2068Carl\u2069: Two of Clubs on 0: 2", "", ""}));
}

// The strip lies on the board at the window's own size without
// touching any other control of the board, shown or hidden, with the user's
// four cards dealt.
TEST_F(LastPlaysWindow, StripCoversNoOtherControl)
{
    Window &w = *window;
    w.host.send(msg::Startround{1, {3, 3, 3, 3}}.build());
    for (int position = 1; position <= 4; ++position)
        w.host.send(msg::Newcard{1, position, position}.build());
    ASSERT_TRUE(w.sync());
    const QWidget *strip = w.chat->findChild<QWidget *>("lastplays");
    ASSERT_NE(strip, nullptr);
    const QWidget *board = strip->parentWidget();
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(board->rect().contains(strip->geometry()));
    int others = 0;
    for (const QObject *child : board->children()) {
        const auto *control = qobject_cast<const QWidget *>(child);
        // The keyboard's focus frame runs round the whole table, over all.
        if (!control || control == strip || control->objectName() == "tablefocusframe")
            continue;
        ++others;
        EXPECT_FALSE(control->geometry().intersects(strip->geometry()))
            << control->objectName().toStdString() << " at " << control->x() << "," << control->y();
    }
    EXPECT_GT(others, 30);
}

TEST_F(LastPlaysWindow, NamesFromOtherPlayersStayPlainText)
{
    Window &w = *window;
    w.host.send(msg::Newplayerinfo{3, "<b>Eve</b>"}.build());
    w.host.send(msg::Startround{1, {3, 3, 3, 3}}.build());
    w.play(3, 5, 5);
    ASSERT_TRUE(w.sync());
    const auto *newest = w.chat->findChild<QLabel *>("lastplay1");
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->textFormat(), Qt::PlainText);
    EXPECT_EQ(newest->text(), "\u2068<b>Eve</b>\u2069: Five of Clubs on 0: 5");
}

TEST_F(LastPlaysWindow, PlaysGoToTheChatOnlyWhileTheItemIsChecked)
{
    Window &w = *window;
    ASSERT_NE(w.showPlays(), nullptr);
    EXPECT_EQ(w.showPlays()->objectName(), "ShowPlaysInChat1");
    EXPECT_TRUE(w.showPlays()->isCheckable());
    EXPECT_FALSE(w.showPlays()->isChecked());

    w.host.send(msg::Startround{1, {3, 3, 3, 3}}.build());
    w.play(2, 9, 9);
    ASSERT_TRUE(w.sync());
    EXPECT_TRUE(chatLines(w.chat.get()).filter("Nine of Clubs").isEmpty());

    ASSERT_TRUE(w.chooseShowPlays());
    EXPECT_TRUE(w.showPlays()->isChecked());
    w.play(3, 30, 13);
    w.play(4, 10, 3); // a Ten takes ten off
    ASSERT_TRUE(w.sync());
    const QString four = "Carl: Four of Hearts on 9: 13";
    const QString ten = "Dan: Ten of Clubs on 13: 3";
    const QStringList lines = chatLines(w.chat.get());
    ASSERT_TRUE(lines.contains(four)) << lines.join('\n').toStdString();
    ASSERT_TRUE(lines.contains(ten));
    EXPECT_LT(lines.indexOf(four), lines.indexOf(ten));
    EXPECT_EQ(lineColour(w.chat.get(), four), QColor(Qt::gray));
    EXPECT_EQ(lineColour(w.chat.get(), ten), QColor(Qt::gray));

    ASSERT_TRUE(w.chooseShowPlays());
    w.play(1, 1, 4);
    ASSERT_TRUE(w.sync());
    EXPECT_TRUE(chatLines(w.chat.get()).filter("Ace of Clubs").isEmpty());
}

TEST_F(LastPlaysWindow, TheItemIsRememberedUnderAKeyOfItsOwn)
{
    const QString path = window->chat.parts().settings().filePath();
    ASSERT_TRUE(window->chooseShowPlays());
    EXPECT_EQ(IniFile::load(path).value(ClientSettings::kSection, "Showplaysinchat", QString()),
              "1");

    // A new window with the same folder shows the item checked after its
    // login, and a card laid goes to its chat.
    window.reset();
    Window again(folder.path());
    ASSERT_TRUE(again.login());
    EXPECT_TRUE(again.showPlays()->isChecked());
    again.host.send(msg::Startround{1, {3, 3, 3, 3}}.build());
    again.play(2, 9, 9);
    ASSERT_TRUE(again.sync());
    EXPECT_TRUE(chatHasLine(again.chat.get(), "Bob: Nine of Clubs on 0: 9"));

    ASSERT_TRUE(again.chooseShowPlays());
    EXPECT_EQ(IniFile::load(path).value(ClientSettings::kSection, "Showplaysinchat", QString()),
              "0");
}

} // namespace

#include "client/chat/chatlog.h"
#include "client/chat/chatpanel.h"
#include "client/model/clientsession.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextLayout>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>

// Readable failures.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// One piece of a log line as the document holds it.
struct Piece
{
    QString text;
    bool bold;
    QColor colour;
    bool operator==(const Piece &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Piece &piece)
{
    return out << '"' << piece.text.toStdString() << '"' << (piece.bold ? " bold " : " regular ")
               << piece.colour.name().toStdString();
}

class ChatPanelTest : public ::testing::Test
{
protected:
    ChatPanelTest()
    {
        chat.setTextColor(0x008000);   // clGreen
        chat.setActionColor(0x0000FF); // clRed
    }

    ChatLog *log() { return chat.findChild<ChatLog *>(QStringLiteral("mainchat")); }
    QLineEdit *input() { return chat.findChild<QLineEdit *>(QStringLiteral("mychat")); }
    QToolButton *phraseButton(int n)
    {
        return chat.findChild<QToolButton *>(QStringLiteral("b_phrase%1").arg(n));
    }
    void logIn(int slot)
    {
        session.ownSlot = slot;
        session.loggedIn = true;
    }
    // Shown on its own, the panel is the window the keys go to.
    bool showActive(ChatPanel &panel)
    {
        panel.show();
        return waitUntil([&] { return QApplication::activeWindow() == &panel; });
    }
    // The player's drag over the log from the caret place `from` to `to`.
    void dragOverLog(int from, int to)
    {
        QTextCursor at(log()->document());
        at.setPosition(from);
        const QPoint start = log()->cursorRect(at).center();
        at.setPosition(to);
        windowinput::drag(*log()->viewport(), start, log()->cursorRect(at).center());
    }

    QList<Piece> pieces(const QTextBlock &block)
    {
        QList<Piece> result;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            result << Piece{fragment.text(), format.fontWeight() == QFont::Bold,
                            format.foreground().color()};
        }
        return result;
    }
    QAction *item(const char *name) { return chat.findChild<QAction *>(QLatin1String(name)); }
    // The player's right click on the log, and `name` chosen from its menu.
    bool chooseInLogMenu(const char *name)
    {
        return windowinput::chooseContextMenuItem(*log()->viewport(), item(name));
    }
    QTextBlock lastLine() { return log()->document()->lastBlock(); }
    int firstVisibleLine() { return log()->cursorForPosition(QPoint(0, 0)).blockNumber(); }

    ClientSession session;
    QList<QByteArray> sent;
    ChatPanel chat{&session};
    QMetaObject::Connection sending =
        QObject::connect(&chat, &ChatPanel::sendToHost, [this](const QByteArray &m) { sent << m; });
};

TEST_F(ChatPanelTest, ControlsCarryTheirNamesAndPhrases)
{
    ASSERT_NE(log(), nullptr);
    EXPECT_TRUE(log()->isReadOnly());
    ASSERT_NE(input(), nullptr);
    EXPECT_EQ(input()->text(), QStringLiteral("<Enter Chat Here>"));
    const char *phrases[] = {"Way To Go!",
                             "Good One!",
                             "Nice Try!",
                             "Excellent!",
                             "Brilliant!",
                             "Wow, WTG!",
                             "Thanks!",
                             "Way To Go Teamie!",
                             "Good Game Everyone!",
                             "/me waves \"Good-Bye\""};
    for (int n = 1; n <= 10; ++n) {
        ASSERT_NE(phraseButton(n), nullptr) << n;
        EXPECT_EQ(phraseButton(n)->toolTip(), QString::fromLatin1(phrases[n - 1]));
        EXPECT_EQ(chat.phrase(n), QString::fromLatin1(phrases[n - 1]));
    }
}

struct SendCase
{
    bool loggedIn;
    const char *typed;
    std::vector<QByteArray> sent;
    const char *leftInBox;
};

TEST_F(ChatPanelTest, Sendit)
{
    const SendCase cases[] = {
        {true, "hi all", {"CMD_chat+2+hi all|clGreen"}, ""},
        {true, "/me dances", {"CMD_action+2+dances|clRed"}, ""},
        {true, "/meow", {"CMD_action+2+w|clRed"}, ""},
        {true, "/me", {"CMD_action+2+|clRed"}, ""},
        {true, "/help", {}, ""},
        {true, "/ME shouts", {}, ""},
        {true, "", {}, ""},
        {true, "a+b|c", {"CMD_chat+2+a+b|c|clGreen"}, ""},
        {true, "Grüße 日本", {QByteArray("CMD_chat+2+") + "Grüße 日本" + "|clGreen"}, ""},
        {false, "hi all", {}, "hi all"},
        {false, "/me dances", {}, "/me dances"},
    };
    ASSERT_TRUE(showActive(chat));
    for (const SendCase &c : cases) {
        SCOPED_TRACE(c.typed);
        session.loggedIn = c.loggedIn;
        session.ownSlot = c.loggedIn ? 2 : 0;
        sent.clear();
        windowinput::retype(*input(), QString::fromUtf8(c.typed));
        ASSERT_EQ(input()->text(), QString::fromUtf8(c.typed));
        windowinput::press(Qt::Key_Return);
        EXPECT_EQ(std::vector<QByteArray>(sent.begin(), sent.end()), c.sent);
        EXPECT_EQ(input()->text(), QString::fromUtf8(c.leftInBox));
    }
}

TEST_F(ChatPanelTest, AKeyOnThePlaceholderEmptiesTheBoxFirst)
{
    logIn(2);
    // Each key on a new panel, whose box still holds the placeholder.
    const std::pair<Qt::Key, QString> cases[] = {{Qt::Key_Return, QString()},
                                                 {Qt::Key_H, QStringLiteral("h")}};
    for (const auto &[key, left] : cases) {
        SCOPED_TRACE(left.toStdString());
        ChatPanel fresh{&session};
        QObject::connect(&fresh, &ChatPanel::sendToHost,
                         [this](const QByteArray &m) { sent << m; });
        ASSERT_TRUE(showActive(fresh));
        auto *box = fresh.findChild<QLineEdit *>(QStringLiteral("mychat"));
        windowinput::click(*box);
        ASSERT_EQ(box->text(), ChatPanel::kPlaceholder);
        windowinput::press(key);
        EXPECT_TRUE(sent.isEmpty());
        EXPECT_EQ(box->text(), left);
    }
}

TEST_F(ChatPanelTest, PasteReplacesTheWholeInput)
{
    ASSERT_TRUE(showActive(chat));
    QApplication::clipboard()->setText(QStringLiteral("pasted\nline"));
    windowinput::retype(*input(), QStringLiteral("typed"));
    // The caret between "ty" and "ped".
    windowinput::press(Qt::Key_Home);
    windowinput::press(Qt::Key_Right);
    windowinput::press(Qt::Key_Right);
    ASSERT_EQ(input()->cursorPosition(), 2);
    windowinput::press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(input()->text(), QStringLiteral("pasted line"));

    windowinput::retype(*input(), QStringLiteral("typed"));
    ASSERT_EQ(input()->text(), QStringLiteral("typed"));
    // The input box's own menu.
    ASSERT_TRUE(windowinput::chooseContextMenuItem(*input(), item("Paste1")));
    EXPECT_EQ(input()->text(), QStringLiteral("pasted line"));

    QApplication::clipboard()->clear();
    ASSERT_TRUE(windowinput::chooseContextMenuItem(*input(), item("Paste1")));
    EXPECT_EQ(input()->text(), QStringLiteral("pasted line"));
}

TEST_F(ChatPanelTest, LinesShowABoldHeadAndARegularRestAsPlainText)
{
    const QColor zaze(0x12, 0x34, 0x56);
    struct LineCase
    {
        const char *line;
        std::vector<Piece> pieces;
        ChatLineHead head = ChatLineHead::Speaker;
    };
    const LineCase cases[] = {
        {"Zaze chats: hi all", {{"Zaze chats:", true, zaze}, {" hi all", false, zaze}}},
        {"Zaze says: Thanks! :)", {{"Zaze says:", true, zaze}, {" Thanks! :)", false, zaze}}},
        {"Zaze waves", {{"Zaze waves", false, zaze}}},
        {"Ann:", {{"Ann:", true, zaze}}},
        {"", {}},
        // Other people's words are never markup.
        {"<b>x</b> chats: <img src=\"a.png\"> &amp; <a href=\"http://e.vil\">y</a>",
         {{"<b>x</b> chats:", true, zaze},
          {" <img src=\"a.png\"> &amp; <a href=\"http://e.vil\">y</a>", false, zaze}}},
        // The program's own line with an address in it has no speaker.
        {"or, over IPv6, at 2001:db8::7.",
         {{"or, over IPv6, at 2001:db8::7.", false, zaze}},
         ChatLineHead::None},
    };
    int lines = 0;
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.line);
        chat.addlinetochat(QString::fromUtf8(c.line), zaze, c.head);
        const QList<Piece> shown = pieces(lastLine());
        EXPECT_EQ(std::vector<Piece>(shown.begin(), shown.end()), c.pieces);
        EXPECT_EQ(lastLine().text(), QString::fromUtf8(c.line));
        EXPECT_EQ(log()->document()->blockCount(), ++lines);
    }
    EXPECT_EQ(log()->document()->blockCount(), int(std::size(cases)));
    EXPECT_EQ(log()->document()->firstBlock().text(), QStringLiteral("Zaze chats: hi all"));
}

TEST_F(ChatPanelTest, Chatrecieved)
{
    const QColor red(255, 0, 0);
    const std::tuple<const char *, const char *, QColor> cases[] = {
        {"Zaze chats: hi all|clBlue", "Zaze chats: hi all", QColor(0, 0, 255)},
        {"Zaze dances|$0000FF00", "Zaze dances", QColor(0, 255, 0)},
        {"Zaze chats: hi|CLLIME", "Zaze chats: hi", QColor(0, 255, 0)},
        {"Zaze chats: no colour here", "Zaze chats: no colour here", red},
        {"Zaze chats: hi|notacolour", "Zaze chats: hi", red},
        {"Zaze chats: hi|", "Zaze chats: hi", red},
        {"Zaze chats: a|b|clBlue", "Zaze chats: a", red},
        {"Zaze chats: |clBlack", "Zaze chats: ", QColor(0, 0, 0)},
    };
    for (const auto &[payload, text, colour] : cases) {
        SCOPED_TRACE(payload);
        chat.chatrecieved(QString::fromUtf8(payload));
        EXPECT_EQ(lastLine().text(), QString::fromUtf8(text));
        for (const Piece &piece : pieces(lastLine()))
            EXPECT_EQ(piece.colour, colour) << piece;
    }
}

TEST_F(ChatPanelTest, PhraseButtonsAndTheirCooldown)
{
    // A long cooldown while the second clicks must be refused, however slow
    // the machine; then a short one to see the buttons come back.
    chat.show();
    chat.setPhraseCooldown(std::chrono::minutes(1));
    windowinput::click(*phraseButton(7));
    EXPECT_TRUE(sent.isEmpty()) << "nobody to say it before the login";

    logIn(3);
    windowinput::click(*phraseButton(7));
    EXPECT_EQ(sent, QList<QByteArray>{"CMD_action+3+says: Thanks!|clRed"});
    windowinput::click(*phraseButton(7));
    windowinput::click(*phraseButton(1));
    EXPECT_EQ(sent.size(), 1) << "a second phrase within the cooldown sends nothing";

    chat.setPhraseCooldown(std::chrono::milliseconds(50));
    ASSERT_TRUE(waitUntil([&] {
        windowinput::click(*phraseButton(10));
        return sent.size() == 2;
    }));
    EXPECT_EQ(sent.last(), QByteArray("CMD_action+3+waves \"Good-Bye\"|clRed"));
}

// What the hint of a phrase button shows, read from the tooltip the button
// really pops up: rich text as the document draws it, plain text as it is.
QString shownHint(QToolButton *button)
{
    const QPoint at(4, 4);
    QHelpEvent help(QEvent::ToolTip, at, button->mapToGlobal(at));
    QApplication::sendEvent(button, &help);
    const QLabel *tip = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("qtooltip_label") && widget->isVisible())
            tip = qobject_cast<QLabel *>(widget);
    }
    if (!tip)
        return QStringLiteral("<no tooltip>");
    const bool rich = tip->textFormat() == Qt::RichText ||
                      (tip->textFormat() == Qt::AutoText && Qt::mightBeRichText(tip->text()));
    if (!rich)
        return tip->text();
    QTextDocument drawn;
    drawn.setHtml(tip->text());
    return drawn.toPlainText();
}

TEST_F(ChatPanelTest, PhraseHintsShowThePhraseAsTyped)
{
    chat.show();
    const char *phrases[] = {
        "Hi <b>all</b>",           "<i>wink</i> &amp; nod",  "Tom & Jerry <3",
        "two  spaces <u>here</u>", "/me waves \"Good-Bye\"", "plain words",
    };
    for (const char *typed : phrases) {
        const QString text = QString::fromUtf8(typed);
        chat.setPhrase(4, text);
        EXPECT_EQ(chat.phrase(4), text);
        EXPECT_EQ(shownHint(phraseButton(4)), text);
    }
    QToolTip::hideText();
}

TEST_F(ChatPanelTest, ScrollChatOffKeepsTheViewWhereItWas)
{
    chat.resize(300, 400);
    chat.show();
    for (int i = 0; i < 200; ++i)
        chat.addlinetochat(QStringLiteral("Notice %1").arg(i), ChatPanel::systemColour());
    QScrollBar *bar = log()->verticalScrollBar();
    ASSERT_TRUE(waitUntil([&] { return bar->maximum() > 0; }));
    EXPECT_EQ(bar->value(), bar->maximum()) << "the log follows its end";

    QAction *scrollOff = chat.findChild<QAction *>(QStringLiteral("ScrollChatOff1"));
    ASSERT_TRUE(chooseInLogMenu("ScrollChatOff1"));
    EXPECT_TRUE(chat.scrollChatOff());
    EXPECT_TRUE(scrollOff->isChecked());
    // A click on the bar, above its handle, goes back up the log.
    windowinput::click(*bar);
    ASSERT_LT(bar->value(), bar->maximum());
    const int firstLine = firstVisibleLine();
    ASSERT_GT(firstLine, 0);
    // The user has marked a line with the mouse; arriving lines put the
    // caret back where the mark began, without the mark.
    const QTextBlock marked = log()->document()->findBlockByNumber(firstLine + 2);
    const int markStart = marked.position();
    dragOverLog(markStart, markStart + marked.length() - 1);
    ASSERT_EQ(log()->textCursor().selectedText(), marked.text());
    ASSERT_EQ(firstVisibleLine(), firstLine);
    for (int i = 0; i < 100; ++i)
        chat.chatrecieved(QStringLiteral("Ann chats: line %1|clRed").arg(i));
    EXPECT_EQ(firstVisibleLine(), firstLine);
    EXPECT_FALSE(log()->textCursor().hasSelection());
    EXPECT_EQ(log()->textCursor().position(), markStart);

    ASSERT_TRUE(chooseInLogMenu("ScrollChatOff1"));
    EXPECT_FALSE(chat.scrollChatOff());
    chat.addlinetochat(QStringLiteral("Last"), ChatPanel::systemColour());
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(firstVisibleLine(), firstLine);
}

// A peer that floods the chat cannot grow the log without end: the oldest
// lines drop off the top, and a reader who stopped the scrolling keeps
// reading the same line while they do.
TEST_F(ChatPanelTest, TheLogKeepsItsLastLines)
{
    chat.resize(300, 400);
    chat.show();
    const int lines = ChatLog::kMaxLines;
    for (int i = 0; i < lines + 250; ++i)
        chat.chatrecieved(QStringLiteral("Eve chats: flood %1|clRed").arg(i));
    QTextDocument *document = log()->document();
    EXPECT_EQ(document->blockCount(), lines);
    EXPECT_EQ(document->firstBlock().text(), QStringLiteral("Eve chats: flood 250"));
    EXPECT_EQ(lastLine().text(), QStringLiteral("Eve chats: flood %1").arg(lines + 249));
    QScrollBar *bar = log()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());

    ASSERT_TRUE(chooseInLogMenu("ScrollChatOff1"));
    windowinput::click(*bar);
    ASSERT_LT(bar->value(), bar->maximum());
    const QString readLine = document->findBlockByNumber(firstVisibleLine()).text();
    for (int i = 0; i < 200; ++i)
        chat.chatrecieved(QStringLiteral("Eve chats: more %1|clRed").arg(i));
    EXPECT_EQ(document->blockCount(), lines);
    EXPECT_EQ(document->findBlockByNumber(firstVisibleLine()).text(), readLine);

    // Emptied and flooded again, the log is held to the same size.
    ASSERT_TRUE(chooseInLogMenu("ClearMainChat2"));
    for (int i = 0; i < lines + 10; ++i)
        chat.addlinetochat(QStringLiteral("again %1").arg(i), Qt::black);
    EXPECT_EQ(document->blockCount(), lines);
}

// Line breaks and other control characters in a peer's text could make his
// line look like several, one of them a notice of the game's own; they show
// as spaces, and every received line stays one line of the log.
TEST_F(ChatPanelTest, ControlCharactersStayOnOneLine)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"Eve chats: hi\r\nAnn has left the game.|clRed",
         u"Eve chats: hi  Ann has left the game."},
        {u"Eve chats: a\nb\rc\td\x0B\x0C\x1B\x7F|clRed", u"Eve chats: a b c d    "},
        {u"Eve chats: x\u2028y\u2029z\u0085!|clRed", u"Eve chats: x y z !"},
        {u"Eve\nYou have won all the bags of money!|clBlue",
         u"Eve You have won all the bags of money!"},
    };
    int lines = 0;
    for (const auto &[payload, shown] : cases) {
        chat.chatrecieved(QString::fromUtf16(payload));
        ++lines;
        EXPECT_EQ(log()->document()->blockCount(), lines);
        EXPECT_EQ(lastLine().text(), QString::fromUtf16(shown));
    }
    chat.addlinetochat(QStringLiteral("Eve\r\nYou are Connected. is Connected."),
                       ChatPanel::systemColour());
    EXPECT_EQ(log()->document()->blockCount(), lines + 1);
    EXPECT_EQ(lastLine().text(), QStringLiteral("Eve  You are Connected. is Connected."));
}

// A word longer than the log is wide wraps inside it.
TEST_F(ChatPanelTest, ALongWordWrapsInsideTheLog)
{
    chat.resize(300, 400);
    chat.show();
    chat.chatrecieved(QStringLiteral("Eve chats: ") + QString(2000, u'W') +
                      QStringLiteral("|clRed"));
    ASSERT_TRUE(waitUntil([&] { return lastLine().layout()->lineCount() > 1; }));
    const QTextLayout *layout = lastLine().layout();
    const qreal inside = log()->viewport()->width();
    for (int i = 0; i < layout->lineCount(); ++i)
        EXPECT_LE(layout->lineAt(i).naturalTextWidth(), inside) << "line " << i;
    EXPECT_EQ(log()->horizontalScrollBar()->maximum(), 0);
}

// After a click in the log, and after emptying it, the keys go to the input
// box again.
TEST_F(ChatPanelTest, FocusReturnsToTheInputBox)
{
    chat.show();
    ASSERT_TRUE(waitUntil([&] { return chat.isActiveWindow(); }));
    chat.addlinetochat(QStringLiteral("Ann chats: hello"), Qt::black);

    const QPoint at(10, 10);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        // The press puts the focus in the log, and there it stays until
        // the button is let go.
        QTest::mousePress(log()->viewport(), button, Qt::NoModifier, at);
        ASSERT_TRUE(log()->hasFocus()) << button;
        EXPECT_FALSE(input()->hasFocus()) << "a press alone keeps the focus where it is";
        QTest::mouseRelease(log()->viewport(), button, Qt::NoModifier, at);
        EXPECT_TRUE(input()->hasFocus()) << button;
    }

    for (const char *name : {"ClearMainChat2"}) {
        // The right press that opens the menu puts the focus in the log.
        ASSERT_NE(windowinput::openContextMenu(*log()->viewport()), nullptr) << name;
        ASSERT_EQ(chat.focusWidget(), log()) << name;
        ASSERT_TRUE(windowinput::chooseInOpenMenu(item(name))) << name;
        EXPECT_TRUE(log()->document()->isEmpty());
        EXPECT_TRUE(input()->hasFocus()) << name;
    }
}

TEST_F(ChatPanelTest, ClearAndCopy)
{
    chat.show();
    chat.addlinetochat(QStringLiteral("Ann chats: one"), Qt::black);
    chat.addlinetochat(QStringLiteral("Ann chats: two"), Qt::black);
    // Marked from the start of the log to its end with the mouse.
    dragOverLog(0, log()->document()->characterCount() - 1);
    ASSERT_TRUE(chooseInLogMenu("Copy1"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Ann chats: one\nAnn chats: two"));

    ASSERT_TRUE(chooseInLogMenu("ClearMainChat2"));
    EXPECT_TRUE(log()->document()->isEmpty());
    chat.addlinetochat(QStringLiteral("fresh"), Qt::black);
    EXPECT_EQ(log()->document()->blockCount(), 1);
    EXPECT_EQ(log()->toPlainText(), QStringLiteral("fresh"));
}

TEST_F(ChatPanelTest, ALeftClickOnALinkSelectsAndOpensIt)
{
    QList<QUrl> opened;
    chat.setLinkOpener([&](const QUrl &url) { opened << url; });
    chat.resize(600, 300);
    chat.show();
    chat.addlinetochat(QStringLiteral("Ann chats: see www.example.com. or HTTP://EXAMPLE.ORG/Up"),
                       Qt::black);
    const QTextBlock first = lastLine();
    chat.addlinetochat(QStringLiteral("Bea chats: safe at https://secure.example.net"), Qt::black);
    const QTextBlock second = lastLine();
    // The middle of the character that starts `part` in `line`.
    const auto pointOn = [&](const QTextBlock &line, const QString &part) {
        QTextCursor at(log()->document());
        at.setPosition(line.position() + int(line.text().indexOf(part)));
        const QRect left = log()->cursorRect(at);
        at.movePosition(QTextCursor::NextCharacter);
        const QRect right = log()->cursorRect(at);
        return QPoint((left.left() + right.left()) / 2, left.center().y());
    };
    const auto move = [&](QPoint at) {
        windowinput::movePointer(*log()->viewport(), at);
        return log()->viewport()->cursor().shape();
    };
    const auto click = [&](QPoint at, Qt::MouseButton button) {
        QMouseEvent down(QEvent::MouseButtonPress, at, log()->viewport()->mapToGlobal(at), button,
                         button, Qt::NoModifier);
        QApplication::sendEvent(log()->viewport(), &down);
        QMouseEvent up(QEvent::MouseButtonRelease, at, log()->viewport()->mapToGlobal(at), button,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(log()->viewport(), &up);
    };

    // The hand shows over the whole word a link is in, its full stop and
    // the blank after it included, and past the end of a line ending in one.
    const std::pair<QString, bool> hands[] = {
        {QStringLiteral("www.example"), true}, {QStringLiteral("example.com"), true},
        {QStringLiteral(". or"), true},        {QStringLiteral(" or"), true},
        {QStringLiteral("see"), false},        {QStringLiteral(" www"), false},
        {QStringLiteral("or H"), false},       {QStringLiteral("Up"), true},
    };
    for (const auto &[part, hand] : hands)
        EXPECT_EQ(move(pointOn(first, part)) == Qt::PointingHandCursor, hand) << part.toStdString();
    // Right of the first line's end: the nearest character is its line end.
    const QPoint pastFirstEnd(log()->viewport()->width() - 4, pointOn(first, "Up").y());
    EXPECT_EQ(move(pastFirstEnd), Qt::PointingHandCursor);
    EXPECT_EQ(move(pointOn(second, QStringLiteral("secure"))), Qt::PointingHandCursor);
    EXPECT_NE(move(pointOn(second, QStringLiteral("safe"))), Qt::PointingHandCursor);

    click(pointOn(first, QStringLiteral("example.com")), Qt::RightButton);
    EXPECT_TRUE(opened.isEmpty());

    // A click on the full stop opens the link, and selects only the link.
    click(pointOn(first, QStringLiteral(". or")), Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl(QStringLiteral("http://www.example.com"))});
    EXPECT_EQ(log()->textCursor().selectedText(), QStringLiteral("www.example.com"));

    click(pointOn(first, QStringLiteral("EXAMPLE.ORG")), Qt::LeftButton);
    EXPECT_EQ(log()->textCursor().selectedText(), QStringLiteral("HTTP://EXAMPLE.ORG/Up"));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.last(), QUrl(QStringLiteral("HTTP://EXAMPLE.ORG/Up")));

    click(pointOn(second, QStringLiteral("secure")), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened.last(), QUrl(QStringLiteral("https://secure.example.net")));

    click(pointOn(first, QStringLiteral("see")), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 3);
}

} // namespace

#include "client/chat/chatlog.h"
#include "client/chat/chatpanel.h"
#include "client/composition.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/peertext.h"
#include "tests/support/hostingcopy.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// One log line as the user sees it: its text, and the bold head with the
// colour of every piece.
struct ShownLine
{
    QString text;
    QString boldHead;
    QColor colour;
    bool operator==(const ShownLine &) const = default;
};

std::ostream &operator<<(std::ostream &out, const ShownLine &line)
{
    return out << '"' << line.text.toStdString() << "\" head \"" << line.boldHead.toStdString()
               << "\" " << line.colour.name().toStdString();
}

std::vector<ShownLine> shownLines(const Tchat &window)
{
    std::vector<ShownLine> lines;
    const auto *log = window.findChild<ChatLog *>(QStringLiteral("mainchat"));
    for (QTextBlock block = log->document()->firstBlock(); block.isValid(); block = block.next()) {
        ShownLine line{block.text(), QString(), QColor()};
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.fontWeight() == QFont::Bold)
                line.boldHead += it.fragment().text();
            if (!line.colour.isValid())
                line.colour = format.foreground().color();
            else if (line.colour != format.foreground().color())
                line.colour = QColor(); // mixed colours would show as invalid
        }
        lines.push_back(line);
    }
    return lines;
}

bool shows(const Tchat &window, const ShownLine &expected)
{
    const auto lines = shownLines(window);
    return std::find(lines.begin(), lines.end(), expected) != lines.end();
}

void writeSettings(const QString &folder, const QByteArray &text)
{
    QFile file(folder + QStringLiteral("/ridodezaz.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// The player goes to `window`, clicks into its chat box, types `text` over
// what is there and presses Enter.
void type(Tchat &window, const QString &text)
{
    window.activateWindow(); // the player clicks the main window
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &window; }));
    windowinput::retype(*window.findChild<QLineEdit *>(QStringLiteral("mychat")), text);
    windowinput::press(Qt::Key_Return);
}

void clickPhrase(Tchat &window, int number)
{
    windowinput::click(*window.findChild<QToolButton *>(QStringLiteral("b_phrase%1").arg(number)));
}

TEST(ChatExchange, TwoClientsSeeTheSameChatActionsAndPhrasesThroughARealHost)
{
    QTemporaryDir hostFolder;
    QTemporaryDir guestFolder;
    ASSERT_TRUE(hostFolder.isValid() && guestFolder.isValid());
    writeSettings(hostFolder.path(), "[Zandor]\nTextcolor=clGreen\nActioncolor=clPurple\n"
                                     "Botspeed=500\n");
    writeSettings(guestFolder.path(), "[Zandor]\nTextcolor=$00123456\nActioncolor=clTeal\n"
                                      "Botspeed=1000\nPhrase3=Hi <b>all</b>\n");

    HostingCopy hosting(hostFolder.path());
    Tchat &host = hosting.window();
    host.show();
    ASSERT_TRUE(waitUntil([&] {
        return host.session().loggedIn && host.server().botdelay() == 500;
    })) << "the host's own client sends its stored speed after its login";

    // A name from another language, with what looks like markup in it.
    const QString guestName = QStringLiteral("Bøb <i>");
    Composition guestProgram({guestName, "127.0.0.1", "false"}, hosting.guestPorts(), nullptr,
                             guestFolder.path());
    Tchat &guest = guestProgram.window();
    guest.show();
    // The game's own words around a name keep the name's direction to the
    // name; an action is the player's words alone.
    const QString guestShown = peertext::isolated(guestName);
    const QString hal = peertext::isolated(QStringLiteral("Hal"));
    const ShownLine guestJoined{guestShown + QStringLiteral(" is Connected."), QString(),
                                QColor(0, 0, 255)};
    ASSERT_TRUE(waitUntil([&] { return shows(host, guestJoined); }));
    ASSERT_TRUE(waitUntil([&] { return guest.chatPanel().phrase(3) == "Hi <b>all</b>"; }))
        << "the guest's settings are loaded at its login";

    const QColor green(0, 0x80, 0);
    const QColor purple(0x80, 0, 0x80);
    const QColor teal(0, 0x80, 0x80);
    const QColor guestText(0x56, 0x34, 0x12);
    const std::vector<ShownLine> expected{
        {hal + " chats: hello all", hal + " chats:", green},
        {guestShown + " chats: grüße, 世界", guestShown + " chats:", guestText},
        {guestName + " dances", QString(), teal},
        {guestName + " says: Hi <b>all</b>", guestName + " says:", teal},
        {"Hal waves \"Good-Bye\"", QString(), purple},
        {"Hal says: Thanks!", "Hal says:", purple},
    };
    // Each line is seen by both before the next is sent, so the order of
    // the log is the order of this list.
    const auto bothShow = [&](const ShownLine &line) {
        return waitUntil([&] { return shows(host, line) && shows(guest, line); });
    };
    type(host, QStringLiteral("hello all"));
    ASSERT_TRUE(bothShow(expected[0]));
    type(guest, QStringLiteral("grüße, 世界"));
    ASSERT_TRUE(bothShow(expected[1]));
    type(guest, QStringLiteral("/help")); // no command of ours: goes nowhere
    type(guest, QStringLiteral("/me dances"));
    ASSERT_TRUE(bothShow(expected[2]));
    clickPhrase(guest, 3);
    ASSERT_TRUE(bothShow(expected[3]));
    clickPhrase(host, 10);
    ASSERT_TRUE(bothShow(expected[4]));
    // A phrase within the cooldown goes nowhere; one after it does.
    clickPhrase(host, 7);
    ASSERT_TRUE(waitUntil(
        [&] {
            if (!shows(host, expected[5]))
                clickPhrase(host, 7);
            return shows(host, expected[5]) && shows(guest, expected[5]);
        },
        10000));

    for (const Tchat *window : {&host, &guest}) {
        const auto lines = shownLines(*window);
        auto from = std::find(lines.begin(), lines.end(), expected.front());
        ASSERT_NE(from, lines.end());
        const std::vector<ShownLine> chatPart(from, lines.end());
        EXPECT_EQ(chatPart, expected) << (window == &host ? "host" : "guest");
    }
    EXPECT_EQ(host.server().botdelay(), 500) << "only the host's own client sets the speed";
}

} // namespace

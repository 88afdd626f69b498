#include "client/composition.h"
#include "client/errorbox.h"
#include "client/session/clientconnection.h"
#include "client/tchat.h"
#include "net/errorreport.h"
#include "net/tsock.h"
#include "tests/client/startup_support.h"
#include "tests/support/errorhandler.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

struct FailedStartCase
{
    const char *what;
    QStringList arguments;
    bool portTaken;
    QString error;
};

void PrintTo(const FailedStartCase &c, std::ostream *os)
{
    *os << c.what;
}

class FailedStart : public ::testing::TestWithParam<FailedStartCase>
{
};

// The start stops at the socket's refusal, shown to the user; the window
// stays open and unconnected and the lobby hears nothing.
TEST_P(FailedStart, RefusalIsShownAndTheWindowStaysOpen)
{
    const FailedStartCase &c = GetParam();
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::Any, 0));
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    const ReportedErrors reported;

    Composition program(
        c.arguments, TchatPorts{c.portTaken ? taken.serverPort() : quint16(0), lobby.serverPort()},
        nullptr, files.path());
    Tchat &window = program.window();
    window.show();

    EXPECT_EQ(reported.texts, QStringList{c.error});
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.session().host);
    EXPECT_FALSE(window.session().loggedIn);
    EXPECT_TRUE(window.findChild<QPushButton *>("button_start")->isHidden());
    EXPECT_FALSE(window.findChild<TSock *>("Sock11")->HasHandle());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, FailedStart,
    ::testing::Values(FailedStartCase{"unknown host",
                                      {"Ann", "no-such-host.invalid", "false"},
                                      false,
                                      "Host Lookup - Could Not Find Host Entry"},
                      FailedStartCase{
                          "port taken, solo", {}, true, "Listen - Error Binding Socket"},
                      FailedStartCase{"port taken, host",
                                      {"Ann", "127.0.0.1", "true"},
                                      true,
                                      "Listen - Error Binding Socket"}));

// One box at a time; the reports that come meanwhile show one after another
// as each box is closed, and past a handful they are only counted, in the
// last box's text.
TEST(ErrorBoxTest, ReportsWaitTheirTurnAndTheOverflowIsCounted)
{
    QWidget window;
    window.show();
    {
        ErrorBox box(&window);
        const int reports = 1 + ErrorBox::kMaxWaiting + 14;
        for (int n = 1; n <= reports; ++n)
            reportError(QStringLiteral("error %1").arg(n));
        const auto boxes = window.findChildren<QMessageBox *>();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0]->windowTitle(), "Zandor");
        EXPECT_TRUE(boxes[0]->isVisible());
        EXPECT_FALSE(boxes[0]->isModal());
        EXPECT_EQ(box.waiting(), ErrorBox::kMaxWaiting);

        QStringList shown;
        while (QMessageBox *current = box.current()) {
            shown.append(current->text());
            current->accept();
            ASSERT_NE(box.current(), current);
            int open = 0;
            for (const QMessageBox *shown : window.findChildren<QMessageBox *>())
                open += shown->isVisible() ? 1 : 0;
            ASSERT_LE(open, 1);
        }
        QStringList expected;
        for (int n = 1; n <= 1 + ErrorBox::kMaxWaiting; ++n)
            expected.append(QStringLiteral("error %1").arg(n));
        expected.last() += "\n\nand 14 more errors";
        EXPECT_EQ(shown, expected);

        reportError("later");
        ASSERT_NE(box.current(), nullptr);
        EXPECT_EQ(box.current()->text(), "later");
    }
    // Gone with its window's error box: the handler before it is back.
    const ScopedErrorHandler probe([](const QString &) {});
    EXPECT_FALSE(probe.previous());
}

// A peer chooses the words of a conversion error: markup in them is shown as
// it was sent, and a link in them is not a link.
TEST(ErrorBoxTest, MarkupFromAPeerIsShownLiterally)
{
    const QString payload =
        "'<h1>HOST PWNED</h1><p style='font-size:40px;color:red'>Your game is out of date.</p>"
        "<a href='file:///etc/passwd'>Download the fix</a>' is not a valid integer value";
    QWidget window;
    window.show();
    ErrorBox box(&window);
    reportError(payload);
    ASSERT_NE(box.current(), nullptr);
    EXPECT_EQ(box.current()->textFormat(), Qt::PlainText);
    EXPECT_EQ(box.current()->text(), payload);
    // The label that shows it renders no markup either.
    bool literalLabel = false;
    for (const QLabel *label : box.current()->findChildren<QLabel *>())
        if (label->text() == payload)
            literalLabel = label->textFormat() == Qt::PlainText;
    EXPECT_TRUE(literalLabel);
}

} // namespace

#include "client/clientconnection.h"
#include "client/errorbox.h"
#include "client/tchat.h"
#include "net/errorreport.h"
#include "net/tsock.h"
#include "tests/client/startup_support.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTcpServer>

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
    QStringList errors;
    const ErrorHandler previous =
        setErrorHandler([&](const QString &text) { errors.append(text); });

    Tchat window(c.arguments,
                 TchatPorts{c.portTaken ? taken.serverPort() : quint16(0), lobby.serverPort()});
    window.show();
    setErrorHandler(previous);

    EXPECT_EQ(errors, QStringList{c.error});
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

TEST(ErrorBoxTest, OneBoxAtATimeOverTheWindow)
{
    QWidget window;
    window.show();
    {
        ErrorBox box(&window);
        reportError("first");
        reportError("second"); // goes to standard error while "first" is open
        const auto boxes = window.findChildren<QMessageBox *>();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0]->text(), "first");
        EXPECT_EQ(boxes[0]->windowTitle(), "Zandor");
        EXPECT_TRUE(boxes[0]->isVisible());
        EXPECT_FALSE(boxes[0]->isModal());

        boxes[0]->accept();
        ASSERT_TRUE(waitUntil([&] { return box.current() == nullptr; }));
        reportError("third");
        ASSERT_NE(box.current(), nullptr);
        EXPECT_EQ(box.current()->text(), "third");
    }
    // Gone with its window's error box: the handler before it is back.
    QStringList seen;
    const ErrorHandler previous = setErrorHandler([&](const QString &text) { seen.append(text); });
    EXPECT_FALSE(previous);
    setErrorHandler(previous);
}

} // namespace

#include "download_server.h"
#include "sidewindow_print.h"

#include "tests/support/errorhandler.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tdownload.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QCheckBox>

#include <vector>

namespace {

const QString kPath = QStringLiteral("/lobby/kvlsetup.exe");
const QString kInstaller = QStringLiteral("kvlsetup.exe");

// One start through the desktop's open action, with the progress texts as
// they stood at that moment.
struct ShellCall
{
    QString file;
    QString parameters;
    shellopen::Show show;
    QString infolabel;
    QString infolabel3;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DownloadWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(server.start());
        window.setTargetFolder(folder.path());
        window.HttpCli1().setURL(server.url(kPath));
        window.setShellOpen([this](const QString &file, const QString &parameters,
                                   shellopen::Show show, const shellopen::Done &done) {
            shellCalls.push_back({file, parameters, show, text("infolabel"), text("infolabel3")});
            done(shellSucceeds);
        });
        window.setMessageShower([this](const QString &message) { messages << message; });
        QObject::connect(&window, &Tdownload::exitRequested, [this] { ++exits; });
        QObject::connect(&window, &Tdownload::playWithOthersRequested, [this] { ++othersAsked; });
        window.show();
    }

    QString text(const char *label) const
    {
        return window.findChild<QLabel *>(QLatin1String(label))->text();
    }
    QPushButton &button(const char *name) const
    {
        return *window.findChild<QPushButton *>(QLatin1String(name));
    }
    bool idle() const
    {
        return button("getbutton").isEnabled() && !button("abortbutton").isEnabled();
    }
    QString target() const { return QDir(folder.path()).filePath(kInstaller); }

    // Clicks "Download And Install" and runs the event loop until the
    // download has ended one way or another.
    void downloadToTheEnd()
    {
        windowinput::click(button("getbutton"));
        ASSERT_TRUE(waitUntil([this] { return idle(); }));
    }

    QTemporaryDir folder;
    DownloadServer server;
    Tdownload window;
    std::vector<ShellCall> shellCalls;
    bool shellSucceeds = true;
    QStringList messages;
    ReportedErrors errors;
    int exits = 0;
    int othersAsked = 0;
};

TEST_F(DownloadWindowTest, CompleteDownloadReplacesTheFileAndStartsTheInstaller)
{
    const QByteArray body = DownloadServer::patternBody(1000);
    server.setReply(kPath, {"HTTP/1.0 200 OK",
                            {"Content-Type: application/octet-stream", "Content-Length: 1000",
                             "Server: ZandorTest"},
                            body});
    // An earlier, longer file of the same name is replaced, not patched.
    QFile earlier(target());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write(QByteArray(5000, 'x'));
    earlier.close();

    QStringList afterEachHeader;
    QString stageAtBodyStart;
    QObject::connect(&window.HttpCli1(), &THttpCli::OnHeaderData,
                     [&] { afterEachHeader << text("infolabel"); });
    QObject::connect(&window.HttpCli1(), &THttpCli::OnDocBegin,
                     [&] { stageAtBodyStart = text("infolabel3"); });

    windowinput::click(button("getbutton"));
    EXPECT_FALSE(button("getbutton").isEnabled());
    EXPECT_TRUE(button("abortbutton").isEnabled());
    EXPECT_EQ(text("infolabel"), QStringLiteral("Loading"));
    EXPECT_EQ(window.downloadMark(), 1);
    ASSERT_TRUE(waitUntil([this] { return idle(); }));

    EXPECT_EQ(afterEachHeader, QStringList({"Loading.", "Loading..", "Loading..."}));
    EXPECT_EQ(stageAtBodyStart, QStringLiteral("Downloading: kvlsetup.exe"));
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].file, target());
    EXPECT_EQ(shellCalls[0].parameters, QStringLiteral("/SP- /silent /noicons"));
    EXPECT_EQ(shellCalls[0].show, shellopen::Show::Normal);
    EXPECT_EQ(shellCalls[0].infolabel, QStringLiteral("Received 1000 bytes"));
    EXPECT_EQ(shellCalls[0].infolabel3, QStringLiteral("Installing"));
    EXPECT_EQ(readFile(target()), body);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(window.downloadMark(), 1);
    EXPECT_TRUE(messages.isEmpty());

    ASSERT_EQ(server.requests().size(), 1);
    const QByteArray request = server.requests()[0] + "\r\n";
    EXPECT_TRUE(request.startsWith("GET /lobby/kvlsetup.exe HTTP/1.0\r\n")) << request.constData();
    EXPECT_TRUE(request.contains("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"));
    EXPECT_TRUE(request.contains(
        "\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"))
        << request.constData();
    EXPECT_FALSE(request.contains("Pragma"));
}

TEST_F(DownloadWindowTest, InstallerThatCannotStartShowsTheErrorAndTheGameGoesOn)
{
    server.setReply(kPath, {"HTTP/1.0 200 OK", {"Content-Length: 3"}, "abc"});
    shellSucceeds = false;
    downloadToTheEnd();
    EXPECT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(messages, QStringList{QStringLiteral("An Error has Occurred.")});
    EXPECT_EQ(exits, 0);
}

// Where a failed download points its client.
struct FailureCase
{
    const char *name;
    std::function<QString(const DownloadServer &)> url;
};

class DownloadFailureTest : public DownloadWindowTest,
                            public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(DownloadFailureTest, LeavesDownloadAbortedAndStartsNothing)
{
    server.setReply(QStringLiteral("/broken/kvlsetup.exe"),
                    {"HTTP/1.0 500 Internal Server Error", {"Content-Length: 4"}, "oops"});
    window.HttpCli1().setURL(GetParam().url(server));
    downloadToTheEnd();

    EXPECT_EQ(text("infolabel"), QStringLiteral("Download Aborted"));
    // An error page is not the installer being downloaded.
    EXPECT_EQ(text("infolabel3"), QString());
    EXPECT_EQ(window.downloadMark(), 2);
    EXPECT_TRUE(shellCalls.empty());
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(readFile(target()), QByteArray());
    // A new attempt may be started.
    EXPECT_TRUE(button("getbutton").isEnabled());
}

QString closedPortUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/lobby/kvlsetup.exe").arg(port);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DownloadFailureTest,
    ::testing::Values(FailureCase{"NotFound",
                                  [](const DownloadServer &s) {
                                      return s.url(QStringLiteral("/gone/kvlsetup.exe"));
                                  }},
                      FailureCase{"ServerError",
                                  [](const DownloadServer &s) {
                                      return s.url(QStringLiteral("/broken/kvlsetup.exe"));
                                  }},
                      FailureCase{"NobodyListening",
                                  [](const DownloadServer &) { return closedPortUrl(); }}),
    [](const ::testing::TestParamInfo<FailureCase> &info) { return info.param.name; });

TEST_F(DownloadWindowTest, StopInTheMiddleLeavesThePartialFileAndStartsNothing)
{
    const QByteArray body = DownloadServer::patternBody(1000);
    server.setReply(kPath, {"HTTP/1.0 200 OK", {"Content-Length: 1000"}, body, 400});
    windowinput::click(button("getbutton"));
    ASSERT_TRUE(waitUntil([this] { return text("infolabel") == QStringLiteral("400 bytes"); }));

    windowinput::click(button("abortbutton"));
    EXPECT_EQ(text("infolabel"), QStringLiteral("Download has been aborted."));
    EXPECT_EQ(text("infolabel3"), QStringLiteral("Download Aborted"));
    EXPECT_EQ(window.downloadMark(), 2);
    ASSERT_TRUE(waitUntil([this] { return idle(); }));

    EXPECT_EQ(text("infolabel"), QStringLiteral("Download Aborted"));
    EXPECT_EQ(text("infolabel3"), QStringLiteral("Download Aborted"));
    EXPECT_TRUE(shellCalls.empty());
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(readFile(target()), body.left(400));
    // The connection is given up at once, not left to the server.
    EXPECT_TRUE(waitUntil([this] { return server.openConnections() == 0; }));
}

TEST_F(DownloadWindowTest, FileThatCannotBeWrittenIsNeverStarted)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "needs /dev/full to stand for a full disk";
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), target()));
    server.setReply(
        kPath, {"HTTP/1.0 200 OK", {"Content-Length: 1000"}, DownloadServer::patternBody(1000)});
    downloadToTheEnd();

    EXPECT_EQ(text("infolabel"), QStringLiteral("Download Aborted"));
    EXPECT_TRUE(shellCalls.empty());
    EXPECT_EQ(exits, 0);
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].startsWith(QStringLiteral("Cannot write file")))
        << errors.texts[0].toStdString();
}

TEST_F(DownloadWindowTest, TargetThatCannotBeCreatedChangesNothing)
{
    window.setTargetFolder(QDir(folder.path()).filePath(QStringLiteral("no-such-folder")));
    windowinput::click(button("getbutton"));

    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].startsWith(QStringLiteral("Cannot create file")))
        << errors.texts[0].toStdString();
    EXPECT_TRUE(idle());
    EXPECT_EQ(text("infolabel"), QString());
    EXPECT_FALSE(window.HttpCli1().busy());
}

struct LobbyCase
{
    const char *name;
    bool installed;
    bool starts;
    int shellCalls;
    QStringList messages;
    int exits;
    int othersAsked; // the Play with Others window is asked for
};

class PlayWithOthersTest : public DownloadWindowTest,
                           public ::testing::WithParamInterface<LobbyCase>
{
};

TEST_P(PlayWithOthersTest, OpensTheInstalledLobbyOrThePlayWithOthersWindow)
{
    const LobbyCase &c = GetParam();
    const QString lobby = QDir(folder.path()).filePath(QStringLiteral("KorvexLobby.exe"));
    if (c.installed) {
        QFile program(lobby);
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    }
    window.setLobbyProgram(lobby);
    shellSucceeds = c.starts;
    windowinput::click(button("Button2"));

    ASSERT_EQ(int(shellCalls.size()), c.shellCalls);
    if (c.shellCalls) {
        EXPECT_EQ(shellCalls[0].file, lobby);
        EXPECT_EQ(shellCalls[0].parameters, QString());
        EXPECT_EQ(shellCalls[0].show, shellopen::Show::NoActivate);
    }
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(exits, c.exits);
    EXPECT_EQ(othersAsked, c.othersAsked);
}

INSTANTIATE_TEST_SUITE_P(
    Lobby, PlayWithOthersTest,
    ::testing::Values(
        LobbyCase{"Installed", true, true, 1, {}, 1, 0},
        LobbyCase{"NotInstalled", false, true, 0, {}, 0, 1},
        LobbyCase{
            "WillNotStart", true, false, 1, {QStringLiteral("An Error has Occurred.")}, 0, 0}),
    [](const ::testing::TestParamInfo<LobbyCase> &info) { return info.param.name; });

// The start-up offer can be turned off for good; the window says what it
// was told and reports the user's change.
TEST_F(DownloadWindowTest, DoNotShowAtStartUpIsTheUsersChoice)
{
    auto *box = window.findChild<QCheckBox *>(QStringLiteral("check_dontshow"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Do not show this at start-up"));
    EXPECT_FALSE(box->isChecked());
    std::vector<bool> changes;
    QObject::connect(&window, &Tdownload::dontShowAtStartupChanged,
                     [&](bool on) { changes.push_back(on); });
    window.setDontShowAtStartup(true);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(changes.empty()); // being told is no change of the user's
    windowinput::click(*box);
    windowinput::click(*box);
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(DownloadWindowTest, PlaySoloGameOnlyClosesTheWindow)
{
    ASSERT_TRUE(window.isVisible());
    windowinput::click(button("Button1"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(shellCalls.empty());
}

} // namespace

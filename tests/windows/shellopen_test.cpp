#include "download_server.h"

#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/shellopen.h"
#include "windows/tdownload.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

namespace {

using namespace std::chrono_literals;

// A folder that is the whole PATH while a test runs: it holds a fake `wine`
// and a fake `xdg-open` when asked, each writing its arguments as one line of
// its own log and ending with the exit code it was given.
class FakeDesktop
{
public:
    FakeDesktop() : savedPath_(qgetenv("PATH")) { qputenv("PATH", bin_.path().toLocal8Bit()); }
    ~FakeDesktop() { qputenv("PATH", savedPath_); }

    // `seconds` > 0: the program keeps running that long before it ends.
    void install(const QString &name, int exitCode, int seconds = 0)
    {
        QFile script(QDir(bin_.path()).filePath(name));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\n"
                           "for a in \"$@\"; do printf '%s\\037' \"$a\"; done >> '%1'\n"
                           "echo >> '%1'\n"
                           "%2"
                           "exit %3\n")
                .arg(log(name))
                .arg(seconds > 0
                         ? QStringLiteral("exec >/dev/null 2>&1\n/bin/sleep %1\n").arg(seconds)
                         : QString())
                .arg(exitCode)
                .toLocal8Bit());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Each call's arguments, one call per entry, arguments joined by " ".
    QStringList calls(const QString &name) const
    {
        QFile file(log(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList calls;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            QString call = QString::fromLocal8Bit(line);
            call.chop(1);
            calls << call.replace(QChar(0x1F), u' ');
        }
        return calls;
    }

    QString folder() const { return files_.path(); }

    // A file in the scratch folder with the given start.
    QString makeFile(const QString &name, const QByteArray &content) const
    {
        const QString path = QDir(files_.path()).filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

private:
    QString log(const QString &name) const
    {
        return QDir(files_.path()).filePath(name + QStringLiteral(".calls"));
    }

    QByteArray savedPath_;
    QTemporaryDir bin_;
    QTemporaryDir files_;
};

const QByteArray kWindowsProgram = QByteArray("MZ\x90\x00\x03", 5) + QByteArray(200, '\0');

// The outcome of one start, once the event loop has told it.
std::optional<bool> openAndHear(const QString &file, const QString &parameters,
                                std::chrono::milliseconds watch)
{
    std::optional<bool> outcome;
    shellopen::open(
        file, parameters, shellopen::Show::Normal, [&](bool started) { outcome = started; }, watch);
    waitUntil([&] { return outcome.has_value(); }, 20000);
    return outcome;
}

struct OpenCase
{
    const char *how;
    const char *file;
    QByteArray content;
    std::optional<int> wineExit;   // no value: no Wine on this desktop
    std::optional<int> openerExit; // no value: no desktop opener
    bool starts;
    bool wineCalled;
    bool openerCalled;
};

class ShellOpen : public ::testing::TestWithParam<OpenCase>
{
};

TEST_P(ShellOpen, WindowsProgramsNeedWineAndOthersGoToTheDesktop)
{
    const OpenCase &c = GetParam();
    FakeDesktop desktop;
    if (c.wineExit)
        desktop.install(QStringLiteral("wine"), *c.wineExit);
    if (c.openerExit)
        desktop.install(QStringLiteral("xdg-open"), *c.openerExit);
    const QString file = desktop.makeFile(QLatin1String(c.file), c.content);

    EXPECT_EQ(openAndHear(file, QStringLiteral("/SP- /silent /noicons"), 5s), c.starts);
    const QStringList wine = desktop.calls(QStringLiteral("wine"));
    const QStringList opener = desktop.calls(QStringLiteral("xdg-open"));
    if (c.wineCalled)
        EXPECT_EQ(wine, QStringList{file + QStringLiteral(" /SP- /silent /noicons")});
    else
        EXPECT_EQ(wine, QStringList{});
    if (c.openerCalled)
        EXPECT_EQ(opener, QStringList{file}) << "a document takes no parameters";
    else
        EXPECT_EQ(opener, QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Desktop, ShellOpen,
    ::testing::Values(
        // The desktop's opener would take the installer and say it had, and
        // nothing would be installed.
        OpenCase{
            "InstallerWithoutWine", "kvlsetup.exe", kWindowsProgram, {}, 0, false, false, false},
        OpenCase{"InstallerWithWine", "kvlsetup.exe", kWindowsProgram, 0, 0, true, true, false},
        OpenCase{"WineRefusesTheFile", "kvlsetup.exe", kWindowsProgram, 1, 0, false, true, false},
        // The content decides when the name does not.
        OpenCase{"ProgramByItsStart", "setup.bin", kWindowsProgram, {}, 0, false, false, false},
        OpenCase{"UpperCaseName", "KVLSETUP.EXE", "not really", {}, 0, false, false, false},
        OpenCase{"Document", "readme.txt", "Read me.", 0, 0, true, false, true},
        OpenCase{"DocumentWithoutHandler", "readme.txt", "Read me.", 0, 4, false, false, true},
        OpenCase{"MissingFile", "", "", 0, 0, false, false, false}),
    [](const ::testing::TestParamInfo<OpenCase> &info) { return std::string(info.param.how); });

// A program that is still running when the watch ends has started.
TEST(ShellOpenWatch, AProgramStillRunningHasStarted)
{
    FakeDesktop desktop;
    desktop.install(QStringLiteral("wine"), 1, 5);
    const QString file = desktop.makeFile(QStringLiteral("kvlsetup.exe"), kWindowsProgram);
    EXPECT_EQ(openAndHear(file, QString(), 200ms), true);
    EXPECT_TRUE(waitUntil([&] { return desktop.calls(QStringLiteral("wine")).size() == 1; }));
}

// The download window with the desktop's real opener: without Wine the
// installer and the lobby do not start, the user hears so and the game
// goes on; with Wine both start and the game makes way for them.
class DownloadOnThisDesktop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        server.setReply(QStringLiteral("/lobby/kvlsetup.exe"),
                        {"HTTP/1.0 200 OK", {"Content-Length: 205"}, kWindowsProgram});
        window.setTargetFolder(desktop.folder());
        window.HttpCli1().setURL(server.url(QStringLiteral("/lobby/kvlsetup.exe")));
        window.setMessageShower([this](const QString &text) { messages << text; });
        QObject::connect(&window, &Tdownload::exitRequested, [this] { ++exits; });
        desktop.install(QStringLiteral("xdg-open"), 0);
        window.show();
    }

    QPushButton &button(const char *name)
    {
        return *window.findChild<QPushButton *>(QLatin1String(name));
    }
    void download()
    {
        windowinput::click(button("getbutton"));
        ASSERT_TRUE(waitUntil([this] { return button("getbutton").isEnabled(); }));
    }
    QString installer() const { return QDir(desktop.folder()).filePath("kvlsetup.exe"); }

    FakeDesktop desktop;
    DownloadServer server;
    Tdownload window;
    QStringList messages;
    int exits = 0;
};

TEST_F(DownloadOnThisDesktop, WithoutWineNothingStartsAndTheGameGoesOn)
{
    download();
    ASSERT_TRUE(waitUntil([this] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages, QStringList{"An Error has Occurred."});
    EXPECT_EQ(exits, 0);

    window.setLobbyProgram(desktop.makeFile(QStringLiteral("KorvexLobby.exe"), kWindowsProgram));
    windowinput::click(button("Button2"));
    ASSERT_TRUE(waitUntil([this] { return messages.size() == 2; }));
    EXPECT_EQ(messages, QStringList({"An Error has Occurred.", "An Error has Occurred."}));
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(desktop.calls(QStringLiteral("xdg-open")), QStringList{});
}

TEST_F(DownloadOnThisDesktop, WithWineTheInstallerAndTheLobbyStart)
{
    desktop.install(QStringLiteral("wine"), 0);
    download();
    ASSERT_TRUE(waitUntil([this] { return exits == 1; }, 20000));
    EXPECT_EQ(messages, QStringList{});

    const QString lobby = desktop.makeFile(QStringLiteral("KorvexLobby.exe"), kWindowsProgram);
    window.setLobbyProgram(lobby);
    windowinput::click(button("Button2"));
    ASSERT_TRUE(waitUntil([this] { return exits == 2; }, 20000));
    EXPECT_EQ(desktop.calls(QStringLiteral("wine")),
              QStringList({installer() + " /SP- /silent /noicons", lobby}));
    EXPECT_EQ(desktop.calls(QStringLiteral("xdg-open")), QStringList{});
}

// The three big buttons' captions are drawn in red.
TEST(DownloadButtons, CaptionsAreRed)
{
    Tdownload window;
    window.show();
    for (const char *name : {"getbutton", "Button1", "Button2"}) {
        const QImage picture = window.findChild<QPushButton *>(QLatin1String(name))
                                   ->grab()
                                   .toImage()
                                   .convertToFormat(QImage::Format_RGB32);
        int red = 0;
        int darkerReds = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                if (c == QColor(255, 0, 0))
                    ++red;
                else if (c.red() > 150 && c.red() < 250 && c.green() < 60 && c.blue() < 60)
                    ++darkerReds;
            }
        }
        // The inside of the letters is the caption's colour itself; their
        // smoothed edges only mix it with the white of the button.
        EXPECT_GT(red, 40) << name;
        EXPECT_LT(darkerReds, red / 10) << name;
    }
}

} // namespace

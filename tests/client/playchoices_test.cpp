#include "client/session/accountname.h"
#include "client/session/clientsettings.h"
#include "client/session/commandline.h"
#include "client/session/inifile.h"
#include "client/session/playchoices.h"
#include "client/session/relaunch.h"
#include "windows/tplaywithothers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kSection = QStringLiteral("Zandor");

TEST(PlayChoices, RecentHostsKeepTheMostRecentFirstOnceEach)
{
    PlayChoices choices;
    for (const char *address : {"a.example", "192.0.2.7", "A.EXAMPLE", " b.example ", "", "x,y"})
        choices.rememberHost(address);
    EXPECT_EQ(choices.recentHosts, (QStringList{"b.example", "A.EXAMPLE", "192.0.2.7"}));

    for (int n = 0; n < PlayChoices::kMaxRecentHosts + 3; ++n)
        choices.rememberHost(QStringLiteral("10.0.0.%1").arg(n));
    EXPECT_EQ(choices.recentHosts.size(), PlayChoices::kMaxRecentHosts);
    EXPECT_EQ(choices.recentHosts.front(),
              QStringLiteral("10.0.0.%1").arg(PlayChoices::kMaxRecentHosts + 2));
}

// Stored under keys of their own: they read back as written, and the rest
// of the settings neither reads them nor writes over them.
TEST(PlayChoices, LiveInTheSettingsFileBesideTheOtherKeys)
{
    IniFile ini = IniFile::fromBytes("[Zandor]\r\nTextsize=12\r\nPlaysounds=0\r\n");
    PlayChoices choices;
    choices.playerName = "Zoë";
    choices.rememberHost("games.example");
    choices.rememberHost("192.0.2.7");
    choices.write(ini, kSection);

    StoredSettings settings = StoredSettings::read(ini);
    EXPECT_EQ(settings.textSize, 12);
    settings.botSpeed = 500;
    settings.write(ini);

    const IniFile reread = IniFile::fromBytes(ini.toBytes());
    const PlayChoices back = PlayChoices::read(reread, kSection);
    EXPECT_EQ(back.playerName, "Zoë");
    EXPECT_EQ(back.recentHosts, (QStringList{"192.0.2.7", "games.example"}));
    EXPECT_EQ(reread.value(kSection, "Textsize", ""), "12");
    EXPECT_EQ(reread.value(kSection, "Botspeed", ""), "500");
}

TEST(PlayChoices, AFileWithoutThemReadsEmpty)
{
    const PlayChoices none =
        PlayChoices::read(IniFile::fromBytes("[Zandor]\nTextsize=8\n"), kSection);
    EXPECT_TRUE(none.playerName.isEmpty());
    EXPECT_TRUE(none.recentHosts.isEmpty());
}

TEST(PlayChoices, DesktopActionsBecomeTheGamesOwnCommandLines)
{
    PlayChoices ann;
    ann.playerName = "Ann";
    struct Case
    {
        QStringList given;
        PlayChoices remembered;
        QStringList arguments;
        bool window;
    };
    const Case cases[] = {
        {{"--host"}, ann, {"Ann", "127.0.0.1", "true"}, false},
        // Nobody is announced as "You": the account's own name.
        {{"--host"}, {}, {accountName(), "127.0.0.1", "true"}, false},
        {{"--play-with-others"}, ann, {}, true},
        {{}, ann, {}, false},
        {{"Bob", "192.0.2.7", "false"}, ann, {"Bob", "192.0.2.7", "false"}, false},
        {{"--host", "x"}, ann, {"--host", "x"}, false},
    };
    for (const Case &c : cases) {
        const CommandLine read = CommandLine::read(c.given, c.remembered.playerName);
        EXPECT_EQ(read.arguments(), c.arguments) << c.given.join(' ').toStdString();
        EXPECT_EQ(read.start == CommandLine::Start::PlayWithOthers, c.window)
            << c.given.join(' ').toStdString();
    }
}

// A restart hands the new copy the player's name and address. Qt reads any
// argument that begins with "-" as one of its options, so the name
// "-platform" killed the new copy and "-reverse" was swallowed. The game's
// own arguments follow a mark that keeps them from Qt; a command line
// without the mark (the lobby's) is read as it always was.
TEST(CommandLine, TheGamesOwnArgumentsNeverReachQt)
{
    const auto split = [](const QStringList &arguments) {
        std::vector<QByteArray> bytes;
        for (const QString &argument : arguments)
            bytes.push_back(argument.toLocal8Bit());
        std::vector<const char *> argv;
        for (const QByteArray &argument : bytes)
            argv.push_back(argument.constData());
        return CommandLine::split(int(argv.size()), argv.data());
    };
    for (const char *name : {"-platform", "-qwindowtitle", "-reverse", "--", "-", "Ann", ""}) {
        SCOPED_TRACE(name);
        for (const PlayChoice &choice :
             {PlayChoice{name, true, QString()}, PlayChoice{name, false, "-display"}}) {
            const QStringList given =
                QStringList{"zandor"} + CommandLine::forChoice(choice).forNewCopy();
            const CommandLine::Split read = split(given);
            EXPECT_EQ(read.qtArgc, 1);
            const QStringList expected = choice.host ? QStringList{name, "127.0.0.1", "true"}
                                                     : QStringList{name, "-display", "false"};
            EXPECT_EQ(read.gameArguments, expected);
            // What the restart builds, the new copy reads back.
            EXPECT_EQ(CommandLine::read(expected), CommandLine::forChoice(choice));
        }
    }

    const CommandLine::Split lobby = split({"zandor", "Ann", "192.0.2.7", "false"});
    EXPECT_EQ(lobby.qtArgc, 4);
    EXPECT_FALSE(lobby.gameArguments);
    const CommandLine::Split withQtOptions =
        split({"zandor", "-platform", "offscreen", "--", "Bob", "127.0.0.1", "true"});
    EXPECT_EQ(withQtOptions.qtArgc, 3);
    EXPECT_EQ(withQtOptions.gameArguments, (QStringList{"Bob", "127.0.0.1", "true"}));
}

// Only a first argument that is an option asks anything of the program
// itself; the lobby's three arguments, Qt's single-dash options and a name
// after the restart's mark are the game's.
TEST(CommandLine, OnlyTheFirstTypedArgumentCanAskForHelpOrTheVersion)
{
    using Q = CommandLine::Question;
    const struct
    {
        QStringList argv;
        Q question;
    } cases[] = {
        {{"zandor"}, Q::None},
        {{"zandor", "--help"}, Q::Help},
        {{"zandor", "--version"}, Q::Version},
        {{"zandor", "--help", "Ann"}, Q::Help},
        {{"zandor", "--hepl"}, Q::UnknownOption},
        {{"zandor", "--host"}, Q::None},
        {{"zandor", "--play-with-others"}, Q::None},
        {{"zandor", "-platform", "offscreen"}, Q::None},
        {{"zandor", "Ann", "--help", "true"}, Q::None},
        {{"zandor", "Ann", "192.0.2.7", "--version"}, Q::None},
        {{"zandor", "--", "--help", "127.0.0.1", "true"}, Q::None},
        {{"zandor", "-platform", "offscreen", "--", "--version"}, Q::None},
    };
    for (const auto &c : cases) {
        std::vector<QByteArray> bytes;
        for (const QString &argument : c.argv)
            bytes.push_back(argument.toLocal8Bit());
        std::vector<const char *> argv;
        for (const QByteArray &argument : bytes)
            argv.push_back(argument.constData());
        EXPECT_EQ(CommandLine::question(CommandLine::typed(int(argv.size()), argv.data())),
                  c.question)
            << c.argv.join(' ').toStdString();
    }
}

// The name others see when the user typed none: the account's full name,
// without the office and telephone numbers that follow it, else its user
// name.
TEST(PlayChoices, TheAccountsNameIsItsFullNameOrItsUserName)
{
    struct Case
    {
        QString gecos;
        QString user;
        QString name;
    };
    const Case cases[] = {
        {"Ann Smith,Room 12,555-0100,,", "ann", "Ann Smith"},
        {"Zoë  Brun", "zoe", "Zoë Brun"},
        {"", "bob", "bob"},
        {" ,Room 3", "carl", "carl"},
        {"root", "root", "root"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(accountNameFrom(c.gecos, c.user), c.name) << c.gecos.toStdString();
}

} // namespace

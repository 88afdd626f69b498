#include "client/chat/chatpanel.h"
#include "client/mainmenu.h"
#include "client/model/clientsession.h"
#include "client/session/clientsettings.h"
#include "client/session/configlocation.h"
#include "client/session/inifile.h"
#include "client/session/playchoices.h"
#include "stats/tallyfile.h"
#include "tests/support/errorhandler.h"
#include "tests/support/filelimits.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <random>

// Readable failures.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// ---- The plain Key=Value reader and writer ----

TEST(IniFile, ValuesReadBackExactlyAsSet)
{
    // Each value with the line the writer must produce for it.
    const std::pair<const char *, const char *> cases[] = {
        {"a,b", "Key=a,b"},
        {"semi;colon", "Key=semi;colon"},
        {"back\\slash\\", "Key=back\\slash\\"},
        {"=equals=", "Key==equals="},
        {"#hash", "Key=#hash"},
        {"/me waves \"Good-Bye\"", "Key=/me waves \"Good-Bye\""},
        {"\"Hi\" she said \"Bye\"", "Key=\"\"Hi\" she said \"Bye\"\""},
        {"\"", "Key=\""},
        {"  leading", "Key=\"  leading\""},
        {"trailing ", "Key=\"trailing \""},
        {"", "Key="},
        {"Grüße, 日本語 ✓", "Key=Grüße, 日本語 ✓"},
    };
    for (const auto &[value, line] : cases) {
        SCOPED_TRACE(value);
        IniFile ini;
        ini.setValue(QStringLiteral("Zandor"), QStringLiteral("Key"), QString::fromUtf8(value));
        const QByteArray bytes = ini.toBytes();
        EXPECT_EQ(bytes, QByteArray("[Zandor]\n") + line + "\n");
        EXPECT_EQ(IniFile::fromBytes(bytes).value(QStringLiteral("zandor"), QStringLiteral("KEY")),
                  QString::fromUtf8(value));
    }
}

TEST(IniFile, ReadsHandWrittenFilesAsTheUsualReadersDo)
{
    const IniFile ini = IniFile::fromBytes("; a comment\r\n"
                                           "[Other]\r\n"
                                           "Textsize=99\r\n"
                                           "  [ zandor ]  \r\n"
                                           "  TEXTSIZE =  12  \r\n"
                                           "textsize=13\r\n"
                                           "Quoted=\" kept \"\r\n"
                                           ";Commented=1\r\n"
                                           "NoEquals\r\n");
    const QString section = QStringLiteral("Zandor");
    EXPECT_EQ(ini.value(section, QStringLiteral("Textsize")), QStringLiteral("12"));
    EXPECT_EQ(ini.value(section, QStringLiteral("quoted")), QStringLiteral(" kept "));
    EXPECT_FALSE(ini.value(section, QStringLiteral(";Commented")).has_value());
    EXPECT_FALSE(ini.value(section, QStringLiteral("Commented")).has_value());
    EXPECT_FALSE(ini.value(section, QStringLiteral("NoEquals")).has_value());
    EXPECT_FALSE(ini.value(QStringLiteral("Missing"), QStringLiteral("Textsize")).has_value());
    EXPECT_EQ(ini.value(QStringLiteral("OTHER"), QStringLiteral("textSize")), QStringLiteral("99"));
}

TEST(IniFile, ChangesOnlyTheLinesItSets)
{
    IniFile ini = IniFile::fromBytes("; kept\r\n"
                                     "[Other]\r\n"
                                     "Textsize=99\r\n"
                                     "\r\n"
                                     "[zandor]\r\n"
                                     "TEXTSIZE=12\r\n"
                                     "Phrase1=Hello, you\r\n"
                                     "\r\n"
                                     "[Last]\r\n"
                                     "x=1\r\n");
    ini.setValue(QStringLiteral("Zandor"), QStringLiteral("Textsize"), QStringLiteral("14"));
    ini.setValue(QStringLiteral("Zandor"), QStringLiteral("Botspeed"), QStringLiteral("500"));
    ini.setValue(QStringLiteral("New"), QStringLiteral("Key"), QStringLiteral("v"));
    EXPECT_EQ(ini.toBytes(), QByteArray("; kept\r\n"
                                        "[Other]\r\n"
                                        "Textsize=99\r\n"
                                        "\r\n"
                                        "[zandor]\r\n"
                                        "Textsize=14\r\n"
                                        "Phrase1=Hello, you\r\n"
                                        "Botspeed=500\r\n"
                                        "\r\n"
                                        "[Last]\r\n"
                                        "x=1\r\n"
                                        "\r\n"
                                        "[New]\r\n"
                                        "Key=v\r\n"));
}

TEST(IniFile, FilesOnDisk)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ridodezaz.ini"));
    EXPECT_FALSE(IniFile::load(path).value(QStringLiteral("Zandor"), QStringLiteral("A")));

    IniFile ini;
    ini.setValue(QStringLiteral("Zandor"), QStringLiteral("A"), QStringLiteral("Ünïcode"));
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(readAll(path), QByteArray("[Zandor]\nA=Ünïcode\n"));
    EXPECT_EQ(IniFile::load(path).value(QStringLiteral("Zandor"), QStringLiteral("A")),
              QStringLiteral("Ünïcode"));

    // A file from a single-byte world still reads.
    writeAll(path, "[Zandor]\nA=caf\xE9\n");
    EXPECT_EQ(IniFile::load(path).value(QStringLiteral("Zandor"), QStringLiteral("A")),
              QStringLiteral("café"));

    EXPECT_FALSE(ini.save(dir.filePath(QStringLiteral("no/such/folder/x.ini"))));
}

// ---- Reading the preferences ----

struct ReadCase
{
    const char *file;
    int textSize;
    colortext::ColorValue textColor;
    colortext::ColorValue actionColor;
    int botSpeed;
    bool playSounds;
    bool autoSort;
};

TEST(StoredSettings, ReadRules)
{
    const ReadCase cases[] = {
        {"", 8, 0, 0, 750, true, true},
        {"[Other]\nTextsize=12\nPlaysounds=false\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nTextsize=11\n", 11, 0, 0, 750, true, true},
        {"[Zandor]\nTextsize=abc\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nTextsize=12.5\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nTextsize=0\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nTextsize=5000\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nBotspeed=1000\n", 8, 0, 0, 1000, true, true},
        {"[Zandor]\nBotspeed=500\n", 8, 0, 0, 500, true, true},
        {"[Zandor]\nBotspeed=750\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nBotspeed=fast\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nBotspeed=0500\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nPlaysounds=FALSE\n", 8, 0, 0, 750, true, true},
        {"[Zandor]\nPlaysounds=false\n", 8, 0, 0, 750, false, true},
        {"[Zandor]\nPlaysounds=no\nAutosort=false\n", 8, 0, 0, 750, true, false},
        {"[Zandor]\nTextcolor=clRed\nActioncolor=$00FF8000\n", 8, 0xFF, 0xFF8000, 750, true, true},
        {"[zandor]\ntextcolor=CLBLUE\nACTIONCOLOR=65280\n", 8, 0xFF0000, 0x00FF00, 750, true, true},
        {"[Zandor]\nTextcolor=nonsense\nActioncolor=\n", 8, 0, 0, 750, true, true},
    };
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.file);
        const StoredSettings read = StoredSettings::read(IniFile::fromBytes(c.file));
        EXPECT_EQ(read.textSize, c.textSize);
        EXPECT_EQ(read.textColor, c.textColor);
        EXPECT_EQ(read.actionColor, c.actionColor);
        EXPECT_EQ(read.botSpeed, c.botSpeed);
        EXPECT_EQ(read.playSounds, c.playSounds);
        EXPECT_EQ(read.autoSort, c.autoSort);
    }
}

// ---- The settings with the chat panel and the Options menu ----

class SettingsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        chat.connectMainMenu(menu);
        settings.connectMainMenu(menu);
        QObject::connect(&settings, &ClientSettings::sendToHost,
                         [this](const QByteArray &m) { sent << m; });
        window.show();
        ASSERT_TRUE(waitUntil([this] { return windowinput::topWindow() == &window; }));
    }

    // The player picks an Options item with the keyboard, through the
    // submenu it sits in.
    void choose(const char *name)
    {
        QAction *action = item(name);
        ASSERT_NE(action, nullptr) << name;
        for (QMenu *submenu : {menu.BotSpeed1, menu.TextSize1}) {
            if (submenu->actions().contains(action)) {
                ASSERT_TRUE(windowinput::chooseSubmenuItem('o', submenu, action)) << name;
                return;
            }
        }
        ASSERT_TRUE(windowinput::chooseMenuItem('o', action)) << name;
    }

    QAction *item(const char *name)
    {
        if (qstrcmp(name, "BotSpeed1") == 0)
            return menu.BotSpeed1->menuAction();
        return window.findChild<QAction *>(QLatin1StringView(name));
    }
    QString path() const { return dir.filePath(QStringLiteral("ridodezaz.ini")); }
    QStringList checkedSizeItems()
    {
        QStringList checked;
        for (const char *name : {"N8", "N10", "N12", "N14"}) {
            if (item(name)->isChecked())
                checked << QString::fromLatin1(name);
        }
        return checked;
    }
    void logIn(int slot)
    {
        session.ownSlot = slot;
        session.loggedIn = true;
    }

    QTemporaryDir dir;
    // The main window's own menu, as the program builds it.
    QMainWindow window;
    MainMenu menu{window.menuBar()};
    ReportedErrors errors;
    ClientSession session;
    QList<QByteArray> sent;
    ChatPanel chat{&session};
    QMetaObject::Connection sending =
        QObject::connect(&chat, &ChatPanel::sendToHost, [this](const QByteArray &m) { sent << m; });
    ClientSettings settings{dir.path(), &session, &chat};
};

TEST_F(SettingsFixture, AnEmptyFileGivesTheDefaults)
{
    writeAll(path(), "");
    logIn(2);
    settings.loadinifile();
    EXPECT_EQ(chat.textSize(), 8);
    EXPECT_EQ(chat.textColor(), colortext::kBlack);
    EXPECT_EQ(chat.actionColor(), colortext::kBlack);
    EXPECT_EQ(settings.botSpeed(), 750);
    EXPECT_TRUE(settings.playSounds());
    EXPECT_TRUE(settings.autoSort());
    EXPECT_EQ(checkedSizeItems(), QStringList{QStringLiteral("N8")});
    EXPECT_TRUE(item("Normal1")->isChecked());
    EXPECT_FALSE(item("Slow1")->isChecked());
    EXPECT_TRUE(item("PlaySounds1")->isChecked());
    EXPECT_TRUE(item("AutoSort1")->isChecked());
    EXPECT_TRUE(sent.isEmpty()) << "only the host's own client tells the server its speed";
    EXPECT_EQ(chat.phrase(7), QStringLiteral("Thanks!"));
}

TEST_F(SettingsFixture, LoadingAppliesTheFile)
{
    writeAll(path(), "[Zandor]\n"
                     "Textsize=11\n"
                     "Textcolor=clGreen\n"
                     "Actioncolor=$00123456\n"
                     "Botspeed=1000\n"
                     "Phrase1=Hi all!\n"
                     "Phrase2=\n"
                     "Phrase10=/me bows\n"
                     "Playsounds=false\n");
    logIn(1);
    settings.loadinifile();
    EXPECT_EQ(chat.textSize(), 11);
    EXPECT_EQ(chat.findChild<QWidget *>(QStringLiteral("mainchat"))->font().pointSize(), 11);
    EXPECT_TRUE(checkedSizeItems().isEmpty());
    EXPECT_EQ(chat.textColor(), 0x008000u);
    EXPECT_EQ(chat.actionColor(), 0x123456u);
    EXPECT_TRUE(item("Slow1")->isChecked());
    EXPECT_FALSE(item("Normal1")->isChecked());
    EXPECT_EQ(item("BotSpeed1")->data().toInt(), 1000);
    EXPECT_FALSE(item("PlaySounds1")->isChecked());
    EXPECT_TRUE(item("AutoSort1")->isChecked());
    EXPECT_EQ(chat.phrase(1), QStringLiteral("Hi all!"));
    EXPECT_EQ(chat.phrase(2), QStringLiteral("Good One!"));
    EXPECT_EQ(chat.phrase(10), QStringLiteral("/me bows"));
    EXPECT_EQ(sent, QList<QByteArray>{"CMD_botspeed+1+1000+"});
}

TEST_F(SettingsFixture, EveryChangeWritesTheWholeSectionAndLeavesTheRest)
{
    writeAll(path(), "[Other]\nTextsize=99\n\n[Zandor]\nPhrase3=Mine\n");
    logIn(3);
    settings.loadinifile();

    choose("Fast1");
    EXPECT_EQ(sent, QList<QByteArray>{"CMD_botspeed+3+500+"});
    EXPECT_TRUE(item("Fast1")->isChecked());
    EXPECT_FALSE(item("Normal1")->isChecked());
    EXPECT_EQ(readAll(path()), QByteArray("[Other]\nTextsize=99\n\n[Zandor]\n"
                                          "Phrase3=Mine\n"
                                          "Textsize=8\n"
                                          "Textcolor=clBlack\n"
                                          "Actioncolor=clBlack\n"
                                          "Botspeed=500\n"
                                          "Playsounds=true\n"
                                          "Autosort=true\n"));

    choose("PlaySounds1");
    choose("AutoSort1");
    choose("N12");
    EXPECT_FALSE(settings.playSounds());
    EXPECT_FALSE(settings.autoSort());
    EXPECT_EQ(checkedSizeItems(), QStringList{QStringLiteral("N12")});
    chat.setColorPicker([](const QColor &, QWidget *) { return QColor(255, 0, 0); });
    choose("TextColor1");
    chat.setColorPicker([](const QColor &, QWidget *) { return QColor(0x10, 0x20, 0x30); });
    choose("ActionColor1");
    EXPECT_EQ(readAll(path()), QByteArray("[Other]\nTextsize=99\n\n[Zandor]\n"
                                          "Phrase3=Mine\n"
                                          "Textsize=12\n"
                                          "Textcolor=clRed\n"
                                          "Actioncolor=$00302010\n"
                                          "Botspeed=500\n"
                                          "Playsounds=false\n"
                                          "Autosort=false\n"));
}

TEST_F(SettingsFixture, ColourDialogsSaveAsTheyShould)
{
    logIn(2);
    settings.loadinifile();
    chat.setColorPicker([](const QColor &, QWidget *) { return std::nullopt; });

    // A cancelled text colour changes and saves nothing.
    choose("TextColor1");
    EXPECT_FALSE(QFile::exists(path()));

    // The action colour is saved whether the dialog was confirmed or not.
    choose("ActionColor1");
    EXPECT_TRUE(readAll(path()).contains("Actioncolor=clBlack\n"));
}

TEST_F(SettingsFixture, AChangeBeforeTheLoginKeepsTheStoredChoices)
{
    writeAll(path(), "[Zandor]\nTextsize=12\nTextcolor=clNavy\nPlaysounds=false\nBotspeed=500\n");
    choose("AutoSort1"); // before the login: the file has not been read
    EXPECT_TRUE(sent.isEmpty());
    // The stored preferences stay; only the changed one is new.
    const StoredSettings onDisk = StoredSettings::read(IniFile::load(path()));
    EXPECT_EQ(onDisk.textSize, 12);
    EXPECT_EQ(onDisk.textColor, 0x800000u);
    EXPECT_FALSE(onDisk.playSounds);
    EXPECT_EQ(onDisk.botSpeed, 500);
    EXPECT_FALSE(onDisk.autoSort);

    logIn(1);
    settings.loadinifile();
    EXPECT_EQ(chat.textSize(), 12);
    EXPECT_FALSE(settings.playSounds());
    EXPECT_FALSE(settings.autoSort());
    EXPECT_TRUE(item("Fast1")->isChecked());
    EXPECT_EQ(sent, QList<QByteArray>{"CMD_botspeed+1+500+"});
}

TEST_F(SettingsFixture, AChangeBeforeTheLoginWithoutAFileWritesDefaultsForTheRest)
{
    choose("Slow1");
    EXPECT_TRUE(sent.isEmpty()) << "not logged in: no speed is sent";
    EXPECT_EQ(readAll(path()), QByteArray("[Zandor]\n"
                                          "Textsize=8\n"
                                          "Textcolor=clBlack\n"
                                          "Actioncolor=clBlack\n"
                                          "Botspeed=1000\n"
                                          "Playsounds=true\n"
                                          "Autosort=true\n"));
    logIn(2);
    settings.loadinifile();
    EXPECT_TRUE(item("Slow1")->isChecked());
    EXPECT_EQ(settings.botSpeed(), 1000);
}

TEST_F(SettingsFixture, PhrasesAreStoredWithoutTouchingTheOtherKeys)
{
    writeAll(path(), "[Zandor]\nTextsize=10\n");
    std::array<QString, 10> phrases;
    phrases[0] = QStringLiteral("Hello, \"friend\"");
    phrases[9] = QStringLiteral("/me waves");
    settings.savephrases(phrases);
    EXPECT_EQ(chat.phrase(1), phrases[0]);
    EXPECT_EQ(chat.phrase(2), QString()); // emptied until the next start
    const StoredSettings onDisk = StoredSettings::read(IniFile::load(path()));
    EXPECT_EQ(onDisk.textSize, 10);
    EXPECT_EQ(onDisk.phrases, phrases);
}

TEST_F(SettingsFixture, AFullDiskKeepsTheOldFileAndSaysSoOnce)
{
    writeAll(path(), "[Zandor]\nTextsize=12\nPhrase1=Mine\n");
    logIn(2);
    settings.loadinifile();
    const QByteArray before = readAll(path());
    {
        // Less room than the shortest settings file needs.
        FileSizeLimit room(8);
        ASSERT_TRUE(room.ok());
        choose("PlaySounds1");
        choose("AutoSort1");
        choose("Fast1");
    }
    EXPECT_EQ(readAll(path()), before);
    ASSERT_EQ(errors.texts.size(), 1) << "one box for a disk that stays full";
    EXPECT_TRUE(errors.texts[0].startsWith("Your settings could not be saved to " + path() + " : "))
        << errors.texts[0].toStdString();
    EXPECT_TRUE(errors.texts[0].endsWith("The file keeps the settings it held before."));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ridodezaz.ini"});

    // With room again the next change writes everything the user set.
    choose("N10");
    const StoredSettings onDisk = StoredSettings::read(IniFile::load(path()));
    EXPECT_FALSE(onDisk.playSounds);
    EXPECT_FALSE(onDisk.autoSort);
    EXPECT_EQ(onDisk.botSpeed, 500);
    EXPECT_EQ(onDisk.textSize, 10);
    EXPECT_EQ(onDisk.phrases[0], QStringLiteral("Mine"));
    EXPECT_EQ(errors.texts.size(), 1);

    // A save worked in between: the next failure is news again, and so is
    // one of a different kind (the folder is gone).
    {
        FileSizeLimit room(8);
        choose("PlaySounds1");
    }
    EXPECT_EQ(errors.texts.size(), 2);
    EXPECT_TRUE(QDir(dir.path()).removeRecursively());
    choose("N12");
    choose("N14");
    EXPECT_EQ(errors.texts.size(), 2) << "still failing since the last box";
}

TEST_F(SettingsFixture, AFileThatHoldsNoSettingsIsKeptAsideWithAMessage)
{
    std::mt19937 random(7);
    QByteArray noise(3000, Qt::Uninitialized);
    for (char &byte : noise)
        byte = char(random());
    QByteArray huge = "[Zandor]\nTextsize=12\nPhrase1=";
    huge += QByteArray(ClientSettings::kMaxFileSize, 'x');
    const std::pair<const char *, QByteArray> cases[] = {
        {"random bytes", noise},
        {"a text with NUL bytes", QByteArray("[Zandor]\nTextsize=12\n\0\0\0\0", 26)},
        {"larger than any settings file", huge},
    };
    logIn(2);
    for (const auto &[what, bytes] : cases) {
        SCOPED_TRACE(what);
        errors.texts.clear();
        QFile::remove(path() + ".damaged");
        QFile::remove(path());
        writeAll(path(), bytes);
        settings.loadinifile();

        ASSERT_EQ(errors.texts.size(), 1);
        EXPECT_EQ(errors.texts[0], path() +
                                       " : this file does not hold readable settings !\n\n"
                                       "The file has been kept as " +
                                       path() +
                                       ".damaged, and your settings start from the defaults.");
        EXPECT_EQ(readAll(path() + ".damaged"), bytes);
        EXPECT_FALSE(QFile::exists(path()));
        EXPECT_EQ(chat.textSize(), 8);

        // The next change starts a clean file and leaves the kept one alone.
        choose("Slow1");
        EXPECT_TRUE(readAll(path()).startsWith("[Zandor]\nTextsize=8\n"));
        EXPECT_EQ(readAll(path() + ".damaged"), bytes);
        EXPECT_EQ(errors.texts.size(), 1);
    }
}

// A name may hold characters no settings file holds (a bell from a pasted
// text, an escape sequence). Written as they were, they made the next start
// judge the whole file damaged and set it aside with every setting in it.
// They are written as blanks; a name too long for any settings file is not
// written at all, and the file keeps what it held.
TEST_F(SettingsFixture, ANameNoSettingsFileCanHoldNeverCostsTheSettings)
{
    writeAll(path(), "[Zandor]\nTextsize=12\nPhrase1=Mine\n");
    logIn(2);
    settings.loadinifile();
    const struct
    {
        const char *what;
        QString name;
        QString kept;
    } cases[] = {
        {"a bell", QStringLiteral("Ann\aBell"), QStringLiteral("Ann Bell")},
        {"a NUL", QString::fromUtf8("Ann\0Bell", 8), QStringLiteral("Ann Bell")},
        {"an escape sequence", QStringLiteral("Ann\x1b[1mBell"), QStringLiteral("Ann [1mBell")},
        {"a line break", QStringLiteral("Ann\r\nBell"), QStringLiteral("Ann  Bell")},
        {"the end-of-file mark",
         QStringLiteral("Ann\x1a"
                        "Bell"),
         QStringLiteral("Ann Bell")},
        {"a vertical tab and a form feed", QStringLiteral("Ann\v\fBell"),
         QStringLiteral("Ann  Bell")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        PlayChoices choices = settings.playChoices();
        choices.playerName = c.name;
        settings.savePlayChoices(choices);
        settings.loadinifile();
        EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
        EXPECT_FALSE(QFile::exists(path() + ".damaged"));
        EXPECT_EQ(settings.playChoices().playerName, c.kept);
        EXPECT_EQ(chat.textSize(), 12);
        EXPECT_EQ(chat.phrase(1), QStringLiteral("Mine"));
    }

    const QByteArray before = readAll(path());
    PlayChoices huge = settings.playChoices();
    huge.playerName = QString(ClientSettings::kMaxFileSize, u'n');
    settings.savePlayChoices(huge);
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].startsWith("Your settings could not be saved to " + path() + " : "))
        << errors.texts[0].toStdString();
    EXPECT_EQ(readAll(path()), before);
    settings.loadinifile();
    EXPECT_EQ(errors.texts.size(), 1);
    EXPECT_EQ(chat.textSize(), 12);
}

TEST_F(SettingsFixture, AHandWrittenFileFromAWindowsCopyIsRead)
{
    // Windows-1252, CR LF, tabs and the DOS end-of-file mark: all text.
    writeAll(path(),
             "[Zandor]\r\nTextsize=\t10\r\nPhrase1=Gr\xFC\xDF Gott \x80 \x84Hi\x93\r\n\x1A");
    logIn(2);
    settings.loadinifile();
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(chat.textSize(), 10);
    EXPECT_EQ(chat.phrase(1), QStringLiteral("Grüß Gott € „Hi“"));
}

TEST_F(SettingsFixture, LoadedPhrasesAreHeldToTheirFiftyCharacters)
{
    const QString fifty(50, u'a');
    // A face is two UTF-16 units: never cut in half.
    const QString faceAcrossTheEnd = QString(49, u'b') + QStringLiteral("😀tail");
    writeAll(path(), "[Zandor]\nPhrase1=" + QByteArray(240 * 1024, 'x') +
                         "\nPhrase2=" + fifty.toUtf8() + "\nPhrase3=" + faceAcrossTheEnd.toUtf8() +
                         "\nPhrase4=/me " + QByteArray(80, 'y') + "\n");
    logIn(2);
    settings.loadinifile();
    EXPECT_EQ(chat.phrase(1), QString(50, u'x'));
    EXPECT_EQ(chat.phrase(2), fifty);
    EXPECT_EQ(chat.phrase(3), QString(49, u'b'));
    EXPECT_EQ(chat.phrase(4), QStringLiteral("/me ") + QString(46, u'y'));
}

// ---- Where the file lives ----

TEST(ConfigLocation, TheProgramFolderUnlessItCannotBeWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString user = dir.filePath(QStringLiteral("config/zandor"));
    ASSERT_TRUE(QDir().mkpath(program));

    EXPECT_EQ(ConfigLocation(program, user).folder(), program);
    EXPECT_FALSE(QDir(user).exists());
    EXPECT_EQ(QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList())
        << "the write check leaves nothing behind";

    // A folder below a plain file can be written by nobody, not even root.
    writeAll(dir.filePath(QStringLiteral("plainfile")), "x");
    const QString unwritable = dir.filePath(QStringLiteral("plainfile/bin"));
    const ConfigLocation fallback(unwritable, user);
    EXPECT_EQ(fallback.folder(), user);
    EXPECT_TRUE(QDir(user).exists());
    EXPECT_EQ(fallback.filePath(QStringLiteral("ridodezaz.ini")),
              QDir(user).filePath(QStringLiteral("ridodezaz.ini")));

    // The settings then last between runs in the user's folder.
    ClientSession session;
    ClientSettings first(fallback.folder(), &session, nullptr, {});
    first.AutoSort1Click();
    ClientSettings second(fallback.folder(), &session, nullptr, {});
    second.loadinifile();
    EXPECT_FALSE(second.autoSort());
}

TEST(ConfigLocation, AReadOnlyProgramFolderHandsItsFilesToTheUsersFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString user = dir.filePath(QStringLiteral("config/zandor"));
    ASSERT_TRUE(QDir().mkpath(program));
    const QByteArray settingsFile = "[Zandor]\nAutosort=false\nPhrase1=Mine\n";
    const QByteArray tallyFile = "the tally's bytes";
    writeAll(QDir(program).filePath(QStringLiteral("ridodezaz.ini")), settingsFile);
    writeAll(QDir(program).filePath(TallyFile::kFileName), tallyFile);
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                          QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    // Installed read-only, files as well as the folder.
    for (const QString &name : {QStringLiteral("ridodezaz.ini"), TallyFile::kFileName})
        ASSERT_TRUE(QFile::setPermissions(QDir(program).filePath(name),
                                          QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                              QFileDevice::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(program, readOnly));

    QString chosen;
    {
        ObeyFilePermissions asEveryone;
        ASSERT_TRUE(asEveryone.ok());
        chosen = ConfigLocation(program, user).folder();
    }
    ASSERT_EQ(chosen, user);
    EXPECT_EQ(readAll(QDir(user).filePath(QStringLiteral("ridodezaz.ini"))), settingsFile);
    EXPECT_EQ(readAll(QDir(user).filePath(TallyFile::kFileName)), tallyFile);
    for (const QString &name : {QStringLiteral("ridodezaz.ini"), TallyFile::kFileName})
        EXPECT_TRUE(QFile::permissions(QDir(user).filePath(name)) & QFileDevice::WriteOwner)
            << "the player's copy can be saved over: " << name.toStdString();

    // The settings are the player's own, and what he changes lands in his
    // folder; the program folder keeps what it had.
    ClientSession session;
    ClientSettings settings(chosen, &session, nullptr, {});
    settings.loadinifile();
    EXPECT_FALSE(settings.autoSort());
    settings.PlaySounds1Click();
    EXPECT_EQ(readAll(QDir(program).filePath(QStringLiteral("ridodezaz.ini"))), settingsFile);

    // From then on the user's folder is the one read, even when the program
    // folder's file changes.
    QFile::setPermissions(program, readOnly | QFileDevice::WriteOwner);
    QFile::remove(QDir(program).filePath(QStringLiteral("ridodezaz.ini")));
    writeAll(QDir(program).filePath(QStringLiteral("ridodezaz.ini")), "[Zandor]\nAutosort=true\n");
    QFile::setPermissions(program, readOnly);
    {
        ObeyFilePermissions asEveryone;
        chosen = ConfigLocation(program, user).folder();
    }
    ClientSettings later(chosen, &session, nullptr, {});
    later.loadinifile();
    EXPECT_FALSE(later.autoSort());
    EXPECT_FALSE(later.playSounds());

    // A copy that was refused and kept aside is not taken again at every start.
    const QString userTally = QDir(user).filePath(TallyFile::kFileName);
    ASSERT_TRUE(QFile::rename(userTally, userTally + TallyFile::kDamagedSuffix));
    {
        ObeyFilePermissions asEveryone;
        ConfigLocation(program, user).folder();
    }
    EXPECT_FALSE(QFile::exists(userTally));
    EXPECT_EQ(QDir(user).entryList(QDir::Files | QDir::Hidden),
              QStringList({"ridodezaz.ini", "Zandortally.tld.damaged"}));
    QFile::setPermissions(program, readOnly | QFileDevice::WriteOwner);
}

} // namespace

#include "net/framer.h"
#include "net/gamemessage.h"
#include "net/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

struct LayoutCase
{
    const char *kind;
    QByteArray built;
    QByteArray expected;
};

class MessageLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(MessageLayout, IsBuiltExactly)
{
    EXPECT_EQ(GetParam().built, GetParam().expected);
}

// Every one of the 28 message kinds, byte for byte.
INSTANTIATE_TEST_SUITE_P(
    AllKinds, MessageLayout,
    ::testing::Values(
        // From a client to the host.
        LayoutCase{"logininfo", msg::Logininfo{2, kVersionText, "Ann"}.build(),
                   "CMD_logininfo+2+1.0.3+Ann"},
        LayoutCase{"chatToHost", msg::ChatToHost{3, "hi there|clRed"}.build(),
                   "CMD_chat+3+hi there|clRed"},
        LayoutCase{"actionToHost", msg::ActionToHost{1, "waves|$00FF00FF"}.build(),
                   "CMD_action+1+waves|$00FF00FF"},
        LayoutCase{"playcardToHost", msg::PlaycardToHost{4, 2}.build(), "CMD_playcard+4+2+"},
        LayoutCase{"startgameToHost", msg::StartgameToHost{"Ann", gamemode::withComputers}.build(),
                   "CMD_startgame+Ann+b+"},
        LayoutCase{"justwatch", msg::Justwatch{2, watchflag::justWatch}.build(),
                   "CMD_justwatch+2+1"},
        LayoutCase{"kickhim", msg::Kickhim{1, 7}.build(), "CMD_kickhim+1+7+"},
        LayoutCase{"botspeed", msg::Botspeed{1, 750}.build(), "CMD_botspeed+1+750+"},
        // From the host to clients.
        LayoutCase{"sendlogininfo", msg::Sendlogininfo{9}.build(), "CMD_sendlogininfo+9"},
        LayoutCase{"full", msg::Full{}.build(), "CMD_full+"},
        LayoutCase{"newplayerinfo", msg::Newplayerinfo{5, "Bo"}.build(), "CMD_newplayerinfo+5+Bo"},
        LayoutCase{"existingplayers", msg::Existingplayers{1, "Ann"}.build(),
                   "CMD_existingplayers+1+Ann"},
        LayoutCase{"havewrongversion", msg::Havewrongversion{"Bo"}.build(),
                   "CMD_havewrongversion+Bo"},
        LayoutCase{"wrongversion", msg::Wrongversion{}.build(), "CMD_wrongversion+"},
        LayoutCase{"gamestats", msg::Gamestats{3, 57, 0, 2, {3, 0, 1, 2}}.build(),
                   "CMD_gamestats+3+57+0+2+1+3+2+0+3+1+4+2"},
        LayoutCase{"placecard", msg::Placecard{2, {14, 0, 52, 7}}.build(),
                   "CMD_placecard+2+1+14+2+0+3+52+4+7"},
        LayoutCase{"playerdisconnected", msg::Playerdisconnected{6, "Cy"}.build(),
                   "CMD_playerdisconnected+6+Cy"},
        LayoutCase{"justwatching", msg::Justwatching{3, watchflag::playAgain}.build(),
                   "CMD_justwatching+3+2"},
        LayoutCase{"chatToAll", msg::ChatToAll{"Ann", "hi|clBlue"}.build(),
                   "CMD_chat+Ann chats: hi|clBlue"},
        LayoutCase{"actionToAll", msg::ActionToAll{"Ann", "waves|clGreen"}.build(),
                   "CMD_action+Ann waves|clGreen"},
        LayoutCase{"startgameToAll", msg::StartgameToAll{"Ann", gamemode::humansOnly}.build(),
                   "CMD_startgame+Ann+h+"},
        LayoutCase{"startround", msg::Startround{12, {0, 1, 2, 3}}.build(),
                   "CMD_startround+12+1+0+2+1+3+2+4+3"},
        LayoutCase{"nextplayer", msg::Nextplayer{4}.build(), "CMD_nextplayer+4+"},
        LayoutCase{"turnlimit", msg::Turnlimit{30}.build(), "CMD_turnlimit+30+"},
        LayoutCase{"playcardToAll", msg::PlaycardToAll{1, 13, 99}.build(), "CMD_playcard+1+13+99+"},
        LayoutCase{"newcard", msg::Newcard{1, 3, 0}.build(), "CMD_newcard+1+3+0+"},
        LayoutCase{"nocard", msg::Nocard{2, 4}.build(), "CMD_nocard+2+4+"},
        LayoutCase{"roundover", msg::Roundover{1, 0}.build(), "CMD_roundover+1+0+"},
        LayoutCase{"winner", msg::Winner{"Zaze", 2}.build(), "CMD_winner+Zaze+2+"},
        // Numbers as an integer-to-text conversion writes them.
        LayoutCase{"negative number", msg::Nextplayer{-12}.build(), "CMD_nextplayer+-12+"},
        // A stray terminator byte in a text field is dropped, never sent.
        LayoutCase{"terminator in text",
                   msg::ChatToHost{1, "a\xFF"
                                      "b|clRed"}
                       .build(),
                   "CMD_chat+1+ab|clRed"},
        LayoutCase{"terminator in name",
                   msg::ChatToAll{"\xFF"
                                  "Ann",
                                  "x\xFF"}
                       .build(),
                   "CMD_chat+Ann chats: x"}),
    [](const auto &info) {
        std::string name = info.param.kind;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(Framed, AppendsExactlyOneTerminator)
{
    EXPECT_EQ(framed(msg::Full{}.build()), QByteArray("CMD_full+\xFF"));
    EXPECT_EQ(framed(QByteArray()), QByteArray("\xFF"));
}

TEST(GameMessageParse, SplitsAtTheFirstPlus)
{
    struct Case
    {
        QByteArray message, name, payload;
    };
    const Case cases[] = {
        {"CMD_full+", "CMD_full", ""},
        {"CMD_sendlogininfo+3", "CMD_sendlogininfo", "3"},
        {"CMD_logininfo+2+1.0.3+A+B", "CMD_logininfo", "2+1.0.3+A+B"},
        {"CMD_playcard+1+2+", "CMD_playcard", "1+2+"},
        // No "+" at all: no command name, so the message is dropped.
        {"CMD_full", "", ""},
        {"", "", ""},
        {"+payload", "", "payload"},
    };
    for (const Case &c : cases) {
        const GameMessage m = GameMessage::parse(c.message);
        EXPECT_EQ(m.name, c.name) << c.message.constData();
        EXPECT_EQ(m.payload, c.payload) << c.message.constData();
        EXPECT_EQ(m.hasName(), !c.name.isEmpty()) << c.message.constData();
    }
}

TEST(StrictNumber, AcceptsPlainDecimalOnly)
{
    struct Case
    {
        QByteArray text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"12", 12},
        {"0", 0},
        {"-3", -3},
        {"-0", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", std::nullopt},
        {"-", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1a", std::nullopt},
        {"0x10", std::nullopt},
        {"$10", std::nullopt},
        {"+5", std::nullopt},
        {"--5", std::nullopt},
        {"1.5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(parseStrictInt(c.text), c.value) << '"' << c.text.constData() << '"';
        if (c.value) {
            EXPECT_EQ(toStrictInt(c.text), *c.value);
        } else {
            try {
                toStrictInt(c.text);
                ADD_FAILURE() << "accepted \"" << c.text.constData() << '"';
            } catch (const EConvertError &e) {
                EXPECT_EQ(e.text,
                          "'" + QString::fromUtf8(c.text) + "' is not a valid integer value");
                EXPECT_STREQ(e.what(), e.text.toStdString().c_str());
            }
        }
    }
}

// How each handler reads its payload, for messages as the builders make
// them. A "+" in a name survives where the name is the last field and cuts
// it where a field follows.
TEST(FieldReader, ReadsPayloadsAsBuilt)
{
    struct Case
    {
        const char *kind;
        QByteArray message;
        QByteArray expectedName;
        std::function<QStringList(FieldReader &)> read;
        QStringList expected;
    };
    auto s = [](const QByteArray &b) { return QString::fromUtf8(b); };
    auto n = [](int v) { return QString::number(v); };
    const Case cases[] = {
        {"login, name with plus",
         msg::Logininfo{2, kVersionText, "A+B+"}.build(),
         cmd::logininfo,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), s(r.text()), s(r.rest())};
         },
         {"2", "1.0.3", "A+B+"}},
        {"newplayerinfo, name with plus",
         msg::Newplayerinfo{3, "x+y"}.build(),
         cmd::newplayerinfo,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), s(r.rest())};
         },
         {"3", "x+y"}},
        {"havewrongversion, name with plus",
         msg::Havewrongversion{"+a+"}.build(),
         cmd::havewrongversion,
         [&](FieldReader &r) { return QStringList{s(r.rest())}; },
         {"+a+"}},
        {"startgame, name with plus is cut",
         msg::StartgameToAll{"Bo+b", "h"}.build(),
         cmd::startgame,
         [&](FieldReader &r) {
             return QStringList{s(r.text()), s(r.text()), s(r.rest())};
         },
         {"Bo", "b", "h+"}},
        {"chat from a client",
         msg::ChatToHost{4, "1+1=2|clRed"}.build(),
         cmd::chat,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), s(r.rest())};
         },
         {"4", "1+1=2|clRed"}},
        {"sendlogininfo, last number open",
         msg::Sendlogininfo{7}.build(),
         cmd::sendlogininfo,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), s(r.rest())};
         },
         {"7", ""}},
        {"playcard, last number closed",
         msg::PlaycardToAll{2, 40, 99}.build(),
         cmd::playcard,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), n(r.number()), n(r.number()), s(r.rest())};
         },
         {"2", "40", "99", ""}},
        {"full, reading past the end",
         msg::Full{}.build(),
         cmd::full,
         [&](FieldReader &r) {
             return QStringList{s(r.text()), s(r.rest()), s(r.text())};
         },
         {"", "", ""}},
        {"empty fields",
         "CMD_x+++a",
         "CMD_x",
         [&](FieldReader &r) {
             return QStringList{s(r.text()), s(r.text()), s(r.text())};
         },
         {"", "", "a"}},
    };
    for (const Case &c : cases) {
        const GameMessage m = GameMessage::parse(c.message);
        EXPECT_EQ(m.name, c.expectedName) << c.kind;
        FieldReader reader(m.payload);
        EXPECT_EQ(c.read(reader), c.expected) << c.kind;
        EXPECT_TRUE(reader.atEnd()) << c.kind;
    }
}

TEST(FieldReader, NumberErrorNamesTheFieldAndStopsThere)
{
    // The winner's name "Al+x" is cut, and its tail lands in the seat field.
    FieldReader winner(GameMessage::parse(msg::Winner{"Al+x", 2}.build()).payload);
    EXPECT_EQ(winner.text(), "Al");
    try {
        winner.number();
        FAIL() << "no conversion error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.text, "'x' is not a valid integer value");
    }
    // A missing number field reads as empty text.
    FieldReader shortPayload("5+");
    EXPECT_EQ(shortPayload.number(), 5);
    try {
        shortPayload.number();
        FAIL() << "no conversion error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.text, "'' is not a valid integer value");
    }
}

TEST(FieldReader, NumberedList)
{
    struct Case
    {
        QByteArray payload;
        std::optional<std::array<int, 4>> values;
        QString error;
    };
    const Case cases[] = {
        {"1+3+2+0+3+1+4+2", std::array{3, 0, 1, 2}, {}},
        {"1+14+2+0+3+52+4+7", std::array{14, 0, 52, 7}, {}},
        {"1+3+2+0+3+1+4+2+tail", std::array{3, 0, 1, 2}, {}},
        {"2+3+1+0+3+1+4+2", std::nullopt, "'2' is not the numbered list entry 1"},
        {"1+3+2+0+4+1+3+2", std::nullopt, "'4' is not the numbered list entry 3"},
        {"1+3+2+0+3+1", std::nullopt, "'' is not a valid integer value"},
        {"1+3+2+x+3+1+4+2", std::nullopt, "'x' is not a valid integer value"},
        {"one+3+2+0+3+1+4+2", std::nullopt, "'one' is not a valid integer value"},
        {"", std::nullopt, "'' is not a valid integer value"},
    };
    for (const Case &c : cases) {
        FieldReader reader(c.payload);
        try {
            const auto values = reader.numberedList();
            ASSERT_TRUE(c.values.has_value()) << c.payload.constData() << " was accepted";
            EXPECT_EQ(values, *c.values) << c.payload.constData();
        } catch (const EConvertError &e) {
            EXPECT_FALSE(c.values.has_value()) << c.payload.constData() << ": " << e.what();
            EXPECT_EQ(e.text, c.error) << c.payload.constData();
        }
    }
    // The list as the host builds it reads back after the fields before it.
    FieldReader stats(
        GameMessage::parse(msg::Gamestats{4, 98, 13, 3, {0, 3, 2, 1}}.build()).payload);
    EXPECT_EQ(stats.number(), 4);
    EXPECT_EQ(stats.number(), 98);
    EXPECT_EQ(stats.number(), 13);
    EXPECT_EQ(stats.number(), 3);
    EXPECT_EQ(stats.numberedList(), (std::array{0, 3, 2, 1}));
    EXPECT_TRUE(stats.atEnd());
}

// Everything the builders make survives framing on a byte stream cut at
// every possible place.
TEST(GameMessageWire, BuiltMessagesSurviveFramingByteByByte)
{
    const QByteArrayList sent = {
        msg::Logininfo{1, kVersionText, "Ann+Bo"}.build(),
        msg::Full{}.build(),
        msg::Gamestats{1, 0, 0, 1, {3, 3, 3, 3}}.build(),
        msg::ChatToAll{"Ann", "ü|clRed"}.build(),
        msg::Wrongversion{}.build(),
        msg::Winner{"Ann", 1}.build(),
    };
    QByteArray stream;
    for (const QByteArray &m : sent)
        stream += framed(m);

    MessageFramer framer;
    QByteArrayList received;
    for (const char byte : stream)
        received += framer.feed(QByteArrayView(&byte, 1));
    EXPECT_EQ(received, sent);
    EXPECT_EQ(framer.pendingBytes(), 0);
}

} // namespace

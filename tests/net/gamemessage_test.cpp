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
        LayoutCase{"logininfo", msg::logininfo(2, kVersionText, "Ann"),
                   "CMD_logininfo+2+1.0.3+Ann"},
        LayoutCase{"chatToHost", msg::chatToHost(3, "hi there|clRed"), "CMD_chat+3+hi there|clRed"},
        LayoutCase{"actionToHost", msg::actionToHost(1, "waves|$00FF00FF"),
                   "CMD_action+1+waves|$00FF00FF"},
        LayoutCase{"playcardToHost", msg::playcardToHost(4, 2), "CMD_playcard+4+2+"},
        LayoutCase{"startgameToHost", msg::startgameToHost("Ann", gamemode::withComputers),
                   "CMD_startgame+Ann+b+"},
        LayoutCase{"justwatch", msg::justwatch(2, watchflag::justWatch), "CMD_justwatch+2+1"},
        LayoutCase{"kickhim", msg::kickhim(1, 7), "CMD_kickhim+1+7+"},
        LayoutCase{"botspeed", msg::botspeed(1, 750), "CMD_botspeed+1+750+"},
        // From the host to clients.
        LayoutCase{"sendlogininfo", msg::sendlogininfo(9), "CMD_sendlogininfo+9"},
        LayoutCase{"full", msg::full(), "CMD_full+"},
        LayoutCase{"newplayerinfo", msg::newplayerinfo(5, "Bo"), "CMD_newplayerinfo+5+Bo"},
        LayoutCase{"existingplayers", msg::existingplayers(1, "Ann"), "CMD_existingplayers+1+Ann"},
        LayoutCase{"havewrongversion", msg::havewrongversion("Bo"), "CMD_havewrongversion+Bo"},
        LayoutCase{"wrongversion", msg::wrongversion(), "CMD_wrongversion+"},
        LayoutCase{"gamestats", msg::gamestats(3, 57, 0, 2, {3, 0, 1, 2}),
                   "CMD_gamestats+3+57+0+2+1+3+2+0+3+1+4+2"},
        LayoutCase{"placecard", msg::placecard(2, {14, 0, 52, 7}),
                   "CMD_placecard+2+1+14+2+0+3+52+4+7"},
        LayoutCase{"playerdisconnected", msg::playerdisconnected(6, "Cy"),
                   "CMD_playerdisconnected+6+Cy"},
        LayoutCase{"justwatching", msg::justwatching(3, watchflag::playAgain),
                   "CMD_justwatching+3+2"},
        LayoutCase{"chatToAll", msg::chatToAll("Ann", "hi|clBlue"),
                   "CMD_chat+Ann chats: hi|clBlue"},
        LayoutCase{"actionToAll", msg::actionToAll("Ann", "waves|clGreen"),
                   "CMD_action+Ann waves|clGreen"},
        LayoutCase{"startgameToAll", msg::startgameToAll("Ann", gamemode::humansOnly),
                   "CMD_startgame+Ann+h+"},
        LayoutCase{"startround", msg::startround(12, {0, 1, 2, 3}),
                   "CMD_startround+12+1+0+2+1+3+2+4+3"},
        LayoutCase{"nextplayer", msg::nextplayer(4), "CMD_nextplayer+4+"},
        LayoutCase{"playcardToAll", msg::playcardToAll(1, 13, 99), "CMD_playcard+1+13+99+"},
        LayoutCase{"newcard", msg::newcard(1, 3, 0), "CMD_newcard+1+3+0+"},
        LayoutCase{"nocard", msg::nocard(2, 4), "CMD_nocard+2+4+"},
        LayoutCase{"roundover", msg::roundover(1, 0), "CMD_roundover+1+0+"},
        LayoutCase{"winner", msg::winner("Zaze", 2), "CMD_winner+Zaze+2+"},
        // Numbers as an integer-to-text conversion writes them.
        LayoutCase{"negative number", msg::nextplayer(-12), "CMD_nextplayer+-12+"},
        // A stray terminator byte in a text field is dropped, never sent.
        LayoutCase{"terminator in text",
                   msg::chatToHost(1, "a\xFF"
                                      "b|clRed"),
                   "CMD_chat+1+ab|clRed"},
        LayoutCase{"terminator in name",
                   msg::chatToAll("\xFF"
                                  "Ann",
                                  "x\xFF"),
                   "CMD_chat+Ann chats: x"}),
    [](const auto &info) {
        std::string name = info.param.kind;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(Framed, AppendsExactlyOneTerminator)
{
    EXPECT_EQ(framed(msg::full()), QByteArray("CMD_full+\xFF"));
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
         msg::logininfo(2, kVersionText, "A+B+"),
         cmd::logininfo,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), s(r.text()), s(r.rest())};
         },
         {"2", "1.0.3", "A+B+"}},
        {"newplayerinfo, name with plus",
         msg::newplayerinfo(3, "x+y"),
         cmd::newplayerinfo,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), s(r.rest())};
         },
         {"3", "x+y"}},
        {"havewrongversion, name with plus",
         msg::havewrongversion("+a+"),
         cmd::havewrongversion,
         [&](FieldReader &r) { return QStringList{s(r.rest())}; },
         {"+a+"}},
        {"startgame, name with plus is cut",
         msg::startgameToAll("Bo+b", "h"),
         cmd::startgame,
         [&](FieldReader &r) {
             return QStringList{s(r.text()), s(r.text()), s(r.rest())};
         },
         {"Bo", "b", "h+"}},
        {"chat from a client",
         msg::chatToHost(4, "1+1=2|clRed"),
         cmd::chat,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), s(r.rest())};
         },
         {"4", "1+1=2|clRed"}},
        {"sendlogininfo, last number open",
         msg::sendlogininfo(7),
         cmd::sendlogininfo,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), s(r.rest())};
         },
         {"7", ""}},
        {"playcard, last number closed",
         msg::playcardToAll(2, 40, 99),
         cmd::playcard,
         [&](FieldReader &r) {
             return QStringList{n(r.number()), n(r.number()), n(r.number()), s(r.rest())};
         },
         {"2", "40", "99", ""}},
        {"full, reading past the end",
         msg::full(),
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
    FieldReader winner(GameMessage::parse(msg::winner("Al+x", 2)).payload);
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
    FieldReader stats(GameMessage::parse(msg::gamestats(4, 98, 13, 3, {0, 3, 2, 1})).payload);
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
        msg::logininfo(1, kVersionText, "Ann+Bo"),
        msg::full(),
        msg::gamestats(1, 0, 0, 1, {3, 3, 3, 3}),
        msg::chatToAll("Ann", "ü|clRed"),
        msg::wrongversion(),
        msg::winner("Ann", 1),
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

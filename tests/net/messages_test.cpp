#include "net/gamemessage.h"
#include "net/messages.h"
#include "net/peertext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>

namespace msg {
// A message prints as the text it builds: every field, in wire order.
template <class Message>
requires requires(const Message &m)
{
    m.build();
}
void PrintTo(const Message &message, std::ostream *os)
{
    *os << message.build().toStdString();
}
} // namespace msg

namespace {

// Reads `wire` the way a receiver does: the command name must be the
// message's own, and the whole payload must be used up.
template <class Message> std::optional<Message> readBack(const QByteArray &wire)
{
    const GameMessage parsed = GameMessage::parse(wire);
    EXPECT_EQ(parsed.name, QByteArray(Message::command)) << wire.constData();
    FieldReader fields(parsed.payload);
    std::optional<Message> read = Message::read(fields);
    EXPECT_TRUE(fields.atEnd()) << wire.constData();
    return read;
}

struct RoundTrip
{
    const char *kind;
    std::function<void()> check;
};

// Builds the message, reads it back and compares the whole struct.
template <class Message> RoundTrip roundTrip(const char *kind, Message sent)
{
    return {kind, [sent] {
                const std::optional<Message> received = readBack<Message>(sent.build());
                ASSERT_TRUE(received.has_value()) << sent.build().constData();
                EXPECT_EQ(*received, sent);
            }};
}

class MessageRoundTrip : public ::testing::TestWithParam<RoundTrip>
{
};

TEST_P(MessageRoundTrip, ReadsBackWhatWasBuilt)
{
    GetParam().check();
}

const QByteArray kKey = "0123456789abcdef0123456789abcdef";

// Every one of the 33 kinds, with values at the edges of what the game
// sends: names with "+" where the name is the last field, empty hands,
// busted totals, the highest slot.
INSTANTIATE_TEST_SUITE_P(
    AllKinds, MessageRoundTrip,
    ::testing::Values(
        // From a client to the host.
        roundTrip("logininfo", msg::Logininfo{9, kVersionText, "Ann+Bo"}),
        roundTrip("chatToHost", msg::ChatToHost{3, "1+1=2|clRed"}),
        roundTrip("actionToHost", msg::ActionToHost{1, "waves|$00FF00FF"}),
        roundTrip("playcardToHost", msg::PlaycardToHost{4, 1}),
        roundTrip("startgameToHost", msg::StartgameToHost{"Ann", gamemode::humansOnly}),
        roundTrip("justwatch", msg::Justwatch{2, watchflag::playAgain}),
        roundTrip("kickhim", msg::Kickhim{1, 9}),
        roundTrip("botspeed", msg::Botspeed{1, kSlowBots.ms}),
        roundTrip("reclaim", msg::Reclaim{9, kKey}), roundTrip("leaving", msg::Leaving{4}),
        // From the host to clients.
        roundTrip("sendlogininfo", msg::Sendlogininfo{1}), roundTrip("full", msg::Full{}),
        roundTrip("newplayerinfo", msg::Newplayerinfo{5, "x+y"}),
        roundTrip("existingplayers", msg::Existingplayers{4, "Zo\xc3\xab"}),
        roundTrip("havewrongversion", msg::Havewrongversion{"+a+"}),
        roundTrip("wrongversion", msg::Wrongversion{}),
        roundTrip("gamestats", msg::Gamestats{3, 99, 0, 2, {3, 0, 1, 2}}),
        roundTrip("gamestats before any game", msg::Gamestats{1, 0, 52, 0, {0, 0, 0, 0}}),
        roundTrip("placecard", msg::Placecard{2, {14, 0, 52, 1}}),
        roundTrip("playerdisconnected", msg::Playerdisconnected{6, "Cy+"}),
        roundTrip("justwatching", msg::Justwatching{3, watchflag::justWatch}),
        roundTrip("chatToAll", msg::ChatToAll{"Ann", "a chats: b|clBlue"}),
        roundTrip("actionToAll", msg::ActionToAll{"Ann", "waves at all|clGreen"}),
        roundTrip("host notice",
                  msg::ChatToAll::notice("Ann took too long; the computer played.|clMaroon")),
        roundTrip("startgameToAll", msg::StartgameToAll{"Ann", gamemode::withComputers}),
        roundTrip("startround", msg::Startround{12, {0, 1, 2, 3}}),
        roundTrip("nextplayer", msg::Nextplayer{4}),
        roundTrip("turnlimit", msg::Turnlimit{60}),
        roundTrip("seatkey", msg::Seatkey{kKey}), roundTrip("away", msg::Away{4, true}),
        roundTrip("back", msg::Away{1, false}),
        roundTrip("goodbye closed", msg::Goodbye{goodbyereason::closed, "Ann+Bo"}),
        roundTrip("goodbye removed", msg::Goodbye{goodbyereason::removed, ""}),
        roundTrip("playcardToAll", msg::PlaycardToAll{1, 13, kBustTotal}),
        roundTrip("newcard after a bust", msg::Newcard{1, 3, 0}),
        roundTrip("nocard", msg::Nocard{2, 4}), roundTrip("roundover", msg::Roundover{1, 0}),
        roundTrip("winner", msg::Winner{"Zaze", 2})),
    [](const auto &info) {
        std::string name = info.param.kind;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

// A payload whose numbers convert but that names something the game does
// not have reads as nothing at all.
struct Refusal
{
    const char *kind;
    QByteArray wire;
    std::function<bool(const QByteArray &)> reads; // whether read() gives a value
};

template <class Message> std::function<bool(const QByteArray &)> reader()
{
    return [](const QByteArray &wire) { return readBack<Message>(wire).has_value(); };
}

TEST(MessageRead, RefusesValuesTheGameDoesNotHave)
{
    const Refusal cases[] = {
        {"slot 0", "CMD_sendlogininfo+0", reader<msg::Sendlogininfo>()},
        {"slot 10", "CMD_sendlogininfo+10", reader<msg::Sendlogininfo>()},
        {"newcomer in slot 0", "CMD_newplayerinfo+0+Ann", reader<msg::Newplayerinfo>()},
        {"present in slot 99", "CMD_existingplayers+99+Ann", reader<msg::Existingplayers>()},
        {"leaver from slot -1", "CMD_playerdisconnected+-1+Ann", reader<msg::Playerdisconnected>()},
        {"turn at seat 0", "CMD_nextplayer+0+", reader<msg::Nextplayer>()},
        {"turn at seat 5", "CMD_nextplayer+5+", reader<msg::Nextplayer>()},
        {"negative turn limit", "CMD_turnlimit+-1+", reader<msg::Turnlimit>()},
        {"card from seat 99", "CMD_playcard+99+5+5+", reader<msg::PlaycardToAll>()},
        {"card 0 laid", "CMD_playcard+1+0+5+", reader<msg::PlaycardToAll>()},
        {"card 53 laid", "CMD_playcard+1+53+5+", reader<msg::PlaycardToAll>()},
        {"card -1 laid", "CMD_playcard+1+-1+5+", reader<msg::PlaycardToAll>()},
        {"total 100", "CMD_playcard+1+5+100+", reader<msg::PlaycardToAll>()},
        {"total -1", "CMD_playcard+1+5+-1+", reader<msg::PlaycardToAll>()},
        {"hand with card 53", "CMD_placecard+1+1+5+2+53+3+7+4+8", reader<msg::Placecard>()},
        {"hand with card -1", "CMD_placecard+1+1+-1+2+6+3+7+4+8", reader<msg::Placecard>()},
        {"hand for seat 0", "CMD_placecard+0+1+5+2+6+3+7+4+8", reader<msg::Placecard>()},
        {"new card at position 0", "CMD_newcard+1+0+5+", reader<msg::Newcard>()},
        {"new card at position 5", "CMD_newcard+1+5+5+", reader<msg::Newcard>()},
        {"new card 53", "CMD_newcard+1+2+53+", reader<msg::Newcard>()},
        {"no card at position 9", "CMD_nocard+1+9+", reader<msg::Nocard>()},
        {"4 bags at a round start", "CMD_startround+2+1+3+2+4+3+1+4+2", reader<msg::Startround>()},
        {"round 0", "CMD_startround+0+1+3+2+3+3+3+4+3", reader<msg::Startround>()},
        {"bust leaving -1 bags", "CMD_roundover+2+-1+", reader<msg::Roundover>()},
        {"bust at seat 7", "CMD_roundover+7+1+", reader<msg::Roundover>()},
        {"watching seat 99", "CMD_justwatching+99+1", reader<msg::Justwatching>()},
        {"winner at seat 0", "CMD_winner+Ann+0+", reader<msg::Winner>()},
        {"late arrival, total 150", "CMD_gamestats+2+150+0+1+1+3+2+3+3+3+4+3",
         reader<msg::Gamestats>()},
        {"late arrival, top card 53", "CMD_gamestats+2+50+53+1+1+3+2+3+3+3+4+3",
         reader<msg::Gamestats>()},
        {"late arrival, turn 5", "CMD_gamestats+2+50+5+5+1+3+2+3+3+3+4+3",
         reader<msg::Gamestats>()},
        {"late arrival, 9 bags", "CMD_gamestats+2+50+5+1+1+9+2+3+3+3+4+3",
         reader<msg::Gamestats>()},
        // What a client sends the host.
        {"login for slot 12", "CMD_logininfo+12+1.0.3+Ann", reader<msg::Logininfo>()},
        {"card from seat 6", "CMD_playcard+6+1+", reader<msg::PlaycardToHost>()},
        {"card at position 5", "CMD_playcard+1+5+", reader<msg::PlaycardToHost>()},
        {"watch seat 0", "CMD_justwatch+0+1", reader<msg::Justwatch>()},
        {"kick slot 10", "CMD_kickhim+1+10+", reader<msg::Kickhim>()},
        {"chat from slot 0", "CMD_chat+0+hi|clRed", reader<msg::ChatToHost>()},
        {"reclaim of slot 0", "CMD_reclaim+0+" + kKey + "+", reader<msg::Reclaim>()},
        {"reclaim of slot 10", "CMD_reclaim+10+" + kKey + "+", reader<msg::Reclaim>()},
        {"reclaim without a key", "CMD_reclaim+2+", reader<msg::Reclaim>()},
        {"reclaim, key one short", "CMD_reclaim+2+" + kKey.chopped(1) + "+",
         reader<msg::Reclaim>()},
        {"reclaim, key one long", "CMD_reclaim+2+" + kKey + "0+", reader<msg::Reclaim>()},
        {"reclaim, key in capitals", "CMD_reclaim+2+" + kKey.toUpper() + "+",
         reader<msg::Reclaim>()},
        {"leaving slot 10", "CMD_leaving+10+", reader<msg::Leaving>()},
        // The host's newer messages.
        {"seat key not hex", "CMD_seatkey+" + QByteArray(32, 'g') + "+", reader<msg::Seatkey>()},
        {"empty seat key", "CMD_seatkey++", reader<msg::Seatkey>()},
        {"away at seat 5", "CMD_away+5+1+", reader<msg::Away>()},
        {"away at seat 0", "CMD_away+0+0+", reader<msg::Away>()},
        {"away flag 2", "CMD_away+2+2+", reader<msg::Away>()},
        {"away without a flag", "CMD_away+2+", reader<msg::Away>()},
        {"goodbye for no reason", "CMD_goodbye++Ann+", reader<msg::Goodbye>()},
        {"goodbye, reason unknown", "CMD_goodbye+bye+Ann+", reader<msg::Goodbye>()},
    };
    for (const Refusal &c : cases)
        EXPECT_FALSE(c.reads(c.wire)) << c.kind;

    // The same layouts with values at the edge of the game's ranges read.
    const Refusal edges[] = {
        {"slot 9", "CMD_sendlogininfo+9", reader<msg::Sendlogininfo>()},
        {"card 52, total 99", "CMD_playcard+4+52+99+", reader<msg::PlaycardToAll>()},
        {"card 1, total 0", "CMD_playcard+1+1+0+", reader<msg::PlaycardToAll>()},
        {"empty hand position", "CMD_placecard+1+1+0+2+52+3+1+4+0", reader<msg::Placecard>()},
        {"late arrival on an empty pile", "CMD_gamestats+1+0+0+0+1+0+2+3+3+3+4+3",
         reader<msg::Gamestats>()},
        {"chat with an empty line", "CMD_chat+ chats: ", reader<msg::ChatToAll>()},
        {"chat without a sender", "CMD_chat+hello", reader<msg::ChatToAll>()},
        {"reclaim of slot 1", "CMD_reclaim+1+" + kKey + "+", reader<msg::Reclaim>()},
        {"away at seat 1, back", "CMD_away+1+0+", reader<msg::Away>()},
        {"goodbye without a name", "CMD_goodbye+closed+", reader<msg::Goodbye>()},
    };
    for (const Refusal &c : edges)
        EXPECT_TRUE(c.reads(c.wire)) << c.kind;
}

// A chat or action line is shown whole: a player's with his name, the
// host's own word (no separator) as it came.
TEST(MessageRead, ChatLinesShowWhole)
{
    const auto player = readBack<msg::ChatToAll>("CMD_chat+Ann chats: hi|clRed");
    ASSERT_TRUE(player.has_value());
    EXPECT_EQ(player->name, "Ann");
    EXPECT_EQ(player->line(), "Ann chats: hi|clRed");
    const auto notice = readBack<msg::ChatToAll>("CMD_chat+Ann took too long.|clMaroon");
    ASSERT_TRUE(notice.has_value());
    EXPECT_TRUE(notice->name.isEmpty());
    EXPECT_EQ(notice->line(), "Ann took too long.|clMaroon");
    EXPECT_EQ(msg::ChatToAll::notice("Ann took too long.|clMaroon").build(),
              "CMD_chat+Ann took too long.|clMaroon");
    const auto bare = readBack<msg::ActionToAll>("CMD_action+dances");
    ASSERT_TRUE(bare.has_value());
    EXPECT_EQ(bare->line(), "dances");
}

// Only what the host hands out reads as a seat key.
TEST(MessageRead, SeatKeysAreThirtyTwoLowercaseHexDigits)
{
    const struct
    {
        QByteArray text;
        bool key;
    } cases[] = {
        {kKey, true},
        {"ffffffffffffffffffffffffffffffff", true},
        {"", false},
        {kKey.chopped(1), false},
        {kKey + "a", false},
        {"0123456789ABCDEF0123456789abcdef", false},
        {"0123456789abcdef0123456789abcde ", false},
        {"0123456789abcdef0123456789abcde+", false},
        {"0123456789abcdef0123456789abcde\xff", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isSeatKey(c.text), c.key) << c.text.constData();
}

TEST(MessageRead, NumbersThatDoNotConvertStillEndWithTheirError)
{
    // Checking ranges comes after reading every number, so a broken field is
    // reported as before, even in a message that would be refused anyway.
    FieldReader fields(QByteArray("99+x+"));
    try {
        msg::Nocard::read(fields);
        FAIL() << "no conversion error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.text, "'x' is not a valid integer value");
    }
}

TEST(MessageRead, NamesAreReadAsTheGameShowsThem)
{
    const QByteArray longName(5000, 'N');
    const auto newcomer = readBack<msg::Newplayerinfo>(msg::Newplayerinfo{2, longName}.build());
    ASSERT_TRUE(newcomer.has_value());
    EXPECT_EQ(newcomer->name, QByteArray(peertext::kMaxNameChars, 'N'));

    // A name before another field is cut too, and the field after it stays.
    const auto winner = readBack<msg::Winner>(msg::Winner{longName, 3}.build());
    ASSERT_TRUE(winner.has_value());
    EXPECT_EQ(winner->name.size(), peertext::kMaxNameChars);
    EXPECT_EQ(winner->seat, 3);

    // A line break in a name would make a line of its own in the chat.
    const auto forged =
        readBack<msg::Playerdisconnected>(msg::Playerdisconnected{3, "Mal\nYou won"}.build());
    ASSERT_TRUE(forged.has_value());
    EXPECT_EQ(forged->name, QByteArray("Mal You won"));

    // The host reads a login's name the same way.
    const auto login = readBack<msg::Logininfo>(msg::Logininfo{2, kVersionText, longName}.build());
    ASSERT_TRUE(login.has_value());
    EXPECT_EQ(login->name.size(), peertext::kMaxNameChars);
}

} // namespace

#include "lan/answerlimit.h"
#include "lan/foundgames.h"
#include "lan/lantexts.h"
#include "lan/localnetworks.h"

#include <gtest/gtest.h>

namespace {

lan::Announcement game(const QString &host, int seats = 1)
{
    lan::Announcement told;
    told.gameVersion = QStringLiteral("1.0.3");
    told.hostName = host;
    told.seatsTaken = seats;
    told.port = 7772;
    return told;
}

TEST(AnswerLimit, FewAnswersPerSenderAndWindow)
{
    AnswerLimit limit;
    const quint32 ann = 0xC0A80114, bob = 0xC0A80115;
    for (int i = 0; i < AnswerLimit::kAnswersPerWindow; ++i)
        EXPECT_TRUE(limit.allow(ann, 1000 + i)) << i;
    EXPECT_FALSE(limit.allow(ann, 1100));
    EXPECT_FALSE(limit.allow(ann, 1000 + AnswerLimit::kWindowMs - 1));
    // One sender's questions take nothing from another's.
    EXPECT_TRUE(limit.allow(bob, 1100));
    // A new window, a new allowance.
    EXPECT_TRUE(limit.allow(ann, 1000 + AnswerLimit::kWindowMs));
}

TEST(AnswerLimit, CrowdOfSendersGetsNoMoreThanTheTableHolds)
{
    AnswerLimit limit;
    for (quint32 sender = 1; sender <= AnswerLimit::kMaxSenders; ++sender)
        EXPECT_TRUE(limit.allow(sender, 0));
    EXPECT_FALSE(limit.allow(AnswerLimit::kMaxSenders + 1, 10));
    // Once their windows have passed, there is room again.
    EXPECT_TRUE(limit.allow(AnswerLimit::kMaxSenders + 1, AnswerLimit::kWindowMs));
}

TEST(FoundGames, HeardChangedClosedAndSilent)
{
    FoundGames found;
    const QHostAddress annAt(QStringLiteral("10.0.0.5")), bobAt(QStringLiteral("10.0.0.6"));
    EXPECT_TRUE(found.heard(annAt, game("Ann"), 0));
    EXPECT_FALSE(found.heard(annAt, game("Ann"), 1000)) << "the same again changes nothing";
    EXPECT_TRUE(found.heard(bobAt, game("Bob"), 2000));
    EXPECT_TRUE(found.heard(annAt, game("Ann", 3), 3000));
    ASSERT_EQ(found.games().size(), 2);
    EXPECT_EQ(found.games()[0].announcement.seatsTaken, 3) << "an update keeps its place";
    EXPECT_EQ(found.games()[1].announcement.hostName, "Bob");

    // Bob last spoke at 2000, Ann at 3000.
    EXPECT_FALSE(found.expire(2000 + FoundGames::kSilenceMs - 1));
    EXPECT_TRUE(found.expire(2000 + FoundGames::kSilenceMs));
    ASSERT_EQ(found.games().size(), 1);
    EXPECT_EQ(found.games()[0].announcement.hostName, "Ann");

    lan::Announcement closing = game("Ann", 3);
    closing.closed = true;
    EXPECT_FALSE(found.heard(bobAt, closing, 4000)) << "closing an unknown game";
    EXPECT_TRUE(found.heard(annAt, closing, 4000));
    EXPECT_TRUE(found.games().isEmpty());
}

TEST(FoundGames, TwoGamesOfOneComputerOnTwoPorts)
{
    FoundGames found;
    const QHostAddress at(QStringLiteral("10.0.0.5"));
    lan::Announcement other = game("Bob");
    other.port = 7773;
    EXPECT_TRUE(found.heard(at, game("Ann"), 0));
    EXPECT_TRUE(found.heard(at, other, 0));
    EXPECT_EQ(found.games().size(), 2);
}

TEST(LanTexts, GameLines)
{
    struct Case
    {
        lan::Announcement told;
        QString shown;
    };
    lan::Announcement playing = game("Ann", 2);
    playing.watchers = 1;
    playing.playing = true;
    lan::Announcement percent = game("%2 and %1", 4);
    const Case cases[] = {
        {playing, "Ann's game - 2 of 4 seats taken, 1 watching, playing"},
        {game("Bob"), "Bob's game - 1 of 4 seats taken, 0 watching, waiting to start"},
        {percent, "%2 and %1's game - 4 of 4 seats taken, 0 watching, waiting to start"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(lantexts::gameLine(c.told), c.shown);
}

TEST(LanTexts, WhereOthersCanJoin)
{
    struct Case
    {
        QStringList addresses;
        QString shown;
    };
    const Case cases[] = {
        {{}, ""},
        {{"192.168.1.20"}, "Others on this network can join you at 192.168.1.20."},
        {{"192.168.1.20", "10.0.0.5"},
         "Others on this network can join you at 192.168.1.20 or 10.0.0.5."},
        {{"192.168.1.20", "10.0.0.5", "172.16.0.9"},
         "Others on this network can join you at 192.168.1.20, 10.0.0.5 or 172.16.0.9."},
    };
    for (const Case &c : cases) {
        QList<QHostAddress> addresses;
        for (const QString &address : c.addresses)
            addresses.append(QHostAddress(address));
        EXPECT_EQ(lantexts::reachableLine(addresses), c.shown);
    }
}

TEST(LocalNetworks, BroadcastsReachAndSenders)
{
    const LocalNetworks networks({
        {QHostAddress("127.0.0.1"), QHostAddress(), 8},
        {QHostAddress("192.168.1.20"), QHostAddress("192.168.1.255"), 24},
        {QHostAddress("10.0.0.5"), QHostAddress("10.0.255.255"), 16},
    });
    EXPECT_EQ(networks.broadcastAddresses(),
              (QList<QHostAddress>{QHostAddress("192.168.1.255"), QHostAddress("10.0.255.255")}));
    EXPECT_EQ(networks.reachableAddresses(),
              (QList<QHostAddress>{QHostAddress("192.168.1.20"), QHostAddress("10.0.0.5")}));
    struct Case
    {
        const char *sender;
        bool onOurNetwork;
    };
    const Case senders[] = {
        {"192.168.1.77", true},       {"192.168.2.77", false}, {"10.0.200.1", true},
        {"10.1.0.1", false},          {"8.8.8.8", false},      {"127.0.0.1", true},
        {"::ffff:192.168.1.9", true}, {"fe80::1", false},
    };
    for (const Case &c : senders)
        EXPECT_EQ(networks.contains(QHostAddress(c.sender)), c.onOurNetwork) << c.sender;
    EXPECT_TRUE(networks.isOwnAddress(QHostAddress("10.0.0.5")));
    EXPECT_FALSE(networks.isOwnAddress(QHostAddress("10.0.0.6")));
}

} // namespace

#include "net/lanannouncement.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace lan {
void PrintTo(const Announcement &told, std::ostream *os)
{
    *os << "{" << told.gameVersion.toStdString() << ", " << told.hostName.toStdString() << ", "
        << told.seatsTaken << " seats, " << told.watchers << " watching, "
        << (told.playing ? "playing" : "waiting") << ", port " << told.port
        << (told.closed ? ", closed}" : "}");
}
} // namespace lan

namespace {

using lan::Announcement;

Announcement annsGame()
{
    Announcement told;
    told.gameVersion = QStringLiteral("1.0.3");
    told.hostName = QStringLiteral("Ann");
    told.seatsTaken = 2;
    told.watchers = 1;
    told.playing = true;
    told.port = 7772;
    return told;
}

TEST(LanAnnouncement, EveryAnnouncementReadsBackAsBuilt)
{
    const auto with = [](std::function<void(Announcement &)> change) {
        Announcement told = annsGame();
        change(told);
        return told;
    };
    const Announcement cases[] = {
        annsGame(),
        with([](Announcement &a) { a.closed = true; }),
        with([](Announcement &a) {
            a.seatsTaken = 4;
            a.watchers = 5;
            a.playing = false;
            a.port = 65535;
        }),
        with([](Announcement &a) {
            a.seatsTaken = 0;
            a.watchers = 0;
            a.port = 1;
        }),
        with([](Announcement &a) { a.hostName = QStringLiteral("Zoë Ångström 李"); }),
        with([](Announcement &a) { a.hostName = QString(64, QLatin1Char('x')); }),
        with([](Announcement &a) { a.gameVersion = QString(); }),
    };
    for (const Announcement &told : cases) {
        const QByteArray datagram = told.build();
        EXPECT_EQ(datagram.size(), lan::kDatagramSize);
        EXPECT_EQ(Announcement::read(datagram), told);
        EXPECT_FALSE(lan::isQuery(datagram));
    }
}

TEST(LanAnnouncement, LongTextsAreCutAtACharacter)
{
    Announcement told = annsGame();
    // Three bytes a character: 15 bytes would end inside the fifth.
    told.gameVersion = QStringLiteral("aa") + QString(5, QChar(0x674E));
    // Longer than the datagram holds, and than any name box allows.
    told.hostName = QString(200, QChar(0x674E));
    const std::optional<Announcement> read = Announcement::read(told.build());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->gameVersion, told.gameVersion.left(6));
    EXPECT_EQ(read->hostName, told.hostName.left(64));
}

TEST(LanAnnouncement, QueryIsAsLargeAsAnAnswerAndIsNoAnnouncement)
{
    const QByteArray query = lan::buildQuery();
    EXPECT_EQ(query.size(), annsGame().build().size());
    EXPECT_TRUE(lan::isQuery(query));
    EXPECT_FALSE(Announcement::read(query));
}

TEST(LanAnnouncement, NameFromTheNetworkLosesItsControls)
{
    Announcement told = annsGame();
    told.hostName = QStringLiteral("Ann\nHost: you won");
    const std::optional<Announcement> read = Announcement::read(told.build());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->hostName, QStringLiteral("Ann Host: you won"));
}

// Every datagram here is dropped: neither an announcement nor a query.
TEST(LanAnnouncement, MalformedDatagramsAreDropped)
{
    const QByteArray good = annsGame().build();
    const auto changed = [&good](int at, char value) {
        QByteArray datagram = good;
        datagram[at] = value;
        return datagram;
    };
    const QByteArray query = lan::buildQuery();
    struct Case
    {
        const char *what;
        QByteArray datagram;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"one byte", QByteArray(1, 'Z')},
        {"magic alone", QByteArray("ZNDR")},
        {"cut short", good.left(good.size() - 1)},
        {"one byte too long", good + '\0'},
        {"twice as long", good + good},
        {"query cut short", query.left(query.size() - 1)},
        {"query too long", query + QByteArray(16, '\0')},
        {"wrong magic", changed(0, 'X')},
        {"magic in other case", changed(1, 'n')},
        {"older protocol", changed(4, 0)},
        {"newer protocol", changed(4, 2)},
        {"unknown kind 0", changed(5, 0)},
        {"unknown kind 4", changed(5, 4)},
        {"five seats taken", changed(6, 5)},
        {"six watchers", changed(7, 6)},
        {"playing neither yes nor no", changed(8, 2)},
        {"port 0", changed(10, 0).replace(9, 1, QByteArray(1, '\0'))},
        {"version longer than its field", changed(11, char(lan::kMaxVersionBytes + 1))},
        {"name longer than its field", changed(27, char(lan::kMaxNameBytes + 1))},
        {"name length 255", changed(27, char(255))},
        {"no name", changed(27, 0)},
        {"name of blanks", changed(27, 1).replace(28, 1, " ")},
        {"name not UTF-8", changed(28, char(0xC3)).replace(29, 1, "A")},
        {"all zeros", QByteArray(lan::kDatagramSize, '\0')},
        {"all ones", QByteArray(lan::kDatagramSize, char(0xFF))},
        {"text", QByteArray("Zandor? are there games here?").leftJustified(lan::kDatagramSize)},
    };
    for (const Case &c : cases) {
        EXPECT_FALSE(Announcement::read(c.datagram)) << c.what;
        EXPECT_FALSE(lan::isQuery(c.datagram)) << c.what;
    }
}

} // namespace

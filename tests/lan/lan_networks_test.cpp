// Games on a real network: two network namespaces joined by a virtual
// cable, a host on one end and a joining copy on the other.

#include "lan/gameannouncer.h"
#include "lan/gamefinder.h"
#include "net/lanannouncement.h"
#include "tests/support/twonetworks.h"
#include "tests/support/wait.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <iostream>
#include <memory>

namespace {

constexpr quint16 kPort = 7772;
constexpr quint16 kBobsPort = 7773;
// Generous: these machines are shared and slow at times.
constexpr int kPatienceMs = 30000;

lan::Announcement tableOf(const char *host, int seats, quint16 port)
{
    lan::Announcement told;
    told.gameVersion = QStringLiteral("1.0.3");
    told.hostName = QString::fromUtf8(host);
    told.seatsTaken = seats;
    told.port = port;
    return told;
}

// The copy on the other computer, on an event loop of its own there: Bob
// hosts a game of his on 7773 and has his Play with Others window open.
class BobsCopy : public QThread
{
public:
    explicit BobsCopy(int networkFd) : networkFd_(networkFd) {}
    // Also when an assertion leaves the test early.
    ~BobsCopy() override
    {
        quit();
        wait();
    }

    QList<FoundGame> games() const
    {
        QMutexLocker lock(&mutex_);
        return games_;
    }
    // Ann's game as Bob's list shows it; nothing when it does not.
    std::optional<lan::Announcement> annsGame() const
    {
        for (const FoundGame &game : games()) {
            if (game.address == QHostAddress(TwoNetworks::kHere) && game.announcement.port == kPort)
                return game.announcement;
        }
        return std::nullopt;
    }

protected:
    void run() override
    {
        ::setns(networkFd_, CLONE_NEWNET);
        GameAnnouncer bobsHost(kPort, [] { return tableOf("Bob", 1, kBobsPort); });
        GameFinder finder(kPort);
        finder.setOwnGamePort([] { return kBobsPort; });
        QObject::connect(&finder, &GameFinder::gamesChanged, [this, &finder] {
            QMutexLocker lock(&mutex_);
            games_ = finder.games();
        });
        bobsHost.start();
        finder.start();
        exec();
    }

private:
    int networkFd_;
    mutable QMutex mutex_;
    QList<FoundGame> games_;
};

// A plain datagram socket for what no copy of ours would send.
class RawSocket
{
public:
    RawSocket() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~RawSocket() { ::close(fd_); }
    bool bindTo(const QString &address)
    {
        sockaddr_in local = at(address, 0);
        return ::bind(fd_, reinterpret_cast<sockaddr *>(&local), sizeof local) == 0;
    }
    void sendTo(const QByteArray &bytes, const QString &address, quint16 port)
    {
        const sockaddr_in target = at(address, port);
        ::sendto(fd_, bytes.constData(), size_t(bytes.size()), 0,
                 reinterpret_cast<const sockaddr *>(&target), sizeof target);
    }
    // What has arrived, without waiting.
    QList<QByteArray> arrived()
    {
        QList<QByteArray> all;
        char buffer[2048];
        for (;;) {
            const ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got < 0)
                return all;
            all.append(QByteArray(buffer, got));
        }
    }

private:
    static sockaddr_in at(const QString &address, quint16 port)
    {
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(port);
        ::inet_pton(AF_INET, address.toLatin1().constData(), &where.sin_addr);
        return where;
    }
    int fd_;
};

class LanGames : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString problem = networks_.setUp();
        if (!problem.isEmpty())
            GTEST_SKIP() << "no two networks to test on: " << problem.toStdString();
    }
    TwoNetworks networks_;
};

TEST_F(LanGames, HostIsListedThereUpdatedAndGoneWhenItCloses)
{
    BobsCopy bob(networks_.thereFd());
    bob.start();
    lan::Announcement table = tableOf("Ann", 1, kPort);
    GameAnnouncer annsHost(kPort, [&table] { return table; });
    // Ann's own Play with Others window: it lists Bob's game, never hers.
    GameFinder annsList(kPort);
    annsList.setOwnGamePort([] { return kPort; });
    annsList.start();

    QElapsedTimer clock;
    clock.start();
    annsHost.start();
    ASSERT_TRUE(waitUntil([&] { return bool(bob.annsGame()); }, kPatienceMs));
    std::cout << "Bob's list showed Ann's game after " << clock.elapsed() << " ms\n";
    EXPECT_EQ(*bob.annsGame(), table);

    table.seatsTaken = 2;
    table.watchers = 1;
    table.playing = true;
    annsHost.announceNow();
    EXPECT_TRUE(waitUntil([&] { return bob.annsGame() == table; }, kPatienceMs))
        << "the seat change never showed";

    ASSERT_TRUE(waitUntil([&] { return !annsList.games().isEmpty(); }, kPatienceMs));
    ASSERT_EQ(annsList.games().size(), 1) << "Ann's copy lists her own game";
    EXPECT_EQ(annsList.games()[0].announcement.hostName, "Bob");
    EXPECT_EQ(annsList.games()[0].address, QHostAddress(TwoNetworks::kThere));

    // Junk straight at Bob's list, from Ann's computer, then a real change:
    // once Bob sees the change he has read the junk before it.
    RawSocket mallory;
    const QByteArray game = tableOf("Mallory", 3, 9999).build();
    QByteArray otherVersion = game;
    otherVersion[4] = char(lan::kProtocolVersion + 1);
    const QByteArray junk[] = {
        otherVersion,
        game + QByteArray(1, '\0'),
        game + game,
        game.left(game.size() - 1),
        QByteArray("ZNDR"),
        lan::buildQuery(),
        QByteArray(lan::kDatagramSize, char(0xFF)),
    };
    for (const QByteArray &datagram : junk)
        mallory.sendTo(datagram, TwoNetworks::kThere, kPort);
    table.seatsTaken = 3;
    annsHost.announceNow();
    ASSERT_TRUE(waitUntil([&] { return bob.annsGame() == table; }, kPatienceMs));
    EXPECT_EQ(bob.games().size(), 1) << "junk became a game";

    // The same way, a well-formed game does arrive: the junk was heard.
    mallory.sendTo(game, TwoNetworks::kThere, kPort);
    EXPECT_TRUE(waitUntil([&] { return bob.games().size() == 2; }, kPatienceMs));

    annsHost.stop();
    EXPECT_TRUE(waitUntil([&] { return !bob.annsGame(); }, kPatienceMs))
        << "the closed game is still listed";
    std::cout << "Bob's list lost Ann's game " << clock.elapsed() << " ms after she started\n";
}

TEST_F(LanGames, HostAnswersOnlyWellFormedQueriesFromItsNetworks)
{
    const lan::Announcement table = tableOf("Ann", 2, kPort);
    GameAnnouncer annsHost(kPort, [&table] { return table; });
    annsHost.start();

    // Both senders are on Bob's computer; the stranger's address is on a
    // network Ann's computer is not on, though it could send to it.
    std::unique_ptr<RawSocket> askerThere, strangerThere;
    networks_.there([&] {
        askerThere = std::make_unique<RawSocket>();
        strangerThere = std::make_unique<RawSocket>();
    });
    RawSocket &asker = *askerThere, &stranger = *strangerThere;
    ASSERT_TRUE(asker.bindTo(TwoNetworks::kThere));
    ASSERT_TRUE(stranger.bindTo(TwoNetworks::kStranger));
    QByteArray otherVersion = lan::buildQuery();
    otherVersion[4] = char(lan::kProtocolVersion + 1);
    QByteArray otherMagic = lan::buildQuery();
    otherMagic[0] = 'X';
    const QByteArray notQueries[] = {
        lan::buildQuery() + QByteArray(64, '\0'),
        lan::buildQuery().left(lan::kDatagramSize - 1),
        otherVersion,
        otherMagic,
        table.build(),
        QByteArray("ZNDR?"),
        QByteArray(9000, 'Z'),
    };
    for (const QByteArray &datagram : notQueries)
        asker.sendTo(datagram, TwoNetworks::kHere, kPort);
    stranger.sendTo(lan::buildQuery(), TwoNetworks::kHere, kPort);
    // Ann reads in order: her answer to this one comes after any other.
    asker.sendTo(lan::buildQuery(), TwoNetworks::kHere, kPort);

    QList<QByteArray> answers;
    ASSERT_TRUE(waitUntil(
        [&] {
            answers += asker.arrived();
            return !answers.isEmpty() && lan::Announcement::read(answers.last());
        },
        kPatienceMs))
        << "the well-formed query got no answer";
    ASSERT_EQ(answers.size(), 1) << "something else was answered as well";
    EXPECT_EQ(answers[0].size(), lan::buildQuery().size()) << "the answer outgrew the query";
    EXPECT_EQ(lan::Announcement::read(answers[0]), table);
    EXPECT_TRUE(stranger.arrived().isEmpty()) << "a sender off our networks got an answer";
}

} // namespace

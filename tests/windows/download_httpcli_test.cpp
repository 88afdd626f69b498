#include "download_server.h"
#include "sidewindow_print.h"

#include "tests/support/wait.h"
#include "windows/thttpcli.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Everything a client reports, in order, as text.
class Recorder
{
public:
    explicit Recorder(THttpCli &client)
    {
        QObject::connect(&client, &THttpCli::OnHeaderData, [this](const QByteArray &line) {
            log << "header " + QString::fromLatin1(line);
        });
        QObject::connect(&client, &THttpCli::OnDocBegin,
                         [this] { log << QStringLiteral("begin"); });
        QObject::connect(&client, &THttpCli::OnDocData, [this](qint64 count) {
            log << QStringLiteral("data");
            counts.push_back(count);
        });
        QObject::connect(&client, &THttpCli::OnRequestDone,
                         [this](THttpCli::Outcome o, int status, const QString &why) {
                             done = true;
                             outcome = o;
                             this->status = status;
                             reason = why;
                         });
    }

    QStringList log;
    std::vector<qint64> counts;
    bool done = false;
    THttpCli::Outcome outcome{};
    int status = 0;
    QString reason;
};

class HttpCliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        body.open(QIODevice::WriteOnly);
        client.setRcvdStream(&body);
    }

    void fetch(const QString &path)
    {
        client.setURL(server.url(path));
        ASSERT_TRUE(client.Get());
        ASSERT_TRUE(waitUntil([this] { return record.done; }));
    }

    DownloadServer server;
    THttpCli client;
    Recorder record{client};
    QBuffer body;
};

TEST_F(HttpCliTest, ReportsEachHeaderLineThenTheBodyThenTheEnd)
{
    const QByteArray content = DownloadServer::patternBody(200000);
    server.setReply(QStringLiteral("/file"), {"HTTP/1.0 200 Fine Thanks",
                                              {"Content-Type: application/octet-stream",
                                               "Content-Length: 200000", "X-Note: a: b"},
                                              content});
    fetch(QStringLiteral("/file"));

    ASSERT_GE(record.log.size(), 6);
    EXPECT_EQ(record.log.mid(0, 4),
              QStringList({"header Content-Type: application/octet-stream",
                           "header Content-Length: 200000", "header X-Note: a: b", "begin"}));
    // The rest is data only, counted up to the whole body.
    EXPECT_EQ(record.log.count(QStringLiteral("data")), record.log.size() - 4);
    EXPECT_TRUE(std::is_sorted(record.counts.begin(), record.counts.end()));
    EXPECT_EQ(record.counts.back(), 200000);
    EXPECT_EQ(record.outcome, THttpCli::Outcome::Done);
    EXPECT_EQ(record.status, 200);
    EXPECT_EQ(record.reason, QStringLiteral("Fine Thanks"));
    EXPECT_EQ(client.RcvdCount(), 200000);
    EXPECT_EQ(body.data(), content);
    EXPECT_FALSE(client.busy());
}

TEST_F(HttpCliTest, ErrorPageStaysOutOfTheStream)
{
    server.setReply(QStringLiteral("/secret"),
                    {"HTTP/1.0 403 Forbidden", {"Content-Length: 9"}, "Go away!!"});
    fetch(QStringLiteral("/secret"));
    EXPECT_EQ(record.log, QStringList{QStringLiteral("header Content-Length: 9")});
    EXPECT_EQ(record.outcome, THttpCli::Outcome::HttpError);
    EXPECT_EQ(record.status, 403);
    EXPECT_EQ(record.reason, QStringLiteral("Forbidden"));
    EXPECT_TRUE(body.data().isEmpty());
}

struct RedirectCase
{
    const char *name;
    QByteArray location; // "%PORT%" stands for the test server's port
    THttpCli::Outcome outcome;
    QByteArray body;
};

class HttpCliRedirectTest : public HttpCliTest, public ::testing::WithParamInterface<RedirectCase>
{
};

TEST_P(HttpCliRedirectTest, FollowsRedirectsOnTheWebOnly)
{
    QByteArray location = GetParam().location;
    location.replace("%PORT%", QByteArray::number(server.port()));
    server.setReply(QStringLiteral("/old"), {"HTTP/1.0 302 Found", {"Location: " + location}, {}});
    server.setReply(QStringLiteral("/new"), {"HTTP/1.0 200 OK", {"Content-Length: 5"}, "moved"});
    fetch(QStringLiteral("/old"));
    EXPECT_EQ(record.outcome, GetParam().outcome) << record.reason.toStdString();
    EXPECT_EQ(body.data(), GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(Redirects, HttpCliRedirectTest,
                         ::testing::Values(RedirectCase{"SameServer", "http://127.0.0.1:%PORT%/new",
                                                        THttpCli::Outcome::Done, "moved"},
                                           RedirectCase{"LocalFile", "file:///etc/hostname",
                                                        THttpCli::Outcome::HttpError, ""}),
                         [](const ::testing::TestParamInfo<RedirectCase> &info) {
                             return info.param.name;
                         });

TEST_F(HttpCliTest, StreamThatRefusesBytesEndsTheTransfer)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile readOnly(folder.filePath(QStringLiteral("target")));
    ASSERT_TRUE(readOnly.open(QIODevice::WriteOnly));
    readOnly.close();
    ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
    client.setRcvdStream(&readOnly);
    server.setReply(QStringLiteral("/file"), {"HTTP/1.0 200 OK", {"Content-Length: 4"}, "data"});
    fetch(QStringLiteral("/file"));
    EXPECT_EQ(record.outcome, THttpCli::Outcome::StreamError);
    EXPECT_FALSE(record.reason.isEmpty());
}

TEST_F(HttpCliTest, AbortDuringTheBodyEndsAtOnceAndReportsLater)
{
    server.setReply(
        QStringLiteral("/slow"),
        {"HTTP/1.0 200 OK", {"Content-Length: 1000"}, DownloadServer::patternBody(1000), 300});
    bool doneInsideAbort = false;
    QObject::connect(&client, &THttpCli::OnDocData, [&] {
        client.Abort();
        doneInsideAbort = record.done;
    });
    fetch(QStringLiteral("/slow"));

    EXPECT_FALSE(doneInsideAbort);
    EXPECT_EQ(record.log, QStringList({"header Content-Length: 1000", "begin", "data"}));
    EXPECT_EQ(record.outcome, THttpCli::Outcome::HttpError);
    EXPECT_EQ(record.status, 404);
    EXPECT_EQ(record.reason, QStringLiteral("Connection aborted on request"));
    EXPECT_TRUE(waitUntil([this] { return server.openConnections() == 0; }));
    // The client is free for the next transfer.
    server.setReply(QStringLiteral("/again"), {"HTTP/1.0 200 OK", {}, "ok"});
    record.done = false;
    body.buffer().clear();
    body.seek(0);
    QObject::disconnect(&client, &THttpCli::OnDocData, nullptr, nullptr);
    fetch(QStringLiteral("/again"));
    EXPECT_EQ(record.outcome, THttpCli::Outcome::Done);
    EXPECT_EQ(body.data(), QByteArray("ok"));
}

TEST_F(HttpCliTest, SecondGetWhileBusyIsRefused)
{
    server.setReply(QStringLiteral("/slow"),
                    {"HTTP/1.0 200 OK", {"Content-Length: 10"}, "0123456789", 2});
    client.setURL(server.url(QStringLiteral("/slow")));
    ASSERT_TRUE(client.Get());
    EXPECT_FALSE(client.Get());
    ASSERT_TRUE(waitUntil([this] { return client.RcvdCount() == 2; }));
    client.Abort();
    ASSERT_TRUE(waitUntil([this] { return record.done; }));
    EXPECT_EQ(server.requests().size(), 1);
}

TEST(HttpCliLifetime, EndingTheProgramMidTransferDropsTheConnection)
{
    DownloadServer server;
    ASSERT_TRUE(server.start());
    server.setReply(QStringLiteral("/slow"),
                    {"HTTP/1.0 200 OK", {"Content-Length: 100"}, QByteArray(100, 'z'), 10});
    auto client = std::make_unique<THttpCli>();
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    client->setRcvdStream(&sink);
    client->setURL(server.url(QStringLiteral("/slow")));
    ASSERT_TRUE(client->Get());
    ASSERT_TRUE(waitUntil([&] { return client->RcvdCount() == 10; }));
    client.reset();
    EXPECT_TRUE(waitUntil([&] { return server.openConnections() == 0; }));
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/fakemasterserver.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace orv::demo;

namespace {

struct Fetched
{
    bool finished = false;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    bool hasContentLength = false;
    QByteArray wwwAuthenticate;
};

Fetched fetch(QNetworkAccessManager &manager, QNetworkRequest request, int transferTimeoutMs = 5000)
{
    request.setTransferTimeout(transferTimeoutMs);
    QNetworkReply *reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(transferTimeoutMs + 5000, &loop, &QEventLoop::quit);
    loop.exec();
    Fetched result;
    result.finished = reply->isFinished();
    result.error = reply->error();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.hasContentLength = reply->hasRawHeader("Content-Length");
    result.wwwAuthenticate = reply->rawHeader("WWW-Authenticate");
    reply->deleteLater();
    return result;
}

QByteArray masterListBody()
{
    QByteArray body;
    for (int i = 2; i < 300; ++i)
        body += "127.0.0." + QByteArray::number(i % 250 + 2) + ':' + QByteArray::number(7000 + i) + '\n';
    return body;
}

// Sends raw bytes over TCP and returns everything the server sends back before closing.
QByteArray rawExchange(const FakeMasterServer &server, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(server.address(), server.port());
    if (!socket.waitForConnected(3000))
        return {};
    socket.write(request);
    QByteArray answer;
    const bool closed = QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        5000);
    EXPECT_TRUE(closed);
    return answer + socket.readAll();
}

} // namespace

TEST(FakeMasterServer, ServesBodiesAndRecordsTheRequest)
{
    FakeMasterServer server;
    ASSERT_TRUE(server.listen());
    server.setBody("/ut-servers.txt", masterListBody());
    QNetworkAccessManager manager;
    QNetworkRequest request(server.url("/ut-servers.txt?game=ut"));
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible)");
    const Fetched got = fetch(manager, request);
    EXPECT_EQ(got.error, QNetworkReply::NoError);
    EXPECT_EQ(got.status, 200);
    EXPECT_EQ(got.body, masterListBody());
    ASSERT_EQ(server.requestCount(), 1);
    const HttpRequestRecord &seen = server.requests().constFirst();
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.path, "/ut-servers.txt");
    EXPECT_EQ(seen.target, "/ut-servers.txt?game=ut");
    EXPECT_EQ(seen.header("User-Agent"), "Mozilla/3.0 (compatible)");
}

TEST(FakeMasterServer, DeliversTheWholeBodyInEveryTransferStyle)
{
    struct Case
    {
        const char *name;
        bool contentLength;
        int chunkSize;
        int chunkDelayMs;
    };
    const QList<Case> cases = {
        {"at once", true, 0, 0},
        {"slow chunks", true, 701, 15},
        {"closed to end", false, 0, 0},
        {"slow and closed to end", false, 1000, 10},
    };
    for (const Case &c : cases) {
        FakeMasterServer server;
        ASSERT_TRUE(server.listen());
        HttpRoute route;
        route.body = masterListBody();
        route.contentLength = c.contentLength;
        route.chunkSize = c.chunkSize;
        route.chunkDelayMs = c.chunkDelayMs;
        server.setRoute("/list.txt", route);
        QNetworkAccessManager manager;
        const Fetched got = fetch(manager, QNetworkRequest(server.url("/list.txt")));
        EXPECT_EQ(got.error, QNetworkReply::NoError) << c.name;
        EXPECT_EQ(got.status, 200) << c.name;
        EXPECT_EQ(got.body, masterListBody()) << c.name;
        EXPECT_EQ(got.hasContentLength, c.contentLength) << c.name;
    }
}

TEST(FakeMasterServer, ReportsErrorsWithTheirStatus)
{
    FakeMasterServer server;
    ASSERT_TRUE(server.listen());
    HttpRoute busy;
    busy.status = 503;
    busy.reason = "Busy Right Now";
    busy.body = "come back later";
    server.setRoute("/busy.txt", busy);
    server.setBody("/gone.txt", "x");
    server.removeRoute("/gone.txt");

    QNetworkAccessManager manager;
    const Fetched missing = fetch(manager, QNetworkRequest(server.url("/gone.txt")));
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.error, QNetworkReply::ContentNotFoundError);
    const Fetched unavailable = fetch(manager, QNetworkRequest(server.url("/busy.txt")));
    EXPECT_EQ(unavailable.status, 503);
    EXPECT_NE(unavailable.error, QNetworkReply::NoError);
    EXPECT_TRUE(rawExchange(server, "GET /busy.txt HTTP/1.0\r\n\r\n").startsWith("HTTP/1.1 503 Busy Right Now\r\n"));
}

TEST(FakeMasterServer, StalledResponseNeverFinishesUntilTheClientGivesUp)
{
    FakeMasterServer server;
    ASSERT_TRUE(server.listen());
    HttpRoute route;
    route.body = masterListBody();
    route.stallAfter = 100;
    server.setRoute("/stall.txt", route);
    QNetworkAccessManager manager;
    QNetworkRequest request(server.url("/stall.txt"));
    qint64 received = 0;
    request.setTransferTimeout(400);
    QNetworkReply *reply = manager.get(request);
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [&received, reply] { received += reply->readAll().size(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == 100; }, 3000));
    EXPECT_FALSE(reply->isFinished());
    EXPECT_EQ(server.openConnections(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reply->isFinished(); }, 5000));
    EXPECT_EQ(reply->error(), QNetworkReply::OperationCanceledError);
    delete reply;
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.openConnections() == 0; }, 3000));
}

TEST(FakeMasterServer, ChecksBasicCredentialsWhenAsked)
{
    FakeMasterServer server;
    ASSERT_TRUE(server.listen());
    HttpRoute route;
    route.body = "secret list";
    route.user = "orv";
    route.password = "s3cret";
    server.setRoute("/private.txt", route);

    struct Case
    {
        const char *name;
        QByteArray authorization;
        int status;
    };
    const QList<Case> cases = {
        {"none", {}, 401},
        {"wrong password", "Basic " + QByteArray("orv:nope").toBase64(), 401},
        {"other scheme", "Bearer abc", 401},
        {"right", "Basic " + QByteArray("orv:s3cret").toBase64(), 200},
    };
    for (const Case &c : cases) {
        QNetworkAccessManager manager;
        QNetworkRequest request(server.url("/private.txt"));
        if (!c.authorization.isEmpty())
            request.setRawHeader("Authorization", c.authorization);
        const Fetched got = fetch(manager, request);
        EXPECT_EQ(got.status, c.status) << c.name;
        EXPECT_EQ(got.body == "secret list", c.status == 200) << c.name;
        if (c.status == 401) {
            EXPECT_TRUE(got.wwwAuthenticate.startsWith("Basic")) << c.name;
        }
    }
}

TEST(FakeMasterServer, ReadsProxyFormTargetsAndRefusesHugeHeads)
{
    FakeMasterServer server;
    ASSERT_TRUE(server.listen());
    server.setBody("/list.txt", "127.0.0.2:7777\n");
    const QByteArray viaProxy =
        rawExchange(server, "GET http://127.0.0.1:" + QByteArray::number(server.port()) + "/list.txt HTTP/1.0\r\n\r\n");
    EXPECT_TRUE(viaProxy.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(viaProxy.endsWith("\r\n\r\n127.0.0.2:7777\n"));

    const QByteArray huge = "GET /list.txt HTTP/1.0\r\nX-Junk: " + QByteArray(100 * 1024, 'a');
    EXPECT_TRUE(rawExchange(server, huge).startsWith("HTTP/1.1 431 "));
}

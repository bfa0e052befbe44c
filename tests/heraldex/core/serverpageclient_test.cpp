// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/serverpageclient.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "heraldex/core/playerpoller.h"
#include "platform/registrystore.h"
#include "tests/heraldex/core/fakewebadmin.h"
#include "tests/heraldex/core/webadminpage.h"

using heraldex::core::Announcement;
using heraldex::core::EntryKind;
using heraldex::core::PageError;
using heraldex::core::PlayerPoller;
using heraldex::core::ServerLogin;
using heraldex::core::ServerPageClient;
using testsupport::FakeWebAdmin;
namespace page = testsupport::webadmin;

namespace {

struct Outcome
{
    QString page;
    PageError error = PageError::None;
    bool arrived = false;
};

Outcome open(ServerPageClient &client, const ServerLogin &login, int waitMs = 10000)
{
    QSignalSpy spy(&client, &ServerPageClient::pageOpened);
    client.OpenServerPage(login);
    Outcome outcome;
    outcome.arrived = spy.wait(waitMs);
    if (outcome.arrived) {
        outcome.page = spy.first().at(0).toString();
        outcome.error = spy.first().at(1).value<PageError>();
    }
    return outcome;
}

ServerLogin loginFor(const FakeWebAdmin &server, const QString &user, const QString &password)
{
    return {user, password, QStringLiteral("127.0.0.1"), server.portText()};
}

} // namespace

TEST(ServerPageClient, DownloadsThePlayersPageWithTheAdminLogin)
{
    FakeWebAdmin server("boss", "s3cret");
    ASSERT_TRUE(server.start());
    const QString players = page::page(page::humanRow(1, QStringLiteral("Zoë"), QStringLiteral("10.0.0.1")));
    server.setPage(players);
    ServerPageClient client;
    const Outcome outcome = open(client, loginFor(server, QStringLiteral("boss"), QStringLiteral("s3cret")));
    ASSERT_TRUE(outcome.arrived);
    EXPECT_EQ(outcome.error, PageError::None);
    EXPECT_EQ(outcome.page, players); // 8-bit text arrives unchanged
    ASSERT_FALSE(server.requests().isEmpty());
    EXPECT_EQ(server.requests().last().path, QByteArray("/ServerAdmin/current_players"));
    EXPECT_EQ(server.requests().last().userAgent, QByteArray("VB OpenUrl"));
    EXPECT_EQ(server.requests().last().host, QByteArray("127.0.0.1:") + server.portText().toLatin1());
}

TEST(ServerPageClient, CredentialsWithAddressCharactersReachTheRightServer)
{
    const std::pair<QByteArray, QByteArray> logins[] = {
        {"ad@min", "pass:word"}, {"a:b", "p@127.0.0.2:80/x"}, {"/slash", "?query#frag"},
        {"sp ace", "%41%"},      {"Zo\xeb", "p\xe4ss"}, // the game compares 8-bit text
    };
    for (const auto &[user, password] : logins) {
        SCOPED_TRACE(user.toStdString() + " / " + password.toStdString());
        FakeWebAdmin server(user, password);
        ASSERT_TRUE(server.start());
        server.setPage(page::page(QString()));
        ServerPageClient client;
        const Outcome outcome =
            open(client, loginFor(server, QString::fromLatin1(user), QString::fromLatin1(password)));
        ASSERT_TRUE(outcome.arrived);
        EXPECT_EQ(outcome.error, PageError::None);
        EXPECT_EQ(server.authorisedRequests(), 1);
        EXPECT_EQ(server.requests().last().path, QByteArray("/ServerAdmin/current_players"));
    }
}

TEST(ServerPageClient, WrongPasswordGivesNoPageAfterOneAttempt)
{
    FakeWebAdmin server("boss", "s3cret");
    ASSERT_TRUE(server.start());
    server.setPage(page::page(page::humanRow(1, QStringLiteral("Nick"), QStringLiteral("10.0.0.1"))));
    ServerPageClient client;
    const Outcome outcome = open(client, loginFor(server, QStringLiteral("boss"), QStringLiteral("wrong")));
    ASSERT_TRUE(outcome.arrived);
    EXPECT_TRUE(outcome.page.isEmpty());
    EXPECT_EQ(outcome.error, PageError::Refused);
    EXPECT_EQ(server.authorisedRequests(), 0);
    EXPECT_LE(server.requests().size(), 2);

    // A corrected password is used at once, not a remembered one.
    const Outcome fixed = open(client, loginFor(server, QStringLiteral("boss"), QStringLiteral("s3cret")));
    EXPECT_EQ(fixed.error, PageError::None);
    const Outcome wrongAgain = open(client, loginFor(server, QStringLiteral("boss"), QStringLiteral("old")));
    EXPECT_EQ(wrongAgain.error, PageError::Refused);
}

TEST(ServerPageClient, SilentServerTimesOut)
{
    FakeWebAdmin server("boss", "s3cret");
    ASSERT_TRUE(server.start());
    server.setMode(FakeWebAdmin::Mode::Silent);
    ServerPageClient client;
    client.setTimeout(std::chrono::milliseconds(400));
    const Outcome outcome = open(client, loginFor(server, QStringLiteral("boss"), QStringLiteral("s3cret")), 5000);
    ASSERT_TRUE(outcome.arrived);
    EXPECT_EQ(outcome.error, PageError::TimedOut);
    EXPECT_TRUE(outcome.page.isEmpty());
    EXPECT_FALSE(client.isBusy());
}

TEST(ServerPageClient, OversizedPageIsCutOff)
{
    FakeWebAdmin server("boss", "s3cret");
    ASSERT_TRUE(server.start());
    server.setPageBytes(QByteArray(300 * 1024, 'x'));
    ServerPageClient client;
    client.setMaxPageSize(64 * 1024);
    const Outcome outcome = open(client, loginFor(server, QStringLiteral("boss"), QStringLiteral("s3cret")));
    ASSERT_TRUE(outcome.arrived);
    EXPECT_EQ(outcome.error, PageError::TooLarge);
    EXPECT_TRUE(outcome.page.isEmpty());
}

TEST(ServerPageClient, FailuresGiveTheEmptyPage)
{
    FakeWebAdmin notFound("boss", "s3cret");
    ASSERT_TRUE(notFound.start());
    notFound.setMode(FakeWebAdmin::Mode::NotFound);

    // A port that was just free and is closed again refuses the connection.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    const QString closedPort = QString::number(probe.serverPort());
    probe.close();

    struct Case
    {
        const char *label;
        ServerLogin login;
        PageError error;
    };
    const Case cases[] = {
        {"not found", loginFor(notFound, QStringLiteral("boss"), QStringLiteral("s3cret")), PageError::HttpStatus},
        {"closed port",
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("127.0.0.1"), closedPort},
         PageError::Unreachable},
        {"empty address", {QStringLiteral("a"), QStringLiteral("b"), QString(), closedPort}, PageError::BadAddress},
        {"address with a path",
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("127.0.0.1/x"), closedPort},
         PageError::BadAddress},
        {"address with user info",
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("u@127.0.0.1"), closedPort},
         PageError::BadAddress},
        {"port not a number",
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("127.0.0.1"), QStringLiteral("80a")},
         PageError::BadAddress},
        {"port out of range",
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("127.0.0.1"), QStringLiteral("70000")},
         PageError::BadAddress},
    };
    ServerPageClient client;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const Outcome outcome = open(client, c.login);
        ASSERT_TRUE(outcome.arrived);
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_TRUE(outcome.page.isEmpty());
    }
}

TEST(ServerPageClient, AbandonedDownloadReportsNothing)
{
    FakeWebAdmin server("boss", "s3cret");
    ASSERT_TRUE(server.start());
    server.setMode(FakeWebAdmin::Mode::Silent);
    ServerPageClient client;
    QSignalSpy spy(&client, &ServerPageClient::pageOpened);
    client.OpenServerPage(loginFor(server, QStringLiteral("boss"), QStringLiteral("s3cret")));
    client.OpenServerPage({QStringLiteral("a"), QStringLiteral("b"), QString(), QString()});
    client.abort();
    EXPECT_FALSE(spy.wait(300));
}

namespace {

class PollerTest : public ::testing::Test
{
protected:
    PollerTest()
        : store(platform::RegistryRoot::LocalMachine, dir.filePath(QStringLiteral("machine.reg")))
        , server("boss", "s3cret")
        , poller(store)
    {
        poller.client().setTimeout(std::chrono::milliseconds(1500));
    }

    void SetUp() override { ASSERT_TRUE(server.start()); }

    QList<Announcement> pollOnce()
    {
        QSignalSpy spy(&poller, &PlayerPoller::pollFinished);
        EXPECT_TRUE(poller.PollServer(loginFor(server, QStringLiteral("boss"), QStringLiteral("s3cret"))));
        EXPECT_FALSE(poller.PollServer(loginFor(server, QStringLiteral("boss"), QStringLiteral("s3cret"))));
        if (!spy.wait(10000))
            return {{EntryKind::Friend, QStringLiteral("poll never finished")}};
        return spy.first().at(0).value<QList<Announcement>>();
    }

    void serve(const QString &rows) { server.setPage(page::page(rows)); }

    QTemporaryDir dir;
    platform::RegistryStore store;
    FakeWebAdmin server;
    PlayerPoller poller;
};

Announcement sound(EntryKind kind, const char *key)
{
    return {kind, QString::fromUtf8(key)};
}

} // namespace

TEST_F(PollerTest, AnnouncesArrivalsAcrossChangingPages)
{
    heraldex::core::Checklist checklist(store);
    ASSERT_TRUE(checklist.addEntry(EntryKind::Friend, QStringLiteral("Big Al")));
    ASSERT_TRUE(checklist.addEntry(EntryKind::Foe, QStringLiteral("198.51.100.7")));
    const QString al = page::humanRow(1, QStringLiteral("Big&nbsp;Al"), QStringLiteral("10.0.0.1"));
    const QString mallory = page::humanRow(2, QStringLiteral("Mallory"), QStringLiteral("198.51.100.7"));
    const QString bot = page::botRow(QStringLiteral("Big Al"));

    // "Big&nbsp;Al" shows as "BigAl", which is not the entry "Big Al"; the bot has no ban box.
    serve(al + bot);
    EXPECT_TRUE(pollOnce().isEmpty());

    ASSERT_TRUE(checklist.addEntry(EntryKind::Friend, QStringLiteral("BigAl")));
    serve(al + mallory);
    EXPECT_EQ(pollOnce(),
              (QList<Announcement>{sound(EntryKind::Friend, "Frd_BigAl"), sound(EntryKind::Foe, "Foe_198.51.100.7")}));
    EXPECT_TRUE(pollOnce().isEmpty());

    serve(mallory);
    EXPECT_TRUE(pollOnce().isEmpty());
    serve(al + mallory);
    EXPECT_EQ(pollOnce(), QList<Announcement>{sound(EntryKind::Friend, "Frd_BigAl")});

    // The server goes away: everyone is armed again and announced when it is back.
    server.setMode(FakeWebAdmin::Mode::Silent);
    EXPECT_TRUE(pollOnce().isEmpty());
    server.setMode(FakeWebAdmin::Mode::Answer);
    EXPECT_EQ(pollOnce().size(), 2);
}

TEST_F(PollerTest, BrokenPagesNeverStopThePolls)
{
    heraldex::core::Checklist checklist(store);
    ASSERT_TRUE(checklist.addEntry(EntryKind::Friend, QStringLiteral("Nick")));
    const QString nick = page::humanRow(1, QStringLiteral("Nick"), QStringLiteral("10.0.0.1"));
    const QString broken[] = {
        page::page(nick).left(page::page(nick).indexOf(QStringLiteral("Nick")) + 2),
        page::page(nick).remove(QStringLiteral("</div>")),
        page::page(nick).remove(QStringLiteral("align=\"center\">")),
        QString(200000, QLatin1Char('<')),
        QStringLiteral("<tr><td") + QString(5000, QChar(0xff)),
    };
    for (const QString &text : broken) {
        server.setPage(text);
        (void)pollOnce();
    }
    serve(nick);
    EXPECT_EQ(pollOnce(), QList<Announcement>{sound(EntryKind::Friend, "Frd_Nick")});
}

TEST_F(PollerTest, AbandonedPollLeavesTheWayFreeForTheNext)
{
    server.setMode(FakeWebAdmin::Mode::Silent);
    QSignalSpy spy(&poller, &PlayerPoller::pollFinished);
    ASSERT_TRUE(poller.PollServer(loginFor(server, QStringLiteral("boss"), QStringLiteral("s3cret"))));
    poller.abort();
    EXPECT_FALSE(poller.isBusy());
    server.setMode(FakeWebAdmin::Mode::Answer);
    serve(QString());
    EXPECT_TRUE(pollOnce().isEmpty());
    EXPECT_EQ(spy.size(), 1); // the abandoned poll never reported
}

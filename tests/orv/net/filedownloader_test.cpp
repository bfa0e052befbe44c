// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/filedownloader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "orv/demo/fakemasterserver.h"
#include "tests/orv/net/netwait.h"
#include "tests/support/testpaths.h"

using orv::demo::FakeMasterServer;
using orv::demo::HttpRoute;
using orv::net::FileDownloader;

namespace {

class FileDownloaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_server.listen());
        m_downloader.setTempFolder(m_dir.path());
        m_downloader.setPauseMs(0);
        QObject::connect(&m_downloader, &FileDownloader::logLine, &m_downloader,
                         [this](const QString &line) { m_log.append(line); });
        QObject::connect(&m_downloader, &FileDownloader::progressTextChanged, &m_downloader,
                         [this](const QString &text) { m_labels.append(text); });
    }

    QString target() const { return m_dir.filePath(QStringLiteral("internet.lst")); }
    QString url(const char *path) const { return m_server.url(path).toString(); }
    bool logHas(const QString &line) const { return m_log.contains(line); }
    bool noTempFilesLeft() const
    {
        return QDir(m_dir.path()).entryList({QStringLiteral("httptemp.orv*")}, QDir::Files).isEmpty();
    }

    QTemporaryDir m_dir;
    FakeMasterServer m_server;
    FileDownloader m_downloader;
    QStringList m_log;
    QStringList m_labels;
};

TEST_F(FileDownloaderTest, SavesTheBodySendsBothHeadersAndCleansUp)
{
    m_server.setBody("/servers.txt", "10.0.0.5:7777\r\n10.0.0.6:7000\r\n");
    ASSERT_TRUE(netwait::download(m_downloader, url("/servers.txt"), target()));

    EXPECT_EQ(testsupport::readFile(target()), QByteArray("10.0.0.5:7777\r\n10.0.0.6:7000\r\n"));
    ASSERT_EQ(m_server.requestCount(), 1);
    const auto &request = m_server.requests().first();
    EXPECT_EQ(request.method, QByteArray("GET"));
    EXPECT_EQ(request.header("user-agent"), QByteArray("Mozilla/3.0 (compatible)"));
    EXPECT_EQ(request.header("accept"), QByteArray("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*"));
    EXPECT_TRUE(logHas(QStringLiteral("Dowonload ") + url("/servers.txt") + QStringLiteral(" to file:") + target()));
    EXPECT_TRUE(logHas(QStringLiteral("Recived 30 of 30")));
    EXPECT_TRUE(logHas(QStringLiteral("Download complete.")));
    EXPECT_EQ(m_labels.last(), QStringLiteral("Complete"));
    EXPECT_TRUE(noTempFilesLeft());
    EXPECT_FALSE(m_downloader.isBusy());
}

TEST_F(FileDownloaderTest, ErrorStatusFailsAndKeepsTheOldTarget)
{
    ASSERT_TRUE(testsupport::writeFile(target(), "previous\r\n"));
    EXPECT_FALSE(netwait::download(m_downloader, url("/missing.txt"), target()));
    EXPECT_EQ(testsupport::readFile(target()), QByteArray("previous\r\n"));
    EXPECT_TRUE(logHas(QStringLiteral("Falied : 404 Not Found"))) << m_log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(m_labels.last(), QStringLiteral("Falied : Not Found"));
    EXPECT_TRUE(noTempFilesLeft());
}

TEST_F(FileDownloaderTest, SlowBodyReportsGrowingProgressUpToTheAnnouncedLength)
{
    HttpRoute route;
    route.body = QByteArray(4000, 'x');
    route.chunkSize = 1000;
    route.chunkDelayMs = 30;
    m_server.setRoute("/slow.txt", route);
    QList<qint64> values;
    qint64 maximum = -1;
    QObject::connect(&m_downloader, &FileDownloader::progressChanged, &m_downloader,
                     [&values](qint64 value) { values.append(value); });
    QObject::connect(&m_downloader, &FileDownloader::progressRangeChanged, &m_downloader,
                     [&maximum](qint64 value) { maximum = value; });

    ASSERT_TRUE(netwait::download(m_downloader, url("/slow.txt"), target()));
    EXPECT_EQ(maximum, 4000);
    ASSERT_GE(values.size(), 3);
    EXPECT_TRUE(std::is_sorted(values.cbegin(), values.cend()));
    EXPECT_EQ(values.last(), 4000);
    EXPECT_EQ(testsupport::readFile(target()).size(), 4000);
}

TEST_F(FileDownloaderTest, BodyWithoutContentLengthEndsWithTheConnection)
{
    HttpRoute route;
    route.body = "10.0.0.5:7777\n";
    route.contentLength = false;
    m_server.setRoute("/nolength.txt", route);
    bool rangeAnnounced = false;
    QObject::connect(&m_downloader, &FileDownloader::progressRangeChanged, &m_downloader,
                     [&rangeAnnounced](qint64) { rangeAnnounced = true; });
    ASSERT_TRUE(netwait::download(m_downloader, url("/nolength.txt"), target()));
    EXPECT_EQ(testsupport::readFile(target()), QByteArray("10.0.0.5:7777\n"));
    EXPECT_FALSE(rangeAnnounced);
}

TEST_F(FileDownloaderTest, CancelEndsANeverFinishingTransfer)
{
    HttpRoute route;
    route.body = QByteArray(1000, 'x');
    route.stallAfter = 100;
    m_server.setRoute("/stall.txt", route);
    ASSERT_TRUE(testsupport::writeFile(target(), "previous\r\n"));
    bool finished = false;
    QObject::connect(&m_downloader, &FileDownloader::waitFinished, &m_downloader, [&finished] { finished = true; });
    QTimer::singleShot(300, &m_downloader, [this] { m_downloader.cancel(); });

    EXPECT_FALSE(netwait::download(m_downloader, url("/stall.txt"), target()));
    EXPECT_TRUE(finished);
    EXPECT_TRUE(logHas(QStringLiteral("Falied : 200 Operation canceled")) ||
                logHas(QStringLiteral("Falied : 0 Operation canceled")))
        << m_log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(testsupport::readFile(target()), QByteArray("previous\r\n"));
    EXPECT_TRUE(noTempFilesLeft());
}

TEST_F(FileDownloaderTest, OverallTimeOutEndsANeverFinishingTransfer)
{
    HttpRoute route;
    route.body = QByteArray(1000, 'x');
    route.stallAfter = 10;
    m_server.setRoute("/stall.txt", route);
    m_downloader.setTimeoutMs(500);
    EXPECT_FALSE(netwait::download(m_downloader, url("/stall.txt"), target()));
    EXPECT_TRUE(m_labels.contains(QStringLiteral("Falied : Download timed out")));
    EXPECT_FALSE(QFile::exists(target()));
}

TEST_F(FileDownloaderTest, BodiesOverSixteenMegabytesAreRefused)
{
    const QByteArray huge(FileDownloader::kMaxDownloadSize + 1, 'a');
    for (const bool announced : {true, false}) {
        SCOPED_TRACE(announced ? "with Content-Length" : "without Content-Length");
        HttpRoute route;
        route.body = huge;
        route.contentLength = announced;
        m_server.setRoute("/huge.txt", route);
        m_labels.clear();
        EXPECT_FALSE(netwait::download(m_downloader, url("/huge.txt"), target()));
        EXPECT_TRUE(m_labels.contains(QStringLiteral("Falied : File is larger than 16 MB")));
        EXPECT_FALSE(QFile::exists(target()));
        EXPECT_TRUE(noTempFilesLeft());
    }
    // Exactly the limit is still a list.
    m_server.setBody("/limit.txt", QByteArray(FileDownloader::kMaxDownloadSize, 'a'));
    EXPECT_TRUE(netwait::download(m_downloader, url("/limit.txt"), target()));
}

TEST_F(FileDownloaderTest, SecondDownloadWhileBusyFailsAtOnce)
{
    m_server.setBody("/a.txt", "a\r\n");
    bool nestedResult = true;
    int nestedCalls = 0;
    QObject::connect(&m_downloader, &FileDownloader::waitStarted, &m_downloader, [&] {
        if (nestedCalls++ == 0)
            nestedResult = netwait::download(m_downloader, url("/a.txt"), target() + QStringLiteral(".2"));
    });
    EXPECT_TRUE(netwait::download(m_downloader, url("/a.txt"), target()));
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(m_server.requestCount(), 1);
}

TEST_F(FileDownloaderTest, RefusingProxyAndBadAddressesFail)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 deadPort = closed.serverPort();
    closed.close();
    m_server.setBody("/a.txt", "a\r\n");

    struct Case
    {
        const char *name;
        orv::net::ProxySettings proxy;
        QString url;
    };
    const QList<Case> cases = {
        {"refusing proxy", {true, QStringLiteral("127.0.0.1"), QString::number(deadPort)}, url("/a.txt")},
        {"proxy port not a number", {true, QStringLiteral("127.0.0.1"), QStringLiteral("31x")}, url("/a.txt")},
        {"refusing server", {}, QStringLiteral("http://127.0.0.1:%1/a.txt").arg(deadPort)},
        {"local file address", {}, QStringLiteral("file:///etc/hostname")},
        {"no address at all", {}, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        m_downloader.setProxy(c.proxy);
        EXPECT_FALSE(netwait::download(m_downloader, c.url, target()));
        EXPECT_TRUE(std::any_of(m_log.cbegin(), m_log.cend(),
                                [](const QString &l) { return l.startsWith(QStringLiteral("Falied : ")); }));
        EXPECT_FALSE(QFile::exists(target()));
    }
    EXPECT_EQ(m_server.requestCount(), 0);
}

TEST_F(FileDownloaderTest, UnwritableTemporaryFolderFailsSilently)
{
    m_server.setBody("/a.txt", "a\r\n");
    m_downloader.setTempFolder(m_dir.filePath(QStringLiteral("no/such/folder")));
    EXPECT_FALSE(netwait::download(m_downloader, url("/a.txt"), target()));
    EXPECT_FALSE(std::any_of(m_log.cbegin(), m_log.cend(),
                             [](const QString &l) { return l.startsWith(QStringLiteral("Falied")); }));
    EXPECT_EQ(m_server.requestCount(), 0);
    EXPECT_FALSE(m_downloader.isBusy());
}

// A real proxy: Debian's tinyproxy, in the foreground on a loopback port of its own.
class TinyProxy
{
public:
    ~TinyProxy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    QString start(const QString &folder)
    {
        const QString program = QStandardPaths::findExecutable(
            QStringLiteral("tinyproxy"), {QStringLiteral("/usr/bin"), QStringLiteral("/usr/sbin")});
        if (program.isEmpty())
            return QStringLiteral("tinyproxy is not installed (scripts/install-deps.sh installs it)");
        for (int attempt = 0; attempt < 5; ++attempt) {
            QTcpServer probe;
            if (!probe.listen(QHostAddress::LocalHost))
                return QStringLiteral("no free loopback port");
            m_port = probe.serverPort();
            probe.close();
            const QString config = folder + QStringLiteral("/tinyproxy.conf");
            const QByteArray text = "Port " + QByteArray::number(m_port) +
                                    "\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 30\nMaxClients 10\n"
                                    "LogLevel Info\nLogFile \"" +
                                    QFile::encodeName(folder) + "/tinyproxy.log\"\n";
            if (!testsupport::writeFile(config, text))
                return QStringLiteral("cannot write the tinyproxy configuration");
            m_process.start(program, {QStringLiteral("-d"), QStringLiteral("-c"), config});
            if (!m_process.waitForStarted(5000))
                return QStringLiteral("tinyproxy does not start");
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 5000 && m_process.state() == QProcess::Running) {
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, m_port);
                if (socket.waitForConnected(200))
                    return {};
                m_process.waitForFinished(50);
            }
            m_process.kill();
            m_process.waitForFinished(3000);
        }
        return QStringLiteral("tinyproxy did not listen: ") + QString::fromLocal8Bit(m_process.readAll());
    }

    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

TEST_F(FileDownloaderTest, GoesThroughTheProxyOnlyWhileProxyUseIsOn)
{
    TinyProxy proxy;
    const QString problem = proxy.start(m_dir.path());
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    m_server.setBody("/servers.txt", "10.0.0.5:7777\r\n");

    m_downloader.setProxy({true, QStringLiteral("127.0.0.1"), QString::number(proxy.port())});
    ASSERT_TRUE(netwait::download(m_downloader, url("/servers.txt"), target()))
        << m_log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(testsupport::readFile(target()), QByteArray("10.0.0.5:7777\r\n"));

    m_downloader.setProxy({false, QStringLiteral("127.0.0.1"), QString::number(proxy.port())});
    ASSERT_TRUE(netwait::download(m_downloader, url("/servers.txt"), target()));

    ASSERT_EQ(m_server.requestCount(), 2);
    const auto &viaProxy = m_server.requests().at(0);
    const auto &direct = m_server.requests().at(1);
    EXPECT_TRUE(viaProxy.header("via").contains("tinyproxy")) << viaProxy.header("via").toStdString();
    EXPECT_EQ(viaProxy.header("user-agent"), QByteArray("Mozilla/3.0 (compatible)"));
    EXPECT_TRUE(direct.header("via").isEmpty());
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/ui/tclansform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "orv/demo/fakemasterserver.h"
#include "orv/net/filedownloader.h"
#include "tests/support/testpaths.h"

using orv::demo::FakeMasterServer;
using orv::demo::HttpRoute;
using orv::net::FileDownloader;
using orv::tools::TClansForm;

namespace {

const QByteArray kSample = "[Clane.TFA]\r\n"
                           "FullName=The Fallen Angels\r\n"
                           "ShortName=TFA\r\n"
                           "Page=http://tfa.clans.example/\r\n"
                           "Member[1]=Raven\r\n"
                           "Member[2]=Seraph\r\n"
                           "\r\n"
                           "[MemberPI.Raven]\r\n"
                           "RealName=Jon Raven\r\n"
                           "Email=raven@tfa.example\r\n"
                           "ICQ=123456\r\n"
                           "Homepage=www.raven.example\r\n"
                           "\r\n"
                           "[Clane.NOP]\r\n"
                           "FullName=No Page Clan\r\n"
                           "ShortName=NOP\r\n"
                           "Page=N/A\r\n"
                           "Member[1]=Solo\r\n"
                           "Member[3]=Ghost\r\n"
                           "\r\n"
                           "[memberpi.Solo]\r\n"
                           "RealName=Only Name\r\n"
                           "\r\n"
                           "[Clane.BAD]\r\n"
                           "FullName=Mismatch\r\n"
                           "ShortName=OTHER\r\n"
                           "Page=\r\n"
                           "Member[1]=Lost\r\n"
                           "\r\n"
                           "[Clane.EVIL]\r\n"
                           "FullName=Local File\r\n"
                           "ShortName=EVIL\r\n"
                           "Page=file:///etc/passwd\r\n";

QStringList column(const QTreeWidget *list, int col)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(list->topLevelItem(row)->text(col));
    return texts;
}

QStringList detailColumn(const QTableWidget *grid, int col)
{
    QStringList texts;
    for (int row = 0; row < grid->rowCount(); ++row)
        texts.append(grid->item(row, col)->text());
    return texts;
}

class ClansFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_downloader.setTempFolder(m_dir.path());
        m_downloader.setPauseMs(0);
        m_form.setListPath(listPath());
        m_form.setUrlOpener([this](const QUrl &url) {
            m_opened.append(url.toString(QUrl::FullyEncoded));
            return true;
        });
        QObject::connect(&m_form, &TClansForm::clickSound, &m_form,
                         [this](const QString &name) { m_sounds.append(name); });
        QObject::connect(&m_form, &TClansForm::logLine, &m_form, [this](const QString &line) { m_log.append(line); });
    }

    QString listPath() const { return m_dir.filePath(QStringLiteral("clans.lst")); }
    void showWith(const QByteArray &file)
    {
        ASSERT_TRUE(testsupport::writeFile(listPath(), file));
        m_form.show();
    }
    void selectClan(int row) { m_form.clansList()->setCurrentItem(m_form.clansList()->topLevelItem(row)); }
    void selectMember(int row) { m_form.membersList()->setCurrentItem(m_form.membersList()->topLevelItem(row)); }
    void doubleClickClan(int row)
    {
        QTreeWidget *list = m_form.clansList();
        const QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    // Opens the pop-up menu over a control the way a right click does, and closes it again.
    void openMenu(QWidget *control)
    {
        emit control->customContextMenuRequested(QPoint(5, 5));
        m_form.clanesMenu()->hide();
    }

    QTemporaryDir m_dir;
    FileDownloader m_downloader;
    TClansForm m_form{m_downloader};
    QStringList m_opened;
    QStringList m_sounds;
    QStringList m_log;
};

TEST_F(ClansFormTest, ShowingListsTheClansInFileOrder)
{
    showWith(kSample);
    EXPECT_EQ(m_form.windowTitle(), QStringLiteral("Unreal Clans"));
    QTreeWidget *clans = m_form.clansList();
    EXPECT_EQ(column(clans, 0), (QStringList{"The Fallen Angels", "No Page Clan", "Mismatch", "Local File"}));
    EXPECT_EQ(column(clans, 1), (QStringList{"TFA", "NOP", "OTHER", "EVIL"}));
    EXPECT_EQ(column(clans, 2), (QStringList{"http://tfa.clans.example/", "N/A", "", "file:///etc/passwd"}));
    EXPECT_FALSE(clans->topLevelItem(0)->icon(0).isNull());
    EXPECT_EQ(clans->headerItem()->text(1), QStringLiteral("Short"));
    EXPECT_EQ(clans->header()->sectionSize(1), 60);
    EXPECT_FALSE(clans->header()->sectionsClickable());
    EXPECT_EQ(m_form.membersList()->topLevelItemCount(), 0);
    EXPECT_EQ(detailColumn(m_form.personalInfo(), 0), (QStringList{"RealName", "Email", "ICQ", "Homepage"}));
    EXPECT_EQ(detailColumn(m_form.personalInfo(), 1), (QStringList{"", "", "", ""}));
    EXPECT_TRUE(m_log.isEmpty());
}

TEST_F(ClansFormTest, SelectingClansAndMembers)
{
    struct Case
    {
        const char *name;
        int clan;
        QStringList members;
        int member; // -1: none selected
        QStringList details;
    };
    const Case cases[] = {
        {"members and their details",
         0,
         {"Raven", "Seraph"},
         0,
         {"Jon Raven", "raven@tfa.example", "123456", "www.raven.example"}},
        {"a member without details", 0, {"Raven", "Seraph"}, 1, {"", "", "", ""}},
        {"a gap gives an empty row; a lower-case section serves Solo", 1, {"Solo", ""}, 0, {"Only Name", "", "", ""}},
        {"the empty row has no details", 1, {"Solo", ""}, 1, {"", "", "", ""}},
        {"a short name that differs from the section name lists nobody", 2, {}, -1, {"", "", "", ""}},
    };
    showWith(kSample);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        selectClan(c.clan);
        EXPECT_EQ(column(m_form.membersList(), 0), c.members);
        EXPECT_EQ(detailColumn(m_form.personalInfo(), 1), (QStringList{"", "", "", ""}));
        if (c.member >= 0)
            selectMember(c.member);
        EXPECT_EQ(detailColumn(m_form.personalInfo(), 1), c.details);
        // Another clan empties the details again.
        selectClan(c.clan == 0 ? 1 : 0);
        EXPECT_EQ(detailColumn(m_form.personalInfo(), 1), (QStringList{"", "", "", ""}));
    }
}

TEST_F(ClansFormTest, DoubleClickOpensOnlyWebPages)
{
    struct Case
    {
        const char *name;
        int clan;
        QStringList opened;
        bool logged;
    };
    const Case cases[] = {
        {"a web page", 0, {"http://tfa.clans.example/"}, false},
        {"N/A is no page", 1, {}, false},
        {"an empty page opens nothing", 2, {}, true},
        {"a local file is not handed to the desktop", 3, {}, true},
    };
    showWith(kSample);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_opened.clear();
        m_log.clear();
        doubleClickClan(c.clan);
        EXPECT_EQ(m_opened, c.opened);
        EXPECT_EQ(!m_log.isEmpty(), c.logged);
    }
}

TEST_F(ClansFormTest, MenuItemsAreDecidedAsTheMenuOpens)
{
    showWith(kSample);
    EXPECT_FALSE(m_form.copyInfoAction()->isEnabled());

    openMenu(m_form.clansList());
    EXPECT_FALSE(m_form.goClanAction()->isEnabled());
    EXPECT_FALSE(m_form.goMemberAction()->isEnabled());
    EXPECT_FALSE(m_form.writeMailAction()->isEnabled());
    EXPECT_FALSE(m_form.copyInfoAction()->isEnabled());

    selectClan(0);
    selectMember(0);
    // Not yet decided: the menu has not opened since.
    EXPECT_FALSE(m_form.copyInfoAction()->isEnabled());
    openMenu(m_form.membersList());
    EXPECT_TRUE(m_form.goClanAction()->isEnabled());
    EXPECT_TRUE(m_form.goMemberAction()->isEnabled());
    EXPECT_TRUE(m_form.writeMailAction()->isEnabled());
    EXPECT_TRUE(m_form.copyInfoAction()->isEnabled());

    selectClan(1);
    selectMember(0);
    openMenu(m_form.personalInfo());
    EXPECT_TRUE(m_form.goClanAction()->isEnabled());
    EXPECT_FALSE(m_form.goMemberAction()->isEnabled());
    EXPECT_FALSE(m_form.writeMailAction()->isEnabled());
    EXPECT_TRUE(m_form.copyInfoAction()->isEnabled());

    const QStringList items = [this] {
        QStringList texts;
        for (const QAction *action : m_form.clanesMenu()->actions())
            texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }();
    EXPECT_EQ(items, (QStringList{"Go clane homepage", "Go to member homepage", "Wtite mail", "-",
                                  "Copy personal info to clipboard"}));
}

TEST_F(ClansFormTest, MenuCommandsOpenCopyAndMail)
{
    showWith(kSample);
    selectClan(0);
    selectMember(0);
    openMenu(m_form.membersList());

    m_form.goClanAction()->trigger();
    m_form.goMemberAction()->trigger();
    m_form.writeMailAction()->trigger();
    EXPECT_EQ(m_opened,
              (QStringList{"http://tfa.clans.example/", "http://www.raven.example", "mailto:raven@tfa.example"}));

    // The shortcut copies too, from anywhere in the window.
    m_form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));
    m_form.membersList()->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(m_form.membersList(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("Jon Raven,raven@tfa.example,123456,www.raven.example"));

    // A member with only a real name: the name and three commas.
    selectClan(1);
    selectMember(0);
    m_form.copyInfoAction()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Only Name,,,"));
}

TEST_F(ClansFormTest, ButtonsPlayTheirSoundsAndOpenTheSitePages)
{
    showWith(kSample);
    m_form.setWebSite(QUrl(QStringLiteral("http://www.orvane.invalid")));
    m_form.registerButton()->click();
    m_form.newsButton()->click();
    EXPECT_EQ(m_opened, (QStringList{"http://www.orvane.invalid/clanreg.htm", "http://www.orvane.invalid/news.htm"}));
    EXPECT_EQ(m_sounds, (QStringList{"shot.wav", "shot.wav"}));
    EXPECT_EQ(m_form.registerButton()->toolTip(), QStringLiteral("Register your Clan on our web site"));

    m_form.closeButton()->click();
    EXPECT_EQ(m_sounds.last(), QStringLiteral("select.wav"));
    EXPECT_FALSE(m_form.isVisible());
    // Closing drops the lists and the file.
    EXPECT_EQ(m_form.clansList()->topLevelItemCount(), 0);
    EXPECT_FALSE(m_form.clans().isLoaded());
}

TEST_F(ClansFormTest, EscPressesClose)
{
    showWith(kSample);
    QTest::keyClick(m_form.clansList(), Qt::Key_Escape);
    EXPECT_FALSE(m_form.isVisible());
    EXPECT_EQ(m_sounds, QStringList{"select.wav"});
}

TEST_F(ClansFormTest, EveryShowRereadsTheFile)
{
    struct Case
    {
        const char *name;
        QByteArray file; // empty: no file
        QStringList clans;
    };
    const Case cases[] = {
        {"the sample", kSample, {"The Fallen Angels", "No Page Clan", "Mismatch", "Local File"}},
        {"a replaced file", "[Clane.NEW]\r\nFullName=Newcomers\r\nShortName=NEW\r\n", {"Newcomers"}},
        {"a file without sections", "FullName=Loose\r\n", {}},
        {"no file", {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(listPath());
        if (!c.file.isEmpty()) {
            ASSERT_TRUE(testsupport::writeFile(listPath(), c.file));
        }
        m_form.show();
        EXPECT_EQ(column(m_form.clansList(), 0), c.clans);
        m_form.close();
    }
    EXPECT_TRUE(m_log.isEmpty());
}

// The download against a web server on loopback.
class ClansDownloadTest : public ClansFormTest
{
protected:
    void SetUp() override
    {
        ClansFormTest::SetUp();
        ASSERT_TRUE(m_server.listen(QHostAddress::LocalHost));
        m_form.setWebSite(m_server.url(""));
    }

    // "Download information" to its end: true when the list was fetched.
    bool download()
    {
        QSignalSpy done(&m_form, &TClansForm::informationDownloaded);
        if (!m_form.downloadInformation() || !done.wait(30000))
            return false;
        return done.first().first().toBool();
    }

    FakeMasterServer m_server;
};

TEST_F(ClansDownloadTest, DownloadReplacesTheFileAndReloads)
{
    showWith("[Clane.OLD]\r\nFullName=Old Timers\r\nShortName=OLD\r\n");
    ASSERT_EQ(column(m_form.clansList(), 0), QStringList{"Old Timers"});
    m_server.setBody("/files/clans.lst", kSample);
    QSignalSpy waitShown(&m_downloader, &FileDownloader::waitStarted);
    QSignalSpy done(&m_form, &TClansForm::informationDownloaded);

    m_form.downloadButton()->click();
    ASSERT_TRUE(done.wait(30000));

    EXPECT_EQ(m_sounds, QStringList{"shot.wav"});
    ASSERT_EQ(m_server.requestCount(), 1);
    EXPECT_EQ(m_server.requests().first().path, QByteArray("/files/clans.lst"));
    EXPECT_EQ(waitShown.count(), 1);
    EXPECT_EQ(testsupport::readFile(listPath()), kSample);
    EXPECT_EQ(column(m_form.clansList(), 0),
              (QStringList{"The Fallen Angels", "No Page Clan", "Mismatch", "Local File"}));
}

TEST_F(ClansDownloadTest, FailedDownloadKeepsTheFileAndStillReloads)
{
    struct Case
    {
        const char *name;
        HttpRoute route;
    };
    HttpRoute missing;
    missing.status = 404;
    HttpRoute cut;
    cut.body = kSample;
    cut.stallAfter = 40;
    const Case cases[] = {{"not found", missing}, {"a transfer that never ends", cut}};
    m_downloader.setTimeoutMs(1500);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        showWith("[Clane.OLD]\r\nFullName=Old Timers\r\nShortName=OLD\r\n");
        m_server.setRoute("/files/clans.lst", c.route);
        selectClan(0);
        EXPECT_FALSE(download());
        EXPECT_EQ(testsupport::readFile(listPath()),
                  QByteArray("[Clane.OLD]\r\nFullName=Old Timers\r\nShortName=OLD\r\n"));
        // Reloaded: the clan is listed again, with no row selected.
        EXPECT_EQ(column(m_form.clansList(), 0), QStringList{"Old Timers"});
        EXPECT_EQ(m_form.clansList()->currentItem(), nullptr);
        m_form.close();
    }
}

TEST_F(ClansDownloadTest, DownloadGoesThroughTheProxyOfThatMoment)
{
    // The proxy is the loopback server, so the default site's reserved name is never looked up.
    m_form.setWebSite(QUrl(QStringLiteral("http://www.orvane.invalid")));
    bool useProxy = true;
    m_form.setProxySource([this, &useProxy] {
        return orv::net::ProxySettings{useProxy, m_server.address().toString(), QString::number(m_server.port())};
    });
    m_server.setBody("/files/clans.lst", kSample);
    showWith({});
    ASSERT_TRUE(download());
    ASSERT_EQ(m_server.requestCount(), 1);
    EXPECT_EQ(m_server.requests().first().target, QByteArray("http://www.orvane.invalid/files/clans.lst"));
    EXPECT_EQ(m_form.clansList()->topLevelItemCount(), 4);

    // Switched off: the next download goes straight to the site, here a closed loopback
    // port, and fails; through the proxy it would have reached the server again.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    m_form.setWebSite(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(closedPort)));
    useProxy = false;
    EXPECT_FALSE(download());
    EXPECT_EQ(m_server.requestCount(), 1);
    EXPECT_EQ(m_form.clansList()->topLevelItemCount(), 4);
}

} // namespace

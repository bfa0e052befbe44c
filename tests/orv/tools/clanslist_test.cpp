// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/clanslist.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/tools/clanlinks.h"
#include "tests/support/testpaths.h"

using orv::tools::ClanEntry;
using orv::tools::ClansList;
using orv::tools::MemberInfo;
namespace clanlinks = orv::tools::clanlinks;

namespace {

ClansList loaded(QByteArrayView bytes)
{
    ClansList list;
    list.loadFromBytes(bytes);
    return list;
}

} // namespace

TEST(ClansList, ListsClanSectionsInFileOrder)
{
    struct Case
    {
        const char *name;
        QByteArray file;
        QList<ClanEntry> clans;
    };
    const Case cases[] = {
        {"clans in section order, other sections skipped",
         "[Clane.ABC]\r\nFullName=Alpha Team\r\nShortName=ABC\r\nPage=http://abc.example/\r\n"
         "[MemberPI.Bob]\r\nRealName=Bob\r\n"
         "[Clane.XYZ]\r\nFullName=Xylophones\r\nShortName=XYZ\r\nPage=N/A\r\n",
         {{"Alpha Team", "ABC", "http://abc.example/"}, {"Xylophones", "XYZ", "N/A"}}},
        {"missing keys give empty texts", "[Clane.Q]\r\nMember[1]=Quiet\r\n", {{"", "", ""}}},
        {"a clan section without lines is not listed",
         "[Clane.Empty]\r\n\r\n\r\n[Clane.F]\r\nFullName=Full\r\n",
         {{"Full", "", ""}}},
        {"the marker's letter case counts", "[clane.low]\r\nFullName=Low\r\n[CLANE.UP]\r\nFullName=Up\r\n", {}},
        {"the marker inside other text still makes a clan",
         "[OldClane.X]\r\nFullName=Old\r\nShortName=X\r\n[MemberPI.Clane.Bob]\r\nRealName=Rob\r\n",
         {{"Old", "X", ""}, {"", "", ""}}},
        {"a repeated section keeps its first occurrence",
         "[Clane.D]\r\nFullName=First\r\n[CLANE.D]\r\nFullName=Second\r\n[Clane.D]\r\nFullName=Third\r\n",
         {{"First", "", ""}}},
        {"no sections at all", "FullName=Loose\r\nShortName=L\r\n", {}},
        {"lines before the first section are dropped",
         "FullName=Lost\r\n[Clane.K]\r\nShortName=K\r\n",
         {{"", "K", ""}}},
        {"keys ignore case and the first line wins",
         "[Clane.C]\r\nfullname=first\r\nFULLNAME=second\r\nshortNAME=C\r\n",
         {{"first", "C", ""}}},
        {"values keep their blanks and '=' signs",
         "[Clane.S]\r\nFullName= Spaced = Out \r\nPage=a=b\r\n",
         {{" Spaced = Out ", "", "a=b"}}},
        {"LF and CR line ends", "[Clane.L]\nFullName=Lf\n[Clane.R]\rFullName=Cr\r", {{"Lf", "", ""}, {"Cr", "", ""}}},
        {"8-bit names stay as bytes",
         "[Clane.\xC4]\r\nFullName=\xC4rger\r\nShortName=\xC4\r\n",
         {{"\xC4rger", "\xC4", ""}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ClansList list = loaded(c.file);
        EXPECT_TRUE(list.isLoaded());
        EXPECT_EQ(list.clans(), c.clans);
    }
}

TEST(ClansList, MembersAreNumberedLinesOfTheShortNamesSection)
{
    struct Case
    {
        const char *name;
        QByteArray file;
        QByteArray shortName;
        QList<QByteArray> members;
    };
    const Case cases[] = {
        {"numbered members", "[Clane.A]\r\nShortName=A\r\nMember[1]=Ann\r\nMember[2]=Ben\r\n", "A", {"Ann", "Ben"}},
        {"numbers out of order", "[Clane.A]\r\nMember[2]=Ben\r\nMember[1]=Ann\r\n", "A", {"Ann", "Ben"}},
        // Two lines, so two rows; Member[2] does not exist and Member[3] is never asked for.
        {"a gap in the numbers", "[Clane.A]\r\nMember[1]=Ann\r\nMember[3]=Cid\r\n", "A", {"Ann", ""}},
        {"the section is found without regard to case", "[Clane.ABC]\r\nMember[1]=Ann\r\n", "abc", {"Ann"}},
        {"a short name that is not the section's end finds nothing",
         "[Clane.ABC]\r\nShortName=XYZ\r\nMember[1]=Ann\r\n",
         "XYZ",
         {}},
        {"only lines with the marker as written are counted",
         "[Clane.A]\r\nMember[1]=Ann\r\nmember[2]=Ben\r\n",
         "A",
         {"Ann"}},
        {"the marker in another line adds a row",
         "[Clane.A]\r\nMember[1]=Ann\r\nNote=see Member[1]\r\nMember[2]=Ben\r\n",
         "A",
         {"Ann", "Ben", ""}},
        {"a key with blanks is not the numbered key", "[Clane.A]\r\nMember[1] = Ann\r\n", "A", {""}},
        {"the first of two equal keys wins", "[Clane.A]\r\nMember[1]=Ann\r\nMEMBER[1]=Other\r\n", "A", {"Ann"}},
        {"a missing section", "[Clane.A]\r\nMember[1]=Ann\r\n", "B", {}},
        {"an empty short name looks up the section \"Clane.\"", "[Clane.]\r\nMember[1]=Nobody\r\n", "", {"Nobody"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(loaded(c.file).members(c.shortName), c.members);
    }
}

TEST(ClansList, MemberDetailsComeFromTheMemberPISection)
{
    const QByteArray file = "[MemberPI.Bob]\r\nRealName=Robert Smith\r\nEmail=bob@clan.example\r\nICQ=1234\r\n"
                            "Homepage=www.bob.example\r\n"
                            "[memberpi.Solo]\r\nrealname=Only Name\r\n"
                            "[MemberPI.Odd]\r\nEmail = spaced\r\nHomepage=\r\n";
    struct Case
    {
        const char *name;
        QByteArray nickname;
        MemberInfo info;
    };
    const Case cases[] = {
        {"all four values", "Bob", {"Robert Smith", "bob@clan.example", "1234", "www.bob.example"}},
        {"the nickname matches without regard to case",
         "BOB",
         {"Robert Smith", "bob@clan.example", "1234", "www.bob.example"}},
        {"a lower-case section serves the member", "Solo", {"Only Name", "", "", ""}},
        {"keys must match whole: blanks count", "Odd", {"", "", "", ""}},
        {"no section", "Nobody", {}},
        {"an empty nickname", "", {}},
    };
    const ClansList list = loaded(file);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(list.memberInfo(c.nickname), c.info);
    }
}

TEST(ClansList, LoadingFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.lst"));
    const QString noSections = dir.filePath(QStringLiteral("nosections.lst"));
    const QString good = dir.filePath(QStringLiteral("clans.lst"));
    const QString folder = dir.filePath(QStringLiteral("folder.lst"));
    ASSERT_TRUE(testsupport::writeFile(noSections, "just some text\r\n"));
    ASSERT_TRUE(testsupport::writeFile(good, "[Clane.G]\r\nFullName=Good\r\nShortName=G\r\nMember[1]=Gil\r\n"));
    ASSERT_TRUE(QDir().mkpath(folder));

    ClansList list;
    ASSERT_TRUE(list.load(good));
    EXPECT_TRUE(list.isLoaded());
    EXPECT_EQ(list.members("G"), QList<QByteArray>{"Gil"});

    // Loading another file replaces everything, even when that fails.
    EXPECT_TRUE(list.load(missing));
    EXPECT_FALSE(list.isLoaded());
    EXPECT_TRUE(list.clans().isEmpty());
    EXPECT_TRUE(list.members("G").isEmpty());

    ASSERT_TRUE(list.load(good));
    EXPECT_TRUE(list.load(noSections));
    EXPECT_TRUE(list.isLoaded());
    EXPECT_TRUE(list.clans().isEmpty());

    ASSERT_TRUE(list.load(good));
    const auto status = list.load(folder);
    EXPECT_FALSE(status);
    EXPECT_FALSE(list.isLoaded());
    EXPECT_TRUE(list.clans().isEmpty());
    EXPECT_EQ(list.memberInfo("Gil"), MemberInfo{});
}

TEST(ClansList, LargeClanIsReadWhole)
{
    constexpr int kMembers = 100000;
    QByteArray file = "[Clane.Big]\r\nFullName=Big\r\nShortName=Big\r\n";
    for (int k = kMembers; k >= 1; --k)
        file.append("Member[").append(QByteArray::number(k)).append("]=n").append(QByteArray::number(k)).append("\r\n");
    const QList<QByteArray> members = loaded(file).members("Big");
    ASSERT_EQ(members.size(), kMembers);
    EXPECT_EQ(members.first(), QByteArray("n1"));
    EXPECT_EQ(members[4999], QByteArray("n5000"));
    EXPECT_EQ(members.last(), QByteArray("n100000"));
}

// Random bytes built from the file's own markers: whatever the file holds, every clan,
// member and detail can be read back without a crash, and every listed clan comes from a
// section whose name carries the marker.
TEST(ClansList, SurvivesRandomFiles)
{
    const QByteArrayList pieces = {
        "[",    "]",    "Clane.",   "MemberPI.",         "Member[", "=", "\r\n",     "\n", "\r",
        "1",    "2",    "]=",       QByteArray(1, '\0'), "\x1a",    " ", "FullName", "A",  "ShortName",
        "Page", "\xff", "Homepage", "[Clane.A]\r\n"};
    QRandomGenerator random(20261209);
    for (int round = 0; round < 400; ++round) {
        QByteArray file;
        const int length = random.bounded(200);
        for (int i = 0; i < length; ++i)
            file.append(pieces[random.bounded(int(pieces.size()))]);
        const ClansList list = loaded(file);
        int withMarker = 0;
        for (qsizetype i = 0; i + 1 < file.size(); ++i)
            withMarker += file.mid(i).startsWith("Clane.") ? 1 : 0;
        EXPECT_LE(list.clans().size(), withMarker) << file.toHex().constData();
        for (const ClanEntry &clan : list.clans()) {
            for (const QByteArray &member : list.members(clan.shortName))
                (void)list.memberInfo(member);
        }
    }
}

TEST(ClanLinks, SitePagesAndTheDefaultSite)
{
    struct Case
    {
        const char *site;
        const char *list;
        const char *registration;
        const char *news;
    };
    const Case cases[] = {
        {"http://www.orvane.invalid", "http://www.orvane.invalid/files/clans.lst",
         "http://www.orvane.invalid/clanreg.htm", "http://www.orvane.invalid/news.htm"},
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080/files/clans.lst", "http://127.0.0.1:8080/clanreg.htm",
         "http://127.0.0.1:8080/news.htm"},
        {"https://site.invalid/orvane//", "https://site.invalid/orvane/files/clans.lst",
         "https://site.invalid/orvane/clanreg.htm", "https://site.invalid/orvane/news.htm"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.site);
        const QUrl site(QString::fromLatin1(c.site));
        EXPECT_EQ(clanlinks::clansListUrl(site).toString(), QString::fromLatin1(c.list));
        EXPECT_EQ(clanlinks::registrationPageUrl(site).toString(), QString::fromLatin1(c.registration));
        EXPECT_EQ(clanlinks::newsPageUrl(site).toString(), QString::fromLatin1(c.news));
    }
    // The default site is on a reserved domain, never on a host somebody else owns.
    EXPECT_TRUE(clanlinks::defaultWebSite().host().endsWith(QStringLiteral(".invalid")));
}

TEST(ClanLinks, OnlyWebAddressesAreOpened)
{
    struct Case
    {
        const char *text;
        const char *url; // nullptr: refused
    };
    const Case cases[] = {
        {"http://clan.example/", "http://clan.example/"},
        {"https://clan.example/members.htm", "https://clan.example/members.htm"},
        {"HTTP://CLAN.EXAMPLE/", "http://clan.example/"},
        {"www.clan.example", "http://www.clan.example"},
        {"  http://clan.example/  ", "http://clan.example/"},
        {"", nullptr},
        {"N/A", nullptr},
        {"clan.example", nullptr},
        {"file:///etc/passwd", nullptr},
        {"/usr/bin/xterm", nullptr},
        {"C:\\Windows\\notepad.exe", nullptr},
        {"javascript:alert(1)", nullptr},
        {"ftp://files.example/", nullptr},
        {"http://", nullptr},
        {"http://clan.example/\r\nX", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const auto url = clanlinks::webPageUrl(QString::fromLatin1(c.text));
        if (!c.url) {
            EXPECT_FALSE(url.has_value()) << url->toString().toStdString();
            continue;
        }
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->toString(), QString::fromLatin1(c.url));
    }
}

TEST(ClanLinks, MailAddressesStayOneRecipient)
{
    struct Case
    {
        const char *email;
        const char *url; // nullptr: refused
    };
    const Case cases[] = {
        {"bob@clan.example", "mailto:bob@clan.example"},
        {" bob@clan.example ", "mailto:bob@clan.example"},
        {"bob@clan.example?attach=/etc/passwd", "mailto:bob@clan.example%3Fattach=/etc/passwd"},
        {"bob@clan.example#x", "mailto:bob@clan.example%23x"},
        {"100%@clan.example", "mailto:100%25@clan.example"},
        {"", nullptr},
        {"bob@clan.example\r\nBcc: all@example", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.email);
        const auto url = clanlinks::mailtoUrl(QString::fromLatin1(c.email));
        if (!c.url) {
            EXPECT_FALSE(url.has_value());
            continue;
        }
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->toString(QUrl::FullyEncoded), QString::fromLatin1(c.url));
    }
}

TEST(ClansList, ReadsTheSampleDirectory)
{
    ClansList list;
    ASSERT_TRUE(list.load(testsupport::dataPath(QStringLiteral("orv/tools/clans.lst"))));
    ASSERT_EQ(list.clans().size(), 6);
    EXPECT_EQ(list.clans()[3], (ClanEntry{"Redeemer Mafia", "RDM", "www.redeemer-mafia.example"}));
    EXPECT_EQ(list.members("RDM"), (QList<QByteArray>{"Don Warhead", "Capo", "Nuke'em"}));
    EXPECT_EQ(list.memberInfo("Don Warhead"),
              (MemberInfo{"Vito Ferrante", "don@redeemer-mafia.example", "", "www.redeemer-mafia.example/don"}));
    EXPECT_EQ(list.memberInfo("Capo"), MemberInfo{});
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "tests/support/testpaths.h"

namespace profile = platform::profile;

namespace {

struct Write
{
    const char *section;
    const char *key;
    const char *value;
};

struct GoldenCase
{
    const char *input;
    std::vector<Write> writes;
};

// Applies the writes to a copy of tests/data/platform/ini/<input> and compares the result
// with <input>.expected byte for byte. ORV_UPDATE_REFERENCES=1 rewrites the references
// instead; review their diff by eye.
class ProfileGolden : public ::testing::TestWithParam<GoldenCase>
{
};

} // namespace

TEST_P(ProfileGolden, ChangesOnlyTheLinesItMustChange)
{
    const GoldenCase &c = GetParam();
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("work.ini"));
    const QString input = QStringLiteral("platform/ini/") + QString::fromUtf8(c.input);
    ASSERT_TRUE(testsupport::writeFile(ini, testsupport::readData(input)));
    for (const Write &w : c.writes)
        ASSERT_TRUE(profile::writeString(ini, QString::fromUtf8(w.section), QString::fromUtf8(w.key),
                                         QString::fromUtf8(w.value)));
    const QByteArray result = testsupport::readFile(ini);
    const QString reference = testsupport::dataPath(input + QStringLiteral(".expected"));
    if (qEnvironmentVariableIsSet("ORV_UPDATE_REFERENCES")) {
        ASSERT_TRUE(testsupport::writeFile(reference, result));
        return;
    }
    EXPECT_EQ(result, testsupport::readFile(reference));
}

INSTANTIATE_TEST_SUITE_P(IniFiles, ProfileGolden,
                         ::testing::Values(GoldenCase{"server_crlf.ini",
                                                      {{"UTServerAdmin.UTServerAdmin", "AdminPassword", "s3cret"},
                                                       {"uweb.webserver", "BENABLED", "True"},
                                                       {"UWeb.WebServer", "ListenPort", "5080"},
                                                       {"Engine.GameEngine", "ServerPackages", "FirstOnly"},
                                                       {"Engine.GameEngine", "ServerActors", "IpDrv.UdpBeacon"},
                                                       {"Heraldex", "FriendSound", "friend.wav"},
                                                       {"Engine.GameReplicationInfo", "AdminName", "Op"}}},
                                           GoldenCase{"server_lf.ini",
                                                      {{"UWeb.WebServer", "ListenPort", "8080"},
                                                       {"UWeb.WebServer", "ServerName", "x"},
                                                       {"UTServerAdmin.UTServerAdmin", "AdminRealm", "UT"},
                                                       {"New", "Key", "Value"}}}),
                         [](const auto &info) { return std::string(info.param.input[7] == 'c' ? "CrLf" : "Lf"); });

TEST(Profile, ReadsTheFirstKeyOfTheFirstSectionTrimmedAndUnquoted)
{
    const QString ini = testsupport::dataPath(QStringLiteral("platform/ini/server_crlf.ini"));
    const struct
    {
        const char *section;
        const char *key;
        const char *expected;
    } cases[] = {
        {"UWeb.WebServer", "ApplicationPaths[0]", "/ServerAdmin"},
        {"uweb.webserver", "benabled", "False"},
        {"Engine.GameEngine", "ServerPackages", "SoldierSkins"},
        {"Engine.GameReplicationInfo", "MOTDLine1", "Welcome"},
        {"Engine.GameReplicationInfo", "AdminName", ""},
        {"UTServerAdmin.UTServerAdmin", "QuoteTest", "  quoted value  "},
        {"UTServerAdmin.UTServerAdmin", "Missing", "<default>"},
        {"NoSuchSection", "Port", "<default>"},
        {"URL", "Port", "7777"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(profile::readString(ini, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                      QStringLiteral("<default>")),
                  QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    EXPECT_EQ(profile::readString(QStringLiteral("/nonexistent/x.ini"), u"URL", u"Port", QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST(Profile, ReadsAWholeSectionWithRepeatedKeysInOrder)
{
    const QString ini = testsupport::dataPath(QStringLiteral("platform/ini/server_crlf.ini"));
    const QStringList lines = profile::readSection(ini, u"ENGINE.GAMEENGINE");
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines.first(), QStringLiteral("CacheSizeMegs=4"));
    EXPECT_EQ(lines.filter(QStringLiteral("ServerPackages=")).size(), 6);
    EXPECT_EQ(lines.last(), QStringLiteral("ServerPackages=Botpack"));
    EXPECT_TRUE(profile::readSection(ini, u"Nothing").isEmpty());
}

TEST(Profile, CreatesAMissingFileWithCrLf)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("new.ini"));
    ASSERT_TRUE(profile::writeString(ini, u"Heraldex", u"Server", QStringLiteral("127.0.0.2")));
    ASSERT_TRUE(profile::writeString(ini, u"Heraldex", u"Port", QStringLiteral("5080")));
    EXPECT_EQ(testsupport::readFile(ini), QByteArray("[Heraldex]\r\nServer=127.0.0.2\r\nPort=5080\r\n"));
}

// A line break in a name or value would let a caller's text add keys or whole sections.
TEST(Profile, RefusesTextThatWouldAddLines)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("x.ini"));
    ASSERT_TRUE(testsupport::writeFile(ini, "[A]\r\nK=1\r\n"));
    const struct
    {
        const char16_t *section;
        const char16_t *key;
        const char16_t *value;
    } cases[] = {
        {u"A", u"K", u"2\r\n[UTServerAdmin.UTServerAdmin]\r\nAdminPassword=x"},
        {u"A", u"K\nX", u"2"},
        {u"A]\n[B", u"K", u"2"},
        {u"A", u"K=2", u"3"},
        {u"A", u"", u"3"},
        {u"", u"K", u"3"},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(
            profile::writeString(ini, QStringView(c.section), QStringView(c.key), QString::fromUtf16(c.value)));
    EXPECT_EQ(testsupport::readFile(ini), QByteArray("[A]\r\nK=1\r\n"));
}

TEST(Profile, WriteIntoAFolderPathFailsWithoutTouchingAnything)
{
    QTemporaryDir dir;
    EXPECT_FALSE(profile::writeString(dir.path(), u"A", u"K", QStringLiteral("1")));
    EXPECT_FALSE(
        profile::writeString(dir.filePath(QStringLiteral("no/such/folder/x.ini")), u"A", u"K", QStringLiteral("1")));
}

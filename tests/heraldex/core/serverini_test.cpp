// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/serverini.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/support/testpaths.h"

using heraldex::core::ReadServerIni;
using heraldex::core::ServerIniValues;
using heraldex::core::WriteServerIni;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

// A server INI with the things users keep in theirs: comments, repeated keys, odd spacing.
const QByteArray kServerIni = "; my server\r\n"
                              "[Engine.GameEngine]\r\n"
                              "ServerPackages=SoldierSkins\r\n"
                              "ServerPackages=BotPack\r\n"
                              "\r\n"
                              "[UWeb.WebServer]\r\n"
                              "Applications[0]=UTServerAdmin.UTServerAdmin\r\n"
                              "bEnabled=False\r\n"
                              "ListenPort=5080\r\n"
                              "\r\n"
                              "[UTServerAdmin.UTServerAdmin]\r\n"
                              "AdminUsername=boss\r\n"
                              "AdminPassword=s3cret\r\n"
                              "; keep me\r\n";

class ServerIniTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ServerIniTest, ReadingSwitchesTheWebServerOnAndChangesNothingElse)
{
    const QString ini = path("UnrealTournament.ini");
    ASSERT_TRUE(writeFile(ini, kServerIni));
    const ServerIniValues values = ReadServerIni(ini);
    EXPECT_EQ(values.port, QStringLiteral("5080"));
    EXPECT_EQ(values.adminName, QStringLiteral("boss"));
    EXPECT_EQ(values.password, QStringLiteral("s3cret"));
    QByteArray expected = kServerIni;
    expected.replace("bEnabled=False", "bEnabled=TRUE");
    EXPECT_EQ(readFile(ini), expected);
}

TEST_F(ServerIniTest, WebServerSettingIsOnlyTouchedWhenItSaysFalse)
{
    for (const QByteArray &line : {QByteArray("bEnabled=True\r\n"), QByteArray("bEnabled=0\r\n"), QByteArray()}) {
        SCOPED_TRACE(line.toStdString());
        const QString ini = path("server.ini");
        const QByteArray text = "[UWeb.WebServer]\r\n" + line + "ListenPort=80\r\n";
        ASSERT_TRUE(writeFile(ini, text));
        (void)ReadServerIni(ini);
        EXPECT_EQ(readFile(ini), text);
    }
}

TEST_F(ServerIniTest, MissingPortReadsAsTheGamesDefault)
{
    const QString ini = path("noport.ini");
    const QByteArray text = "[UWeb.WebServer]\r\nbEnabled=True\r\n";
    ASSERT_TRUE(writeFile(ini, text));
    EXPECT_EQ(ReadServerIni(ini).port, QStringLiteral("8888"));
    EXPECT_EQ(readFile(ini), text); // the default reaches the file only when saved
}

TEST_F(ServerIniTest, MissingFileReadsEmptyAndIsNotCreated)
{
    const QString ini = path("absent.ini");
    const ServerIniValues values = ReadServerIni(ini);
    EXPECT_EQ(values.port, QStringLiteral("8888"));
    EXPECT_TRUE(values.adminName.isEmpty());
    EXPECT_TRUE(values.password.isEmpty());
    EXPECT_FALSE(QFile::exists(ini));
    EXPECT_EQ(ReadServerIni(QString()).port, QStringLiteral("8888"));
}

TEST_F(ServerIniTest, WritingChangesOnlyTheThreeKeys)
{
    const QString ini = path("UnrealTournament.ini");
    ASSERT_TRUE(writeFile(ini, kServerIni));
    ASSERT_TRUE(WriteServerIni(ini, {QStringLiteral("8080"), QStringLiteral("admin@home"), QStringLiteral("p=w;d")}));
    QByteArray expected = kServerIni;
    expected.replace("ListenPort=5080", "ListenPort=8080")
        .replace("AdminUsername=boss", "AdminUsername=admin@home")
        .replace("AdminPassword=s3cret", "AdminPassword=p=w;d");
    EXPECT_EQ(readFile(ini), expected);
    const ServerIniValues back = ReadServerIni(ini);
    EXPECT_EQ(back.adminName, QStringLiteral("admin@home"));
    EXPECT_EQ(back.password, QStringLiteral("p=w;d"));
}

TEST_F(ServerIniTest, WriteFailureIsReportedAndLeavesTheFileAlone)
{
    // A folder where the file should be: no write can succeed, whoever runs the test.
    const QString blocked = path("blocked.ini");
    ASSERT_TRUE(QDir().mkpath(blocked));
    EXPECT_FALSE(WriteServerIni(blocked, {QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_FALSE(WriteServerIni(QString(), {QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("b")}));
}

// File permissions do not bind the super-user: run as root, the check drops to an
// unprivileged user in a child process, as the program usually runs.
TEST_F(ServerIniTest, ReadOnlyFileKeepsEveryLine)
{
    const QString ini = path("readonly.ini");
    ASSERT_TRUE(writeFile(ini, kServerIni));
    const auto check = [&] {
        if (!QFile::setPermissions(ini, QFileDevice::ReadOwner) ||
            !QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner))
            return false;
        const bool kept = ReadServerIni(ini).adminName == QStringLiteral("boss") &&
                          !WriteServerIni(ini, {QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("b")}) &&
                          readFile(ini) == kServerIni;
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return kept;
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(check());
        return;
    }
    const uid_t nobody = 65534;
    ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), nobody, nobody), 0);
    ASSERT_EQ(::chown(QFile::encodeName(ini).constData(), nobody, nobody), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const gid_t nogroup = 65534;
        if (::setgroups(1, &nogroup) != 0 || ::setgid(nogroup) != 0 || ::setuid(nobody) != 0)
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

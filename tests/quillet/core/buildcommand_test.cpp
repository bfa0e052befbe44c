// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/buildcommand.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/support/testpaths.h"

using namespace quillet::core;

TEST(BuildCommand, SplitsAtTheExeAndMapsDrivePaths)
{
    qputenv("WINEPREFIX", "/opt/wine");
    struct Case
    {
        QString command;
        std::optional<BuildCommand> expected;
    };
    const QString ucc = QStringLiteral("/opt/wine/dosdevices/c:/UnrealTournament/System/UCC.exe");
    const QString uccDir = QStringLiteral("/opt/wine/dosdevices/c:/UnrealTournament/System");
    const std::vector<Case> cases = {
        {QStringLiteral("C:\\UnrealTournament\\System\\UCC.exe make"),
         BuildCommand{ucc, {QStringLiteral("make")}, uccDir}},
        {QStringLiteral("  C:\\UnrealTournament\\System\\UCC.exe   make  -silent "),
         BuildCommand{ucc, {QStringLiteral("make"), QStringLiteral("-silent")}, uccDir}},
        {QStringLiteral("C:\\UnrealTournament\\System\\UCC.exe"), BuildCommand{ucc, {}, uccDir}},
        {QStringLiteral("D:\\Program Files\\UT\\System\\UCC.exe make"),
         BuildCommand{QStringLiteral("/opt/wine/dosdevices/d:/Program Files/UT/System/UCC.exe"),
                      {QStringLiteral("make")},
                      QStringLiteral("/opt/wine/dosdevices/d:/Program Files/UT/System")}},
        {QStringLiteral("\"D:\\Program Files\\UT\\System\\UCC.exe\" make"),
         BuildCommand{QStringLiteral("/opt/wine/dosdevices/d:/Program Files/UT/System/UCC.exe"),
                      {QStringLiteral("make")},
                      QStringLiteral("/opt/wine/dosdevices/d:/Program Files/UT/System")}},
        // Another case of the extension is accepted as well.
        {QStringLiteral("C:\\UnrealTournament\\System\\UCC.EXE make"),
         BuildCommand{QStringLiteral("/opt/wine/dosdevices/c:/UnrealTournament/System/UCC.EXE"),
                      {QStringLiteral("make")},
                      uccDir}},
        {QStringLiteral("/home/me/ut/System/ucc.exe make"), BuildCommand{QStringLiteral("/home/me/ut/System/ucc.exe"),
                                                                         {QStringLiteral("make")},
                                                                         QStringLiteral("/home/me/ut/System")}},
        // Native compilers without ".exe" are split like a command line.
        {QStringLiteral("/usr/local/bin/ucc make -ini=\"My UT.ini\""),
         BuildCommand{QStringLiteral("/usr/local/bin/ucc"),
                      {QStringLiteral("make"), QStringLiteral("-ini=My UT.ini")},
                      QStringLiteral("/usr/local/bin")}},
        {QStringLiteral("ucc make"), BuildCommand{QStringLiteral("ucc"), {QStringLiteral("make")}, QString()}},
        // Nothing named: no build.
        {QString(), std::nullopt},
        {QStringLiteral("   "), std::nullopt},
        {QStringLiteral(".exe make"), std::nullopt},
        {QStringLiteral("\"\" make"), std::nullopt},
    };
    for (const Case &c : cases) {
        const std::optional<BuildCommand> got = parseBuildCommand(c.command);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.command.toStdString();
        if (got) {
            EXPECT_EQ(got->program, c.expected->program) << c.command.toStdString();
            EXPECT_EQ(got->arguments, c.expected->arguments) << c.command.toStdString();
            EXPECT_EQ(got->workingDir, c.expected->workingDir) << c.command.toStdString();
        }
    }
    qunsetenv("WINEPREFIX");
    EXPECT_EQ(nativeProgramPath(QStringLiteral("C:\\UT\\UCC.exe")),
              QDir::homePath() + QStringLiteral("/.wine/dosdevices/c:/UT/UCC.exe"));
}

TEST(BuildCommand, DirectoryOfFileKeepsOnlyRootSeparators)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {QStringLiteral("/home/me/src/Foo.uc"), QStringLiteral("/home/me/src")},
        {QStringLiteral("/Foo.uc"), QStringLiteral("/")},
        {QStringLiteral("C:\\UT\\Classes\\Foo.uc"), QStringLiteral("C:\\UT\\Classes")},
        {QStringLiteral("C:\\Foo.uc"), QStringLiteral("C:\\")},
        {QStringLiteral("Foo.uc"), QString()},
    };
    for (const auto &[path, expected] : cases)
        EXPECT_EQ(directoryOfFile(path), expected) << path.toStdString();
}

TEST(BuildCommand, DefaultIsTheCompilerThatIsInstalled)
{
    QTemporaryDir dir;
    const auto install = [&dir](const QString &relative) {
        const QString path = dir.filePath(relative);
        ASSERT_TRUE(testsupport::writeFile(path, "#!/bin/sh\n"));
        ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    };
    // Nothing installed: the compiler in the configured folder, through Wine.
    EXPECT_EQ(defaultBuildCommand(QStringLiteral("C:\\UnrealTournament\\System\\")),
              QStringLiteral("C:\\UnrealTournament\\System\\UCC.exe make"));
    // A Windows install keeps its UCC.exe, spelt as it is on disk.
    install(QStringLiteral("Win/System/ucc.exe"));
    EXPECT_EQ(defaultBuildCommand(dir.filePath(QStringLiteral("Win/System"))),
              dir.filePath(QStringLiteral("Win/System/ucc.exe make")));
    // Native installs: the 32-bit compiler where that is all there is, else the 64-bit one,
    // whichever system folder is configured; it runs in its own folder.
    install(QStringLiteral("Old/System/ucc-bin"));
    EXPECT_EQ(defaultBuildCommand(dir.filePath(QStringLiteral("Old/System"))),
              dir.filePath(QStringLiteral("Old/System/ucc-bin make")));
    install(QStringLiteral("New Game/System/UCC.exe"));
    install(QStringLiteral("New Game/System64/ucc-bin-amd64"));
    const QString command = defaultBuildCommand(dir.filePath(QStringLiteral("New Game/System")));
    EXPECT_EQ(command,
              u'"' + dir.filePath(QStringLiteral("New Game/System64/ucc-bin-amd64")) + QStringLiteral("\" make"));
    const std::optional<BuildCommand> parsed = parseBuildCommand(command);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->program, dir.filePath(QStringLiteral("New Game/System64/ucc-bin-amd64")));
    EXPECT_EQ(parsed->arguments, QStringList{QStringLiteral("make")});
    EXPECT_EQ(parsed->workingDir, dir.filePath(QStringLiteral("New Game/System64")));
}

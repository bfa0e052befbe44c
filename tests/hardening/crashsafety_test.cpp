// SPDX-License-Identifier: GPL-3.0-or-later
// Kills a process that saves one kind of file over and over at random moments and checks
// that the file is always a whole version, the old one or the new one, never empty or cut.

#include <csignal>
#include <random>
#include <thread>

#include <sys/types.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/hardening/saveversions.h"
#include "tests/support/testpaths.h"

namespace {

constexpr int kKills = 200;

QString writerProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/hardening-savewriter");
}

struct Kind
{
    const char *name;
    const char *fileName;
    bool startsFromBaseIni; // the save changes one key of an existing INI file
};

// Runs the writer once to make a reference file; returns its contents.
QByteArray reference(const Kind &kind, const QString &dir, const char *version)
{
    const QString path =
        dir + QLatin1Char('/') + QLatin1String(version) + QLatin1Char('_') + QLatin1String(kind.fileName);
    if (kind.startsFromBaseIni) {
        EXPECT_TRUE(testsupport::writeFile(path, hardening::baseIni()));
    }
    QProcess writer;
    writer.start(writerProgram(), {QLatin1String(kind.name), path, QStringLiteral("once"), QLatin1String(version)});
    EXPECT_TRUE(writer.waitForFinished(30000));
    EXPECT_EQ(writer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().constData();
    return testsupport::readFile(path);
}

class CrashSafety : public ::testing::TestWithParam<Kind>
{
};

TEST_P(CrashSafety, FileIsAlwaysTheOldOrTheNewVersion)
{
    const Kind kind = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray versionA = reference(kind, dir.path(), "A");
    const QByteArray versionB = reference(kind, dir.path(), "B");
    ASSERT_FALSE(versionA.isEmpty());
    ASSERT_FALSE(versionB.isEmpty());
    ASSERT_NE(versionA, versionB);

    const QString target = dir.filePath(QLatin1String(kind.fileName));
    ASSERT_TRUE(testsupport::writeFile(target, versionA));

    std::mt19937 random(std::random_device{}());
    // Mostly within the first save or two. A durable save can take longer than 3 ms (far
    // longer in a sanitizer build on a busy machine), so every fourth kill waits longer, to
    // let saves complete and the file change version.
    std::uniform_int_distribution<int> delayUs(0, 3000);
    std::uniform_int_distribution<int> longDelayUs(3000, 200000);
    int sawA = 0;
    int sawB = 0;
    bool holdsB = false;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        // Each writer starts with the version the file does not hold, so every first save
        // is a real change.
        writer.start(writerProgram(), {QLatin1String(kind.name), target, QStringLiteral("loop"),
                                       holdsB ? QStringLiteral("A") : QStringLiteral("B")});
        ASSERT_TRUE(writer.waitForStarted(10000));
        ASSERT_TRUE(writer.waitForReadyRead(10000)) << "writer did not start saving";
        std::this_thread::sleep_for(std::chrono::microseconds(kill % 4 == 3 ? longDelayUs(random) : delayUs(random)));
        ASSERT_EQ(::kill(static_cast<pid_t>(writer.processId()), SIGKILL), 0);
        ASSERT_TRUE(writer.waitForFinished(10000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit)
            << "the writer stopped on its own: " << writer.readAllStandardError().constData();

        const QByteArray now = testsupport::readFile(target);
        if (now == versionA) {
            ++sawA;
            holdsB = false;
        } else if (now == versionB) {
            ++sawB;
            holdsB = true;
        } else {
            FAIL() << kind.fileName << " after kill " << kill << " is neither version: " << now.size()
                   << " bytes (versions have " << versionA.size() << " and " << versionB.size() << ")";
        }
    }
    // Lock leftovers of the killed writers do not pile up: each writer clears those of the
    // dead ones before it locks.
    const QStringList removalLocks = QDir(dir.path()).entryList({QStringLiteral("*.rmlock")}, QDir::Files);
    EXPECT_LE(removalLocks.size(), 2) << removalLocks.join(QLatin1Char(' ')).toStdString();
    // Both versions were seen, so the saves did go through between the kills.
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
    RecordProperty("old_version_seen", sawA);
    RecordProperty("new_version_seen", sawB);
}

const Kind kKinds[] = {
    {"favorites", "favorites.lst", false},        {"internet", "internet.lst", false},
    {"settings", "HKEY_CURRENT_USER.reg", false}, {"ini", "UnrealTournament.ini", true},
    {"script", "ScoreBoard.uc", false},           {"gameini", "Server.ini", true},
};

INSTANTIATE_TEST_SUITE_P(FileKinds, CrashSafety, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<Kind> &info) { return std::string(info.param.name); });

} // namespace

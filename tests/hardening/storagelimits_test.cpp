// SPDX-License-Identifier: GPL-3.0-or-later
// What crashes and hostile files leave behind for the storage helpers: lock leftovers of
// dead programs, and the memory a small file read may hold.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/registrystore.h"
#include "platform/textfile.h"
#include "tests/support/testpaths.h"

using namespace platform;

namespace {

// The process id of a program that has ended.
qint64 deadProcessId()
{
    QProcess process;
    process.start(QStringLiteral("/bin/true"), {});
    EXPECT_TRUE(process.waitForFinished(10000));
    return process.processId() > 0 ? process.processId() : 999999;
}

QByteArray lockInfo(qint64 pid, const QString &host)
{
    return QByteArray::number(pid) + "\nhardening-savewriter\n" + host.toUtf8() + "\n";
}

TEST(StaleLocks, StoreStillSavesAfterDeadProgramsLeftRemovalLocks)
{
    const qint64 dead = deadProcessId();
    struct Case
    {
        int levels;
    };
    // 35 levels reach the longest file name allowed in the test's folder.
    const Case cases[] = {{1}, {5}, {35}};
    for (const Case &c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString store = dir.filePath(QStringLiteral("s.reg"));
        QString name = store + QStringLiteral(".lock");
        ASSERT_TRUE(testsupport::writeFile(name, lockInfo(dead, QSysInfo::machineHostName())));
        int written = 0;
        for (int level = 0; level < c.levels; ++level) {
            name += QStringLiteral(".rmlock");
            if (!testsupport::writeFile(name, lockInfo(dead, QSysInfo::machineHostName())))
                break; // past the longest name
            ++written;
        }
        ASSERT_GT(written, 0);

        RegistryStore settings(RegistryRoot::CurrentUser, store);
        EXPECT_TRUE(settings.setString(u"SOFTWARE\\Orvane", u"Name", QStringLiteral("saved"))) << c.levels << " levels";
        EXPECT_EQ(settings.value(u"SOFTWARE\\Orvane", u"Name"), RegistryValue::fromString(QStringLiteral("saved")));
        const QStringList left = QDir(dir.path()).entryList(QDir::Files);
        EXPECT_EQ(left, QStringList{QStringLiteral("s.reg")}) << c.levels << " levels";
    }
}

TEST(StaleLocks, UnfilledLockFilesOfDeadProgramsDoNotBlockSaves)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString store = dir.filePath(QStringLiteral("s.reg"));
    const QString lock = store + QStringLiteral(".lock");
    // Programs that died right after creating a lock file (or its removal lock), or while
    // writing it, five seconds ago.
    struct Case
    {
        const char *suffix;
        QByteArray content;
    };
    const Case cases[] = {{".lock", {}}, {".lock", "12"}, {".lock.rmlock", {}}, {".lock.rmlock", "4"}};
    for (const Case &c : cases) {
        const QString name = store + QLatin1String(c.suffix);
        if (name != lock) { // a removal lock stands beside a dead program's lock
            ASSERT_TRUE(testsupport::writeFile(lock, lockInfo(deadProcessId(), QSysInfo::machineHostName())));
        }
        ASSERT_TRUE(testsupport::writeFile(name, c.content));
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-5), QFileDevice::FileModificationTime));
        file.close();

        RegistryStore settings(RegistryRoot::CurrentUser, store);
        EXPECT_TRUE(settings.setString(u"K", u"V", QStringLiteral("1"))) << c.suffix << " " << c.content.constData();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("s.reg")}) << c.suffix;
    }
}

TEST(StaleLocks, RemovalLockOfARunningProgramIsKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString store = dir.filePath(QStringLiteral("s.reg"));
    // A removal lock held right now by this very process stays: the owner is alive.
    QLockFile held(store + QStringLiteral(".lock.rmlock"));
    ASSERT_TRUE(held.tryLock(0));
    RegistryStore settings(RegistryRoot::CurrentUser, store);
    EXPECT_TRUE(settings.setString(u"K", u"V", QStringLiteral("1")));
    EXPECT_TRUE(QFileInfo::exists(store + QStringLiteral(".lock.rmlock")));
}

TEST(TextFileRead, SmallFileHoldsLittleMemory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case
    {
        qsizetype size;
        qint64 limit;
        bool accepted;
    };
    const Case cases[] = {
        {0, textfile::kDefaultMaxSize, true},
        {10, textfile::kDefaultMaxSize, true},
        {200000, textfile::kDefaultMaxSize, true},
        {65536, 65536, true},
        {65537, 65536, false},
        {70000, 65535, false},
        {10, 9, false},
        {10, 10, true},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QStringLiteral("f%1").arg(c.size));
        QByteArray bytes(c.size, 'x');
        for (qsizetype i = 0; i < bytes.size(); i += 997)
            bytes[i] = char('a' + i % 26);
        ASSERT_TRUE(testsupport::writeFile(path, bytes));
        const auto read = textfile::readAll(path, c.limit);
        ASSERT_EQ(read.hasValue(), c.accepted) << c.size << " bytes, limit " << c.limit;
        if (!c.accepted)
            continue;
        EXPECT_EQ(read.value(), bytes);
        // A file read keeps about its own size, not the limit.
        EXPECT_LE(read.value().capacity(), c.size + 64 * 1024) << c.size << " bytes";
    }
}

} // namespace
